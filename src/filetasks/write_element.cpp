#include "filetasks/write_element.h"

#include <cerrno>

#include "filetasks/content_rewrite.h"
#include "platform/marked_text_editor.h"

namespace varnel {

namespace {

constexpr std::string_view kFieldSeparator = "[分隔]";
constexpr std::string_view kEntrySeparator = "[换行]";

std::vector<std::string_view> SplitAt(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos) return parts;
        text.remove_prefix(at + separator.size());
    }
}

}  // namespace

ElementPreset ParseElementPreset(std::string_view entry) {
    auto fields = SplitAt(entry, kFieldSeparator);
    fields.resize(4);
    return {std::string(fields[0]), std::string(fields[1]), std::string(fields[2]), fields[3] == "真"};
}

std::vector<ElementPreset> ParseElementPresets(std::string_view text) {
    std::vector<ElementPreset> presets;
    if (text.empty()) return presets;
    for (std::string_view entry : SplitAt(text, kEntrySeparator)) presets.push_back(ParseElementPreset(entry));
    return presets;
}

std::string FormatElementPresets(const std::vector<ElementPreset>& presets) {
    std::string text;
    for (const ElementPreset& p : presets) {
        if (!text.empty()) text += kEntrySeparator;
        text += p.name;
        text += kFieldSeparator;
        text += p.element1;
        text += kFieldSeparator;
        text += p.element2;
        text += kFieldSeparator;
        text += p.caseSensitive ? "真" : "假";
    }
    return text;
}

std::string WriteElementProblem(const WriteElementParams& params) {
    if (params.element1.empty() || params.element2.empty()) return "元素1和元素2不允许任何一个留空！";
    return {};
}

void RunWriteElementTask(RunContext& run, RunRows& rows, const WriteElementParams& params, PosixApi& os) {
    if (!WriteElementProblem(params).empty()) return;
    const TextMarkers markers{params.element1, std::string_view(params.element2), !params.caseSensitive};
    RunContentRows(
        run, rows,
        [&](const ContentRow& row, std::string_view bytes) -> std::expected<ContentEdit, Error> {
            auto written = row.expand(params.writeText);
            if (!written) return std::unexpected(written.error());
            return EditAsText(bytes, [&](std::string& text, TextEncoding) -> std::expected<bool, Error> {
                if (!MarkedTextEditor{}.ReplaceMarkedText(text, *written, markers)) {
                    return std::unexpected(Error{ENOENT, "找不到元素", row.path});
                }
                return true;
            });
        },
        os, false);
}

}  // namespace varnel

#include "filetasks/write_element.h"

#include <cerrno>

#include "filetasks/content_rewrite.h"
#include "platform/marked_text_editor.h"

namespace varnel {

std::string WriteElementProblem(const WriteElementParams& params) {
    if (params.element1.empty() || params.element2.empty()) return "元素1和元素2不允许任何一个留空！";
    return {};
}

void RunWriteElementTask(RunContext& run, RunRows& rows, const WriteElementParams& params, PosixApi& os) {
    if (!WriteElementProblem(params).empty()) return;
    const TextMarkers markers{params.element1, std::string_view(params.element2), !params.caseSensitive};
    RunContentRows(
        run, rows,
        [&](const ContentRow& row, std::string_view bytes, ContentSink& sink) -> std::expected<bool, Error> {
            auto written = row.expand(params.writeText);
            if (!written) return std::unexpected(written.error());
            return EditFileText(bytes, sink, [&](std::string_view text, TextEncoding, TextWriter& out) -> std::expected<bool, Error> {
                // The editor works on a text of its own: the new text is made whole.
                std::string edited(text);
                if (!MarkedTextEditor{}.ReplaceMarkedText(edited, *written, markers)) {
                    return std::unexpected(Error{ENOENT, "找不到元素", row.path});
                }
                if (auto put = out.Append(edited); !put) return std::unexpected(put.error());
                return true;
            });
        },
        os, false);
}

}  // namespace varnel

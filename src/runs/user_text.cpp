#include "runs/user_text.h"

#include "runs/rename_step.h"
#include "utilities/path_routines.h"

namespace varnel {

bool UserTextExpander::Needed(std::string_view text) const {
    const MetaEnvironment& meta = m_meta.Get();
    const bool enabled = meta.symbolsEnabled == nullptr || meta.symbolsEnabled->load(std::memory_order_relaxed);
    return enabled && text.find('#') != std::string_view::npos;
}

std::expected<std::string, Error> UserTextExpander::Expand(std::string_view text, const std::string& path,
                                                           std::size_t row, UserTextForm form) const {
    if (!Needed(text)) return std::string(text);
    MetaExpansionRequest request;
    request.path = path;
    request.text = text;
    request.row = static_cast<std::int64_t>(row) + 1;
    request.formValue = [form](std::string& value) {
        SanitizeFileName(value);
        if (form == UserTextForm::RegexReplacement) value = ReplaceOccurrences(value, "$", "$$", 0, true);
    };
    return ExpandMetaVariables(m_meta.Get(), request);
}

std::expected<void, Error> UserTextExpander::ExpandInto(std::string& text, const std::string& path,
                                                        std::size_t row) const {
    auto expanded = Expand(text, path, row);
    if (!expanded) return std::unexpected(expanded.error());
    text = std::move(*expanded);
    return {};
}

}  // namespace varnel

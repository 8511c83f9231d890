#include "naming/clear_chars_name.h"

#include "utilities/utf8_text.h"

namespace varnel {

ClearCharsParams MakeClearCharsParams(const std::vector<CharClassEntry>& classes, const std::vector<bool>& checks) {
    ClearCharsParams params;
    for (std::size_t row = 0; row < classes.size(); ++row) {
        const bool checked = row < checks.size() && checks[row];
        const std::string& ranges = classes[row].ranges;
        if (ranges == kAllSingleByteRanges) {
            params.allSingleByte = checked;
        } else if (ranges == kAllDoubleByteRanges) {
            params.allDoubleByte = checked;
        } else if (checked) {
            AppendRangeList(params.ranges, ranges);
        }
    }
    return params;
}

bool IsDoubleByteChar(std::string_view character) {
    if (character.empty()) return false;
    const Utf8Step step = DecodeUtf8At(character, 0);
    if (!step.valid || step.length != character.size()) return false;
    const std::optional<GbkCode> code = GbkCodeOf(step.codePoint);
    return code && IsDoubleByteCode(*code);
}

CharClearer::CharClearer(const ClearCharsParams& params) : m_params(params), m_codes(params.ranges) {}

bool CharClearer::Drops(char32_t codePoint) const {
    const std::optional<GbkCode> code = GbkCodeOf(codePoint);
    if (!code) return false;
    const bool isDouble = IsDoubleByteCode(*code);
    if (isDouble ? m_params.allDoubleByte : m_params.allSingleByte) return true;
    return m_codes.Contains(*code);
}

std::string CharClearer::MakeName(std::string_view name) const {
    return ChangeNamePart(name, m_params.scope, [&](std::string_view part) {
        std::string kept;
        kept.reserve(part.size());
        for (std::size_t at = 0; at < part.size();) {
            const Utf8Step step = DecodeUtf8At(part, at);
            // A byte that is no character has no code either: it stays.
            if (!step.valid || !Drops(step.codePoint)) kept.append(part.substr(at, step.length));
            at += step.length;
        }
        // A whole name cleared away would be no name at all: it stays as it was.
        if (kept.empty() && m_params.scope == NamePart::WholeName) return std::string(part);
        return kept;
    });
}

std::string MakeClearedName(std::string_view name, const ClearCharsParams& params) {
    return CharClearer(params).MakeName(name);
}

}  // namespace varnel

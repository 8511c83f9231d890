#include "naming/convert_name.h"

#include <algorithm>

#include "utilities/codec.h"
#include "utilities/path_routines.h"
#include "utilities/utf8_text.h"

namespace varnel {

namespace {

Error RefusedName(const char* why, std::string_view name) { return Error{Error::kConversion, why, std::string(name)}; }

constexpr const char* kFullWidthSlash = "\xEF\xBC\x8F";  // U+FF0F

// The bytes of `made` that the conversion of `scope` produced: all of it, or the
// part between what it kept of the old name before and after.
std::string_view ConvertedPart(std::string_view name, std::string_view made, ConvertScope scope) {
    if (scope != ConvertScope::MainName && scope != ConvertScope::Extension) return made;
    const auto parts = SplitMainAndExtension(name);
    if (!parts) return made;
    const std::size_t tailStart = name.size() - GetFileNameOfPath(name).size();
    const std::size_t mainEnd = tailStart + parts->main.size();
    if (scope == ConvertScope::MainName) {
        const std::string_view kept = name.substr(mainEnd);
        const std::string_view prefix = name.substr(0, tailStart);
        if (!made.ends_with(kept) || !made.starts_with(prefix) || made.size() < kept.size() + prefix.size()) {
            return made;
        }
        return made.substr(prefix.size(), made.size() - kept.size() - prefix.size());
    }
    const std::string_view kept = name.substr(0, std::min(name.size(), mainEnd + 1));
    if (!made.starts_with(kept)) return made;
    return made.substr(kept.size());
}

}  // namespace

std::expected<std::string, Error> MakeConvertedName(std::string_view name, const ConvertOptions& options) {
    std::expected<std::string, Error> converted = ConvertText(name, options);
    if (!converted || *converted == name) return converted;
    std::string& made = *converted;
    // Checked before the rename step cleans the name: a codec result holding a NUL
    // is not text that was meant to hold one.
    if (made.find('\0') != std::string::npos) return std::unexpected(RefusedName(kConvertedNameHasNul, name));
    // Only what the task converted must be text; the rest of the name is kept as it
    // was, whatever its bytes.
    const std::string_view part = ConvertedPart(name, made, options.scope);
    if (!IsValidUtf8(part) && !DecodeFromCodec(part, kCodecGbk)) {
        return std::unexpected(RefusedName(kConvertedNameUndecodable, name));
    }
    // A "/" the conversion made is a character of the name, written as every task
    // writes it in a name.
    if (made.find('/') != std::string::npos) made = ReplaceOccurrences(made, "/", kFullWidthSlash, 0, true);
    return converted;
}

}  // namespace varnel

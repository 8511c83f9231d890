#include "naming/convert_name.h"

#include "utilities/codec.h"
#include "utilities/utf8_text.h"

namespace varnel {

namespace {

Error RefusedName(const char* why, std::string_view name) { return Error{Error::kConversion, why, std::string(name)}; }

}  // namespace

std::expected<std::string, Error> MakeConvertedName(std::string_view name, const ConvertOptions& options) {
    std::expected<std::string, Error> converted = ConvertText(name, options);
    if (!converted || *converted == name) return converted;
    const std::string& made = *converted;
    // Checked before the rename step cleans the name: a codec result holding these
    // bytes is not text that was meant to hold them, so it must not be turned into
    // some other name.
    if (made.find('\0') != std::string::npos) return std::unexpected(RefusedName(kConvertedNameHasNul, name));
    if (made.find('/') != std::string::npos) return std::unexpected(RefusedName(kConvertedNameHasSlash, name));
    if (!IsValidUtf8(made) && !DecodeFromCodec(made, kCodecGbk)) {
        return std::unexpected(RefusedName(kConvertedNameUndecodable, name));
    }
    return converted;
}

}  // namespace varnel

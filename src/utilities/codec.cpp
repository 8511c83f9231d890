#include "utilities/codec.h"

#include <memory>

#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include "utilities/utf8_text.h"

namespace varnel {

namespace {

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

Error ConversionError(const char* codec, UErrorCode status) {
    return Error{Error::kConversion,
                 std::string("文本无法按 ") + codec + " 转换（" + u_errorName(status) + "）", {}};
}

std::expected<ConverterPtr, Error> OpenConverter(const char* codec) {
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr converter(ucnv_open(codec, &status));
    if (U_FAILURE(status)) return std::unexpected(ConversionError(codec, status));
    return converter;
}

}  // namespace

std::expected<std::string, Error> DecodeFromCodec(std::string_view bytes, const char* codec,
                                                  CodecMode mode) {
    if (bytes.empty()) return std::string();
    auto converter = OpenConverter(codec);
    if (!converter) return std::unexpected(converter.error());
    UErrorCode status = U_ZERO_ERROR;
    if (mode == CodecMode::Strict) {
        ucnv_setToUCallBack(converter->get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                            &status);
    }
    const auto length = static_cast<int32_t>(bytes.size());
    std::u16string wide(bytes.size() * 2 + 2, u'\0');
    const int32_t wideLength = ucnv_toUChars(converter->get(), wide.data(),
                                             static_cast<int32_t>(wide.size()), bytes.data(),
                                             length, &status);
    if (U_FAILURE(status)) return std::unexpected(ConversionError(codec, status));
    wide.resize(wideLength);

    std::string out(wide.size() * 3 + 1, '\0');
    int32_t outLength = 0;
    status = U_ZERO_ERROR;
    u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &outLength, wide.data(),
                       wideLength, 0xFFFD, nullptr, &status);
    if (U_FAILURE(status)) return std::unexpected(ConversionError(codec, status));
    out.resize(outLength);
    return out;
}

std::expected<std::string, Error> EncodeToCodec(std::string_view utf8, const char* codec) {
    if (utf8.empty()) return std::string();
    CodecEncoder encoder(codec);
    return encoder.Encode(utf8);
}

CodecEncoder::CodecEncoder(const char* codec) : m_codec(codec) {
    auto converter = OpenConverter(codec);
    if (!converter) {
        m_openError = converter.error();
        return;
    }
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setFromUCallBack(converter->get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    m_converter = converter->release();
}

CodecEncoder::~CodecEncoder() {
    if (m_converter != nullptr) ucnv_close(m_converter);
}

std::expected<std::string, Error> CodecEncoder::Encode(std::string_view utf8) {
    if (m_openError) return std::unexpected(*m_openError);
    if (utf8.empty()) return std::string();
    ucnv_resetFromUnicode(m_converter);
    UErrorCode status = U_ZERO_ERROR;
    m_wide.assign(utf8.size() + 1, u'\0');
    int32_t wideLength = 0;
    u_strFromUTF8(m_wide.data(), static_cast<int32_t>(m_wide.size()), &wideLength, utf8.data(),
                  static_cast<int32_t>(utf8.size()), &status);
    if (U_FAILURE(status)) return std::unexpected(ConversionError(m_codec, status));
    const int32_t capacity = UCNV_GET_MAX_BYTES_FOR_STRING(wideLength, ucnv_getMaxCharSize(m_converter));
    std::string out(static_cast<std::size_t>(capacity) + 1, '\0');
    const int32_t outLength = ucnv_fromUChars(m_converter, out.data(), static_cast<int32_t>(out.size()),
                                              m_wide.data(), wideLength, &status);
    if (U_FAILURE(status)) return std::unexpected(ConversionError(m_codec, status));
    out.resize(outLength);
    return out;
}

std::string DecodeTextFile(std::string_view bytes) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (bytes.starts_with(kBom)) bytes.remove_prefix(kBom.size());
    if (IsValidUtf8(bytes)) return std::string(bytes);
    auto decoded = DecodeFromCodec(bytes, kCodecGbk, CodecMode::Lenient);
    return decoded ? *decoded : ToDisplayText(bytes);
}

}  // namespace varnel

#include "utilities/utf8_text.h"

namespace varnel {

namespace {
constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }
}  // namespace

Utf8Step DecodeUtf8At(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) return {lead, 1, true};

    std::size_t length = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2; cp = lead & 0x1F; minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3; cp = lead & 0x0F; minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4; cp = lead & 0x07; minimum = 0x10000;
    } else {
        return {kReplacement, 1, false};
    }
    if (pos + length > text.size()) return {kReplacement, 1, false};
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[pos + i]);
        if (!IsContinuation(byte)) return {kReplacement, 1, false};
        cp = (cp << 6) | (byte & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return {kReplacement, 1, false};
    }
    return {cp, length, true};
}

bool IsValidUtf8(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        if (static_cast<unsigned char>(text[pos]) < 0x80) { ++pos; continue; }
        const Utf8Step step = DecodeUtf8At(text, pos);
        if (!step.valid) return false;
        pos += step.length;
    }
    return true;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacement;
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::size_t GbkWidth(char32_t cp) { return cp < 0x80 ? 1 : 2; }

std::size_t GbkWidth(std::string_view text) {
    std::size_t width = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const Utf8Step step = DecodeUtf8At(text, pos);
        width += step.valid ? GbkWidth(step.codePoint) : 1;
        pos += step.length;
    }
    return width;
}

std::size_t CodePointCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); pos += DecodeUtf8At(text, pos).length) ++count;
    return count;
}

std::string ToDisplayText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const Utf8Step step = DecodeUtf8At(text, pos);
        if (step.valid) {
            out.append(text.substr(pos, step.length));
        } else {
            AppendUtf8(out, kReplacement);
        }
        pos += step.length;
    }
    return out;
}

std::string WithoutControlCharacters(std::string_view text, bool keepLineBreaks) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const Utf8Step step = DecodeUtf8At(text, at);
        const char32_t c = step.codePoint;
        const bool kept = keepLineBreaks && (c == '\n' || c == '\t');
        const bool control = step.valid && (c < 0x20 || (c >= 0x7F && c <= 0x9F));
        if (kept || !control) out.append(text.substr(at, step.length));
        at += step.length;
    }
    return out;
}

}  // namespace varnel

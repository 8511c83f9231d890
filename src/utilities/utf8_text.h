// UTF-8 text as this program keeps it: iteration that keeps invalid bytes as they
// are (names are byte strings), the GBK display width, and display decoding.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace varnel {

// One step through a UTF-8 text. An invalid or truncated sequence is one byte long,
// marked invalid, with code point U+FFFD; the byte itself stays in the text.
struct Utf8Step {
    char32_t codePoint = 0;
    std::size_t length = 1;
    bool valid = true;
};

Utf8Step DecodeUtf8At(std::string_view text, std::size_t pos);
bool IsValidUtf8(std::string_view text);
void AppendUtf8(std::string& out, char32_t codePoint);

// Width of a text as the user counts it: 1 for U+0000..U+007F and for an invalid
// byte, 2 for every other character.
std::size_t GbkWidth(std::string_view text);
std::size_t GbkWidth(char32_t codePoint);
// Number of characters; an invalid byte counts as one.
std::size_t CodePointCount(std::string_view text);

// The text for showing: every invalid byte becomes U+FFFD. Never written back.
std::string ToDisplayText(std::string_view text);

// A text from elsewhere (a web page) made safe to show: control characters (C0,
// DEL, C1, NUL) removed, so none can drive a terminal, cut a text short or mangle a
// window. keepLineBreaks keeps LF and TAB (and turns a CR LF into an LF).
std::string WithoutControlCharacters(std::string_view text, bool keepLineBreaks);

}  // namespace varnel

// Character-level rewrites of a UTF-8 text: ASCII letter case, full and half width,
// digits to Chinese numerals and back. An invalid byte is kept as it is and never
// changed, so these are safe on names that are not UTF-8. Safe on any thread.
#pragma once

#include <expected>
#include <functional>
#include <string>
#include <string_view>

#include "utilities/error.h"

namespace varnel {

// One ASCII letter lowered; every other byte as it is (never a byte of a
// multi-byte character, so safe on UTF-8 and on names that are not UTF-8).
constexpr char LowerAsciiChar(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
// Equal when the texts differ at most in the case of ASCII letters.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

// Only the ASCII letters change; every other byte is copied.
std::string ToUpperAscii(std::string_view text);
std::string ToLowerAscii(std::string_view text);
// The first ASCII letter of the text in upper case; a text without one is unchanged.
std::string CapitalizeFirstLetter(std::string_view text);
// The first letter of every word in upper case, the rest lowered with lowerRest. A
// word is a run of ASCII letters: digits, apostrophes, hyphens and Chinese
// characters all end one ("hELLO wORLD-x2" -> "Hello World-X2").
std::string CapitalizeWords(std::string_view text, bool lowerRest);

// ASCII "!" to "~" and their full-width forms U+FF01..U+FF5E; the space and the
// ideographic space U+3000.
std::string ToFullWidth(std::string_view text);
std::string ToHalfWidth(std::string_view text);

// Every run of ASCII digits replaced in place by what `convert` makes of it; the
// first run that fails fails the whole text.
using DigitRunConverter = std::function<std::expected<std::string, Error>(std::string_view run)>;
std::expected<std::string, Error> ReplaceDigitRuns(std::string_view text,
                                                   const DigitRunConverter& convert);

// Every run of ASCII digits replaced in place by its number in Chinese numerals
// (NumberToChineseNumerals; the capital forms when traditional), or as a money
// amount (NumberToChineseAmount). A run too long for a number is written digit by
// digit; as an amount it fails, since an amount cannot be read digit by digit.
std::expected<std::string, Error> DigitsToChineseNumerals(std::string_view text, bool amount,
                                                          bool traditional);
// Every run of Chinese numerals (零〇一二两三四五六七八九, the capitals 壹贰叁肆伍陆
// 柒捌玖, the place words 十百千 拾佰仟 and 万亿) replaced by its value in ASCII digits:
// with place words it is read as a number (二十三 -> 23, 三亿五千万 -> 350000000, and
// the short forms 一万五 -> 15000, 二百五 -> 250), without them digit by digit (二〇〇六 -> 2006). A value past 64 bits fails.
std::expected<std::string, Error> ChineseNumeralsToDigits(std::string_view text);

}  // namespace varnel

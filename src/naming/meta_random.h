// The random texts of the meta-variables: digits, Chinese digits, letters, a mix of
// digits and letters with classes left out, and Chinese characters from the lists of
// common characters. Each generator draws from the engine it is given; a thread's own
// engine is seeded once, so files handled in the same instant still differ.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

#include "naming/meta_settings.h"

namespace varnel {

using MetaRandomEngine = std::mt19937_64;

// The calling thread's engine, seeded from std::random_device on first use.
MetaRandomEngine& ThreadRandomEngine();

// The number of characters a length field asks for: 8 below 1, at most kMetaCountLimit.
std::int32_t RandomTextLength(std::int32_t length);

std::string RandomDigits(MetaRandomEngine& engine, std::int32_t length, bool fullWidth);
// Each digit as a Chinese numeral: 零一二…, or with capital 零壹贰….
std::string RandomChineseDigits(MetaRandomEngine& engine, std::int32_t length, bool capital);
std::string RandomLowerLetters(MetaRandomEngine& engine, std::int32_t length, bool fullWidth);
std::string RandomUpperLetters(MetaRandomEngine& engine, std::int32_t length, bool fullWidth);
// Upper or lower case, a coin for each letter.
std::string RandomLetters(MetaRandomEngine& engine, std::int32_t length, bool fullWidth);
// Each position first picks one of three classes, then a character of the first class
// in that class's order of preference that is not left out: 1 digit, lower, upper;
// 2 lower, digit, upper; 3 upper, digit, lower. The last choice is taken even when it is
// left out too, so leaving out all three still gives letters.
std::string RandomDigitsAndLetters(MetaRandomEngine& engine, const RandomMixOptions& options);
// Characters drawn evenly from the common list unless noCommon, and the less common
// one unless noLessCommon; "" when both are left out.
std::string RandomHanzi(MetaRandomEngine& engine, const RandomHanziOptions& options);

// The character of a code text: the first three digits give the first byte, the rest
// the second (GBK, for a double-byte character); "65" is "A", "176161" is "啊". The
// text ends at a zero byte; a code that makes no character gives "".
std::string CharFromCodeText(std::string_view codeText);

}  // namespace varnel

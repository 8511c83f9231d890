// Numbers written in Chinese numerals: with place words (一百二十三), as a money
// amount (壹佰贰拾叁元整), or digit by digit (二〇〇六). "Plain" characters are
// 一二三…; "capital" ones are the forms used on cheques, 壹贰叁…
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace varnel {

// The whole number with place words 十百千万亿, read in groups of 亿 and 万 (the
// part above 亿 counts its own 万: 一万零一亿, 二万三千亿); inner zeros as one 零, trailing
// zeros dropped; plain numbers from ten to nineteen begin with 十 (十二), capital ones
// with 壹拾. Negative numbers get 负 in front. simplified false gives the capital forms.
std::string NumberToChineseNumerals(std::int64_t value, bool simplified = true);

// A money amount rounded to the fen: 元 for the whole part, then 角 and 分, or 整
// when there are none (123 -> 壹佰贰拾叁元整, 1.05 -> 壹元零伍分, 0.5 -> 伍角).
std::string NumberToChineseAmount(double value, bool simplified = true);

// One digit 0-9 as a numeral. Capital: 零壹贰…; plain: 〇一二…, or 零 for zero with
// zeroAsLing.
std::string_view ChineseDigit(int digit, bool capital, bool zeroAsLing = false);

}  // namespace varnel

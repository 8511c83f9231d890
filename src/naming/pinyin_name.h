// The name maker of the pinyin rename task: the Chinese characters of the chosen name
// part become their pinyin (without tones), in the chosen letter case, optionally
// only the first letter of each syllable, with a separator between two syllables
// that follow each other. The pinyin of a character is ICU's Han-Latin reading of it
// alone, kept once looked up. Safe on any thread.
#pragma once

#include <string>
#include <string_view>

#include "naming/name_parts.h"

namespace varnel {

// 拼音类型.
enum class PinyinCase : int {
    FirstUpper = 1,      // 全首大写: the first letter of the whole text, when it starts with a Chinese character
    SyllablesUpper = 2,  // 字首大写: the first letter of every syllable
    AllUpper = 3,        // 全部大写
    AllLower = 4,        // 全部小写
};

// The pinyin task's parameters (批量拼音).
struct PinyinParams {
    NamePart scope = NamePart::WholeName;
    PinyinCase letterCase = PinyinCase::FirstUpper;
    std::string separator;      // 间隔符
    bool initialsOnly = false;  // 首拼模式
    bool useTemplate = false;   // 扩展组合
    std::string pattern = "?";  // 组合式
};

// True when the character (UTF-8 text of one character) is a Chinese character of
// GBK: its two bytes b1 b2 lie in 81-A0/40-FE, AA-FE/40-A0 or B0-F7/A1-FE.
bool IsHanziChar(std::string_view character);

// The pinyin of one character in lower-case ASCII letters, without tone; empty when
// ICU knows no reading of it.
std::string GetPinyin(char32_t codePoint);

// The new name. A Chinese character without a reading stays as it is and counts as
// no syllable.
std::string MakePinyinName(std::string_view name, const PinyinParams& params);

}  // namespace varnel

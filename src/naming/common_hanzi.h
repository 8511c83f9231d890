// The two character lists of the random Chinese characters: the common and the less
// common characters of modern Chinese, as UTF-8 texts of three bytes per character.
#pragma once

#include <string_view>

namespace varnel {

inline constexpr int kCommonHanziCount = 2500;
inline constexpr int kLessCommonHanziCount = 1000;

std::string_view CommonHanzi();
std::string_view LessCommonHanzi();

}  // namespace varnel

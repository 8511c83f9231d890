// The DOS attribute bits of a file and the Chinese words that the list's attribute
// column and the attribute meta-variable show for them. Pure; safe on any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "utilities/path_routines.h"  // kAttributeDirectory

namespace varnel {

inline constexpr std::uint32_t kAttributeReadOnly = 0x01;
inline constexpr std::uint32_t kAttributeHidden = 0x02;
inline constexpr std::uint32_t kAttributeSystem = 0x04;
inline constexpr std::uint32_t kAttributeArchive = 0x20;
// The word of a file that has none of the other bits.
inline constexpr std::uint32_t kAttributeNormal = 0x80;

// The words of the set bits among 只读, 隐藏, 系统, 目录, 存档 (in that order), joined by
// `separator` (an empty one means ","); other bits have no word, so 0x80 gives "".
std::string FormatAttributeNames(std::uint32_t attributes, std::string_view separator = ",");

}  // namespace varnel

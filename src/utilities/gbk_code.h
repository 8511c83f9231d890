// The GBK (code page 936) code of a character and the character of a code, for the
// features that name characters by their GBK bytes. Built once from ICU's table on
// first use; safe on any thread.
#pragma once

#include <cstdint>
#include <optional>

namespace varnel {

// A code: the byte of a single-byte character, or first byte * 256 + second byte.
using GbkCode = std::uint16_t;

// The code of a character; nothing for a character GBK cannot hold.
std::optional<GbkCode> GbkCodeOf(char32_t codePoint);
// The character of a code; nothing for a code that names no character.
std::optional<char32_t> CharOfGbkCode(GbkCode code);

// True when the code is written with two bytes.
constexpr bool IsDoubleByteCode(GbkCode code) { return code > 0xFF; }

}  // namespace varnel

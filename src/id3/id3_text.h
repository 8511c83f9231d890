// The text codings of MP3 tags: single-byte texts are GBK when their bytes are
// valid GBK, else ISO-8859-1 (so tags of older Chinese tools still read); ID3v1
// texts are written as GBK where GBK holds them. The program holds every text as
// UTF-8. Safe on any thread.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace varnel {

// Whether every byte is ASCII: such a text reads the same in every single-byte coding.
bool IsAsciiText(std::string_view text);

// GBK bytes as UTF-8 when they are valid GBK, else the bytes read as ISO-8859-1.
std::string DecodeSingleByteText(std::string_view bytes);

// The GBK bytes of a text; nothing when GBK cannot hold one of its characters.
std::optional<std::string> EncodeGbk(std::string_view utf8);

// The bytes a single-byte tag text is stored as: GBK, else ISO-8859-1; nothing
// when neither holds every character. DecodeSingleByteText reads them back.
std::optional<std::string> SingleByteForm(std::string_view utf8);

// The whole number a text starts with (0 when none), limited to 0 .. 2^31-1.
long LeadingWholeNumber(std::string_view text);

// A tag's display text: "label<separator>value" for each non-empty value, joined by blanks.
std::string FormatTagEntries(std::initializer_list<std::pair<const char*, std::string_view>> entries,
                             std::string_view separator);

}  // namespace varnel

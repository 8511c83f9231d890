// The name maker of the convert rename task: the chosen name part through the text
// converter (codecs, Chinese numerals, letter case, width, simplified and traditional
// characters). Pure; safe on any thread.
#pragma once

#include <expected>
#include <string>
#include <string_view>

#include "utilities/error.h"
#include "utilities/text_converter.h"

namespace varnel {

// Why a converted name is refused.
inline constexpr const char* kConvertedNameHasNul = "转换结果含有空字符，不能作文件名";
inline constexpr const char* kConvertedNameUndecodable = "转换结果不是可读的文字，不能作文件名";

// The new name (options.scope chooses the part). A conversion that fails, a result
// holding a NUL byte, or a converted part whose bytes are neither UTF-8 nor GBK text
// is an error: the row keeps its name; the part not converted is kept byte for byte
// whatever it holds. A "/" in the result becomes its full-width form "／". A result
// equal to the name is always accepted.
std::expected<std::string, Error> MakeConvertedName(std::string_view name, const ConvertOptions& options);

}  // namespace varnel

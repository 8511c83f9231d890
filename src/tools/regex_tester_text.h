// The stored form of the regular-expression tester's texts: one INI line each, with
// every line break written as the two characters "\n" and every backslash doubled,
// so that a pattern holding "\n" as two characters comes back as it was. Pure.
#pragma once

#include <string>
#include <string_view>

namespace varnel {

// CR LF, a lone CR or a lone LF becomes "\n"; "\" becomes "\\".
std::string StoreTesterText(std::string_view text);
// The reverse: "\\" gives "\", "\n" a line break ("\n"); a backslash before any
// other character stays as it is written (texts stored without doubled backslashes).
std::string LoadTesterText(std::string_view stored);

}  // namespace varnel

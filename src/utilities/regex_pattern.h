// Prepares a user's ECMAScript-style pattern for PCRE2 where the two read the same
// text differently: inside a character class, a hyphen next to a class escape
// ("[\w-.]", "[.-\d]") is a literal hyphen for ECMAScript, while PCRE2 refuses it
// as an invalid range. Such hyphens are escaped; every other pattern comes back
// byte for byte.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace varnel {

struct PreparedPattern {
    std::string text;
    // Where a backslash was put into `text`, in ascending order.
    std::vector<std::size_t> insertedAt;

    // An offset into `text` (such as where the engine found an error) as the offset
    // into the pattern the user wrote.
    std::size_t OriginalOffset(std::size_t offset) const;
};

PreparedPattern PrepareRegexPattern(std::string_view pattern);

}  // namespace varnel

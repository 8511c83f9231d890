// The options of the search in the file list, kept between searches.
#pragma once

#include <cstdint>
#include <string>

namespace varnel {

struct FindOptions {
    std::int32_t engine = 0;    // 0 plain, 1 wildcard, 2 regular expression
    std::string keyword;
    bool ignoreCase = false;
    bool wholeWord = false;
    std::int32_t column = 0;    // -1 all columns, else a list column
    bool upward = false;
    std::int32_t position = 0;  // list row where the next search starts; never stored
};

}  // namespace varnel

// The error value that core routines return instead of throwing: what failed,
// why, and on which path, readable both by a test and by a message box.
#pragma once

#include <string>

namespace varnel {

struct Error {
    int code = 0;          // errno where a system call failed, else one of the codes below
    std::string message;   // for the user; the system's own wording
    std::string path;      // the path concerned, when there is one

    static constexpr int kInvalidInput = -1;
    static constexpr int kConversion = -2;
};

Error MakeSystemError(int errnoValue, std::string path, std::string what = {});

}  // namespace varnel

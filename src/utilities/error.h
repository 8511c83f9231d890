// The error value that core routines return instead of throwing: what failed,
// why, and on which path, readable both by a test and by a message box.
#pragma once

#include <string>

namespace varnel {

struct Error {
    int code = 0;          // errno where a system call failed, else one of the codes below
    std::string message;   // for the user: what failed and why
    std::string path;      // the path concerned, when there is one

    static constexpr int kInvalidInput = -1;
    static constexpr int kConversion = -2;
    // The file changed on disk while its new content was being made: nothing written.
    static constexpr int kChangedMeanwhile = -3;
    // The file is marked read-only, or this user may not write it: nothing written.
    static constexpr int kReadOnly = -4;
};

// What the system refused, in the program's words: "权限不足" for EACCES, "目标已存在"
// for EEXIST, "跨文件系统" for EXDEV, ...; a rarer errno by its number.
std::string SystemErrorReason(int errnoValue);

// "what: reason" (just the reason without `what`), with the errno kept as the code.
Error MakeSystemError(int errnoValue, std::string path, std::string what = {});

// Why it failed: the message where the step gave its own reason, else the
// system's reason for the errno (also for a message made by MakeSystemError,
// which only adds what was being done).
std::string FailureReason(const Error& error);

}  // namespace varnel

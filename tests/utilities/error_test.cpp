#include "utilities/error.h"

#include <cerrno>

#include <gtest/gtest.h>

namespace varnel {
namespace {

bool HasLatinLetters(const std::string& text) {
    for (const char c : text) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
    }
    return false;
}

TEST(FailureReason, AStepsOwnReasonIsHeardAndTheSystemsOnlyWithoutOne) {
    struct Case {
        Error error;
        const char* reason;
    };
    const Case cases[] = {
        {Error{ENOENT, "找不到元素", "/a"}, "找不到元素"},
        {Error{EINVAL, "文件为空", "/a"}, "文件为空"},
        {Error{EISDIR, "不是普通文件", "/a"}, "不是普通文件"},
        {Error{ENOENT, "", "/a"}, "文件或文件夹不存在"},
        {MakeSystemError(EACCES, "/a", "无法打开"), "权限不足"},
        {MakeSystemError(EEXIST, "/a"), "目标已存在"},
        {Error{EILSEQ, "", {}}, "文字编码无效或不完整"},
        {Error{Error::kInvalidInput, "名称无效", {}}, "名称无效"},
    };
    for (const Case& c : cases) EXPECT_EQ(FailureReason(c.error), c.reason) << c.error.message;
}

TEST(FailureReason, NoErrnoReachesTheUserInEnglish) {
    for (int code = 1; code < 140; ++code) {
        const std::string reason = SystemErrorReason(code);
        EXPECT_FALSE(reason.empty()) << code;
        EXPECT_FALSE(HasLatinLetters(reason)) << code << " " << reason;
    }
    EXPECT_EQ(SystemErrorReason(EBADMSG), "系统错误（代码 " + std::to_string(EBADMSG) + "）");
}

}  // namespace
}  // namespace varnel

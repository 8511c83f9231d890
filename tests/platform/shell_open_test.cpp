#include "platform/shell_open.h"

#include <array>
#include <string>

#include <gtest/gtest.h>

namespace varnel {
namespace {

TEST(ShellOpen, OnlyLocalPathsAndFileOrWebAddresses) {
    struct Case {
        std::string target;
        std::string uri;  // "" = refused
    };
    const std::array<Case, 10> cases = {{
        {"/home/用户/a b.txt", "file:///home/%E7%94%A8%E6%88%B7/a%20b.txt"},
        {"/tmp/50%#x", "file:///tmp/50%25%23x"},
        {"https://example.org/a?b=1", "https://example.org/a?b=1"},
        {"HTTP://example.org/", "HTTP://example.org/"},
        {"file:///etc/hosts", "file:///etc/hosts"},
        {"relative/path.txt", ""},
        {"", ""},
        {"javascript:alert(1)", ""},
        {"smb://server/share", ""},
        {"mailto:a@b.c", ""},
    }};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        const auto uri = ShellUriFor(c.target);
        if (c.uri.empty()) {
            ASSERT_FALSE(uri.has_value());
            EXPECT_EQ(uri.error().path, c.target);
            EXPECT_FALSE(OpenWithShell(c.target).has_value());
        } else {
            ASSERT_TRUE(uri.has_value()) << uri.error().message;
            EXPECT_EQ(*uri, c.uri);
        }
    }
}

}  // namespace
}  // namespace varnel

#include "utilities/file_uri.h"

#include <string>

#include <gtest/gtest.h>

namespace varnel {
namespace {

TEST(FileUri, EveryByteComesBackAndTheUriIsPlainAscii) {
    std::string everyByte = "/";
    for (int c = 1; c < 256; ++c) everyByte += static_cast<char>(c);
    const std::string paths[] = {"/", "/a b/c%20d.txt", "/caf\xE9.txt", "/two\nlines\r", "/\xD6\xD0\xCE\xC4.txt",
                                 "/中文/名字.txt", "/#?&;'\"$`", everyByte};
    for (const std::string& path : paths) {
        const std::string uri = FileUriOfPath(path);
        EXPECT_TRUE(uri.starts_with("file:///")) << uri;
        for (const char c : uri) {
            EXPECT_TRUE(c > ' ' && c < 0x7F) << uri;
        }
        EXPECT_EQ(PathOfFileUri(uri), path) << uri;
    }
    EXPECT_EQ(FileUriOfPath("/a b/é"), "file:///a%20b/%C3%A9");
}

TEST(FileUri, WhatIsNotALocalFileUriNamesNothing) {
    struct Case {
        const char* uri;
        const char* path;  // nullptr: refused
    };
    const Case cases[] = {
        {"file:///tmp/x%41", "/tmp/xA"},
        {"file://localhost/tmp/x", "/tmp/x"},
        {"file:///a%2fb", "/a/b"},
        {"file://other.host/tmp/x", nullptr},
        {"http:///tmp/x", nullptr},
        {"/tmp/x", nullptr},
        {"file:/tmp/x", nullptr},
        {"file://", nullptr},
        {"file:///bad%4", nullptr},
        {"file:///bad%zz", nullptr},
        {"file:///nul%00byte", nullptr},
    };
    for (const Case& c : cases) {
        const auto path = PathOfFileUri(c.uri);
        if (c.path == nullptr) {
            EXPECT_FALSE(path.has_value()) << c.uri;
        } else {
            EXPECT_EQ(path, std::string(c.path)) << c.uri;
        }
    }
}

}  // namespace
}  // namespace varnel

#include "filelist/list_formatting.h"

#include <gtest/gtest.h>

namespace varnel {
namespace {

TEST(ListFormatting, ByteSizes) {
    struct Case { double size; int maxUnit; const char* text; };
    const Case cases[] = {
        {0, 0, "0 B"},
        {1023, 0, "1023 B"},
        {1536, 0, "1.5 KB"},
        {1073741824, 0, "1GB"},
        {3000000, 0, "2.86 MB"},
        {3000000, 1, "2929.69 KB"},
        {3000000, 9, "2.86 MB"},       // out of range: automatic
        {512000, 3, "500 KB"},         // a ceiling, not a fixed unit
        {-5, 0, "-5 B"},
        {1180591620717411303424.0, 0, "1024EB"},  // 2^70
        {3221225472.0, 0, "3GB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FormatByteSize(c.size, c.maxUnit), c.text);
    }
}

TEST(ListFormatting, TypeDescriptions) {
    EXPECT_EQ(GetFileTypeDescription(""), "无格式文件");
    EXPECT_EQ(GetFileTypeDescription("zzqq9"), "ZZQQ9 文件");
    // A known type gets the MIME database's description, not the fallback.
    EXPECT_NE(GetFileTypeDescription("txt"), "TXT 文件");
    EXPECT_EQ(GetFileTypeDescription("txt"), GetFileTypeDescription("txt"));
}

}  // namespace
}  // namespace varnel

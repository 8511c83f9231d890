#include "utilities/attribute_names.h"

#include <gtest/gtest.h>

namespace varnel {
namespace {

TEST(AttributeNames, WordsOfTheSetBitsInFixedOrder) {
    struct Case { std::uint32_t attributes; const char* separator; const char* expected; };
    const Case cases[] = {
        {0x21, ",", "只读,存档"},
        {0x21, " ", "只读 存档"},
        {0x21, "", "只读,存档"},  // an empty separator means ","
        {0x37, "、", "只读、隐藏、系统、目录、存档"},
        {0x80, ",", ""},          // normal: no word
        {0x10 | 0x80 | 0x800, "|", "目录"},
        {0, ",", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.attributes);
        EXPECT_EQ(FormatAttributeNames(c.attributes, c.separator), c.expected);
    }
    EXPECT_EQ(FormatAttributeNames(0x06), "隐藏,系统");
}

}  // namespace
}  // namespace varnel

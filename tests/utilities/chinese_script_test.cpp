#include "utilities/chinese_script.h"

#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "utilities/text_converter.h"

namespace varnel {
namespace {

using namespace std::string_literals;

std::string Value(const std::expected<std::string, Error>& result) {
    EXPECT_TRUE(result) << (result ? "" : result.error().message);
    return result ? *result : "<failed>";
}

struct Word {
    const char* from;
    const char* to;
};

// Characters that map by meaning: a character-by-character table gets these wrong.
const Word kToTraditional[] = {
    {"钟情", "鍾情"},     {"咸鱼", "鹹魚"},     {"系鞋带", "繫鞋帶"}, {"蓬松", "蓬鬆"},
    {"答复", "答覆"},     {"头发", "頭髮"},     {"理发", "理髮"},     {"发现", "發現"},
    {"干燥", "乾燥"},     {"干部", "幹部"},     {"干杯", "乾杯"},     {"后面", "後面"},
    {"皇后", "皇后"},     {"只有", "只有"},     {"一只", "一隻"},     {"了解", "瞭解"},
    // 裏 and 麪 are the standard forms (Taiwan writes 裡 and 麵).
    {"里面", "裏面"},     {"面条", "麪條"},     {"面对", "面對"},
    // Names of people and places.
    {"范仲淹", "范仲淹"}, {"乾隆", "乾隆"},     {"毛泽东", "毛澤東"}, {"周恩来", "周恩來"},
    {"鲁迅", "魯迅"},     {"乌鲁木齐", "烏魯木齊"}, {"广州", "廣州"}, {"北京", "北京"},
    {"台湾", "臺灣"},     {"香港", "香港"},
};

const Word kToSimplified[] = {
    {"乾隆", "乾隆"},     {"瞭望", "瞭望"},     {"乾淨", "干净"},     {"瞭解", "了解"},
    {"頭髮", "头发"},     {"理髮", "理发"},     {"發現", "发现"},     {"乾燥", "干燥"},
    {"幹部", "干部"},     {"後面", "后面"},     {"皇后", "皇后"},     {"只有", "只有"},
    {"裡面", "里面"},     {"裏面", "里面"},     {"麵條", "面条"},     {"鍾情", "钟情"},
    {"鹹魚", "咸鱼"},     {"繫鞋帶", "系鞋带"}, {"蓬鬆", "蓬松"},     {"答覆", "答复"},
    {"范仲淹", "范仲淹"}, {"毛澤東", "毛泽东"}, {"臺灣", "台湾"},     {"台灣", "台湾"},
};

TEST(ChineseScript, ConvertsWordsBothWays) {
    for (const Word& w : kToTraditional) {
        EXPECT_EQ(Value(TextConverter::ConvertToTraditional(w.from)), w.to) << w.from;
        // And back: every word comes home as it was written.
        EXPECT_EQ(Value(TextConverter::ConvertToSimplified(w.to)), w.from) << w.to;
    }
    for (const Word& w : kToSimplified) {
        EXPECT_EQ(Value(TextConverter::ConvertToSimplified(w.from)), w.to) << w.from;
    }
    // Words inside a sentence and a file name.
    EXPECT_EQ(Value(TextConverter::ConvertToTraditional("他对她一见钟情，头发很干燥.txt")),
              "他對她一見鍾情，頭髮很乾燥.txt");
}

TEST(ChineseScript, InvalidAndZeroBytesStayWhereTheyAre) {
    EXPECT_EQ(Value(TextConverter::ConvertToTraditional("简\xFF体\0头发"s)), "簡\xFF體\0頭髮"s);
    EXPECT_EQ(Value(TextConverter::ConvertToSimplified("\xFE頭髮\xFE"s)), "\xFE头发\xFE"s);
    EXPECT_EQ(Value(TextConverter::ConvertToSimplified("")), "");
    EXPECT_EQ(Value(TextConverter::ConvertToSimplified("abc\0"s)), "abc\0"s);
}

TEST(ChineseScript, Big5GetsTaiwanFormsItCanHold) {
    // The standard forms 爲, 衆 and 麪 have no Big5 code: Big5 is written with
    // Taiwan's 為, 眾 and 麵.
    const std::string gbk = Value(TextConverter::ConvertUtf8ToAnsi("为了群众的面条和头发"));
    const std::string big5 = Value(TextConverter::ConvertGbkSimplifiedToBig5(gbk));
    EXPECT_EQ(Value(TextConverter::ConvertBig5ToGbk(big5)),
              Value(TextConverter::ConvertUtf8ToAnsi("為了群眾的麵條和頭髮")));
    // Taiwan's 著急 is 着急, its 著作 stays 著作.
    const std::string taiwan = Value(TextConverter::ConvertUtf8ToAnsi("著急地讀著作"));
    const std::string fromBig5 =
        Value(TextConverter::ConvertBig5ToGbkSimplified(Value(TextConverter::ConvertGbkToBig5(taiwan))));
    EXPECT_EQ(Value(TextConverter::ConvertAnsiToUtf8(fromBig5)), "着急地读著作");
}

TEST(ChineseScript, MissingTableFailsCleanly) {
    auto missing = ScriptConverter::Load("/nonexistent/s2t.json");
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().code, Error::kConversion);
    EXPECT_NE(missing.error().message.find("/nonexistent/s2t.json"), std::string::npos);
    auto loaded = ScriptConverter::Load("t2s.json");
    ASSERT_TRUE(loaded) << loaded.error().message;
    EXPECT_EQ(Value((*loaded)->Convert("頭髮")), "头发");
}

TEST(ChineseScript, OneTableServesManyThreads) {
    const std::string text = "他对她一见钟情，系鞋带时头发很干燥。乌鲁木齐的面条";
    const std::string expected = Value(ConvertChineseScript(text, ScriptTable::SimplifiedToTraditional));
    std::vector<std::thread> threads;
    std::vector<int> wrong(8, 0);
    for (std::size_t t = 0; t < wrong.size(); ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i) {
                auto out = ConvertChineseScript(text, ScriptTable::SimplifiedToTraditional);
                if (!out || *out != expected) ++wrong[t];
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(wrong, std::vector<int>(8, 0));
}

}  // namespace
}  // namespace varnel

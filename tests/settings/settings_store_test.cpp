#include "settings/settings_store.h"

#include <cstdlib>

#include <gtest/gtest.h>

#include "settings/ini_document.h"
#include "support/faulty_posix.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

using testing::TempDir;

TEST(SettingsStore, ReadsFallBackToTheCurrentValue) {
    TempDir dir;
    dir.Write("s.ini",
              "; a comment\r\n"
              "[过滤参数]\r\n"
              "过滤文本 = *.txt|*.doc \r\n"
              "公式=a=b\r\n"
              "真值=真\r\n"
              "假值=假\r\n"
              "一=1\r\n"
              "空=\r\n"
              "英文=true\r\n"
              "重复=first\r\n"
              "重复=second\r\n"
              "Mixed Case Key=ascii\r\n"
              "[带 空格 的节]\r\n"
              "带 空格 的键=内容\r\n"
              "#完整路径.大写=真\r\n");
    struct Case {
        const char* section;
        const char* key;
        const char* fallback;
        const char* expected;
    };
    const Case cases[] = {
        {"过滤参数", "过滤文本", "x", "*.txt|*.doc"},
        {"过滤参数", "公式", "x", "a=b"},  // "=" inside a value
        {"过滤参数", "重复", "x", "first"},  // the first duplicate wins
        {"过滤参数", "mixed case key", "x", "ascii"},
        {"过滤参数", "缺少", "默认", "默认"},
        {"没有的节", "过滤文本", "默认", "默认"},
        {"带 空格 的节", "带 空格 的键", "x", "内容"},
        {"带 空格 的节", "#完整路径.大写", "x", "真"},  // "#" starts a key, not a comment
    };
    SettingsStore store;
    store.SetFile(dir / "s.ini");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        store.SelectSection(c.section);
        EXPECT_EQ(store.ReadText(c.key, c.fallback), c.expected);
    }

    struct BoolCase { const char* key; bool fallback; bool expected; };
    const BoolCase bools[] = {
        {"真值", false, true}, {"假值", true, false}, {"一", true, false},
        {"空", true, false}, {"英文", true, false}, {"缺少", true, true}, {"缺少", false, false},
    };
    store.SelectSection("过滤参数");
    for (const BoolCase& c : bools) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(store.ReadBool(c.key, c.fallback), c.expected);
    }

    SettingsStore missing;
    missing.SetFile(dir / "none.ini");
    missing.SelectSection("过滤参数");
    EXPECT_EQ(missing.ReadText("过滤文本", "默认"), "默认");
    EXPECT_EQ(missing.ReadNumber("数字", 7), 7);
    EXPECT_EQ(missing.ReadNumber("数字"), 0);
}

TEST(SettingsStore, RewriteKeepsEverythingItDidNotChange) {
    TempDir dir;
    dir.Write("s.ini",
              "; kept comment\n"
              "[甲]\n"
              "a=1\n"
              "\n"
              "[未知节]\n"
              "x=y\n");
    {
        SettingsStore store;
        store.SetFile(dir / "s.ini");
        store.SelectSection("甲");
        EXPECT_TRUE(store.WriteText("a", "2"));
        EXPECT_TRUE(store.WriteText("b", " 前后空格 "));
        store.SelectSection("乙");
        EXPECT_TRUE(store.WriteBool("开", true));
        ASSERT_TRUE(store.Flush());
    }
    EXPECT_EQ(dir.Read("s.ini"),
              "; kept comment\n"
              "[甲]\n"
              "a=2\n"
              "b=\" 前后空格 \"\n"
              "\n"
              "[未知节]\n"
              "x=y\n"
              "\n"
              "[乙]\n"
              "开=真\n");
    SettingsStore reader;
    reader.SetFile(dir / "s.ini");
    reader.SelectSection("甲");
    EXPECT_EQ(reader.ReadText("b"), " 前后空格 ");
}

TEST(SettingsStore, ValueBytesSurviveARewrite) {
    // A CR before the line end belongs to the value; so does a lone CR inside it.
    TempDir dir;
    const std::string original = "[节]\nk=v\r\r\nlone=a\rb\nlast=x\r";
    dir.Write("s.ini", original);
    SettingsStore store;
    store.SetFile(dir / "s.ini");
    store.SelectSection("节");
    EXPECT_EQ(store.ReadText("k"), "v\r");
    EXPECT_EQ(store.ReadText("lone"), "a\rb");
    EXPECT_EQ(store.ReadText("last"), "x");
    store.SelectSection("其他");
    EXPECT_TRUE(store.WriteText("新", "1"));
    ASSERT_TRUE(store.Flush());
    EXPECT_EQ(dir.Read("s.ini"), "[节]\nk=v\r\r\nlone=a\rb\nlast=x\n\n[其他]\n新=1\n");
    SettingsStore reader;
    reader.SetFile(dir / "s.ini");
    reader.SelectSection("节");
    EXPECT_EQ(reader.ReadText("k"), "v\r");
    EXPECT_EQ(reader.ReadText("lone"), "a\rb");
    // Written back unchanged, the document stays byte for byte the same.
    const IniDocument parsed = IniDocument::Parse(dir.Read("s.ini"));
    EXPECT_EQ(parsed.Serialize(), dir.Read("s.ini"));
}

TEST(SettingsStore, NeverWritesALineBreakOrABadKey) {
    TempDir dir;
    SettingsStore store;
    store.SetFile(dir / "s.ini");
    store.SelectSection("节");
    EXPECT_TRUE(store.WriteText("多行", "一\r\n二\n三\r四"));
    EXPECT_FALSE(store.WriteText("a=b", "x"));
    EXPECT_FALSE(store.WriteText("a\nb", "x"));
    EXPECT_FALSE(store.WriteText("", "x"));
    EXPECT_FALSE(store.WriteText(";comment", "x"));
    store.SelectSection("bad]section");
    EXPECT_FALSE(store.WriteText("k", "x"));
    ASSERT_TRUE(store.Flush());
    EXPECT_EQ(dir.Read("s.ini"), "[节]\n多行=一;;;二;;;三;;;四\n");
}

TEST(SettingsStore, NumbersAndDatesRoundTrip) {
    TempDir dir;
    SettingsStore store;
    store.SetFile(dir / "s.ini");
    store.SelectSection("数");
    const double numbers[] = {0, 1, -1, 2.5, 60, 1e-7, 123456.789, -0.001};
    for (double n : numbers) {
        store.WriteNumber("n", n);
        ASSERT_TRUE(store.Flush());
        SettingsStore reader;
        reader.SetFile(dir / "s.ini");
        reader.SelectSection("数");
        EXPECT_EQ(reader.ReadNumber("n", 99), n);
    }
    store.WriteDateTime("d", 45293.5);
    store.WriteText("damaged", "abc");
    ASSERT_TRUE(store.Flush());
    EXPECT_NE(dir.Read("s.ini").find("d=2024-01-02 12:00:00"), std::string::npos);
    SettingsStore reader;
    reader.SetFile(dir / "s.ini");
    reader.SelectSection("数");
    EXPECT_DOUBLE_EQ(reader.ReadDateTime("d", 1), 45293.5);
    EXPECT_EQ(reader.ReadNumber("damaged", 5), 0);  // a damaged number reads as 0
    EXPECT_EQ(reader.ReadDateTime("damaged", 5), 5);
}

// A number read and saved again unchanged keeps the file's digits, even those a
// double cannot hold; a changed number is written afresh.
TEST(SettingsStore, NumbersWrittenBackUnchangedKeepTheirDigits) {
    TempDir dir;
    dir.Write("s.ini", "[数]\r\nbig=89012345678967888\r\nzeros=007\r\nfraction=0.10\r\nchanged=5\r\n");
    SettingsStore store;
    store.SetFile(dir / "s.ini");
    store.SelectSection("数");
    for (const char* key : {"big", "zeros", "fraction"}) store.WriteNumber(key, store.ReadNumber(key));
    store.WriteNumber("changed", store.ReadNumber("changed") + 1);
    ASSERT_TRUE(store.Flush());
    const std::string text = dir.Read("s.ini");
    for (const char* line : {"big=89012345678967888", "zeros=007", "fraction=0.10", "changed=6"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
    }
}

TEST(SettingsStore, DatesOutsideTheRangeReadAsTheDefaultAndSaveClamped) {
    TempDir dir;
    dir.Write("s.ini", "[日]\nbig=1e19\ninf=1e999\nneg=-1e19\nyear=99999-01-01\n");
    SettingsStore store;
    store.SetFile(dir / "s.ini");
    store.SelectSection("日");
    for (const char* key : {"big", "inf", "neg", "year"}) {
        SCOPED_TRACE(key);
        EXPECT_EQ(store.ReadDateTime(key, 7), 7);
    }
    store.WriteDateTime("big", 1e19);
    ASSERT_TRUE(store.Flush());
    EXPECT_NE(dir.Read("s.ini").find("big=9999-12-31 23:59:59.999\n"), std::string::npos);
}

TEST(SettingsStore, TwoStoresKeepEachOthersKeys) {
    TempDir dir;
    SettingsStore first;
    SettingsStore second;
    first.SetFile(dir / "s.ini");
    second.SetFile(dir / "s.ini");
    first.SelectSection("共");
    second.SelectSection("共");
    first.WriteText("甲", "1");
    second.WriteText("乙", "2");
    ASSERT_TRUE(first.Flush());
    ASSERT_TRUE(second.Flush());
    first.WriteText("丙", "3");
    ASSERT_TRUE(first.Flush());

    SettingsStore reader;
    reader.SetFile(dir / "s.ini");
    reader.SelectSection("共");
    EXPECT_EQ(reader.ReadText("甲"), "1");
    EXPECT_EQ(reader.ReadText("乙"), "2");
    EXPECT_EQ(reader.ReadText("丙"), "3");
    // A store sees what another wrote after it first read the file.
    EXPECT_EQ(first.ReadText("乙"), "2");
}

TEST(SettingsStore, ReadsGbkFileAndWritesUtf8) {
    TempDir dir;
    dir.Write("utf8.ini", "[设置]\r\n单击=真\r\n文本格式=txt,日志\r\n");
    const std::string command = "iconv -f UTF-8 -t GBK '" + (dir / "utf8.ini") + "' > '" +
                                (dir / "gbk.ini") + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    SettingsStore store;
    store.SetFile(dir / "gbk.ini");
    store.SelectSection("设置");
    EXPECT_TRUE(store.ReadBool("单击"));
    EXPECT_EQ(store.ReadText("文本格式"), "txt,日志");
    store.WriteText("新", "值");
    ASSERT_TRUE(store.Flush());
    EXPECT_EQ(dir.Read("gbk.ini"), "[设置]\n单击=真\n文本格式=txt,日志\n新=值\n");
}

TEST(SettingsStore, FailedSaveIsReportedAndKeepsTheFile) {
    TempDir dir;
    dir.Write("s.ini", "[节]\nk=old\n");
    testing::FaultyPosix os;
    SettingsStore store(os);
    store.SetFile(dir / "s.ini");
    store.SelectSection("节");
    store.WriteText("k", "new");
    os.Fail(testing::FaultyPosix::Call::Write, ENOSPC);
    const auto saved = store.Flush();
    ASSERT_FALSE(saved.has_value());
    EXPECT_EQ(saved.error().code, ENOSPC);
    EXPECT_EQ(dir.Read("s.ini"), "[节]\nk=old\n");
    EXPECT_TRUE(store.HasPendingChanges());  // nothing is dropped: a later save may succeed
    os.Fail(testing::FaultyPosix::Call::None, 0);
    ASSERT_TRUE(store.Flush());
    EXPECT_EQ(dir.Read("s.ini"), "[节]\nk=new\n");
}

}  // namespace
}  // namespace varnel

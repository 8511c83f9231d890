#include "tools/print_settings.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace varnel {
namespace {

using testing::TempDir;

TEST(PrintSettingsTest, MissingFileKeepsTheDesignValues) {
    TempDir dir;
    const PrintSettings design;
    EXPECT_EQ(LoadPrintSettings(dir / kPrintSettingsFileName, design), design);
}

TEST(PrintSettingsTest, FileRoundTrip) {
    TempDir dir;
    const std::string file = dir / kPrintSettingsFileName;
    PrintSettings settings;
    settings.title = "文件清单";
    settings.header = "左|中|右";
    settings.footer = "第一部|第二部";
    settings.notes = "备注";
    settings.pageNumberPosition = 5;
    settings.paper = 3;
    settings.fontSize = "";
    settings.rowsPerPage = "40";
    settings.serialColumn = true;
    settings.centring = true;
    settings.orientation = 0;
    settings.colourScheme = 3;
    settings.colours = {1, 2, 3, MakeColour(1, 2, 3), 0xffffff, 0};
    ASSERT_TRUE(SavePrintSettings(file, settings).has_value());
    EXPECT_EQ(LoadPrintSettings(file, PrintSettings{}), settings);
    const std::string text = dir.Read(kPrintSettingsFileName);
    EXPECT_NE(text.find("[打印设置]"), std::string::npos);
    EXPECT_NE(text.find("自定义列=真"), std::string::npos);
    EXPECT_NE(text.find("列标=197121"), std::string::npos);  // Windows colour numbers
    EXPECT_NE(text.find("纸张方向=0"), std::string::npos);

    for (int scheme : {0, 1, 2}) {
        settings.colourScheme = scheme;
        ASSERT_TRUE(SavePrintSettings(file, settings).has_value());
        EXPECT_EQ(LoadPrintSettings(file, PrintSettings{}).colourScheme, scheme);
    }
}

TEST(PrintSettingsTest, MissingKeysOfAnExistingFileReadEmpty) {
    TempDir dir;
    dir.Write(kPrintSettingsFileName, "[打印设置]\n标题=T\n纸张方向=1\n");
    const PrintSettings loaded = LoadPrintSettings(dir / kPrintSettingsFileName, PrintSettings{});
    EXPECT_EQ(loaded.title, "T");
    EXPECT_EQ(loaded.paper, 0);
    EXPECT_EQ(loaded.fontSize, "");
    EXPECT_EQ(loaded.orientation, 1);
    EXPECT_EQ(loaded.colours[kRowTitle], 0u);
    EXPECT_EQ(loaded.colourScheme, 0);
}

TEST(PrintSettingsTest, ColourSchemes) {
    PrintSettings settings;
    settings.colours = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(ColourSchemeOf(settings), (ReportColourScheme{0, 0, 0, 0}));
    settings.colourScheme = 1;
    EXPECT_EQ(ColourSchemeOf(settings), (ReportColourScheme{1, MakeColour(222, 223, 206), MakeColour(239, 239, 222), 0}));
    settings.colourScheme = 2;
    EXPECT_EQ(ColourSchemeOf(settings), (ReportColourScheme{2, 1, 2, 3}));
    settings.colourScheme = 3;
    EXPECT_EQ(ColourSchemeOf(settings), (ReportColourScheme{3, 4, 5, 6}));
}

TEST(PrintSettingsTest, ChecksInOrder) {
    struct Case {
        const char* statistics;
        const char* formula;
        const char* header;
        const char* footer;
        std::optional<PrintSettingsProblem> problem;
        const char* fontSize = "";
    };
    const PrintSettingsProblem statistics{"统计行保留位数的设置范围为-3到3之间！", 2, "统计行保留位数"};
    const PrintSettingsProblem formula{"新增列保留位数的设置范围为-3到3之间！", 1, "新增列保留位数"};
    const PrintSettingsProblem header{"页眉中设置的“|”不能多于3个！", 0, "页眉"};
    const PrintSettingsProblem footer{"页脚中设置的“|”不能多于3个！", 0, "页脚"};
    const PrintSettingsProblem fontSize{"字体大小的设置范围为10到300之间（单位为0.1毫米）！", 0, "字体大小"};
    const Case cases[] = {
        {"", "", "", "", std::nullopt},
        {"3", "-3", "a|b|c|d", "a|b|c|d", std::nullopt},
        {"abc", "x", "", "", std::nullopt},
        {"4", "4", "a|b|c|d|e", "", statistics},
        {"-4", "", "", "", statistics},
        {"3.5", "", "", "", statistics},
        {"0", "4", "", "", formula},
        {"0", "0", "a|b|c|d|e", "a|b|c|d|e", header},
        {"0", "0", "", "||||", footer},
        {"0", "0", "", "||||", footer, "0"},
        {"", "", "", "", std::nullopt, "10"},
        {"", "", "", "", std::nullopt, "300.9"},
        {"", "", "", "", fontSize, "2000000000"},
        {"", "", "", "", fontSize, "1e300"},
        {"", "", "", "", fontSize, "9"},
        {"", "", "", "", fontSize, "-30"},
        {"", "", "", "", fontSize, "abc"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CheckPrintTexts(c.statistics, c.formula, c.header, c.footer, c.fontSize), c.problem)
            << c.statistics << " " << c.formula << " " << c.header << " " << c.footer << " " << c.fontSize;
    }
    EXPECT_EQ(SplitLineParts(""), std::vector<std::string>{""});
    EXPECT_EQ(SplitLineParts("a||b"), (std::vector<std::string>{"a", "", "b"}));

    EXPECT_EQ(CheckPrintChoices({}, {}), (PrintSettingsProblem{"没有选择要进行打印的列！", 1, ""}));
    EXPECT_EQ(CheckPrintChoices({0}, {SummaryMode::Count, {}}), std::nullopt);
    EXPECT_EQ(CheckPrintChoices({0}, {SummaryMode::Statistics, {}}),
              (PrintSettingsProblem{"没有选择要进行统计的列！", 2, ""}));
    EXPECT_EQ(CheckPrintChoices({0}, {SummaryMode::Statistics, {"a"}}), std::nullopt);
}

TEST(PrintSettingsTest, RebuildStatisticsList) {
    const std::vector<CheckItem> print{{"名称", true}, {"大小", false}, {"类型", true}};
    EXPECT_EQ(RebuildStatisticsList(print, {"两倍"}, false),
              (std::vector<CheckItem>{{"名称", false}, {"类型", false}, {"两倍", false}}));
    EXPECT_EQ(RebuildStatisticsList(print, {}, true), (std::vector<CheckItem>{{"名称", true}, {"类型", true}}));
}

}  // namespace
}  // namespace varnel

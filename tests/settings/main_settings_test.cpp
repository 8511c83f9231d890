#include "settings/main_settings.h"

#include <set>
#include <utility>

#include <gtest/gtest.h>

#include "settings/ini_document.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

using testing::TempDir;
using KeyList = std::vector<std::pair<std::string, std::string>>;

const KeyList kMainWindowKeys = {
    {"遍历参数", "遍历层次"}, {"遍历参数", "忽略目录"}, {"遍历参数", "忽略文件"},
    {"过滤参数", "启用过滤"}, {"过滤参数", "主引擎"}, {"过滤参数", "过滤文本"},
    {"过滤参数", "忽略大小写"}, {"过滤参数", "完整匹配"}, {"过滤参数", "取反"},
    {"列定义", "预览专区"}, {"列定义", "文件大小"}, {"列定义", "文件类型"},
    {"列定义", "文件属性"}, {"列定义", "创建时间"}, {"列定义", "修改时间"},
    {"列定义", "访问时间"}, {"列定义", "所属目录"}, {"列定义", "自动调节"},
    {"列定义", "内置图标"}, {"列定义", "大图标(32x32)"},
    {"界面布局", "显示工具条"}, {"界面布局", "显示状态条"}, {"界面布局", "显示目录树"},
    {"界面布局", "保持前端"}, {"界面布局", "目录树.宽度"}, {"界面布局", "目录树.路径"},
    {"界面布局", "任务框.宽度"}, {"界面布局", "任务框.选中项"}, {"界面布局", "任务框.展缩"},
    {"界面布局", "显示批量任务"}, {"界面布局", "窗口位置"}, {"界面布局", "窗口左边"},
    {"界面布局", "窗口顶边"}, {"界面布局", "窗口宽度"}, {"界面布局", "窗口高度"},
    {"文件内容预览", "图像(Gif|Jpg|Bmp|Ico|Cur)"}, {"文件内容预览", "音频(Mp3|Mid|Wav)"},
    {"文件内容预览", "文本(自定义格式)"}, {"文件内容预览", "文本格式"},
    {"文件内容预览", "重复播放"},
    {"音乐 Id3 预览", "预览v1"}, {"音乐 Id3 预览", "预览v2"}, {"音乐 Id3 预览", "互补预览"},
    {"音乐 Id3 预览", "自动显示歌词"},
    {"设置", "右键 发送到 菜单"}, {"设置", "单击"}, {"设置", "根据遍历设置输入"},
    {"设置", "资源管理器中打开"}, {"设置", "上次复制类型"}, {"设置", "增强型数值排序"},
};

KeyList KeysOf(const std::string& text) { return IniDocument::Parse(text).KeyList(); }

TEST(MainSettings, FirstSaveWritesEveryKeyInOrder) {
    TempDir dir;
    SettingsStore store;
    store.SetFile(dir / "Varnel更名.ini");
    MainSettings settings;
    ASSERT_TRUE(LoadOrSaveMainSettings(store, settings, false));  // no file: designed values
    EXPECT_EQ(settings.filterText, "*.rar|*.txt|*.exe|*Varnel*");
    EXPECT_EQ(settings.mainEngine, 1);
    ASSERT_TRUE(LoadOrSaveMainSettings(store, settings, true));
    EXPECT_EQ(KeysOf(dir.Read("Varnel更名.ini")), kMainWindowKeys);
}

TEST(MainSettings, ValuesRoundTrip) {
    TempDir dir;
    MainSettings saved;
    saved.walkDepth = "-1";
    saved.filterText = "*.jpg|*.png";
    saved.mainEngine = 2;
    saved.columnSize = true;
    saved.largeIcons = false;
    saved.treePath = "/home/用户/图片";
    saved.taskBoxExpansion = "0,1;5,0;12,1";
    saved.windowLeft = 10;
    saved.windowWidth = 1234;
    saved.lastCopyKind = 4;
    saved.numericSortGroup = 2;
    {
        SettingsStore store;
        store.SetFile(dir / "s.ini");
        ASSERT_TRUE(LoadOrSaveMainSettings(store, saved, true));
    }
    SettingsStore store;
    store.SetFile(dir / "s.ini");
    MainSettings loaded;
    ASSERT_TRUE(LoadOrSaveMainSettings(store, loaded, false));
    EXPECT_EQ(loaded.walkDepth, "-1");
    EXPECT_EQ(loaded.filterText, "*.jpg|*.png");
    EXPECT_EQ(loaded.mainEngine, 2);
    EXPECT_TRUE(loaded.columnSize);
    EXPECT_FALSE(loaded.largeIcons);
    EXPECT_EQ(loaded.treePath, "/home/用户/图片");
    EXPECT_EQ(loaded.taskBoxExpansion, "0,1;5,0;12,1");
    EXPECT_EQ(loaded.windowLeft, 10);
    EXPECT_EQ(loaded.windowWidth, 1234);
    EXPECT_EQ(loaded.lastCopyKind, 4);
    EXPECT_EQ(loaded.numericSortGroup, 2);
}

TEST(MainSettings, WindowStateDecidesWhetherGeometryIsRead) {
    struct Case { const char* state; StoredWindowState expected; double left; };
    const Case cases[] = {
        {"3", StoredWindowState::Maximised, 50},  // maximised: geometry keys not read
        {"2", StoredWindowState::Minimised, 50},  // minimised: designed place kept
        {"0", StoredWindowState::Normal, 300},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        TempDir dir;
        dir.Write("s.ini", std::string("[界面布局]\n窗口位置=") + c.state +
                               "\n窗口左边=300\n窗口顶边=200\n");
        SettingsStore store;
        store.SetFile(dir / "s.ini");
        MainSettings settings;
        ASSERT_TRUE(LoadOrSaveMainSettings(store, settings, false));
        EXPECT_EQ(settings.windowState, c.expected);
        EXPECT_EQ(settings.windowLeft, c.left);
    }
}

TEST(MainSettings, MissingSortGroupReadsZero) {
    TempDir dir;
    SettingsStore store;
    store.SetFile(dir / "s.ini");
    MainSettings settings;
    settings.numericSortGroup = 3;
    ASSERT_TRUE(LoadOrSaveMainSettings(store, settings, false));
    EXPECT_EQ(settings.numericSortGroup, 0);
}

TEST(TimeFormatSettings, DefaultsAndEmptyPattern) {
    TempDir dir;
    SettingsStore store;
    store.SetFile(dir / "s.ini");
    TimeFormat format;
    ASSERT_TRUE(LoadOrSaveTimeFormat(store, format, false));
    EXPECT_EQ(format.pattern, "#年/#月/#日 #时:#分:#秒");
    EXPECT_TRUE(format.zeroPad);
    EXPECT_FALSE(format.toChineseNumerals);

    dir.Write("s.ini", "[时间格式]\n组合规则=\n到汉字=真\n零位补齐=假\n");
    SettingsStore reread;
    reread.SetFile(dir / "s.ini");
    ASSERT_TRUE(LoadOrSaveTimeFormat(reread, format, false));
    EXPECT_EQ(format.pattern, "#年/#月/#日 #时:#分:#秒");
    EXPECT_TRUE(format.toChineseNumerals);
    EXPECT_FALSE(format.zeroPad);

    SettingsStore fresh;
    fresh.SetFile(dir / "new.ini");
    ASSERT_TRUE(LoadOrSaveTimeFormat(fresh, format, true));
    const KeyList expected = {{"时间格式", "组合规则"}, {"时间格式", "到汉字"},
                              {"时间格式", "到繁体"}, {"时间格式", "零处理"},
                              {"时间格式", "单字模式"}, {"时间格式", "零位补齐"}};
    EXPECT_EQ(KeysOf(dir.Read("new.ini")), expected);
}

TEST(FindOptionSettings, OutOfRangeValuesLoadAsZero) {
    struct Case { const char* column; const char* engine; int expectedColumn; int expectedEngine; };
    const Case cases[] = {
        {"9", "3", 0, 0}, {"-2", "-1", 0, 0}, {"-1", "2", -1, 2}, {"8", "0", 8, 0}, {"3", "1", 3, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.column) + "/" + c.engine);
        TempDir dir;
        dir.Write("s.ini", std::string("[查找表项]\n指定列=") + c.column + "\n引擎=" + c.engine +
                               "\n关键字=报告\n向上=真\n");
        SettingsStore store;
        store.SetFile(dir / "s.ini");
        FindOptions options;
        ASSERT_TRUE(LoadOrSaveFindOptions(store, options, false));
        EXPECT_EQ(options.column, c.expectedColumn);
        EXPECT_EQ(options.engine, c.expectedEngine);
        EXPECT_EQ(options.keyword, "报告");
        EXPECT_TRUE(options.upward);
    }
}

}  // namespace
}  // namespace varnel

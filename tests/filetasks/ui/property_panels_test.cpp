#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

#include <filesystem>
#include <fstream>
#include <functional>

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include "app/app_globals.h"
#include "filelist/ui/file_list_panel.h"
#include "filetasks/shortcut_file.h"
#include "filetasks/ui/attributes_panel.h"
#include "filetasks/ui/file_task_registrations.h"
#include "filetasks/ui/file_times_panel.h"
#include "filetasks/ui/shortcut_properties_panel.h"
#include "runs/ui/batch_task_area.h"
#include "runs/ui/task_box.h"
#include "settings/ini_document.h"
#include "support/file_task_area.h"
#include "support/notice_recorder.h"
#include "support/panel_test.h"
#include "support/qt_app.h"
#include "support/temp_dir.h"
#include "support/time_zone.h"
#include "support/tree_state.h"
#include "utilities/attribute_names.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;
constexpr int kWaitMs = 10000;

using testing::Find;

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string IniValue(const std::string& file, const char* section, const char* key) {
    return IniDocument::Parse(ReadBytes(file)).Get(section, key).value_or("<none>");
}

TEST(FileTimesPanel, BoxesFollowTheTicksAndAreKeptAsSevenFields) {
    testing::TestApplication();
    testing::TempDir dir;
    std::string current;
    FileTimesPanel first(nullptr, [&current] { return current; });
    auto* setModified = Find<QCheckBox>(first, "选择框置修改");
    EXPECT_FALSE(Find<QLineEdit>(first, "编辑框修改年")->isEnabled());
    setModified->click();
    EXPECT_TRUE(Find<QLineEdit>(first, "编辑框修改年")->isEnabled());
    EXPECT_FALSE(Find<QLineEdit>(first, "编辑框创建秒")->isEnabled());
    Find<QLineEdit>(first, "编辑框修改年")->setText("2009");
    Find<QLineEdit>(first, "编辑框修改月")->setText("12");
    testing::Store(first, dir / "s.ini", "批量时间", true);
    EXPECT_EQ(IniValue(dir / "s.ini", "批量时间", "修改时间"), "真|2009|12||||");
    EXPECT_EQ(IniValue(dir / "s.ini", "批量时间", "创建时间"), "假||||||");

    FileTimesPanel second(nullptr, {});
    Find<QLineEdit>(second, "编辑框访问日")->setText("9");
    testing::Store(second, dir / "s.ini", "批量时间", false);
    const FileTimesParams p = second.CurrentParameters();
    EXPECT_TRUE(p.Group(TimeGroup::Modified).setTime);
    EXPECT_FALSE(p.Group(TimeGroup::Created).setTime);
    EXPECT_EQ(p.Group(TimeGroup::Modified).units, (std::array<int, 6>{2009, 12, -1, -1, -1, -1}));
    EXPECT_EQ(Find<QLineEdit>(second, "编辑框访问日")->text(), "");  // the missing value empties it
    EXPECT_TRUE(Find<QLineEdit>(second, "编辑框修改月")->isEnabled());

    // The clock fills a group, × empties it.
    Find<QPushButton>(first, "超级按钮读访问")->click();
    EXPECT_EQ(Find<QLineEdit>(first, "编辑框访问年")->text().size(), 4);
    Find<QPushButton>(first, "超级按钮清空访问")->click();
    EXPECT_EQ(Find<QLineEdit>(first, "编辑框访问年")->text(), "");

    // The current row's times, once 读文件 is ticked.
    testing::ScopedTimeZone zone("UTC0");
    dir.Write("a.txt", "a");
    const timespec times[2] = {{946'684'800, 0}, {1'000'000'000, 0}};  // 2000-01-01, 2001-09-09 01:46:40
    ASSERT_EQ(::utimensat(AT_FDCWD, (dir / "a.txt").c_str(), times, 0), 0);
    current = dir / "a.txt";
    first.LoadFileTimesFromList();
    EXPECT_EQ(Find<QLineEdit>(first, "编辑框修改年")->text(), "2009");  // not ticked: nothing read
    Find<QCheckBox>(first, "选择框读文件")->click();
    EXPECT_EQ(Find<QLineEdit>(first, "编辑框修改年")->text(), "2001");
    EXPECT_EQ(Find<QLineEdit>(first, "编辑框修改分")->text(), "46");
    EXPECT_EQ(Find<QLineEdit>(first, "编辑框访问年")->text(), "2000");
    first.LoadFileTimesFromList("");
    EXPECT_EQ(Find<QLineEdit>(first, "编辑框修改年")->text(), "2001");
}

TEST(PropertyPanels, ARunShowsTheColumnsItFills) {
    testing::TestApplication();
    std::vector<ListColumn> shown;
    const auto record = [&shown](ListColumn column) { shown.push_back(column); };
    FileTimesPanel times(nullptr, [] { return std::string(); });
    times.SetShowColumn(record);
    Find<QCheckBox>(times, "选择框置修改")->click();
    Find<QCheckBox>(times, "选择框置访问")->click();
    ASSERT_TRUE(times.MakeParams(RunMode::FullPreview));
    EXPECT_EQ(shown, (std::vector<ListColumn>{ListColumn::Modified, ListColumn::Accessed}));
    shown.clear();
    AttributesPanel attributes;
    attributes.SetShowColumn(record);
    ASSERT_TRUE(attributes.MakeParams(RunMode::Execute));
    EXPECT_EQ(shown, (std::vector<ListColumn>{ListColumn::Attributes}));
}

TEST(AttributesPanel, TicksGiveTheWordAndAreKept) {
    testing::TestApplication();
    testing::TempDir dir;
    AttributesPanel first;
    QSignalSpy changed(&first, &TaskPanel::parametersChanged);
    Find<QCheckBox>(first, "选择框只读")->click();
    Find<QCheckBox>(first, "选择框存档")->click();
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(first.CurrentParameters().attributes, kAttributeReadOnly | kAttributeArchive);
    testing::Store(first, dir / "s.ini", "批量属性", true);
    AttributesPanel second;
    testing::Store(second, dir / "s.ini", "批量属性", false);
    EXPECT_EQ(second.CurrentParameters().attributes, 33u);
    EXPECT_EQ(IniValue(dir / "s.ini", "批量属性", "隐藏"), "假");
}

TEST(ShortcutPropertiesPanel, OnlyTickedFieldsAreHandedOverAndEveryControlIsKept) {
    testing::TestApplication();
    testing::TempDir dir;
    ShortcutPropertiesPanel first(nullptr);
    EXPECT_EQ(Find<QLineEdit>(first, "编辑框描述信息")->text(), "#主名");
    EXPECT_EQ(Find<QLineEdit>(first, "编辑框图标位置")->text(), "#完整路径");
    EXPECT_FALSE(Find<QLineEdit>(first, "编辑框欲替换")->isEnabled());
    const ShortcutTaskParams none = first.CurrentParameters();
    EXPECT_FALSE(none.target.changeTarget || none.description || none.iconLocation || none.arguments);
    EXPECT_EQ(none.windowStyle, -1);

    Find<QCheckBox>(first, "选择框目标路径")->click();
    EXPECT_TRUE(Find<QLineEdit>(first, "编辑框替换次数")->isEnabled());
    EXPECT_FALSE(Find<QCheckBox>(first, "选择框全局匹配")->isEnabled());
    Find<QCheckBox>(first, "选择框启用正则")->click();
    EXPECT_FALSE(Find<QLineEdit>(first, "编辑框替换次数")->isEnabled());
    EXPECT_TRUE(Find<QCheckBox>(first, "选择框全局匹配")->isEnabled());
    Find<QLineEdit>(first, "编辑框欲替换")->setText("/old");
    Find<QLineEdit>(first, "编辑框替换成")->setText("/new");
    Find<QCheckBox>(first, "选择框图标位置")->click();
    Find<QLineEdit>(first, "编辑框图标索引")->setText("2");
    Find<QCheckBox>(first, "选择框窗口风格")->click();
    Find<QComboBox>(first, "组合框窗口风格")->setCurrentIndex(1);
    testing::Store(first, dir / "s.ini", "批量快捷方式", true);

    ShortcutPropertiesPanel second(nullptr);
    testing::Store(second, dir / "s.ini", "批量快捷方式", false);
    const ShortcutTaskParams p = second.CurrentParameters();
    EXPECT_TRUE(p.target.changeTarget && p.target.useRegex);
    EXPECT_EQ(p.target.findText, "/old");
    EXPECT_EQ(p.target.replaceText, "/new");
    EXPECT_EQ(p.iconLocation, "#完整路径,2");
    EXPECT_FALSE(p.description);
    EXPECT_EQ(p.windowStyle, 3);
    EXPECT_FALSE(Find<QLineEdit>(second, "编辑框替换次数")->isEnabled());
    EXPECT_EQ(IniValue(dir / "s.ini", "批量快捷方式", "窗口风格"), "1");
}

std::optional<std::string> DosXattr(const std::string& path) {
    char value[64];
    const ssize_t size = ::getxattr(path.c_str(), "user.DOSATTRIB", value, sizeof value);
    if (size < 0) return std::nullopt;
    return std::string(value, static_cast<std::size_t>(size));
}

// Each property task once through the batch task area: a preview touches nothing,
// execute changes the files, the toolbar's 撤销 brings the folder back as it was.
TEST(FileTaskRegistrations, PropertyTasksRoundTripThroughTheArea) {
    testing::NoticeRecorder notices;
    struct Case {
        QStringList item;
        std::function<void(QWidget&)> set;
        std::function<void(const std::string& files)> changed;
    };
    const Case cases[] = {
        {{"综合任务", "时间"},
         [](QWidget& p) {
             Find<QCheckBox>(p, "选择框置修改")->click();
             Find<QLineEdit>(p, "编辑框修改年")->setText("2010");
         },
         [](const std::string& files) {
             struct stat info {};
             ASSERT_EQ(::stat((files + "/a.txt").c_str(), &info), 0);
             EXPECT_EQ(info.st_mtim.tv_nsec, 123456789);
             EXPECT_LT(info.st_mtim.tv_sec, 1'300'000'000);
         }},
        {{"综合任务", "属性"},
         [](QWidget& p) {
             Find<QCheckBox>(p, "选择框只读")->click();
             Find<QCheckBox>(p, "选择框系统")->click();
         },
         [](const std::string& files) {
             struct stat info {};
             ASSERT_EQ(::stat((files + "/a.txt").c_str(), &info), 0);
             EXPECT_EQ(info.st_mode & 0222, 0u);
             EXPECT_EQ(DosXattr(files + "/a.txt"), "0x4");
         }},
        {{"综合任务", "快捷"},
         [](QWidget& p) {
             Find<QCheckBox>(p, "选择框描述信息")->click();
             Find<QCheckBox>(p, "选择框目标路径")->click();
             Find<QLineEdit>(p, "编辑框欲替换")->setText("/old");
             Find<QLineEdit>(p, "编辑框替换成")->setText("/new");
         },
         [](const std::string& files) {
             std::string path = files + "/s.lnk";
             ShortcutProperties properties;
             ASSERT_TRUE(ReadShortcutProperties(path, properties));
             EXPECT_EQ(properties.description, "s");
             EXPECT_EQ(properties.targetPath, "/new/target.txt");
         }},
    };
    for (const Case& c : cases) {
        testing::TempDir dir;
        const std::string files = dir / "files";
        fs::create_directory(files);
        dir.Write("files/a.txt", "a");
        ::chmod((files + "/a.txt").c_str(), 0664);
        const bool xattrs = ::setxattr((files + "/a.txt").c_str(), "user.DOSATTRIB", "0x20", 4, 0) == 0;
        const std::string description = "old";
        ASSERT_TRUE(CreateLnkShortcut(files + "/s.lnk", "/old/target.txt", &description));
        const timespec times[2] = {{1'400'000'000, 5}, {1'500'000'000, 123456789}};
        for (const char* name : {"/a.txt", "/s.lnk"}) {
            ASSERT_EQ(::utimensat(AT_FDCWD, (files + name).c_str(), times, 0), 0);
        }
        testing::CopyTreeAside(files, dir / "start");

        testing::FileTaskArea fixture(dir / "s.ini");
        AppGlobals& app = fixture.app;
        FileListPanel& list = fixture.list;
        BatchTaskArea& area = fixture.area;
        ASSERT_NE(fixture.Choose(c.item), nullptr);
        c.set(*area.CurrentPanel());
        QSignalSpy loaded(&list.Runner(), &ListLoadRunner::finished);
        const std::string listed = c.item.back() == "快捷" ? files + "/s.lnk" : files + "/a.txt";
        ASSERT_TRUE(list.LoadPathsIntoList({listed}, true));
        ASSERT_TRUE(loaded.wait(kWaitMs));

        QSignalSpy finished(&area, &BatchTaskArea::runFinished);
        area.OnBatchToolbarButton(0);
        ASSERT_TRUE(finished.wait(kWaitMs));
        EXPECT_NE(app.gListRows.GetCellText(0, ListColumn::Preview), "");
        testing::ExpectSameTree(dir / "start", files);

        area.OnBatchToolbarButton(1);
        ASSERT_TRUE(finished.wait(kWaitMs));
        EXPECT_EQ(app.gListRows.GetCellText(0, ListColumn::Preview), "√");
        if (xattrs || c.item.back() != "属性") c.changed(files);
        ASSERT_EQ(app.gUndoHistory.size(), 1u);

        QSignalSpy undone(&area, &BatchTaskArea::undoFinished);
        area.ToolbarButton(2)->trigger();
        ASSERT_TRUE(undone.wait(kWaitMs));
        testing::ExpectSameTree(dir / "start", files);
        if (xattrs) EXPECT_EQ(DosXattr(files + "/a.txt"), "0x20");
        EXPECT_TRUE(app.gUndoHistory.empty());
    }
    EXPECT_TRUE(notices.Notices().empty());
}

}  // namespace
}  // namespace varnel

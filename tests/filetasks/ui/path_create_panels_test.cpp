#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "app/app_globals.h"
#include "filelist/ui/file_list_panel.h"
#include "filetasks/ui/create_panel.h"
#include "filetasks/ui/file_task_registrations.h"
#include "filetasks/ui/path_transfer_panel.h"
#include "runs/ui/batch_task_area.h"
#include "runs/ui/task_box.h"
#include "settings/ini_document.h"
#include "support/notice_recorder.h"
#include "support/panel_test.h"
#include "support/qt_app.h"
#include "support/temp_dir.h"
#include "support/tree_state.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;
using testing::Find;
constexpr int kWaitMs = 10000;

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(PathTransferPanel, RadiosGiveTheModeAndEveryControlIsKept) {
    testing::TestApplication();
    testing::TempDir dir;
    std::string askedPrompt;
    PathTransferPanel first(nullptr, nullptr, [&](const std::string& prompt, const std::string& start) {
        askedPrompt = prompt + "|" + start;
        return std::string("/chosen");
    });
    EXPECT_EQ(first.CurrentParameters().mode, PathMode::Copy);
    EXPECT_EQ(first.CurrentParameters().newFolder, kDefaultNewFolder);
    EXPECT_FALSE(Find<QCheckBox>(first, "选择框相对路径")->isEnabled());
    const struct {
        const char* radio;
        PathMode mode;
    } radios[] = {
        {"单选框移动到", PathMode::Move},          {"单选框仅生成目录", PathMode::FoldersOnly},
        {"单选框创建Lnk", PathMode::Shortcut},     {"单选框复制到", PathMode::Copy},
        {"单选框创建Bat", PathMode::StarterScript},
    };
    QSignalSpy changed(&first, &TaskPanel::parametersChanged);
    for (const auto& r : radios) {
        Find<QRadioButton>(first, r.radio)->click();
        EXPECT_EQ(first.MakeParams(RunMode::Execute)->mode, r.mode) << r.radio;
        EXPECT_EQ(Find<QCheckBox>(first, "选择框相对路径")->isEnabled(), r.mode == PathMode::StarterScript);
    }
    EXPECT_EQ(changed.count(), 5);
    Find<QCheckBox>(first, "选择框相对路径")->click();
    Find<QPushButton>(first, "按钮编辑新目录")->click();
    EXPECT_EQ(askedPrompt, std::string("选择新目录路径（可作为配合元符的模板）：|") + kDefaultNewFolder);
    EXPECT_EQ(Find<QLineEdit>(first, "编辑框新目录")->text().toStdString(), "/chosen");

    testing::Store(first, dir / "s.ini", "批量路径", true);
    EXPECT_EQ(testing::SectionKeys(ReadBytes(dir / "s.ini"), "批量路径"),
              (std::vector<std::string>{"移动到", "复制到", "仅生成目录", "创建Lnk", "创建Bat", "相对路径", "新目录"}));
    PathTransferPanel second(nullptr);
    testing::Store(second, dir / "s.ini", "批量路径", false);
    const PathTaskParams p = second.CurrentParameters();
    EXPECT_EQ(p.mode, PathMode::StarterScript);
    EXPECT_FALSE(p.relativePath);
    EXPECT_EQ(p.newFolder, "/chosen");
    EXPECT_TRUE(Find<QCheckBox>(second, "选择框相对路径")->isEnabled());
}

TEST(CreatePanel, MethodsListsAndTheLimitQuestion) {
    testing::TestApplication();
    testing::NoticeRecorder notices;
    testing::TempDir dir;
    std::vector<std::string> prompts;
    const auto ask = [&](InputDialogParams params) {
        prompts.push_back(params.prompt);
        return InputDialogResult{true, params.initialText.empty() ? "a.txt\r\nb.txt" : params.initialText + "\r\nc"};
    };
    CreatePanel first(nullptr, nullptr, ask);
    CreateTaskParams p = first.CurrentParameters();
    EXPECT_EQ(p.method, CreateMethod::ThisToThat);
    EXPECT_TRUE(p.createFile);
    EXPECT_EQ(p.dynamicLimit, 50);
    EXPECT_TRUE(Find<QPushButton>(first, "按钮此列表")->isEnabled());
    EXPECT_FALSE(Find<QPlainTextEdit>(first, "编辑框绝对路径")->isEnabled());
    EXPECT_FALSE(Find<QLineEdit>(first, "编辑框动态上限")->isEnabled());

    QSignalSpy changed(&first, &TaskPanel::parametersChanged);
    Find<QPushButton>(first, "按钮此列表")->click();
    Find<QPushButton>(first, "按钮彼列表")->click();
    Find<QPushButton>(first, "按钮彼列表")->click();  // starts from the kept text
    ASSERT_EQ(prompts.size(), 3u);
    EXPECT_TRUE(prompts[0].starts_with("【此列表】"));
    EXPECT_TRUE(prompts[1].starts_with("【彼列表】"));
    EXPECT_EQ(changed.count(), 3);
    p = first.CurrentParameters();
    EXPECT_EQ(p.sourceItems, (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(p.targetFolders, (std::vector<std::string>{"a.txt", "b.txt", "c"}));

    Find<QRadioButton>(first, "单选框动态路径")->click();
    Find<QRadioButton>(first, "单选框创建目录")->click();
    EXPECT_FALSE(Find<QPushButton>(first, "按钮此列表")->isEnabled());
    EXPECT_TRUE(Find<QLineEdit>(first, "编辑框动态上限")->isEnabled());
    Find<QLineEdit>(first, "编辑框动态路径")->setText("/x/f*");
    Find<QLineEdit>(first, "编辑框动态上限")->setText("20000.9");
    // Above the cap an execute or full preview asks; an auto-preview does not.
    notices.answer = kAnswerNo;
    EXPECT_FALSE(first.MakeParams(RunMode::Execute));
    notices.answer = kAnswerYes;
    p = *first.MakeParams(RunMode::FullPreview);
    EXPECT_EQ(p.dynamicLimit, 20000);
    EXPECT_EQ(p.dynamicCap, 20000);
    EXPECT_EQ(first.MakeParams(RunMode::AutoPreview)->dynamicCap, kDynamicLimitCap);
    EXPECT_EQ(notices.Boxes(), (std::vector<std::string>{DynamicLimitQuestion(20000), DynamicLimitQuestion(20000)}));
    Find<QPlainTextEdit>(first, "编辑框绝对路径")->setPlainText("/p/1\n/p/2");

    testing::Store(first, dir / "s.ini", "批量创建", true);
    EXPECT_EQ(testing::SectionKeys(ReadBytes(dir / "s.ini"), "批量创建"),
              (std::vector<std::string>{"创建文件", "创建目录", "创建方式", "此列表", "彼列表", "绝对路径", "动态路径",
                                        "动态上限"}));
    const std::string ini = ReadBytes(dir / "s.ini");
    EXPECT_NE(ini.find("此列表=a.txt;;;b.txt"), std::string::npos) << ini;
    EXPECT_NE(ini.find("创建方式=2"), std::string::npos) << ini;
    CreatePanel second(nullptr);
    testing::Store(second, dir / "s.ini", "批量创建", false);
    p = second.CurrentParameters();
    EXPECT_EQ(p.method, CreateMethod::DynamicPaths);
    EXPECT_FALSE(p.createFile);
    EXPECT_EQ(second.SourceListText(), "a.txt\r\nb.txt");
    EXPECT_EQ(p.absolutePaths, (std::vector<std::string>{"/p/1", "/p/2"}));
    EXPECT_EQ(p.dynamicTemplate, "/x/f*");
    EXPECT_TRUE(Find<QLineEdit>(second, "编辑框动态路径")->isEnabled());
}

// The area as the window holds it, with the file tasks registered.
struct Area {
    explicit Area(const std::string& settingsFile) {
        app.gSettings->SetFile(settingsFile);
        RegisterFileTasks(area);
        area.BatchTaskAreaCreated();
        area.ToggleAutoPreview();  // off: only the runs below
    }
    QWidget& Choose(const char* item) {
        box.setCurrentItem(box.FindItem({"综合任务", QString::fromUtf8(item)}));
        return *area.CurrentPanel();
    }
    void Load(std::vector<std::string> paths) {
        QSignalSpy loaded(&list.Runner(), &ListLoadRunner::finished);
        ASSERT_TRUE(list.LoadPathsIntoList(std::move(paths), true));
        ASSERT_TRUE(loaded.wait(kWaitMs));
    }
    // A run through the toolbar (0 preview, 1 execute); an execute's list load is waited for.
    void Run(int button, bool waitForLoad) {
        QSignalSpy finished(&area, &BatchTaskArea::runFinished);
        QSignalSpy loaded(&list.Runner(), &ListLoadRunner::finished);
        area.OnBatchToolbarButton(button);
        ASSERT_TRUE(finished.wait(kWaitMs));
        if (waitForLoad) ASSERT_TRUE(loaded.count() > 0 || loaded.wait(kWaitMs));
    }
    void Undo() {
        QSignalSpy undone(&area, &BatchTaskArea::undoFinished);
        area.ToolbarButton(2)->trigger();
        ASSERT_TRUE(undone.wait(kWaitMs));
    }
    std::vector<std::string> Paths() {
        std::vector<std::string> paths;
        for (std::size_t row = 0; row < app.gListRows.RowCount(); ++row) paths.push_back(app.gListRows.FullPath(row));
        return paths;
    }

    AppGlobals app;
    FilterBar filters;
    FileListPanel list{app, filters};
    TaskBox box;
    BatchTaskArea area{app, list, box};
};

// Only the folders: the list then shows the folders made, and undo takes them away.
TEST(PathTaskRegistration, FoldersOnlyListsTheFoldersAndUndoes) {
    testing::TestApplication();
    testing::NoticeRecorder notices;
    testing::TempDir dir;
    const std::string work = dir / "work";
    fs::create_directories(work);
    std::ofstream(work + "/a.txt") << "a";
    std::ofstream(work + "/b.txt") << "b";
    testing::CopyTreeAside(work, dir / "before");
    Area a(dir / "s.ini");
    QWidget& panel = a.Choose("路径");
    Find<QRadioButton>(panel, "单选框仅生成目录")->click();
    Find<QLineEdit>(panel, "编辑框新目录")->setText(QString::fromStdString(work + "/out/#主名"));
    a.Load({work + "/a.txt", work + "/b.txt"});
    a.Run(1, true);
    EXPECT_TRUE(fs::is_directory(work + "/out/b"));
    EXPECT_EQ(a.Paths(), (std::vector<std::string>{work + "/out/a", work + "/out/b"}));
    a.Undo();
    testing::ExpectSameTree(dir / "before", work);
    EXPECT_TRUE(notices.Notices().empty());
}

// The create task replaces the list: a preview by what would be made (nothing on
// disk), an execute by what was made; undo takes only that away.
TEST(PathTaskRegistration, CreateReplacesTheListAndUndoes) {
    testing::TestApplication();
    testing::NoticeRecorder notices;
    testing::TempDir dir;
    const std::string work = dir / "work";
    fs::create_directories(work);
    std::ofstream(work + "/listed.txt") << "x";
    testing::CopyTreeAside(work, dir / "before");
    Area a(dir / "s.ini");
    QWidget& panel = a.Choose("创建");
    Find<QRadioButton>(panel, "单选框绝对路径")->click();
    Find<QPlainTextEdit>(panel, "编辑框绝对路径")
        ->setPlainText(QString::fromStdString(work + "/new/one.txt\n" + work + "/two.txt"));
    a.Load({work + "/listed.txt"});

    a.Run(0, false);
    EXPECT_EQ(a.Paths(), (std::vector<std::string>{work + "/new/one.txt", work + "/two.txt"}));
    EXPECT_EQ(a.app.gListRows.GetCellText(1, ListColumn::Preview), work + "/two.txt");
    testing::ExpectSameTree(dir / "before", work);

    a.Run(1, true);
    EXPECT_TRUE(fs::exists(work + "/new/one.txt"));
    EXPECT_EQ(a.Paths(), (std::vector<std::string>{work + "/new/one.txt", work + "/two.txt"}));
    EXPECT_EQ(a.app.gListRows.GetCellText(1, ListColumn::Preview), "");
    a.Undo();
    testing::ExpectSameTree(dir / "before", work);
    EXPECT_TRUE(notices.Notices().empty());
}

}  // namespace
}  // namespace varnel

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

#include <filesystem>
#include <fstream>
#include <map>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/app_globals.h"
#include "filelist/ui/file_list_panel.h"
#include "filetasks/content_text.h"
#include "filetasks/ui/content_insert_panel.h"
#include "filetasks/ui/content_replace_panel.h"
#include "filetasks/ui/content_convert_panel.h"
#include "filetasks/ui/write_element_panel.h"
#include "filetasks/ui/split_panel.h"
#include "filetasks/ui/file_task_registrations.h"
#include "runs/ui/batch_task_area.h"
#include "runs/ui/task_box.h"
#include "settings/ini_document.h"
#include "support/file_task_area.h"
#include "support/notice_recorder.h"
#include "support/panel_test.h"
#include "support/qt_app.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;
constexpr int kWaitMs = 10000;

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

template <typename Control>
Control* Find(QWidget& panel, const char* name) {
    auto* control = panel.findChild<Control*>(QString::fromUtf8(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
}

void SaveOrLoad(TaskPanel& panel, const std::string& file, const char* section, bool save) {
    SettingsStore store;
    store.SetFile(file);
    store.SelectSection(section);
    panel.LoadOrSaveSettings(store, save);
    if (save) {
        ASSERT_TRUE(store.Flush().has_value());
    }
}

TEST(ContentReplacePanel, ControlsFollowTheRegexChoiceAndEveryControlIsKept) {
    testing::TestApplication();
    testing::TempDir dir;
    ContentReplacePanel first(nullptr);
    QSignalSpy changed(&first, &TaskPanel::parametersChanged);
    EXPECT_FALSE(Find<QCheckBox>(first, "选择框匹配多行")->isEnabled());
    EXPECT_TRUE(Find<QLineEdit>(first, "编辑框替换次数")->isEnabled());
    Find<QLineEdit>(first, "编辑框欲替换文本")->setText("a+");
    Find<QLineEdit>(first, "编辑框替换成文本")->setText("#文件名");
    Find<QLineEdit>(first, "编辑框替换次数")->setText("3.7");
    Find<QCheckBox>(first, "选择框忽略大小写")->click();
    Find<QCheckBox>(first, "选择框启用正则")->click();
    Find<QCheckBox>(first, "选择框匹配多行")->click();
    Find<QCheckBox>(first, "选择框全局匹配")->click();
    EXPECT_GE(changed.count(), 7);  // every change asks for an auto-preview
    EXPECT_TRUE(Find<QCheckBox>(first, "选择框匹配多行")->isEnabled());
    EXPECT_FALSE(Find<QLineEdit>(first, "编辑框替换次数")->isEnabled());
    EXPECT_EQ(Find<QLabel>(first, "标签欲替换")->text(), "匹配表达式：");
    EXPECT_EQ(Find<QLabel>(first, "标签替换成")->text(), "替换表达式：");
    SaveOrLoad(first, dir / "s.ini", "批量内容替换", true);
    EXPECT_EQ(testing::SectionKeys(ReadBytes(dir / "s.ini"), "批量内容替换"),
              (std::vector<std::string>{"欲替换", "替换成", "替换次数", "忽略大小写", "匹配多行", "全局匹配", "启用正则"}));

    ContentReplacePanel second(nullptr);
    SaveOrLoad(second, dir / "s.ini", "批量内容替换", false);
    const ContentReplaceParams p = second.CurrentParameters();
    EXPECT_EQ(p.findText, "a+");
    EXPECT_EQ(p.replaceText, "#文件名");
    EXPECT_EQ(p.count, 3);
    EXPECT_TRUE(p.ignoreCase && p.multiline && p.globalMatch && p.useRegex);
    EXPECT_FALSE(Find<QLineEdit>(second, "编辑框替换次数")->isEnabled());
}

TEST(ContentReplacePanel, TheEditButtonsUseTheEditorBox) {
    testing::TestApplication();
    std::string prompt;
    ContentReplacePanel panel(nullptr, nullptr, [&prompt](InputDialogParams params) {
        prompt = params.prompt;
        return InputDialogResult{true, "typed " + params.initialText};
    });
    Find<QLineEdit>(panel, "编辑框欲替换文本")->setText("old");
    Find<QPushButton>(panel, "按钮编辑欲替换文本")->click();
    EXPECT_EQ(prompt, "请输入欲替换文本：");
    EXPECT_EQ(Find<QLineEdit>(panel, "编辑框欲替换文本")->text(), "typed old");
}

TEST(ContentInsertPanel, ControlsFollowTheTypeAndEveryControlIsKept) {
    testing::TestApplication();
    testing::TempDir dir;
    std::string prompt;
    ContentInsertPanel first(nullptr, nullptr, [&prompt](InputDialogParams params) {
        prompt = params.prompt;
        return InputDialogResult{true, "<marker>"};
    });
    auto* type = Find<QComboBox>(first, "组合框插入类型");
    EXPECT_EQ(type->currentIndex(), 3);
    EXPECT_EQ(Find<QLineEdit>(first, "编辑框欲插入文本")->text(), "888888888888888888888888888");
    const struct {
        int type;
        bool position;
        bool locator;
    } states[] = {{0, false, false}, {1, false, false}, {2, true, false}, {5, true, false}, {6, false, true}, {7, false, true}};
    for (const auto& s : states) {
        type->setCurrentIndex(s.type);
        EXPECT_EQ(Find<QLineEdit>(first, "编辑框位置值")->isEnabled(), s.position) << s.type;
        EXPECT_EQ(Find<QPushButton>(first, "按钮定位字串")->isEnabled(), s.locator) << s.type;
    }
    Find<QPushButton>(first, "按钮定位字串")->click();
    EXPECT_EQ(prompt, "请输入欲定位进行文本插入的标记字符串：");
    Find<QLineEdit>(first, "编辑框位置值")->setText("12.9");
    Find<QLineEdit>(first, "编辑框欲插入文本")->setText("#主名");
    SaveOrLoad(first, dir / "s.ini", "批量内容插入", true);
    EXPECT_EQ(testing::SectionKeys(ReadBytes(dir / "s.ini"), "批量内容插入"),
              (std::vector<std::string>{"插入类型", "插入位置", "欲插入文本", "定位字串"}));

    ContentInsertPanel second(nullptr);
    SaveOrLoad(second, dir / "s.ini", "批量内容插入", false);
    const ContentInsertParams p = second.CurrentParameters();
    EXPECT_EQ(p.insertType, InsertType::AfterLocator);
    EXPECT_EQ(p.position, 12);
    EXPECT_EQ(p.locator, "<marker>");
    EXPECT_EQ(p.insertText, "#主名");
    EXPECT_TRUE(Find<QPushButton>(second, "按钮定位字串")->isEnabled());
}

TEST(ContentConvertPanel, CombosStartAtTheirTitlesAndAreKept) {
    testing::TestApplication();
    testing::TempDir dir;
    ContentConvertPanel first;
    EXPECT_EQ(first.CurrentParameters().codec, CodecConversion::None);
    Find<QComboBox>(first, "组合框编解码")->setCurrentIndex(3);
    Find<QComboBox>(first, "组合框繁简")->setCurrentIndex(1);  // the separator: nothing
    Find<QComboBox>(first, "组合框全半角")->setCurrentIndex(3);
    Find<QComboBox>(first, "组合框字母")->setCurrentIndex(2);
    Find<QComboBox>(first, "组合框数字")->setCurrentIndex(6);
    SaveOrLoad(first, dir / "s.ini", "批量内容转换", true);
    EXPECT_EQ(testing::SectionKeys(ReadBytes(dir / "s.ini"), "批量内容转换"),
              (std::vector<std::string>{"编解码", "繁简", "全半角", "字母", "数字"}));
    ContentConvertPanel second;
    SaveOrLoad(second, dir / "s.ini", "批量内容转换", false);
    const ConvertOptions o = second.CurrentParameters();
    EXPECT_EQ(o.codec, CodecConversion::AnsiToUtf8);
    EXPECT_EQ(o.tradSimp, ScriptConversion::None);
    EXPECT_EQ(o.width, WidthConversion::FullToHalf);
    EXPECT_EQ(o.letters, LetterConversion::Upper);
    EXPECT_EQ(o.digits, DigitConversion::NumeralsToDigits);
}

TEST(WriteElementPanel, PresetsAreChosenEditedAndKept) {
    testing::TestApplication();
    testing::NoticeRecorder notices;
    testing::TempDir dir;
    std::string answer = "段落";
    WriteElementPanel first(nullptr, nullptr, [&answer](InputDialogParams) { return InputDialogResult{true, answer}; },
                            [](const std::string&) { return true; });
    SaveOrLoad(first, dir / "s.ini", "批量写入元素", false);  // no section: the default preset
    auto* presets = Find<QComboBox>(first, "组合框预设方案");
    ASSERT_EQ(presets->count(), 3);
    presets->setCurrentIndex(2);
    emit presets->activated(2);
    EXPECT_EQ(first.CurrentParameters().element1, "<title>");
    EXPECT_EQ(first.CurrentParameters().element2, "</title>");

    // Saving with an empty element is refused; the list stays.
    Find<QLineEdit>(first, "编辑框元素2")->clear();
    first.SavePresetAs();
    EXPECT_EQ(first.Presets().size(), 1u);
    // A run is refused as well.
    EXPECT_FALSE(first.MakeParams(RunMode::Execute));
    Find<QLineEdit>(first, "编辑框元素1")->setText("<p>");
    Find<QLineEdit>(first, "编辑框元素2")->setText("</p>");
    Find<QCheckBox>(first, "选择框区分大小写")->setChecked(true);
    first.SavePresetAs();
    ASSERT_EQ(first.Presets().size(), 2u);
    EXPECT_EQ(first.Presets()[1], (ElementPreset{"段落", "<p>", "</p>", true}));
    EXPECT_EQ(presets->currentIndex(), 3);
    // Modifying with element 1 empty keeps the old element 1.
    Find<QLineEdit>(first, "编辑框元素1")->clear();
    Find<QLineEdit>(first, "编辑框元素2")->setText("</P>");
    answer = "段";
    first.ModifyCurrentPreset();
    EXPECT_EQ(first.Presets()[1], (ElementPreset{"段", "<p>", "</P>", true}));
    EXPECT_EQ(presets->itemText(3), "段");
    // Deleting the first preset keeps the INI in step.
    presets->setCurrentIndex(2);
    first.DeleteCurrentPreset();
    EXPECT_EQ(presets->currentIndex(), 0);
    Find<QLineEdit>(first, "编辑框写入信息")->setText("#主名");
    SaveOrLoad(first, dir / "s.ini", "批量写入元素", true);
    EXPECT_EQ(IniDocument::Parse(ReadBytes(dir / "s.ini")).Get("批量写入元素", "预设方案").value_or(""),
              "段[分隔]<p>[分隔]</P>[分隔]真");

    WriteElementPanel second(nullptr);
    SaveOrLoad(second, dir / "s.ini", "批量写入元素", false);
    EXPECT_EQ(second.Presets(), first.Presets());
    EXPECT_EQ(second.CurrentParameters().writeText, "#主名");
    EXPECT_TRUE(second.CurrentParameters().caseSensitive);
    second.ClearPresets();
    EXPECT_TRUE(second.Presets().empty());
    second.RestoreDefaultPresets();
    EXPECT_EQ(second.Presets(), ParseElementPresets(kDefaultElementPresets));
    EXPECT_FALSE(notices.Notices().empty());
}

// The markers and the case box are kept under their keys ahead of the text to
// write and come back into the same parameters; a change of any control asks for
// one preview, and so does a preset chosen, however many of them it fills.
TEST(WriteElementPanel, MarkersRoundTripAndAskForOnePreviewPerChange) {
    testing::TestApplication();
    testing::TempDir dir;
    testing::ExpectSettingsRoundTrip(
        dir / "s.ini", "批量写入元素", [] { return std::make_unique<WriteElementPanel>(nullptr); },
        [](WriteElementPanel& panel) {
            Find<QLineEdit>(panel, "编辑框元素1")->setText(QString::fromUtf8("<h1 class=\"t\">"));
            Find<QLineEdit>(panel, "编辑框元素2")->setText(QString::fromUtf8("</h1>"));
            Find<QCheckBox>(panel, "选择框区分大小写")->setChecked(true);
            Find<QLineEdit>(panel, "编辑框写入信息")->setText(QString::fromUtf8("#主名"));
        },
        {"预设方案", "元素1", "元素2", "区分大小写", "组合式"});

    WriteElementPanel panel(nullptr, nullptr, [](InputDialogParams) { return InputDialogResult{true, "段落"}; });
    testing::ExpectOnePreviewPerChange(panel, {"组合框预设方案"});
    testing::ExpectOnePreviewPerMarkerPreset(panel, [&panel] { panel.SavePresetAs(); });
}

// What a file is as far as a round trip must keep it.
struct FileState {
    std::string bytes;
    mode_t mode;
    uid_t owner;
    bool operator==(const FileState&) const = default;
};

std::map<std::string, FileState> FolderState(const std::string& folder) {
    std::map<std::string, FileState> state;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        struct stat info {};
        ::lstat(entry.path().c_str(), &info);
        const std::string bytes = entry.is_regular_file() ? ReadBytes(entry.path()) : "";
        state[fs::relative(entry.path(), folder)] = {bytes, info.st_mode, info.st_uid};
    }
    return state;
}

// Each task once through the batch task area: execute changes the files, undo
// brings the folder back as it was.
TEST(FileTaskRegistrations, ContentTasksRoundTripThroughTheArea) {
    testing::NoticeRecorder notices;
    struct Case {
        QStringList item;
        std::function<void(QWidget&)> set;
        const char* changedFile;
        std::string changedBytes;
    };
    const Case cases[] = {
        {{"内容编辑", "纯文本", "替换"},
         [](QWidget& p) {
             Find<QLineEdit>(p, "编辑框欲替换文本")->setText("乙");
             Find<QLineEdit>(p, "编辑框替换成文本")->setText("#主名");
         },
         "gbk.txt", *EncodeFileText("甲gbkab\r\n", TextEncoding::Gbk)},
        {{"内容编辑", "纯文本", "插入"},
         [](QWidget& p) {
             Find<QComboBox>(p, "组合框插入类型")->setCurrentIndex(0);
             Find<QLineEdit>(p, "编辑框欲插入文本")->setText("<");
         },
         "gbk.txt", *EncodeFileText("<甲乙ab\r\n", TextEncoding::Gbk)},
        {{"内容编辑", "纯文本", "转换"},
         [](QWidget& p) { Find<QComboBox>(p, "组合框字母")->setCurrentIndex(2); },
         "gbk.txt", *EncodeFileText("甲乙AB\r\n", TextEncoding::Gbk)},
        {{"内容编辑", "纯文本", "元素"},
         [](QWidget& p) {
             Find<QLineEdit>(p, "编辑框元素1")->setText("甲");
             Find<QLineEdit>(p, "编辑框元素2")->setText("b");
             Find<QLineEdit>(p, "编辑框写入信息")->setText("#主名");
         },
         "gbk.txt", *EncodeFileText("甲gbkb\r\n", TextEncoding::Gbk)},
    };
    for (const Case& c : cases) {
        testing::TempDir dir;
        const std::string files = dir / "files";
        fs::create_directory(files);
        WriteBytes(files + "/gbk.txt", *EncodeFileText("甲乙ab\r\n", TextEncoding::Gbk));
        WriteBytes(files + "/u16.txt", *EncodeFileText("丙\n", TextEncoding::Utf16Le));
        ::chmod((files + "/u16.txt").c_str(), 0604);
        fs::create_directory(dir / "start");
        fs::copy(files, dir / "start", fs::copy_options::recursive);
        const auto before = FolderState(files);

        testing::FileTaskArea fixture(dir / "s.ini");
        AppGlobals& app = fixture.app;
        FileListPanel& list = fixture.list;
        BatchTaskArea& area = fixture.area;
        ASSERT_NE(fixture.Choose(c.item), nullptr);
        c.set(*area.CurrentPanel());
        QSignalSpy loaded(&list.Runner(), &ListLoadRunner::finished);
        ASSERT_TRUE(list.LoadPathsIntoList({files + "/gbk.txt", files + "/u16.txt"}, true));
        ASSERT_TRUE(loaded.wait(kWaitMs));

        QSignalSpy finished(&area, &BatchTaskArea::runFinished);
        area.OnBatchToolbarButton(1);
        ASSERT_TRUE(finished.wait(kWaitMs));
        EXPECT_EQ(ReadBytes(files + "/" + c.changedFile), c.changedBytes);
        ASSERT_EQ(app.gUndoHistory.size(), 1u);

        QSignalSpy undone(&area, &BatchTaskArea::undoFinished);
        area.ToolbarButton(2)->trigger();
        ASSERT_TRUE(undone.wait(kWaitMs));
        EXPECT_EQ(FolderState(files), before);
        EXPECT_EQ(std::system(("diff -r '" + files + "' '" + (dir / "start") + "' > /dev/null").c_str()), 0);
        EXPECT_TRUE(app.gUndoHistory.empty());
    }
    EXPECT_TRUE(notices.Notices().empty());
}

TEST(SplitPanel, ControlsFollowTheChoicesAndEveryControlIsKept) {
    testing::TestApplication();
    testing::NoticeRecorder notices;
    testing::TempDir dir;
    SplitPanel first(nullptr);
    EXPECT_FALSE(Find<QLineEdit>(first, "编辑框分割标记")->isEnabled());
    EXPECT_FALSE(Find<QLineEdit>(first, "编辑框自定义路径")->isEnabled());
    // The empty position reads 0: an execute is refused with the notice.
    EXPECT_FALSE(first.MakeParams(RunMode::Execute));
    EXPECT_EQ(notices.Notices().size(), 1u);
    Find<QComboBox>(first, "组合框分割类型")->setCurrentIndex(4);
    EXPECT_TRUE(Find<QLineEdit>(first, "编辑框分割标记")->isEnabled());
    EXPECT_FALSE(Find<QLineEdit>(first, "编辑框分割位置")->isEnabled());
    Find<QLineEdit>(first, "编辑框分割标记")->setText("--");
    Find<QCheckBox>(first, "选择框自定义路径")->click();
    EXPECT_TRUE(Find<QLineEdit>(first, "编辑框自定义路径")->isEnabled());
    Find<QLineEdit>(first, "编辑框自定义路径")->setText("/out/#主名.txt");  // no "*": refused
    EXPECT_FALSE(first.MakeParams(RunMode::Execute));
    Find<QLineEdit>(first, "编辑框自定义路径")->setText("/out/#主名_*.txt");
    EXPECT_TRUE(first.MakeParams(RunMode::Execute));
    Find<QCheckBox>(first, "选择框删除源文件")->click();
    Find<QCheckBox>(first, "选择框载入子文件")->click();
    Find<QLineEdit>(first, "编辑框分割位置")->setText("7");
    SaveOrLoad(first, dir / "s.ini", "批量分割", true);
    EXPECT_EQ(testing::SectionKeys(ReadBytes(dir / "s.ini"), "批量分割"),
              (std::vector<std::string>{"类型", "位置", "标记", "是否自定义路径", "自定义的路径", "删除源文件", "载入子列表"}));
    SplitPanel second(nullptr);
    SaveOrLoad(second, dir / "s.ini", "批量分割", false);
    const SplitParams p = second.CurrentParameters();
    EXPECT_EQ(p.splitType, SplitType::Marker);
    EXPECT_EQ(p.position, 7);
    EXPECT_EQ(p.marker, "--");
    EXPECT_TRUE(p.useCustomPath && p.deleteSource && p.loadParts);
    EXPECT_EQ(p.customPath, "/out/#主名_*.txt");
    EXPECT_TRUE(Find<QLineEdit>(second, "编辑框自定义路径")->isEnabled());
}

TEST(FileTaskRegistrations, SplitRoundTripShowsThePiecesAndUndoRestoresTheSource) {
    testing::NoticeRecorder notices;
    testing::TempDir dir;
    const std::string files = dir / "files";
    fs::create_directory(files);
    WriteBytes(files + "/a.txt", "a--b--c");
    fs::create_directory(dir / "start");
    fs::copy(files, dir / "start", fs::copy_options::recursive);
    const auto before = FolderState(files);

    testing::FileTaskArea fixture(dir / "s.ini");
    AppGlobals& app = fixture.app;
    FileListPanel& list = fixture.list;
    BatchTaskArea& area = fixture.area;
    ASSERT_NE(fixture.Choose({"综合任务", "分割"}), nullptr);
    Find<QComboBox>(*area.CurrentPanel(), "组合框分割类型")->setCurrentIndex(4);
    Find<QLineEdit>(*area.CurrentPanel(), "编辑框分割标记")->setText("--");
    Find<QCheckBox>(*area.CurrentPanel(), "选择框删除源文件")->setChecked(true);
    Find<QCheckBox>(*area.CurrentPanel(), "选择框载入子文件")->setChecked(true);
    QSignalSpy loaded(&list.Runner(), &ListLoadRunner::finished);
    ASSERT_TRUE(list.LoadPathsIntoList({files + "/a.txt"}, true));
    ASSERT_TRUE(loaded.wait(kWaitMs));

    QSignalSpy finished(&area, &BatchTaskArea::runFinished);
    area.OnBatchToolbarButton(1);
    ASSERT_TRUE(finished.wait(kWaitMs));
    EXPECT_FALSE(fs::exists(files + "/a.txt"));
    EXPECT_EQ(ReadBytes(files + "/a/a_2.txt"), "b");
    ASSERT_TRUE(loaded.wait(kWaitMs));  // the list now shows the pieces
    ASSERT_EQ(app.gListRows.RowCount(), 3u);
    EXPECT_EQ(app.gListRows.FullPath(2), files + "/a/a_3.txt");

    QSignalSpy undone(&area, &BatchTaskArea::undoFinished);
    area.ToolbarButton(2)->trigger();
    ASSERT_TRUE(undone.wait(kWaitMs));
    EXPECT_EQ(FolderState(files), before);
    EXPECT_EQ(std::system(("diff -r '" + files + "' '" + (dir / "start") + "' > /dev/null").c_str()), 0);
}

TEST(ContentReplacePanel, TesterLinkHandsTheExpressionAndFlagsOver) {
    testing::TestApplication();
    RegexTesterLink link;
    std::vector<RegexTesterRequest> requests;
    link.SetOpener([&](RegexTesterRequest request) { requests.push_back(std::move(request)); });
    ContentReplacePanel panel(nullptr, nullptr, {}, &link);
    Find<QCheckBox>(panel, "选择框启用正则")->click();
    Find<QLineEdit>(panel, "编辑框欲替换文本")->setText("x(\\d)");
    Find<QLineEdit>(panel, "编辑框替换成文本")->setText("$1");
    Find<QCheckBox>(panel, "选择框匹配多行")->setChecked(true);
    auto* tester = Find<QLabel>(panel, "超级链接框调试正则");
    ASSERT_TRUE(tester->isEnabled());
    emit tester->linkActivated("#");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].replaceMode);
    EXPECT_EQ(requests[0].pattern, "x(\\d)");
    EXPECT_EQ(requests[0].replacement, "$1");
    EXPECT_EQ(requests[0].multiline, true);
    EXPECT_EQ(requests[0].ignoreCase, false);
    EXPECT_FALSE(requests[0].sampleText.has_value());
    requests[0].takeBack(TestedPattern{"y+", "z", true, false, true});
    const ContentReplaceParams p = panel.CurrentParameters();
    EXPECT_EQ(p.findText, "y+");
    EXPECT_EQ(p.replaceText, "z");
    EXPECT_TRUE(p.ignoreCase);
    EXPECT_FALSE(p.multiline);
    EXPECT_TRUE(p.globalMatch);
}

}  // namespace
}  // namespace varnel

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include "id3/id3v1_tag.h"
#include "id3/id3v2_tag.h"
#include "id3/ui/id3_convert_panels.h"
#include "id3/ui/id3_read_panel.h"
#include "id3/ui/id3_write_panel.h"
#include "settings/ini_document.h"
#include "support/notice_recorder.h"
#include "support/panel_test.h"
#include "support/qt_app.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

using testing::Find;
using testing::Q;

void Tick(QWidget& panel, const char* name, bool on = true) {
    auto* box = Find<QCheckBox>(panel, name);
    if (box->isChecked() != on) box->click();
}

TEST(Id3WritePanel, ParametersFromTheTicks) {
    testing::TestApplication();
    testing::NoticeRecorder notices;
    Id3WritePanel panel(nullptr, {});
    // Nothing ticked: every field is left alone, ID3v1 is written.
    TagEditParams none = *panel.MakeParams(RunMode::FullPreview);
    EXPECT_FALSE(none.title || none.year || none.genre || none.lyrics);
    EXPECT_TRUE(none.writeV1);
    EXPECT_FALSE(none.writeV2);
    // Only the ticked boxes enable their values; the ID3v2 fields need Id3v2.
    EXPECT_FALSE(Find<QLineEdit>(panel, "编辑框歌名")->isEnabled());
    EXPECT_FALSE(Find<QCheckBox>(panel, "选择框作曲")->isEnabled());
    Tick(panel, "选择框v2");
    EXPECT_TRUE(Find<QCheckBox>(panel, "选择框作曲")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(panel, "按钮编辑歌词")->isEnabled());
    Tick(panel, "选择框歌词");
    EXPECT_TRUE(Find<QPushButton>(panel, "按钮编辑歌词")->isEnabled());

    Tick(panel, "选择框歌名");
    Find<QLineEdit>(panel, "编辑框歌名")->setText("-1");  // a text, not "leave alone"
    Tick(panel, "选择框年代");
    Find<QComboBox>(panel, "组合框年代")->setEditText("2011");
    Tick(panel, "选择框流派");  // ticked with no genre chosen
    Tick(panel, "选择框音轨");
    Find<QLineEdit>(panel, "编辑框音轨")->setText("CD*");
    TagEditParams p = *panel.MakeParams(RunMode::FullPreview);
    EXPECT_EQ(p.title, "-1");
    EXPECT_EQ(p.year, "2011");
    EXPECT_EQ(p.genre, "");
    EXPECT_EQ(p.track, "CD*");
    EXPECT_EQ(p.lyrics, "");
    EXPECT_FALSE(p.artist);
    EXPECT_TRUE(p.writeV1 && p.writeV2);
    Find<QComboBox>(panel, "组合框流派")->setCurrentIndex(17);
    EXPECT_EQ(panel.MakeParams(RunMode::FullPreview)->genre, "17.Rock");

    // Neither version: no run, and an execute run says why.
    Tick(panel, "选择框v1", false);
    Tick(panel, "选择框v2", false);
    EXPECT_FALSE(Find<QCheckBox>(panel, "选择框歌名")->isEnabled());
    EXPECT_FALSE(panel.MakeParams(RunMode::AutoPreview));
    EXPECT_TRUE(notices.Notices().empty());
    EXPECT_FALSE(panel.MakeParams(RunMode::Execute));
    EXPECT_EQ(notices.Notices(), std::vector<std::string>{kNoVersionChosenText});
}

TEST(Id3WritePanel, SettingsAreKept) {
    testing::TestApplication();
    testing::TempDir dir;
    const std::string ini = dir / "a.ini";
    {
        Id3WritePanel panel(nullptr, {});
        Tick(panel, "选择框v2");
        Tick(panel, "选择框歌词");
        Find<QLineEdit>(panel, "编辑框歌词")->setText("la\r\nla");
        Find<QComboBox>(panel, "组合框年代")->setEditText("1999");
        Find<QComboBox>(panel, "组合框流派")->setCurrentIndex(3);
        testing::Store(panel, ini, "批量Id3写入", true);
    }
    Id3WritePanel panel(nullptr, {});
    testing::Store(panel, ini, "批量Id3写入", false);
    TagEditParams p = *panel.MakeParams(RunMode::FullPreview);
    EXPECT_TRUE(p.writeV2);
    EXPECT_EQ(p.lyrics, "la\r\nla");
    EXPECT_EQ(Find<QComboBox>(panel, "组合框年代")->currentText(), Q("1999"));
    EXPECT_EQ(Find<QComboBox>(panel, "组合框流派")->currentIndex(), 3);
    EXPECT_TRUE(Find<QLineEdit>(panel, "编辑框歌词")->isEnabled());
}

TEST(Id3WritePanel, TheCurrentFilesTagsFillTheControls) {
    testing::TestApplication();
    testing::TempDir dir;
    dir.Write("a.mp3", std::string(400, '\x55'));
    Id3v1Tag v1;
    v1.artist = "Band1";
    v1.genre = "17";
    ASSERT_TRUE(WriteId3v1Tag(dir / "a.mp3", v1));
    Id3v2Tag v2;
    v2.title = "Song";
    v2.artist = "Band2";
    v2.composer = "Comp";
    ASSERT_TRUE(WriteId3v2Tag(dir / "a.mp3", v2));
    std::optional<std::string> current = dir / "a.mp3";
    Id3WritePanel panel(nullptr, [&] { return current; });
    Tick(panel, "选择框v2");
    panel.LoadId3EditorFromList();  // not asked for yet
    EXPECT_TRUE(Find<QLineEdit>(panel, "编辑框歌名")->text().isEmpty());
    Find<QCheckBox>(panel, "选择框读mp3")->click();
    // Both versions: ID3v2 fills what ID3v1 left empty.
    EXPECT_EQ(Find<QLineEdit>(panel, "编辑框歌名")->text(), Q("Song"));
    EXPECT_EQ(Find<QLineEdit>(panel, "编辑框歌手")->text(), Q("Band1"));
    EXPECT_EQ(Find<QLineEdit>(panel, "编辑框作曲")->text(), Q("Comp"));
    EXPECT_EQ(Find<QComboBox>(panel, "组合框流派")->currentIndex(), 17);
    // ID3v2 alone: its values win.
    Tick(panel, "选择框v1", false);
    panel.LoadId3EditorFromList();
    EXPECT_EQ(Find<QLineEdit>(panel, "编辑框歌手")->text(), Q("Band2"));
    current.reset();  // no current row: nothing changes
    panel.LoadId3EditorFromList();
    EXPECT_EQ(Find<QLineEdit>(panel, "编辑框歌手")->text(), Q("Band2"));
}

TEST(Id3ReadPanel, CodesVersionsAndTheAttributeColumn) {
    testing::TestApplication();
    testing::TempDir dir;
    int columnShown = 0;
    Id3ReadPanel panel(nullptr, [&] { ++columnShown; });
    EXPECT_FALSE(Find<QPushButton>(panel, "按钮作曲")->isEnabled());
    EXPECT_EQ(Find<QCheckBox>(panel, "选择框互补")->text(), Q("当v1缺失某信息时寻求v2补充"));
    Find<QLineEdit>(panel, "编辑框读出式")->setText("#ST - #SI #st ");
    Find<QLineEdit>(panel, "编辑框读出式")->end(false);
    Find<QPushButton>(panel, "按钮年代")->click();
    TagToNameParams p = *panel.MakeParams(RunMode::FullPreview);
    EXPECT_EQ(p.expression, "#歌名 - #歌手 #st #年代");
    EXPECT_TRUE(p.useV1);
    EXPECT_EQ(columnShown, 1);

    Find<QRadioButton>(panel, "单选框v2")->click();
    Find<QCheckBox>(panel, "选择框互补")->click();
    EXPECT_TRUE(Find<QPushButton>(panel, "按钮作曲")->isEnabled());
    EXPECT_EQ(Find<QCheckBox>(panel, "选择框互补")->text(), Q("当v2缺失某信息时寻求v1补充"));
    testing::Store(panel, dir / "a.ini", "批量Id3读出", true);
    Id3ReadPanel loaded(nullptr, {});
    testing::Store(loaded, dir / "a.ini", "批量Id3读出", false);
    p = *loaded.MakeParams(RunMode::FullPreview);
    EXPECT_FALSE(p.useV1);
    EXPECT_TRUE(p.complement);
    EXPECT_TRUE(Find<QPushButton>(loaded, "按钮作曲")->isEnabled());
}

TEST(Id3ConvertPanels, ConvertAndCopyParameters) {
    testing::TestApplication();
    testing::TempDir dir;
    testing::NoticeRecorder notices;
    Id3ConvertPanel convert;
    Find<QComboBox>(convert, "组合框编解码")->setCurrentIndex(13);  // the last of twelve
    Find<QComboBox>(convert, "组合框繁简")->setCurrentIndex(7);
    TagConvertParams p = *convert.MakeParams(RunMode::FullPreview);
    EXPECT_EQ(p.options.codec, CodecConversion::DecodeUrl);
    EXPECT_EQ(p.options.tradSimp, ScriptConversion::SimplifiedToTraditional);
    EXPECT_TRUE(p.convertV1);
    EXPECT_FALSE(p.convertV2);
    Find<QCheckBox>(convert, "选择框v1")->click();
    EXPECT_FALSE(convert.MakeParams(RunMode::Execute));
    EXPECT_EQ(notices.Notices(), std::vector<std::string>{kNoVersionToConvertText});
    testing::Store(convert, dir / "a.ini", "批量Id3转换", true);
    Id3ConvertPanel loaded;
    testing::Store(loaded, dir / "a.ini", "批量Id3转换", false);
    EXPECT_FALSE(Find<QCheckBox>(loaded, "选择框v1")->isChecked());
    EXPECT_EQ(Find<QComboBox>(loaded, "组合框繁简")->currentIndex(), 7);

    Id3CopyPanel copy;
    EXPECT_EQ(*copy.MakeParams(RunMode::FullPreview), TagCopyMode::V2ToV1);
    Find<QRadioButton>(copy, "单选框v1v2补")->click();
    EXPECT_EQ(*copy.MakeParams(RunMode::FullPreview), TagCopyMode::Complement);
    testing::Store(copy, dir / "a.ini", "批量Id3复制", true);
    Id3CopyPanel loadedCopy;
    testing::Store(loadedCopy, dir / "a.ini", "批量Id3复制", false);
    EXPECT_EQ(loadedCopy.CurrentMode(), TagCopyMode::Complement);
}

// Each tag panel keeps every control under its key: a changed panel saved and
// loaded into a fresh one gives the same parameters, and the keys keep their names
// (a renamed key would lose users' saved settings).
TEST(Id3Panels, SettingsRoundTripUnderTheirKeys) {
    testing::TestApplication();
    testing::TempDir dir;
    std::vector<std::string> writeKeys;
    for (const char* field : {"歌名", "歌手", "专辑", "年代", "音轨", "流派", "注释", "原创", "作曲", "歌词", "链接",
                              "版权", "编码"}) {
        writeKeys.push_back(std::string("写") + field);
        writeKeys.push_back(field);
    }
    writeKeys.insert(writeKeys.end(), {"v1", "v2"});
    testing::ExpectSettingsRoundTrip(
        dir / "write.ini", "批量Id3写入", [] { return std::make_unique<Id3WritePanel>(nullptr, CurrentRowPath()); },
        [](Id3WritePanel& panel) {
            Tick(panel, "选择框v1", false);
            Tick(panel, "选择框v2");
            for (const char* field : {"歌名", "年代", "流派", "歌词", "版权", "编码"}) {
                Tick(panel, (std::string("选择框") + field).c_str());
            }
            Find<QLineEdit>(panel, "编辑框歌名")->setText(Q("第*首"));
            Find<QLineEdit>(panel, "编辑框歌手")->setText(Q("not ticked, still kept"));
            Find<QLineEdit>(panel, "编辑框歌词")->setText(Q("la\r\nla"));
            Find<QLineEdit>(panel, "编辑框编码")->setText(Q("enc"));
            Find<QComboBox>(panel, "组合框年代")->setEditText(Q("1987"));
            Find<QComboBox>(panel, "组合框流派")->setCurrentIndex(9);
        },
        writeKeys);
    testing::ExpectSettingsRoundTrip(
        dir / "read.ini", "批量Id3读出", [] { return std::make_unique<Id3ReadPanel>(nullptr, nullptr); },
        [](Id3ReadPanel& panel) {
            Find<QLineEdit>(panel, "编辑框读出式")->setText(Q("#ST_#作曲"));
            Find<QRadioButton>(panel, "单选框v2")->click();
            Find<QCheckBox>(panel, "选择框互补")->click();
        },
        {"读出表达式", "读出v1", "版本互补"});
    testing::ExpectSettingsRoundTrip(
        dir / "convert.ini", "批量Id3转换", [] { return std::make_unique<Id3ConvertPanel>(); },
        [](Id3ConvertPanel& panel) {
            Tick(panel, "选择框v1", false);
            Tick(panel, "选择框v2");
            int index = 2;
            for (const char* box : {"组合框编解码", "组合框繁简", "组合框全半角", "组合框字母", "组合框数字"}) {
                Find<QComboBox>(panel, box)->setCurrentIndex(index++);
            }
        },
        {"v1", "v2", "编解码", "繁简", "全半角", "字母", "数字"});
    testing::ExpectSettingsRoundTrip(
        dir / "copy.ini", "批量Id3复制", [] { return std::make_unique<Id3CopyPanel>(); },
        [](Id3CopyPanel& panel) { Find<QRadioButton>(panel, "单选框v1v2换")->click(); }, {"复制类型"});
}

// Every parameter control asks for one preview when the user changes it; the box
// that reads the current file's tags is an action, not a parameter.
TEST(Id3Panels, EveryParameterChangeAsksForOnePreview) {
    testing::TestApplication();
    std::unique_ptr<TaskPanel> panels[] = {std::make_unique<Id3WritePanel>(nullptr, CurrentRowPath()),
                                           std::make_unique<Id3ReadPanel>(nullptr, nullptr),
                                           std::make_unique<Id3ConvertPanel>(), std::make_unique<Id3CopyPanel>()};
    for (const std::unique_ptr<TaskPanel>& panel : panels) testing::ExpectOnePreviewPerChange(*panel, {"选择框读mp3"});
}

// The copy direction is kept as its number counted from 0; a number outside the
// four keeps the design choice.
TEST(Id3Panels, CopyDirectionKeptAsItsNumber) {
    testing::TestApplication();
    testing::TempDir dir;
    struct Case {
        const char* stored;
        TagCopyMode expected;
    };
    const Case cases[] = {{"0", TagCopyMode::V2ToV1},  {"1", TagCopyMode::V1ToV2},   {"2", TagCopyMode::Exchange},
                          {"3", TagCopyMode::Complement}, {"2.5", TagCopyMode::Exchange}, {"4", TagCopyMode::V2ToV1},
                          {"-1", TagCopyMode::V2ToV1},   {"x", TagCopyMode::V2ToV1}};
    for (const Case& c : cases) {
        dir.Write("copy.ini", std::string("[批量Id3复制]\n复制类型=") + c.stored + "\n");
        Id3CopyPanel panel;
        testing::Store(panel, dir / "copy.ini", "批量Id3复制", false);
        EXPECT_EQ(panel.CurrentMode(), c.expected) << c.stored;
    }
    Id3CopyPanel panel;
    Find<QRadioButton>(panel, "单选框v1到v2")->click();
    testing::Store(panel, dir / "copy.ini", "批量Id3复制", true);
    EXPECT_EQ(IniDocument::Parse(dir.Read("copy.ini")).Get("批量Id3复制", "复制类型"), "1");
}

}  // namespace
}  // namespace varnel

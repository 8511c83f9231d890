#include <QSignalSpy>

#include <gtest/gtest.h>

#include "renames/ui/list_font_panels.h"
#include "settings/ini_document.h"
#include "support/panel_test.h"
#include "support/qt_app.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

using testing::Find;
using testing::Q;
using testing::Store;

// The list keeps its lines through a save and a load (stored on one line with
// ";;;"), the template pair comes back with it, and only the pair asks for previews.
TEST(ListFontPanels, SettingsRoundTripAndPreviewRequests) {
    testing::TestApplication();
    testing::TempDir dir;
    NameListPanel first(nullptr);
    auto* names = Find<QPlainTextEdit>(first, "编辑框名称列表");
    auto* check = Find<QCheckBox>(first, "选择框扩展组合");
    auto* pattern = Find<QLineEdit>(first, "编辑框组合式");
    EXPECT_EQ(first.CurrentParameters().names, "每行一个\n对应修改\n到列表框");
    EXPECT_FALSE(pattern->isEnabled());

    QSignalSpy changed(&first, &TaskPanel::parametersChanged);
    names->setPlainText(Q("第一章\n\n第三章 终"));
    EXPECT_EQ(changed.count(), 0);
    check->click();
    EXPECT_TRUE(pattern->isEnabled());
    pattern->setText(Q("[?]"));
    EXPECT_EQ(changed.count(), 2);
    Store(first, dir / "s.ini", "批量列表", true);
    const std::string stored = dir.Read("s.ini");
    EXPECT_NE(stored.find("第一章;;;;;;第三章 终"), std::string::npos) << stored;
    const auto keys = IniDocument::Parse(stored).KeyList();
    EXPECT_EQ(keys.size(), 3u);

    NameListPanel second(nullptr);
    Store(second, dir / "s.ini", "批量列表", false);
    const NameListParams p = second.CurrentParameters();
    EXPECT_EQ(p.names, "第一章\n\n第三章 终");
    EXPECT_TRUE(p.useTemplate);
    EXPECT_EQ(p.pattern, "[?]");
    EXPECT_TRUE(Find<QLineEdit>(second, "编辑框组合式")->isEnabled());

    FontNamePanel font(nullptr);
    QSignalSpy fontChanged(&font, &TaskPanel::parametersChanged);
    EXPECT_FALSE(font.CurrentParameters().useTemplate);
    Find<QCheckBox>(font, "选择框扩展组合")->click();
    Find<QLineEdit>(font, "编辑框组合式")->setText(Q("?-font"));
    EXPECT_EQ(fontChanged.count(), 2);
    Store(font, dir / "f.ini", "批量字体", true);
    FontNamePanel again(nullptr);
    Store(again, dir / "f.ini", "批量字体", false);
    EXPECT_TRUE(again.CurrentParameters().useTemplate);
    EXPECT_EQ(again.CurrentParameters().pattern, "?-font");
}

}  // namespace
}  // namespace varnel

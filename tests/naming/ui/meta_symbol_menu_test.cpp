#include "naming/ui/meta_symbol_menu.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include "app/app_globals.h"
#include "settings/ui/text_input_dialog.h"
#include "support/recording_notifier.h"
#include "support/qt_app.h"

namespace varnel {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

void GiveFocus(QWidget* widget) {
    QFocusEvent event(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(widget, &event);
}

QAction* Item(QMenu& menu, const char* group, const char* caption) {
    for (QAction* action : menu.findChild<QMenu*>(Q(group))->actions()) {
        if (action->text() == Q(caption)) return action;
    }
    return nullptr;
}

struct Menu {
    testing::RecordingNotifier notifier;
    std::vector<std::string>& notices = notifier.notices;
    AppGlobals app;
    QWidget area;
    MetaSymbolMenu menu{app, &area};
};

TEST(MetaSymbolMenu, GroupsFollowTheCatalogue) {
    testing::TestApplication();
    Menu m;
    QStringList groups;
    for (QAction* action : m.menu.actions()) {
        if (action->menu() != nullptr) groups << action->text();
    }
    EXPECT_EQ(groups, (QStringList{Q("路径提取"), Q("名称摘要"), Q("内容摘要"), Q("数量综合"),
                                   Q("随机生成"), Q("时间格式"), Q("媒体处理"), Q("更多扩展")}));
    int items = 0;
    for (QMenu* group : m.menu.findChildren<QMenu*>()) items += group->actions().size();
    EXPECT_EQ(items, 39);
    EXPECT_NE(Item(m.menu, "随机生成", "#随机数字字母选"), nullptr);
    EXPECT_NE(Item(m.menu, "更多扩展", "#递进"), nullptr);
}

TEST(MetaSymbolMenu, NoTargetYetRefusesWithANotice) {
    testing::TestApplication();
    Menu m;
    EXPECT_FALSE(m.menu.PrepareMetaSymbolMenu());
    EXPECT_EQ(m.notices, std::vector<std::string>{MetaSymbolMenu::kNoTargetNotice});
    m.menu.InsertMetaSymbol("尺寸");  // nothing to insert into, nothing happens
}

TEST(MetaSymbolMenu, InsertsIntoTheLastAcceptingBox) {
    testing::TestApplication();
    Menu m;
    auto* panel = new QWidget(&m.area);
    auto* accepting = new QLineEdit(panel);
    auto* other = new QLineEdit(&m.area);
    m.menu.AcceptMetaSymbols(accepting);

    GiveFocus(accepting);
    GiveFocus(other);  // a box that does not accept meta-variables never becomes the target
    EXPECT_EQ(m.menu.MetaInsertTarget(), accepting);

    accepting->setText(Q("abcdef"));
    accepting->setSelection(1, 2);
    panel->hide();  // the panel of another task is shown: the box is hidden, not gone
    ASSERT_TRUE(m.menu.PrepareMetaSymbolMenu());
    QStringList changes;
    QObject::connect(accepting, &QLineEdit::textChanged, [&](const QString& t) { changes << t; });
    Item(m.menu, "数量综合", "#尺寸")->trigger();
    EXPECT_EQ(accepting->text(), Q("a#尺寸def"));
    EXPECT_EQ(changes, QStringList{Q("a#尺寸def")});
    m.menu.InsertMetaSymbol("尺寸");
    EXPECT_EQ(accepting->text(), Q("a#尺寸#尺寸def"));
    EXPECT_TRUE(m.notices.empty());

    delete accepting;
    EXPECT_FALSE(m.menu.PrepareMetaSymbolMenu());
    EXPECT_EQ(m.notices.size(), 1u);
}

TEST(MetaSymbolMenu, PlainTextBoxesAndTheInputDialogsPopup) {
    testing::TestApplication();
    Menu m;
    auto* box = new QPlainTextEdit(&m.area);
    m.menu.AcceptMetaSymbols(box);
    GiveFocus(box);
    ASSERT_TRUE(m.menu.PrepareMetaSymbolMenu());
    m.menu.InsertMetaSymbol("递进");
    EXPECT_EQ(box->toPlainText(), Q("#递进"));

    // The dialog's input area takes this popup's insertions; the panel's box stays the target.
    QPlainTextEdit dialogInput;
    m.menu.PopUpFor(&dialogInput);
    Item(m.menu, "路径提取", "#主名")->trigger();
    m.menu.hide();
    EXPECT_EQ(dialogInput.toPlainText(), Q("#主名"));
    EXPECT_EQ(box->toPlainText(), Q("#递进"));
    EXPECT_EQ(m.menu.MetaInsertTarget(), box);
}

TEST(MetaSymbolMenu, TheInputDialogsMetaButtonInsertsIntoItsInputArea) {
    testing::TestApplication();
    Menu m;
    InputDialogParams params;
    params.initialText = "x";
    params.metaMenu = [&m](QWidget* target) { m.menu.PopUpFor(target); };
    TextInputDialog dialog(params);
    auto* input = dialog.findChild<QPlainTextEdit*>(Q("编辑框输入区"));
    ASSERT_NE(input, nullptr);
    input->moveCursor(QTextCursor::End);
    dialog.ShowMetaMenu();
    Item(m.menu, "数量综合", "#行数")->trigger();
    m.menu.hide();
    EXPECT_EQ(input->toPlainText(), Q("x#行数"));
}

TEST(MetaSymbolMenu, SwitchMirrorsIntoTheExpansionSwitch) {
    testing::TestApplication();
    Menu m;
    ASSERT_TRUE(m.menu.SwitchAction()->isChecked());
    m.menu.SwitchAction()->trigger();
    EXPECT_FALSE(m.app.gMetaSymbolsEnabled.load());
    m.menu.SwitchAction()->trigger();
    EXPECT_TRUE(m.app.gMetaSymbolsEnabled.load());

    m.menu.ShowHowToInsertMetaSymbol();
    ASSERT_EQ(m.notices.size(), 1u);
    EXPECT_TRUE(m.notices.front().starts_with("元符应用于批量任务面板。"));
    m.menu.ShowWhatIsMetaSymbol();
    ASSERT_EQ(m.notifier.messages.size(), 1u);
    EXPECT_TRUE(m.notifier.messages.front().starts_with("元符，也称元变量"));
    EXPECT_EQ(m.notifier.styles.front(), kBoxOk | kBoxIconInformation);  // help, not a warning
}

}  // namespace
}  // namespace varnel

#include "naming/ui/meta_settings_window.h"

#include <QHeaderView>
#include <QScreen>
#include <QStyle>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include "app/app_globals.h"
#include "support/qt_app.h"
#include "support/temp_dir.h"
#include "support/recording_notifier.h"

namespace varnel {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

MetaSettings Initial() {
    MetaSettings settings;
    settings.directoryPath = {1, ""};
    settings.directoryName = {1, "|"};
    return settings;
}

struct Window {
    testing::RecordingNotifier notifier;
    MetaSettings settings = Initial();
    int saves = 0;
    MetaSettingsWindow window{settings, [this]() -> std::expected<void, Error> {
                                  ++saves;
                                  return {};
                              }};
    QTableWidget* list = window.findChild<QTableWidget*>(Q("元框"));
    QLineEdit* parameters = window.findChild<QLineEdit*>(Q("参"));
    QPlainTextEdit* help = window.findChild<QPlainTextEdit*>(Q("说"));
    void Select(int number) { list->setCurrentCell(number - 1, 0); }
};

TEST(MetaSettingsWindow, ListsTheCatalogue) {
    testing::TestApplication();
    Window w;
    EXPECT_EQ(w.window.windowTitle(), Q("元变量设置"));
    ASSERT_NE(w.list, nullptr);
    ASSERT_NE(w.parameters, nullptr);
    ASSERT_NE(w.help, nullptr);
    for (const char* name : {"外形框", "标签1", "标签2", "存"}) {
        EXPECT_NE(w.window.findChild<QWidget*>(Q(name)), nullptr) << name;
    }
    ASSERT_EQ(w.list->rowCount(), 39);
    ASSERT_EQ(w.list->columnCount(), 4);
    EXPECT_EQ(w.list->horizontalHeaderItem(2)->text(), Q("控制参数"));
    EXPECT_EQ(w.list->item(20, 0)->text(), Q("21"));
    EXPECT_EQ(w.list->item(20, 1)->text(), Q("某符数"));
    EXPECT_EQ(w.list->item(20, 3)->text(), Q("文本文件中指定字符串的数目"));
    EXPECT_EQ(w.list->item(2, 2)->text(), Q("1,|"));
    EXPECT_EQ(w.list->item(0, 2)->text(), Q(""));
    // Nothing is selected until the user picks a row.
    EXPECT_EQ(w.list->currentRow(), -1);
    EXPECT_TRUE(w.parameters->text().isEmpty());
    EXPECT_TRUE(w.help->toPlainText().isEmpty());

    w.Select(1);
    EXPECT_TRUE(w.parameters->text().isEmpty());
    EXPECT_EQ(w.help->toPlainText(), Q("完整磁盘路径(含盘符)\n\n无参数。"));
    w.Select(2);
    EXPECT_EQ(w.parameters->text(), Q("1,"));
    EXPECT_TRUE(w.help->toPlainText().startsWith(Q("上级目录路径(含盘符)\n\n有 2 个参数：")));
}

TEST(MetaSettingsWindow, EveryKeystrokeAppliesAndNormalises) {
    testing::TestApplication();
    Window w;
    w.window.show();

    // A row without parameters takes nothing.
    w.Select(1);
    QTest::keyClicks(w.parameters, "abc");
    EXPECT_TRUE(w.parameters->text().isEmpty());

    w.Select(21);
    EXPECT_EQ(w.parameters->text(), Q(",假"));
    w.parameters->setText(Q("\\n,真"));
    EXPECT_EQ(w.settings.charCount.character, "\n");
    EXPECT_TRUE(w.settings.charCount.caseFlag);
    EXPECT_EQ(w.parameters->text(), Q("\\n,真"));
    EXPECT_EQ(w.list->item(20, 2)->text(), Q("\\n,真"));

    w.Select(2);
    w.parameters->setText(Q("-3"));
    EXPECT_EQ(w.settings.directoryPath.level, 1);
    EXPECT_EQ(w.parameters->text(), Q("1,"));
    w.parameters->setText(Q("0"));
    EXPECT_EQ(w.settings.directoryPath.level, 0);

    // A comma typed into the separator stays in it; the caret stays where it was.
    w.Select(3);
    w.parameters->setCursorPosition(2);
    QTest::keyClicks(w.parameters, ",x");
    EXPECT_EQ(w.parameters->text(), Q("1,,x|"));
    EXPECT_EQ(w.settings.directoryName.separator, ",x|");
    EXPECT_EQ(w.parameters->cursorPosition(), 4);

    // A logical typed as anything but 真 reads as 假.
    w.Select(17);
    w.parameters->setText(Q("yes"));
    EXPECT_EQ(w.parameters->text(), Q("假"));
    w.parameters->setText(Q("真"));
    EXPECT_TRUE(w.settings.sizeAsText);

    w.Select(39);
    w.parameters->setText(Q("假,假,真,2,假,假"));
    EXPECT_TRUE(w.settings.sequence.uniform);
    EXPECT_EQ(w.settings.sequence.zeroDigits, 2);
    EXPECT_EQ(w.saves, 0);
}

TEST(MetaSettingsWindow, SavesOnTheLinkAndOnClosing) {
    testing::TestApplication();
    Window w;
    w.window.show();
    auto* link = w.window.findChild<QLabel*>(Q("存"));
    ASSERT_NE(link, nullptr);
    emit link->linkActivated(QStringLiteral("save"));
    EXPECT_EQ(w.saves, 1);
    EXPECT_EQ(w.notifier.notices, std::vector<std::string>{"元变量新更改配置已保存！"});
    w.window.close();
    EXPECT_EQ(w.saves, 2);
}

TEST(MetaSettingsWindow, EveryCaptionAndTheParameterBoxAreInView) {
    testing::TestApplication();
    Window w;
    w.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.window));
    QHeaderView* header = w.list->horizontalHeader();
    for (const QSize size : {QSize(900, 520), QSize(700, 400), QSize(600, 360)}) {
        w.window.resize(size);
        QCoreApplication::processEvents();
        SCOPED_TRACE(size.width());
        // Where each caption is drawn, in the header's visible part.
        for (int column = 0; column < w.list->columnCount(); ++column) {
            const QString caption = w.list->horizontalHeaderItem(column)->text();
            const QRect section(header->sectionViewportPosition(column), 0, header->sectionSize(column),
                                header->height());
            const QSize text(header->fontMetrics().horizontalAdvance(caption), header->fontMetrics().height());
            ASSERT_GE(section.width(), text.width()) << caption.toStdString();
            const QRect drawn = QStyle::alignedRect(header->layoutDirection(), header->defaultAlignment(), text, section);
            EXPECT_TRUE(header->viewport()->rect().contains(drawn)) << caption.toStdString();
        }
        // The parameter box keeps clear of the window's border.
        const QRect box(w.parameters->mapTo(&w.window, QPoint(0, 0)), w.parameters->size());
        EXPECT_LE(box.right(), w.window.width() - 5);
        EXPECT_GE(box.left(), w.list->geometry().right());
        EXPECT_GE(box.width(), 200);
    }
}

TEST(MetaSettingsWindow, OpensCentredOnItsOwner) {
    testing::TestApplication();
    testing::TempDir dir;
    AppGlobals app;
    app.gSettings->SetFile(dir / "s.ini");
    QWidget owner;
    owner.setGeometry(100, 50, 600, 540);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    MetaSettingsWindow* window = OpenMetaSettingsWindow(app, &owner);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    // On its owner's screen (the test screen is narrower than the window's designed
    // width), its centre on the owner's centre.
    const QRect placed = window->frameGeometry();
    // Its frame is known only once shown: the inside is what must fit.
    EXPECT_TRUE(owner.screen()->availableGeometry().contains(window->geometry()));
    EXPECT_NEAR(placed.center().x(), owner.frameGeometry().center().x(), 2);
    EXPECT_NEAR(placed.center().y(), owner.frameGeometry().center().y(), 2);
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(MetaSettingsWindow, OpensOnceOverTheProgramsSettings) {
    testing::TestApplication();
    testing::TempDir dir;
    AppGlobals app;
    app.gSettings->SetFile(dir / "s.ini");
    ASSERT_TRUE(LoadOrSaveMetaSettings(*app.gSettings, app.gMetaSettings, false));
    app.gMetaSettings.randomDigits.length = 5;

    MetaSettingsWindow* first = OpenMetaSettingsWindow(app, nullptr);
    EXPECT_EQ(OpenMetaSettingsWindow(app, nullptr), first);
    // It shows the values in force, saved or not.
    auto* list = first->findChild<QTableWidget*>(Q("元框"));
    EXPECT_EQ(list->item(23, 2)->text(), Q("5,假"));
    list->setCurrentCell(23, 0);
    first->findChild<QLineEdit*>(Q("参"))->setText(Q("7,真"));
    EXPECT_EQ(app.gMetaSettings.randomDigits.length, 7);
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    EXPECT_NE(dir.Read("s.ini").find("随机数字.位数=7\n随机数字.全角=真\n"), std::string::npos);
    MetaSettingsWindow* second = OpenMetaSettingsWindow(app, nullptr);
    EXPECT_EQ(second->findChild<QTableWidget*>(Q("元框"))->item(23, 2)->text(), Q("7,真"));
    second->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
}  // namespace varnel

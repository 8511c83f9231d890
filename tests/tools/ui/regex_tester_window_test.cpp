#include "tools/ui/regex_tester_window.h"

#include <QCoreApplication>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include "filelist/row_store.h"
#include "support/panel_test.h"
#include "support/recording_notifier.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "tools/ui/tool_windows.h"

namespace varnel {
namespace {

using testing::Find;
using testing::Q;
using testing::TempDir;

struct TesterTest : ::testing::Test {
    TesterTest() { store.SetFile(dir / "s.ini"); }
    TempDir dir;
    SettingsStore store;
    RowStore rows;
    testing::RecordingNotifier notifier;
};

void Type(QPlainTextEdit* box, const char* text) { box->setPlainText(Q(text)); }

TEST_F(TesterTest, SearchListsMatchesAndRetitlesGroupColumns) {
    RegexTesterWindow window(store, nullptr);
    ASSERT_NE(Find<QTabWidget>(window, "选择夹"), nullptr);
    ASSERT_NE(Find<QComboBox>(window, "经典正则组"), nullptr);
    EXPECT_EQ(window.windowTitle().left(30), Q("Varnel正则调试器(Rexmoor) v1.3"));
    Type(window.SearchText(), "a1 b2 c3");
    Type(window.SearchPattern(), "(\\w)(\\d)");
    EXPECT_EQ(window.Model().rowCount(), 3);
    EXPECT_EQ(window.Model().columnCount(), 4);
    EXPECT_EQ(window.Model().headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), Q("子匹配文本 (2)"));
    EXPECT_EQ(window.Model().index(1, 0).data().toString(), Q("(2)"));
    EXPECT_EQ(window.Model().index(1, 2).data().toString(), Q("b"));
    EXPECT_EQ(window.Summary()->text(), Q("搜索结果 - 匹配数量:3,子匹配数量:2"));
    window.ResultView()->selectRow(2);
    EXPECT_EQ(window.ResultRowsText(true), "(3);c3;c;3");
    EXPECT_EQ(window.ResultRowsText(false), "(1);a1;a;1\n(2);b2;b;2\n(3);c3;c;3");

    Type(window.SearchPattern(), "(\\w)\\d");
    EXPECT_EQ(window.Model().columnCount(), 3);

    Type(window.SearchPattern(), "z");
    EXPECT_EQ(window.Model().rowCount(), 0);
    EXPECT_EQ(window.Summary()->text(), Q("搜索结果 - 完全没有匹配项目"));
    EXPECT_TRUE(window.Summary()->styleSheet().contains("#ff0000"));
}

TEST_F(TesterTest, EmptyGlobalPatternMatchesEveryPositionAndManyMatchesStayAModel) {
    RegexTesterWindow window(store, nullptr);
    Type(window.SearchPattern(), "");
    Type(window.SearchText(), "abc");
    EXPECT_EQ(window.Model().rowCount(), 4);
    // Fifty thousand matches: rows come from the model, not from widgets.
    Type(window.SearchText(), std::string(50000, 'x').c_str());
    Type(window.SearchPattern(), "x");
    EXPECT_EQ(window.Model().rowCount(), 50000);
    EXPECT_EQ(window.Model().index(49999, 1).data().toString(), Q("x"));
}

TEST_F(TesterTest, WithoutAutoPreviewNothingRunsUntilTheButton) {
    RegexTesterWindow window(store, nullptr);
    window.AutoPreviewBox()->setChecked(false);
    Type(window.SearchText(), "aaa");
    Type(window.SearchPattern(), "a");
    EXPECT_EQ(window.Model().rowCount(), 0);
    Find<QPushButton>(window, "按钮搜索")->click();
    EXPECT_EQ(window.Model().rowCount(), 3);

    Type(window.ReplacePattern(), "a");
    Type(window.Replacement(), "b");
    Type(window.ReplaceText(), "aXa");
    EXPECT_TRUE(window.ReplaceResult()->toPlainText().isEmpty());
    Find<QPushButton>(window, "按钮替换")->click();
    EXPECT_EQ(window.ReplaceResult()->toPlainText(), Q("bXb"));
    window.GlobalBox()->setChecked(false);
    window.AutoPreviewBox()->click();  // on again: reruns the current page
    window.Pages()->setCurrentIndex(RegexTesterWindow::kReplacePage);
    window.GlobalBox()->click();
    window.GlobalBox()->click();
    EXPECT_EQ(window.ReplaceResult()->toPlainText(), Q("bXa"));
}

TEST_F(TesterTest, TextsAndFlagsComeBackAsTheyWereSaved) {
    {
        RegexTesterWindow window(store, nullptr);
        Type(window.SearchPattern(), "\\n;;;\\\\");
        Type(window.SearchText(), "one\ntwo");
        Type(window.Replacement(), "$1\\n");
        window.MultilineBox()->setChecked(true);
        window.Pages()->setCurrentIndex(2);
        window.close();
    }
    SettingsStore reread;
    reread.SetFile(dir / "s.ini");
    RegexTesterWindow window(reread, nullptr);
    EXPECT_EQ(window.SearchPattern()->toPlainText(), Q("\\n;;;\\\\"));
    EXPECT_EQ(window.SearchText()->toPlainText(), Q("one\ntwo"));
    EXPECT_EQ(window.Replacement()->toPlainText(), Q("$1\\n"));
    EXPECT_TRUE(window.MultilineBox()->isChecked());
    EXPECT_EQ(window.Pages()->currentIndex(), 2);
}

TEST_F(TesterTest, SymbolsAndClassicPatternsGoToTheFocusedPatternBox) {
    RegexTesterWindow window(store, nullptr);
    auto* firstSymbol = Find<QToolButton>(window, "符号按钮1");
    ASSERT_NE(firstSymbol, nullptr);
    firstSymbol->click();  // no pattern box focused yet
    EXPECT_TRUE(window.SearchPattern()->toPlainText().isEmpty());
    EXPECT_TRUE(window.Replacement()->toPlainText().isEmpty());

    Type(window.Replacement(), "ab");
    window.FocusPatternBox(window.Replacement());
    QTextCursor cursor = window.Replacement()->textCursor();
    cursor.setPosition(1);
    window.Replacement()->setTextCursor(cursor);
    window.ChooseClassicPattern(5);  // 匹配IP地址
    EXPECT_EQ(window.Replacement()->toPlainText(), Q("a\\d+\\.\\d+\\.\\d+\\.\\d+b"));
    auto* octal = Find<QToolButton>(window, "符号按钮31");
    auto* lineFeed = Find<QToolButton>(window, "符号按钮22");
    EXPECT_NE(octal->text(), lineFeed->text());
    // At least the designed width (4 x 6 + 5), wider where the font needs it.
    EXPECT_GE(Find<QToolButton>(window, "符号按钮30")->width(), 29);
}

TEST_F(TesterTest, HelpDocumentsAreWrittenThenOpened) {
    testing::ScopedEnv env("XDG_CACHE_HOME", dir / "cache");
    RegexTesterWindow window(store, nullptr);
    std::vector<std::string> opened;
    window.SetDocumentOpener([&](const std::string& path) -> std::expected<void, Error> {
        opened.push_back(path);
        return {};
    });
    window.OpenHelpDocument(0);
    window.OpenHelpDocument(1);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], dir / "cache/Varnel/帮助/正则表达式入门.html");
    EXPECT_NE(dir.Read("cache/Varnel/帮助/正则表达式常用写法.html").find("<title>正则表达式常用写法</title>"),
              std::string::npos);
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(TesterTest, RegexPanelRequestFillsTheReplacePageAndTakesThePatternBack) {
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) rows.AppendRow("/tmp/", name, {}, 0);
    QWidget owner;
    ToolWindows tools(store, rows, &owner);
    TestedPattern returned;
    int taken = 0;
    RegexTesterRequest request;
    request.pattern = "(\\w)\\.txt";
    request.replacement = "$1";
    request.ignoreCase = false;
    request.global = false;
    request.sampleFromFileNames = true;
    request.focusPattern = false;
    request.takeBack = [&](const TestedPattern& tested) {
        returned = tested;
        ++taken;
    };
    tools.OpenRegexTesterFor(request);
    RegexTesterWindow* window = tools.RegexTester();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->ReplaceText()->toPlainText(), Q("a.txt\nb.txt\nc.txt"));
    EXPECT_EQ(window->Pages()->currentIndex(), RegexTesterWindow::kReplacePage);
    EXPECT_EQ(window->InsertTarget(), window->Replacement());
    EXPECT_FALSE(window->IgnoreCaseBox()->isChecked());
    EXPECT_TRUE(window->ApplyButton()->isVisibleTo(window));
    window->ReplacePattern()->setPlainText(Q("(\\w+)"));
    window->ApplyButton()->click();
    ASSERT_EQ(taken, 1);
    EXPECT_EQ(returned.pattern, "(\\w+)");
    EXPECT_EQ(returned.replacement, "$1");
    EXPECT_FALSE(returned.global);

    // The menu opens it without a panel to go back to.
    tools.OpenRegexTester();
    EXPECT_FALSE(window->ApplyButton()->isVisibleTo(window));
    // An empty list keeps the sample text.
    RowStore none;
    ToolWindows empty(store, none, &owner);
    empty.OpenRegexTesterWith(false, "x", "", std::string("sample"), true, true, false);
    EXPECT_EQ(empty.RegexTester()->SearchText()->toPlainText(), Q("sample"));
    empty.OpenRegexTesterForRegexPanel(true, "p", "r", true, true);
    EXPECT_EQ(empty.RegexTester()->ReplaceText()->toPlainText(), Q(""));
    EXPECT_EQ(empty.RegexTester()->InsertTarget(), empty.RegexTester()->ReplacePattern());
    tools.RegexTester()->close();
    empty.RegexTester()->close();
}

// Lines that each backtrack for long, no attempt reaching the engine's limit: the
// search would take minutes, and must never hold the window.
QString CatastrophicText(int lines) {
    QString text;
    for (int i = 0; i < lines; ++i) text += QString(22, QChar('a')) + "!\n";
    return text;
}

// The hang guard of these waits: generous, it only turns a hang into a failure.
constexpr int kGuardMs = 60000;

TEST_F(TesterTest, ACatastrophicMatchRunsOnAWorkerAndANewKeystrokeReplacesIt) {
    RegexTesterWindow window(store, nullptr);
    window.SearchText()->setPlainText(CatastrophicText(20000));
    Type(window.SearchPattern(), "(a+)+$");
    ASSERT_TRUE(window.SearchRunning());
    EXPECT_EQ(window.Summary()->text(), Q("搜索结果 - 正在匹配…"));
    EXPECT_EQ(window.Model().rowCount(), 0);
    EXPECT_TRUE(Find<QPushButton>(window, "按钮停止搜索")->isEnabled());

    // The event loop goes on while the match runs.
    bool handled = false;
    QTimer::singleShot(0, &window, [&handled] { handled = true; });
    ASSERT_TRUE(QTest::qWaitFor([&handled] { return handled; }, kGuardMs));
    EXPECT_TRUE(window.SearchRunning());

    // A newer keystroke answers at once; the older match ends and never shows.
    Type(window.SearchPattern(), "!");
    EXPECT_FALSE(window.SearchRunning());
    EXPECT_EQ(window.Summary()->text(), Q("搜索结果 - 匹配数量:20000,子匹配数量:0"));
    QTest::qWait(50);
    EXPECT_EQ(window.Summary()->text(), Q("搜索结果 - 匹配数量:20000,子匹配数量:0"));
    EXPECT_EQ(window.Model().rowCount(), 20000);
}

TEST_F(TesterTest, StopAndTheBudgetEndAMatchAndSaySo) {
    RegexTesterWindow window(store, nullptr);
    window.SearchText()->setPlainText(CatastrophicText(20000));
    Type(window.SearchPattern(), "(a+)+$");
    ASSERT_TRUE(window.SearchRunning());
    Find<QPushButton>(window, "按钮停止搜索")->click();
    ASSERT_TRUE(QTest::qWaitFor([&window] { return !window.SearchRunning(); }, kGuardMs));
    EXPECT_EQ(window.Summary()->text(), Q("搜索结果 - ") + Q(kRegexStoppedText));
    EXPECT_TRUE(window.Summary()->styleSheet().contains("#ff0000"));

    window.SetMatchBudgetMs(300);
    Find<QPushButton>(window, "按钮搜索")->click();
    ASSERT_TRUE(QTest::qWaitFor([&window] { return !window.SearchRunning(); }, kGuardMs));
    EXPECT_EQ(window.Summary()->text(), Q("搜索结果 - ") + Q(RegexBudgetExceededText(300).c_str()));

    // The replace page likewise.
    window.ReplaceText()->setPlainText(CatastrophicText(20000));
    Type(window.Replacement(), "x");
    Type(window.ReplacePattern(), "(a+)+$");
    ASSERT_TRUE(window.ReplaceRunning());
    EXPECT_EQ(window.ReplaceResult()->toPlainText(), Q("正在替换…"));
    ASSERT_TRUE(QTest::qWaitFor([&window] { return !window.ReplaceRunning(); }, kGuardMs));
    EXPECT_EQ(window.ReplaceResult()->toPlainText(), Q(RegexBudgetExceededText(300).c_str()));
}

}  // namespace
}  // namespace varnel

// The regular-expression tester (正则调试器): a window beside the main window where
// a pattern is tried on a sample text before a batch task uses it. A search page
// lists every match with its groups, a replace page shows a replacement's result,
// and a syntax page lists the reference; symbol buttons and the classic patterns
// insert into the pattern box last focused. Matching uses the tasks' engine. When
// opened from a task panel, 应用到面板 hands the tested pattern back to it. Keeps
// section "正则调试器". UI thread only.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QWidget>

#include <expected>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runs/ui/regex_tester_link.h"
#include "settings/settings_store.h"
#include "tools/regex_search.h"
#include "tools/regex_tester_settings.h"
#include "tools/ui/regex_match_model.h"
#include "utilities/error.h"
#include "utilities/ui/ui_job_runner.h"

namespace varnel {

class RegexTesterWindow final : public QWidget {
    Q_OBJECT
public:
    enum Page { kSearchPage = 0, kReplacePage = 1, kSyntaxPage = 2 };

    // Loads the section from `settings`, which must outlive the window.
    RegexTesterWindow(SettingsStore& settings, QWidget* owner);

    // Shows the window where its settings placed it (maximised when saved so).
    void ShowAsLoaded();
    // Saves the section and writes the settings file.
    std::expected<void, Error> SaveSettings();

    // While not ready, texts filled in by code start no search or replacement.
    void SetReady(bool ready) { m_ready = ready; }
    bool Ready() const { return m_ready; }

    // Fills the replace page (replaceMode) or the search page from a panel's
    // request; each flag given is set; the matching page is selected.
    void FillFrom(const RegexTesterRequest& request);
    // Where 应用到面板 sends the tested pattern; none hides the button.
    void SetTakeBack(std::function<void(const TestedPattern&)> takeBack);
    void ApplyToPanel();

    // 搜索 and 替换; nothing while not ready. A search or replacement that does not
    // finish at once goes on a worker, so the window keeps answering: a newer one
    // (a keystroke) or 停止 ends it, and so does its budget (SetMatchBudgetMs), the
    // window then saying why. The result shows when it is ready.
    void RunSearch();
    void RunReplace();
    // A search or replacement is under way on its worker.
    bool SearchRunning() const { return m_stopSearch->isEnabled(); }
    bool ReplaceRunning() const { return m_stopReplace->isEnabled(); }
    // How long one may run (kRegexTesterBudgetMs unless a test says otherwise).
    void SetMatchBudgetMs(int ms) { m_budgetMs = ms; }
    // The rows of the result table as copied: all of them, or the selected ones.
    std::string ResultRowsText(bool selectedOnly) const;

    // Puts the text in place of the selection of the pattern box focused last;
    // nothing when none has been focused yet.
    void InsertIntoPattern(const QString& text);
    QPlainTextEdit* InsertTarget() const { return m_insertTarget; }
    // Focuses one of the three pattern boxes, making it the insertion target.
    void FocusPatternBox(QPlainTextEdit* box);
    void ChooseClassicPattern(int index);

    // Writes help document 0 or 1 and opens it; the opener is replaceable for tests.
    using DocumentOpener = std::function<std::expected<void, Error>(const std::string& path)>;
    void SetDocumentOpener(DocumentOpener opener) { m_openDocument = std::move(opener); }
    void OpenHelpDocument(int which);

    QPlainTextEdit* SearchPattern() const { return m_searchPattern; }
    QPlainTextEdit* SearchText() const { return m_searchText; }
    QPlainTextEdit* ReplacePattern() const { return m_replacePattern; }
    QPlainTextEdit* Replacement() const { return m_replacement; }
    QPlainTextEdit* ReplaceText() const { return m_replaceText; }
    QPlainTextEdit* ReplaceResult() const { return m_replaceResult; }
    QTabWidget* Pages() const { return m_pages; }
    QTableView* ResultView() const { return m_results; }
    RegexMatchModel& Model() { return m_model; }
    QLabel* Summary() const { return m_summary; }
    QPushButton* ApplyButton() const { return m_apply; }
    QCheckBox* IgnoreCaseBox() const { return m_ignoreCase; }
    QCheckBox* MultilineBox() const { return m_multiline; }
    QCheckBox* GlobalBox() const { return m_global; }
    QCheckBox* AutoPreviewBox() const { return m_autoPreview; }

protected:
    void closeEvent(QCloseEvent* event) override;
    // The three pattern boxes become the insertion target when they get the focus.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildSearchPage();
    QWidget* BuildReplacePage();
    QWidget* BuildSyntaxPage();
    QWidget* BuildSymbolBar();
    // A captioned box with its 清空, 粘贴 and 复制 buttons.
    QWidget* BoxWithActions(const char* caption, QPlainTextEdit* box, bool editable,
                            std::vector<QWidget*> extra = {});
    QPlainTextEdit* MakeBox(const char* name);
    // A 停止 button that ends the attempt `job` runs; enabled only while it runs.
    QPushButton* StopButton(const char* name, UiJobRunner& job);
    // Runs `attempt` at once for a moment and, unfinished, on `job`'s worker under
    // the budget; `show` gets the result on the window's thread unless `serial`
    // moved on meanwhile. `busy` says it goes on; `explain` names why one ended early.
    template <typename Result>
    void RunBudgeted(UiJobRunner& job, unsigned& serial, QPushButton* stop,
                     std::function<Result(std::function<bool()>)> attempt,
                     std::function<bool(const Result&)> cutShort,
                     std::function<void(Result&, const std::string&)> explain, std::function<void(Result)> show,
                     std::function<void()> busy);
    RegexFlags CurrentFlags() const;
    void RerunForPage();
    void ApplySettings(const RegexTesterSettings& s);
    RegexTesterSettings CollectSettings() const;

    SettingsStore& m_settings;
    bool m_ready = false;
    bool m_showMaximized = false;
    QCheckBox* m_ignoreCase = nullptr;
    QCheckBox* m_multiline = nullptr;
    QCheckBox* m_global = nullptr;
    QCheckBox* m_autoPreview = nullptr;
    QComboBox* m_classics = nullptr;
    QTabWidget* m_pages = nullptr;
    QSplitter* m_searchSplitter = nullptr;
    QSplitter* m_replaceSplitter = nullptr;
    QPlainTextEdit* m_searchPattern = nullptr;
    QPlainTextEdit* m_searchText = nullptr;
    QPlainTextEdit* m_replacePattern = nullptr;
    QPlainTextEdit* m_replacement = nullptr;
    QPlainTextEdit* m_replaceText = nullptr;
    QPlainTextEdit* m_replaceResult = nullptr;
    QLabel* m_summary = nullptr;
    QTableView* m_results = nullptr;
    RegexMatchModel m_model;
    QTableWidget* m_syntax = nullptr;
    QPushButton* m_apply = nullptr;
    QPlainTextEdit* m_insertTarget = nullptr;
    std::function<void(const TestedPattern&)> m_takeBack;
    DocumentOpener m_openDocument;
    QPushButton* m_stopSearch = nullptr;
    QPushButton* m_stopReplace = nullptr;
    int m_budgetMs = kRegexTesterBudgetMs;
    unsigned m_searchSerial = 0;
    unsigned m_replaceSerial = 0;
    // Last: their workers are waited for before any widget goes.
    UiJobRunner m_searchJob;
    UiJobRunner m_replaceJob;
};

}  // namespace varnel

#include "tools/ui/tool_windows.h"

#include "tools/list_names.h"

namespace varnel {

namespace {

// The names a rename pattern is tried on.
constexpr std::size_t kSampleNames = 10;

}  // namespace

ToolWindows::ToolWindows(SettingsStore& settings, const RowStore& rows, QWidget* owner)
    : QObject(owner), m_settings(settings), m_rows(rows), m_owner(owner) {}

RegexTesterWindow& ToolWindows::TesterWindow() {
    if (!m_tester) {
        m_tester = new RegexTesterWindow(m_settings, m_owner);
        m_tester->setAttribute(Qt::WA_DeleteOnClose);
    }
    return *m_tester;
}

RegexTesterWindow& ToolWindows::OpenRegexTester() {
    RegexTesterWindow& tester = TesterWindow();
    tester.SetTakeBack(nullptr);
    tester.ShowAsLoaded();
    return tester;
}

void ToolWindows::FillTester(const RegexTesterRequest& request) {
    RegexTesterWindow& tester = TesterWindow();
    tester.SetReady(false);
    tester.FillFrom(request);
    tester.SetTakeBack(request.takeBack);
    tester.SetReady(true);
    tester.ShowAsLoaded();
}

RegexTesterWindow& ToolWindows::OpenRegexTesterWith(bool replaceMode, const std::string& pattern,
                                                    const std::string& replacement,
                                                    std::optional<std::string> sampleText,
                                                    std::optional<bool> ignoreCase, std::optional<bool> multiline,
                                                    std::optional<bool> global) {
    RegexTesterRequest request;
    request.replaceMode = replaceMode;
    request.pattern = pattern;
    request.replacement = replacement;
    request.sampleText = std::move(sampleText);
    request.ignoreCase = ignoreCase;
    request.multiline = multiline;
    request.global = global;
    FillTester(request);
    return *m_tester;
}

RegexTesterWindow& ToolWindows::OpenRegexTesterForRegexPanel(bool fromMatchLink, const std::string& pattern,
                                                             const std::string& replacement, bool ignoreCase,
                                                             bool global) {
    RegexTesterRequest request;
    request.replaceMode = true;
    request.pattern = pattern;
    request.replacement = replacement;
    request.ignoreCase = ignoreCase;
    request.global = global;
    request.sampleFromFileNames = true;
    request.focusPattern = fromMatchLink;
    OpenRegexTesterFor(request);
    return *m_tester;
}

void ToolWindows::OpenRegexTesterFor(const RegexTesterRequest& request) {
    if (!request.sampleFromFileNames) {
        FillTester(request);
        return;
    }
    RegexTesterRequest filled = request;
    if (m_rows.RowCount() > 0) filled.sampleText = JoinListNames(m_rows, kSampleNames);
    FillTester(filled);
    RegexTesterWindow& tester = *m_tester;
    QPlainTextEdit* focused = request.focusPattern ? tester.ReplacePattern() : tester.Replacement();
    tester.FocusPatternBox(focused);
}

ListMergeWindow& ToolWindows::OpenListMerge() {
    if (!m_merge) {
        m_merge = new ListMergeWindow(m_settings, m_rows, m_owner);
        m_merge->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_merge->show();
    m_merge->raise();
    m_merge->activateWindow();
    return *m_merge;
}

void ToolWindows::SaveOpenWindows() {
    if (m_tester) (void)m_tester->SaveSettings();
    if (m_merge) (void)m_merge->SaveSettings();
}

}  // namespace varnel

// The auxiliary tool windows of the main window, each made on first use and kept
// while open: the regular-expression tester and the list merge tool, and the ways
// the menu and the task panels open them. Closing a window saves its section;
// SaveOpenWindows does the same for the windows still open when the program ends.
// UI thread only.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <optional>
#include <string>

#include "filelist/row_store.h"
#include "runs/ui/regex_tester_link.h"
#include "settings/settings_store.h"
#include "tools/ui/list_merge_window.h"
#include "tools/ui/regex_tester_window.h"

namespace varnel {

class ToolWindows final : public QObject {
    Q_OBJECT
public:
    // The settings and the list's rows must outlive this object; owner owns the windows.
    ToolWindows(SettingsStore& settings, const RowStore& rows, QWidget* owner);

    // The menu item 正则调试器: the tester with its saved settings.
    RegexTesterWindow& OpenRegexTester();
    // A panel's texts and flags on the replace page (replaceMode) or the search page;
    // a sample text and each flag only when given.
    RegexTesterWindow& OpenRegexTesterWith(bool replaceMode, const std::string& pattern,
                                           const std::string& replacement,
                                           std::optional<std::string> sampleText = std::nullopt,
                                           std::optional<bool> ignoreCase = std::nullopt,
                                           std::optional<bool> multiline = std::nullopt,
                                           std::optional<bool> global = std::nullopt);
    // The regex rename panel's texts and flags on the replace page, with the first
    // ten names of the list as the sample (kept when the list is empty), the focus on
    // the pattern (fromMatchLink) or the replacement.
    RegexTesterWindow& OpenRegexTesterForRegexPanel(bool fromMatchLink, const std::string& pattern,
                                                    const std::string& replacement, bool ignoreCase, bool global);
    // A panel's request, as the panels' RegexTesterLink hands it over; the tester
    // then hands the tested pattern back to that panel.
    void OpenRegexTesterFor(const RegexTesterRequest& request);
    // The menu item 列表合并工具.
    ListMergeWindow& OpenListMerge();

    void SaveOpenWindows();
    RegexTesterWindow* RegexTester() const { return m_tester; }
    ListMergeWindow* ListMerge() const { return m_merge; }

private:
    RegexTesterWindow& TesterWindow();
    void FillTester(const RegexTesterRequest& request);

    SettingsStore& m_settings;
    const RowStore& m_rows;
    QWidget* m_owner;
    QPointer<RegexTesterWindow> m_tester;
    QPointer<ListMergeWindow> m_merge;
};

}  // namespace varnel

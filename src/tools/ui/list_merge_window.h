// The list merge tool (列表合并工具): a one-line template whose "*" take, in turn, a
// line of each group, built for every line of group 1; the groups are edited one at
// a time, and the result can be copied, saved as one file or saved as one numbered
// text file per line. Keeps section "列表合并生成". UI thread only.
#pragma once

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

#include <expected>
#include <functional>
#include <string>
#include <vector>

#include "filelist/row_store.h"
#include "settings/settings_store.h"
#include "tools/list_merge.h"
#include "utilities/error.h"

namespace varnel {

// The dialogs the window opens; tests give their own. Each returns "" when cancelled.
struct ListMergeDialogs {
    std::function<std::string(QWidget* parent)> pickResultFile;
    std::function<std::string(const std::string& initialFolder)> pickFolder;
};
ListMergeDialogs DefaultListMergeDialogs();

class ListMergeWindow final : public QWidget {
    Q_OBJECT
public:
    // Loads the section from `settings`; both must outlive the window. `rows` is the
    // file list whose names 读文件名列表 reads.
    ListMergeWindow(SettingsStore& settings, const RowStore& rows, QWidget* owner,
                    ListMergeDialogs dialogs = DefaultListMergeDialogs());

    std::expected<void, Error> SaveSettings();
    void SetDialogs(ListMergeDialogs dialogs) { m_dialogs = std::move(dialogs); }

    void AddGroup();
    void DeleteCurrentGroup();
    void ClearGroups();
    void ChooseGroup(int index);
    void ReadListNames();
    // 合并: asks for a group first when there is none.
    void Generate();
    void SaveResult();
    void SaveNumbered();
    void ShowHelp();

    const MergeGroupList& Groups() const { return m_groups; }
    QLineEdit* Template() const { return m_template; }
    QListWidget* GroupList() const { return m_groupList; }
    QPlainTextEdit* GroupBox() const { return m_groupBox; }
    QPlainTextEdit* ResultBox() const { return m_result; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The list items captioned "组 1" … and the current one shown.
    void ShowGroups();

    SettingsStore& m_settings;
    const RowStore& m_rows;
    ListMergeDialogs m_dialogs;
    MergeGroupList m_groups;
    std::string m_lastFolder;
    bool m_showing = false;  // the group box is being filled by code
    QLineEdit* m_template = nullptr;
    QListWidget* m_groupList = nullptr;
    QPlainTextEdit* m_groupBox = nullptr;
    QPlainTextEdit* m_result = nullptr;
};

}  // namespace varnel

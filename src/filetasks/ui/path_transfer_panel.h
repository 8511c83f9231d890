// The panel of the path transfer task (批量路径): what to do with each listed path
// (move, copy, shortcut, starter script, only the folder), the new folder's
// template and whether starter scripts name relative paths; kept in its INI
// section and handed to a run as PathTaskParams. UI thread only.
#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <functional>
#include <string>

#include "filetasks/path_task.h"
#include "runs/ui/task_panel.h"

namespace varnel {

class MetaSymbolMenu;

// The folder picker with its prompt and starting folder; "" when cancelled. Tests
// give their own.
using PickFolderFunction = std::function<std::string(const std::string& prompt, const std::string& start)>;

class PathTransferPanel final : public TypedTaskPanel<PathTaskParams> {
    Q_OBJECT
public:
    explicit PathTransferPanel(MetaSymbolMenu* metaMenu, QWidget* parent = nullptr, PickFolderFunction pickFolder = {});

    std::optional<PathTaskParams> MakeParams(RunMode mode) override;
    PathTaskParams CurrentParameters() const;

    // 选择框相对路径 is usable only for starter scripts.
    void UpdatePathControls();
    // 按钮编辑新目录: a chosen folder replaces the template.
    void PickNewFolder();

private:
    PickFolderFunction m_pickFolder;
    QRadioButton* m_move = nullptr;
    QRadioButton* m_copy = nullptr;
    QRadioButton* m_foldersOnly = nullptr;
    QRadioButton* m_shortcut = nullptr;
    QRadioButton* m_starter = nullptr;
    QCheckBox* m_relative = nullptr;
    QLineEdit* m_newFolder = nullptr;
    QPushButton* m_pick = nullptr;
};

}  // namespace varnel

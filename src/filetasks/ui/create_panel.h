// The panel of the create task (批量创建): the method (由此及彼, 绝对路径, 动态路径),
// files or folders, the two lists of the first method kept in their buttons and
// edited in the text editor box, the absolute path list, the dynamic template and
// its limit; kept in its INI section and handed to a run as CreateTaskParams. A
// dynamic limit above the cap is asked about before an execute or full preview.
// UI thread only.
#pragma once

#include <QButtonGroup>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <string>

#include "filetasks/create_task.h"
#include "filetasks/ui/content_panel_parts.h"
#include "filetasks/ui/path_transfer_panel.h"
#include "runs/ui/task_panel.h"

namespace varnel {

class MetaSymbolMenu;

class CreatePanel final : public TypedTaskPanel<CreateTaskParams> {
    Q_OBJECT
public:
    explicit CreatePanel(MetaSymbolMenu* metaMenu, QWidget* parent = nullptr, AskTextFunction askText = {},
                         PickFolderFunction pickFolder = {});

    std::optional<CreateTaskParams> MakeParams(RunMode mode) override;
    CreateTaskParams CurrentParameters() const;

    // Each method's controls are usable only while it is chosen.
    void UpdateCreateControls();
    // The texts of 按钮此列表 and 按钮彼列表 (lines joined by "\r\n").
    const std::string& SourceListText() const { return m_sourceText; }
    const std::string& TargetListText() const { return m_targetText; }

private:
    AskTextFunction m_askText;
    PickFolderFunction m_pickFolder;
    QButtonGroup m_kinds;
    QButtonGroup m_methods;
    QRadioButton* m_files = nullptr;
    QRadioButton* m_folders = nullptr;
    QRadioButton* m_thisToThat = nullptr;
    QRadioButton* m_absolute = nullptr;
    QRadioButton* m_dynamic = nullptr;
    QPushButton* m_sourceList = nullptr;
    QPushButton* m_targetList = nullptr;
    QPlainTextEdit* m_absolutePaths = nullptr;
    QPushButton* m_editAbsolute = nullptr;
    QLineEdit* m_template = nullptr;
    QPushButton* m_pickTemplate = nullptr;
    QLineEdit* m_limit = nullptr;
    std::string m_sourceText;
    std::string m_targetText;
};

}  // namespace varnel

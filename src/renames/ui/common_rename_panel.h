// The panel of the common rename task (批量常用): new main names, numbering and a new
// extension. A thin form over CommonRenameParams: it keeps its controls in its INI
// section, hands them to a run as that struct, shows the numbering group only while
// a number is used, and asks for an auto-preview on every change. UI thread only.
#pragma once

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>

#include "naming/common_name.h"
#include "runs/ui/task_panel.h"

namespace varnel {

class MetaSymbolMenu;

class CommonRenamePanel final : public TypedTaskPanel<CommonRenameParams> {
    Q_OBJECT
public:
    // metaMenu (may be null) inserts meta-variables into 新主名 and 附加的文本.
    explicit CommonRenamePanel(MetaSymbolMenu* metaMenu, QWidget* parent = nullptr);

    // A step of 0 (or not a number) runs as 1; after a preview or execute the box
    // shows "1", while an auto-preview leaves every box as the user typed it.
    std::optional<CommonRenameParams> MakeParams(RunMode mode) override;
    // The parameters read from the controls, which stay as they are.
    CommonRenameParams CurrentParameters() const;

    // Which controls are enabled and whether the numbering group shows follow the
    // choices; with relayout the area lays the panel out again.
    void UpdateCommonPanelControls(bool relayout);

private:
    void BuildControls(MetaSymbolMenu* metaMenu);
    // Each control once: its key, its parameter and what its change updates.
    void BindControls();
    void RegisterTooltips();

    QGroupBox* m_nameGroup = nullptr;
    QGroupBox* m_numberGroup = nullptr;
    QCheckBox* m_changeMain = nullptr;
    QComboBox* m_mainType = nullptr;
    QLineEdit* m_newMain = nullptr;
    QCheckBox* m_changeExtension = nullptr;
    QLineEdit* m_newExtension = nullptr;
    QRadioButton* m_letters = nullptr;
    QRadioButton* m_digits = nullptr;
    QRadioButton* m_left = nullptr;
    QRadioButton* m_right = nullptr;
    QRadioButton* m_lower = nullptr;
    QRadioButton* m_upper = nullptr;
    QLineEdit* m_start = nullptr;
    QLineEdit* m_step = nullptr;
    QLineEdit* m_zeros = nullptr;
    QCheckBox* m_uniform = nullptr;
    QCheckBox* m_traditional = nullptr;
    QCheckBox* m_amount = nullptr;
    QCheckBox* m_perFolder = nullptr;
    QCheckBox* m_attach = nullptr;
    QLineEdit* m_attachedText = nullptr;
    QComboBox* m_attachSide = nullptr;
};

}  // namespace varnel

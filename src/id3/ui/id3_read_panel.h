// The panel of the names-from-tags task (批量Id3读出): the name expression with
// its code buttons, the tag version the codes read, and whether the other version
// fills missing fields. Kept in its INI section and handed to a run as
// TagToNameParams. UI thread only.
#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <functional>
#include <vector>

#include "id3/tag_to_name.h"
#include "runs/ui/task_panel.h"

namespace varnel {

class MetaSymbolMenu;

class Id3ReadPanel final : public TypedTaskPanel<TagToNameParams> {
    Q_OBJECT
public:
    // showAttributesColumn: makes the list's 文件属性 column shown, as its menu item
    // does; called at the start of every run.
    Id3ReadPanel(MetaSymbolMenu* metaMenu, std::function<void()> showAttributesColumn, QWidget* parent = nullptr);

    std::optional<TagToNameParams> MakeParams(RunMode mode) override;
    // The expression with its short codes made long.
    TagToNameParams CurrentParameters() const;

    // Enables the codes the chosen version has and names the complement box after it.
    void UpdateId3ReadControls();

private:
    std::function<void()> m_showAttributesColumn;
    QLineEdit* m_expression = nullptr;
    QRadioButton* m_v1 = nullptr;
    QRadioButton* m_v2 = nullptr;
    QCheckBox* m_complement = nullptr;
    std::vector<QPushButton*> m_v2OnlyButtons;
};

}  // namespace varnel

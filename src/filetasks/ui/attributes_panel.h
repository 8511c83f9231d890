// The panel of the attributes task (批量属性): the four attribute ticks, kept in
// its INI section and handed to a run as AttributesParams, and the help button.
// UI thread only.
#pragma once

#include <functional>

#include <QCheckBox>
#include <QPushButton>

#include "filetasks/attributes_task.h"
#include "runs/ui/task_panel.h"

namespace varnel {

class AttributesPanel final : public TypedTaskPanel<AttributesParams> {
    Q_OBJECT
public:
    explicit AttributesPanel(QWidget* parent = nullptr);

    // Shows a hidden list column the run will fill (as its column menu item does).
    void SetShowColumn(std::function<void(ListColumn)> showColumn) { m_showColumn = std::move(showColumn); }
    std::optional<AttributesParams> MakeParams(RunMode mode) override;
    AttributesParams CurrentParameters() const;

    // The help button's text, in a message box.
    void ShowButtonHint();

private:
    QCheckBox* m_readOnly = nullptr;
    QCheckBox* m_hidden = nullptr;
    QCheckBox* m_system = nullptr;
    QCheckBox* m_archive = nullptr;
    QPushButton* m_help = nullptr;
    std::function<void(ListColumn)> m_showColumn;
};

}  // namespace varnel

// The panel of the file split task (批量分割): how to cut (type, count or size,
// marker), where the pieces go (the default or a custom path template), whether
// the source goes and whether the list shows the pieces afterwards; kept in its
// INI section and handed to a run as SplitParams. UI thread only.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "filetasks/split_task.h"
#include "filetasks/ui/content_panel_parts.h"
#include "runs/ui/task_panel.h"

namespace varnel {

class MetaSymbolMenu;

class SplitPanel final : public TypedTaskPanel<SplitParams> {
    Q_OBJECT
public:
    explicit SplitPanel(MetaSymbolMenu* metaMenu, QWidget* parent = nullptr, AskTextFunction askText = {});

    // Refuses, with the notice, parameters that cannot split (see SplitProblem).
    std::optional<SplitParams> MakeParams(RunMode mode) override;
    SplitParams CurrentParameters() const;

    void UpdateSplitControls();

private:
    AskTextFunction m_askText;
    QComboBox* m_type = nullptr;
    QLineEdit* m_position = nullptr;
    QLineEdit* m_marker = nullptr;
    QPushButton* m_editMarker = nullptr;
    QCheckBox* m_useCustomPath = nullptr;
    QLineEdit* m_customPath = nullptr;
    QPushButton* m_editCustomPath = nullptr;
    QCheckBox* m_deleteSource = nullptr;
    QCheckBox* m_loadParts = nullptr;
};

}  // namespace varnel

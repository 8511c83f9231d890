// The panel of the write-between-elements task (批量写入元素): the two elements,
// the letter-case choice, the text to write and the named element presets with
// their menu (save as, modify, delete, clear, restore the default), kept in its INI
// section and handed to a run as WriteElementParams. UI thread only.
#pragma once

#include <QLineEdit>
#include <QPushButton>

#include <functional>
#include <string>
#include <vector>

#include "filetasks/ui/content_panel_parts.h"
#include "filetasks/write_element.h"
#include "runs/ui/element_preset_controls.h"
#include "runs/ui/task_panel.h"

namespace varnel {

class MetaSymbolMenu;

class WriteElementPanel final : public TypedTaskPanel<WriteElementParams> {
    Q_OBJECT
public:
    // ask: the OK/Cancel question of 清空 (true: OK); none asks the user.
    explicit WriteElementPanel(MetaSymbolMenu* metaMenu, QWidget* parent = nullptr, AskTextFunction askText = {},
                               std::function<bool(const std::string& question)> ask = {});

    // Refuses (with the notice) while an element is empty, unless an auto-preview asks.
    std::optional<WriteElementParams> MakeParams(RunMode mode) override;
    WriteElementParams CurrentParameters() const;

    const std::vector<ElementPreset>& Presets() const { return m_markers.Presets(); }

    // The preset menu's commands.
    void SavePresetAs() { m_markers.SaveElementPresetAs(); }
    void ModifyCurrentPreset() { m_markers.ModifyElementPreset(); }
    void DeleteCurrentPreset() { m_markers.DeleteElementPreset(); }
    void ClearPresets() { m_markers.ClearElementPresets(); }
    void RestoreDefaultPresets() { m_markers.RestoreDefaultElementPresets(); }

private:
    AskTextFunction m_askText;
    ElementPresetControls m_markers;
    QLineEdit* m_text = nullptr;
    QPushButton* m_editText = nullptr;
};

}  // namespace varnel

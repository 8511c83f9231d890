// The start and end markers of the marker panels (批量提取元素区间, 批量写入元素)
// with the case box and the named marker pairs (presets): the preset combo applies
// one, the 编辑方案 link opens the menu that saves, changes, deletes, clears or
// restores them. Bind declares them in the panel's bindings, kept in its section
// under "预设方案", "元素1", "元素2" and "区分大小写". UI thread only.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "naming/element_presets.h"
#include "settings/ui/panel_bindings.h"
#include "settings/ui/panel_settings.h"
#include "settings/ui/text_input_dialog.h"

namespace varnel {

class TaskPanel;

class ElementPresetControls {
public:
    // Asks for a preset's name; none shows the text input dialog.
    using AskText = std::function<InputDialogResult(InputDialogParams)>;
    // The OK/Cancel question of 清空 (true: OK); none asks the user.
    using AskOk = std::function<bool(const std::string& question)>;

    // The controls are made as children of panel; a preset applied asks the panel
    // for one auto-preview. The default preset is there until settings are loaded.
    ElementPresetControls(TaskPanel* panel, AskText askText = {}, AskOk askOk = {});

    QComboBox* PresetBox() const { return m_presetBox; }
    QLabel* EditLink() const { return m_editLink; }
    QMenu* EditMenu() const { return m_editMenu; }
    QLineEdit* Element1() const { return m_element1; }
    QLineEdit* Element2() const { return m_element2; }
    QCheckBox* CaseSensitive() const { return m_caseSensitive; }

    const std::vector<ElementPreset>& Presets() const { return m_presets; }
    void SetTextAsker(AskText ask) { m_askText = std::move(ask); }

    // Declares the presets (the default when the key is missing), the markers and
    // the case box, in that order, in the panel's bindings: each change of a marker
    // or the box asks for an auto-preview, and the three fill these fields.
    template <typename Params>
    void Bind(PanelBindings<Params>& bindings, std::string Params::*element1, std::string Params::*element2,
              bool Params::*caseSensitive) {
        bindings.Kept([this](PanelSettings& settings) { KeepPresets(settings); })
            .Text(m_element1, "元素1", element1)
            .Text(m_element2, "元素2", element2)
            .Check(m_caseSensitive, "区分大小写", caseSensitive);
    }

    // A combo row's preset fills the markers and the case box with one auto-preview;
    // a header row goes back to the first row.
    void ApplyElementPreset(int row);
    // The menu's commands: 另存为..., 修改当前..., 删除当前, 清空, 恢复默认.
    void SaveElementPresetAs();
    void ModifyElementPreset();
    void DeleteElementPreset();
    void ClearElementPresets();
    void RestoreDefaultElementPresets();

private:
    void KeepPresets(PanelSettings& settings);
    // No preset: the combo back to its two header rows, the first chosen.
    void ResetElementPresets();
    void AddPreset(ElementPreset preset);
    std::optional<std::size_t> ChosenPreset() const;
    InputDialogResult Ask(InputDialogParams params) const;

    TaskPanel* m_panel;
    AskText m_askText;
    AskOk m_askOk;
    QComboBox* m_presetBox = nullptr;
    QLabel* m_editLink = nullptr;
    QMenu* m_editMenu = nullptr;
    QLineEdit* m_element1 = nullptr;
    QLineEdit* m_element2 = nullptr;
    QCheckBox* m_caseSensitive = nullptr;
    std::vector<ElementPreset> m_presets;
};

}  // namespace varnel

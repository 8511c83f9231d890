// The panel of the 批量提取元素区间 rename task: a thin form over
// ElementExtractParams with named marker pairs (presets) the user applies, adds,
// changes, deletes, clears or restores from the 编辑方案 menu. The presets are kept
// with the panel's other controls in its INI section. UI thread only.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <functional>
#include <vector>

#include "naming/content_extract_name.h"
#include "naming/element_presets.h"
#include "naming/ui/result_template_controls.h"
#include "runs/ui/task_panel.h"
#include "settings/ui/text_input_dialog.h"

class QMenu;

namespace varnel {

class MetaSymbolMenu;

class ExtractElementPanel final : public TypedTaskPanel<ElementExtractParams> {
    Q_OBJECT
public:
    // Asks the user for a text (a preset's name); tests give their own.
    using AskText = std::function<InputDialogResult(InputDialogParams)>;

    // metaMenu (may be null) inserts meta-variables into 组合式.
    explicit ExtractElementPanel(MetaSymbolMenu* metaMenu, QWidget* parent = nullptr);

    void LoadOrSaveSettings(SettingsStore& store, bool save) override;
    std::optional<ElementExtractParams> MakeParams(RunMode mode) override;
    ElementExtractParams CurrentParameters() const;

    void SetTextAsker(AskText ask) { m_askText = std::move(ask); }
    const std::vector<ElementPreset>& Presets() const { return m_presets; }
    QMenu* EditMenu() const { return m_editMenu; }

    // 组合框预设方案: the preset of a combo row fills the markers and the case box,
    // asking for one auto-preview; a header row goes back to the first row.
    void ApplyElementPreset(int row);
    // The 编辑方案 menu's commands.
    void SaveElementPresetAs();
    void ModifyElementPreset();
    void DeleteElementPreset();
    void ClearElementPresets();
    void RestoreDefaultElementPresets();

private:
    // No preset: the combo back to its two header rows, the first chosen.
    void ResetElementPresets();
    void AddPreset(ElementPreset preset);
    // The index of the chosen preset; nothing while a header row is chosen.
    std::optional<std::size_t> ChosenPreset() const;

    QComboBox* m_presetBox = nullptr;
    QPushButton* m_editLink = nullptr;
    QMenu* m_editMenu = nullptr;
    QLineEdit* m_element1 = nullptr;
    QLineEdit* m_element2 = nullptr;
    QCheckBox* m_caseSensitive = nullptr;
    ResultTemplateControls m_template;
    std::vector<ElementPreset> m_presets;
    AskText m_askText;
};

}  // namespace varnel

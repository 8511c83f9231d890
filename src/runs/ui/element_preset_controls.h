// The start and end markers of the marker panels (批量提取元素区间, 批量写入元素)
// with the case box and the named marker pairs (presets): the preset combo applies
// one, the 编辑方案 link opens the menu that saves, changes, deletes, clears or
// restores them. Kept in the panel's section under "预设方案", "元素1", "元素2" and
// "区分大小写". UI thread only.
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
#include "settings/settings_store.h"
#include "settings/ui/text_input_dialog.h"

namespace varnel {

class TaskPanel;

class ElementPresetControls {
public:
    // Asks for a preset's name; none shows the text input dialog.
    using AskText = std::function<InputDialogResult(InputDialogParams)>;
    // The OK/Cancel question of 清空 (true: OK); none asks the user.
    using AskOk = std::function<bool(const std::string& question)>;

    // The controls are made as children of panel; every change of a marker or the
    // case box, and every preset applied, asks the panel for an auto-preview. The
    // default preset is there until settings are loaded.
    ElementPresetControls(TaskPanel* panel, AskText askText = {}, AskOk askOk = {});

    QComboBox* PresetBox() const { return m_presetBox; }
    QLabel* EditLink() const { return m_editLink; }
    QMenu* EditMenu() const { return m_editMenu; }
    QLineEdit* Element1() const { return m_element1; }
    QLineEdit* Element2() const { return m_element2; }
    QCheckBox* CaseSensitive() const { return m_caseSensitive; }

    const std::vector<ElementPreset>& Presets() const { return m_presets; }
    void SetTextAsker(AskText ask) { m_askText = std::move(ask); }

    // The four keys, presets first (the default when the key is missing).
    void LoadOrSave(SettingsStore& store, bool save);

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

// The panel of the write-between-elements task (批量写入元素): the two elements,
// the letter-case choice, the text to write and the named element presets with
// their menu (save as, modify, delete, clear, restore the default), kept in its INI
// section and handed to a run as WriteElementParams. UI thread only.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include <functional>
#include <vector>

#include "filetasks/ui/content_panel_parts.h"
#include "filetasks/write_element.h"
#include "runs/ui/task_panel.h"

namespace varnel {

class MetaSymbolMenu;

class WriteElementPanel final : public TypedTaskPanel<WriteElementParams> {
    Q_OBJECT
public:
    // ask: the OK/Cancel question of 清空 (true: OK); none asks the user.
    explicit WriteElementPanel(MetaSymbolMenu* metaMenu, QWidget* parent = nullptr, AskTextFunction askText = {},
                               std::function<bool(const std::string& question)> ask = {});

    void LoadOrSaveSettings(SettingsStore& store, bool save) override;
    // Refuses (with the notice) while an element is empty, unless an auto-preview asks.
    std::optional<WriteElementParams> MakeParams(RunMode mode) override;
    WriteElementParams CurrentParameters() const;

    const std::vector<ElementPreset>& Presets() const { return m_presets; }
    void AddElementPreset(std::string_view entry);
    void ClearElementPresets();

    // The preset menu's commands.
    void SavePresetAs();
    void ModifyCurrentPreset();
    void DeleteCurrentPreset();
    void ClearPresets();
    void RestoreDefaultPresets();

private:
    void PresetChosen(int index);
    void AddPreset(ElementPreset preset);

    AskTextFunction m_askText;
    std::function<bool(const std::string&)> m_ask;
    std::vector<ElementPreset> m_presets;
    QComboBox* m_presetBox = nullptr;
    QLineEdit* m_element1 = nullptr;
    QLineEdit* m_element2 = nullptr;
    QCheckBox* m_caseSensitive = nullptr;
    QLineEdit* m_text = nullptr;
    QPushButton* m_editText = nullptr;
    QLabel* m_presetLink = nullptr;
    QMenu* m_presetMenu = nullptr;
};

}  // namespace varnel

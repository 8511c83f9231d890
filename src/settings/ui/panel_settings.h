// How a task panel keeps its controls in its INI section, one call per control in
// the order of the panel's table, the same calls loading and saving: check boxes and
// radio buttons as "真"/"假", a radio pair as one logical (its first radio chosen),
// edit boxes as their text (line breaks stored as ";;;"), combo boxes as the chosen
// index. A missing key, or an index the box does not have, keeps the design value.
// UI thread only.
#pragma once

#include <string_view>

#include "settings/settings_binder.h"

class QAbstractButton;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace varnel {

class PanelSettings {
public:
    // The caller has selected the panel's section.
    PanelSettings(SettingsStore& store, bool save) : m_binder(store, save) {}

    bool Saving() const { return m_binder.Saving(); }

    void Check(QAbstractButton* box, std::string_view key);
    void RadioPair(QAbstractButton* first, QAbstractButton* second, std::string_view key);
    void Text(QLineEdit* box, std::string_view key);
    void MultiLine(QPlainTextEdit* box, std::string_view key);
    void Combo(QComboBox* box, std::string_view key);

private:
    SettingsBinder m_binder;
};

}  // namespace varnel

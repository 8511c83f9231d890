// How a task panel keeps its controls in its INI section, one call per control in
// the order of the panel's table, the same calls loading and saving: check boxes and
// radio buttons as "真"/"假", a radio pair as one logical (its first radio chosen),
// edit boxes as their text (line breaks stored as ";;;"), combo boxes as the chosen
// index, a check list as "1" for each ticked item and "0" for each other, a text the
// panel holds itself as it is, and a row of controls as their values joined by "|".
// A missing key, or an index the box does not have, keeps the design value (a
// joined row: unticks and empties its controls). UI thread only.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings_binder.h"

class QAbstractButton;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QWidget;

namespace varnel {

class PanelSettings {
public:
    // The caller has selected the panel's section.
    PanelSettings(SettingsStore& store, bool save) : m_binder(store, save) {}

    bool Saving() const { return m_binder.Saving(); }

    void Check(QAbstractButton* box, std::string_view key);
    void RadioPair(QAbstractButton* first, QAbstractButton* second, std::string_view key);
    // A group of radios kept as the chosen one's number counted from firstNumber; a
    // number the group does not have keeps the design choice.
    void RadioGroup(std::span<QAbstractButton* const> radios, std::string_view key, int firstNumber = 1);
    // The number, counted from firstNumber, of the chosen radio; firstNumber - 1
    // while none is.
    static int ChosenRadio(std::span<QAbstractButton* const> radios, int firstNumber = 1);
    void Text(QLineEdit* box, std::string_view key);
    void MultiLine(QPlainTextEdit* box, std::string_view key);
    void Combo(QComboBox* box, std::string_view key);
    // Loading ticks item i exactly when character i is "1", as far as both go: items
    // past the text keep their ticks.
    void CheckList(QListWidget* list, std::string_view key);
    // Whether each item of the list is ticked, in list order.
    static std::vector<bool> CheckedItems(const QListWidget* list);
    // A text the panel holds itself (no control shows it), kept as it is.
    void HeldText(std::string& text, std::string_view key);
    // Check boxes (or radios) and edit boxes kept under one key as their values
    // joined by "|" in the order given; a missing key or field unticks or empties.
    void Joined(std::span<QWidget* const> controls, std::string_view key);

private:
    SettingsBinder m_binder;
};

}  // namespace varnel

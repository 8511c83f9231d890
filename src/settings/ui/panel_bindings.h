// A task panel's controls, each declared once: the control, its INI key (empty: not
// kept), the parameter field it fills (nullptr: none) and what its value turns into.
// Loading and saving the panel's section, gathering the parameter struct and the
// auto-preview on a change all come from that one list, so a kept key and a run
// parameter cannot drift apart. The field is a data member of Params (assigned the
// control's value) or a callable (Params&, value) that converts it.
// Values: a check box or radio pair gives a bool (a pair: its first radio chosen), a
// radio group its chosen one's int number, an edit box or a text the panel holds
// itself a UTF-8 std::string, a combo box its chosen int index (ComboText: its
// chosen item's UTF-8 text), a check list a std::vector<bool> of its items' ticks.
// A row of declared controls may instead be kept together under one key (Joined),
// and a setting of a form of the panel's own by the panel's routine (Kept).
// UI thread only.
#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QObject>
#include <QPlainTextEdit>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "settings/ui/panel_settings.h"

namespace varnel {

template <typename Params>
class PanelBindings {
public:
    // onChange runs after any bound control changes (the panel asks for a preview).
    explicit PanelBindings(std::function<void()> onChange)
        : m_onChange(std::move(onChange)), m_context(std::make_unique<QObject>()) {}
    PanelBindings(const PanelBindings&) = delete;
    PanelBindings& operator=(const PanelBindings&) = delete;

    template <typename Field>
    PanelBindings& Check(QAbstractButton* box, std::string_view key, Field field) {
        Entry& entry = Add(
            key, [box, key = std::string(key)](PanelSettings& settings) { settings.Check(box, key); },
            [box, field](Params& params) { Assign(params, field, box->isChecked()); });
        Watch(entry, box, &QAbstractButton::clicked);
        return *this;
    }
    // Two radios standing for one logical: true while the first is chosen.
    template <typename Field>
    PanelBindings& RadioPair(QAbstractButton* first, QAbstractButton* second, std::string_view key, Field field) {
        Entry& entry = Add(
            key, [first, second, key = std::string(key)](PanelSettings& settings) {
                settings.RadioPair(first, second, key);
            },
            [first, field](Params& params) { Assign(params, field, first->isChecked()); });
        Watch(entry, first, &QAbstractButton::clicked);
        Watch(entry, second, &QAbstractButton::clicked);
        return *this;
    }
    // Radios of which one is chosen: the value is the chosen one's number counted
    // from firstNumber (firstNumber - 1 while none is), kept as that number.
    // Choosing one asks for a preview.
    template <typename Field>
    PanelBindings& RadioGroup(std::vector<QAbstractButton*> radios, std::string_view key, Field field,
                              int firstNumber = 1) {
        Entry& entry = Add(
            key,
            [radios, key = std::string(key), firstNumber](PanelSettings& settings) {
                settings.RadioGroup(radios, key, firstNumber);
            },
            [radios, field, firstNumber](Params& params) {
                Assign(params, field, PanelSettings::ChosenRadio(radios, firstNumber));
            });
        for (QAbstractButton* radio : radios) {
            QObject::connect(radio, &QAbstractButton::toggled, m_context.get(), [this, &entry](bool on) {
                if (on) Changed(entry);
            });
        }
        return *this;
    }
    template <typename Field>
    PanelBindings& Text(QLineEdit* box, std::string_view key, Field field) {
        Entry& entry = Add(
            key, [box, key = std::string(key)](PanelSettings& settings) { settings.Text(box, key); },
            [box, field](Params& params) { Assign(params, field, box->text().toStdString()); });
        Watch(entry, box, &QLineEdit::textChanged);
        return *this;
    }
    template <typename Field>
    PanelBindings& MultiLine(QPlainTextEdit* box, std::string_view key, Field field) {
        Entry& entry = Add(
            key, [box, key = std::string(key)](PanelSettings& settings) { settings.MultiLine(box, key); },
            [box, field](Params& params) { Assign(params, field, box->toPlainText().toStdString()); });
        Watch(entry, box, &QPlainTextEdit::textChanged);
        return *this;
    }
    template <typename Field>
    PanelBindings& Combo(QComboBox* box, std::string_view key, Field field) {
        Entry& entry = Add(
            key, [box, key = std::string(key)](PanelSettings& settings) { settings.Combo(box, key); },
            [box, field](Params& params) { Assign(params, field, box->currentIndex()); });
        Watch(entry, box, &QComboBox::currentIndexChanged);
        return *this;
    }
    // A combo box handing over its chosen item's text ("" while none is chosen), kept
    // as its index like Combo.
    template <typename Field>
    PanelBindings& ComboText(QComboBox* box, std::string_view key, Field field) {
        Entry& entry = Add(
            key, [box, key = std::string(key)](PanelSettings& settings) { settings.Combo(box, key); },
            [box, field](Params& params) { Assign(params, field, box->currentText().toStdString()); });
        Watch(entry, box, &QComboBox::currentIndexChanged);
        return *this;
    }
    // A list of checkable items: the value is each item's tick in list order. Any
    // change of an item asks for a preview; a panel that ticks many items at once
    // with the list's signals blocked asks for its own.
    template <typename Field>
    PanelBindings& CheckList(QListWidget* list, std::string_view key, Field field) {
        Entry& entry = Add(
            key, [list, key = std::string(key)](PanelSettings& settings) { settings.CheckList(list, key); },
            [list, field](Params& params) { Assign(params, field, PanelSettings::CheckedItems(list)); });
        Watch(entry, list, &QListWidget::itemChanged);
        return *this;
    }

    // A text the panel holds itself, shown by no control (one the editor box sets,
    // say): kept as it is and handed to the field. It has no change signal: the
    // panel asks for a preview when it sets the text.
    template <typename Field>
    PanelBindings& HeldText(std::string& text, std::string_view key, Field field) {
        Add(
            key, [&text, key = std::string(key)](PanelSettings& settings) { settings.HeldText(text, key); },
            [&text, field](Params& params) { Assign(params, field, text); });
        return *this;
    }

    // Controls declared above (with no key of their own) kept together under one
    // key, their values joined by "|" in the order given: a check box as 真 or 假, an
    // edit box as its text. A missing key or field unticks or empties its control.
    PanelBindings& Joined(std::vector<QWidget*> controls, std::string_view key) {
        return Kept([controls = std::move(controls), key = std::string(key)](PanelSettings& settings) {
            settings.Joined(controls, key);
        });
    }

    // A setting the panel keeps in a form of its own (a list it shows, say): `keep`
    // loads or saves it in its place among the declared controls. It fills no field
    // and asks for no preview.
    PanelBindings& Kept(std::function<void(PanelSettings&)> keep) {
        m_entries.emplace_back().keep = std::move(keep);
        return *this;
    }

    // What the control declared last also does on a change, before the preview is
    // asked for (enabling the controls that depend on it, say).
    PanelBindings& AlsoOnChange(std::function<void()> reaction) {
        if (!m_entries.empty()) m_entries.back().reactions.push_back(std::move(reaction));
        return *this;
    }

    // What runs once the controls are loaded (the panel's enable rules, say).
    PanelBindings& AfterLoad(std::function<void()> action) {
        m_afterLoad.push_back(std::move(action));
        return *this;
    }

    // The control declared last asks for no preview when it changes (its reactions
    // still run): for controls whose every keystroke would start a needless run.
    PanelBindings& NoPreview() {
        if (!m_entries.empty()) m_entries.back().askPreview = false;
        return *this;
    }

    // Loads (save false) or saves every kept control; the caller has selected the
    // panel's section.
    void LoadOrSave(SettingsStore& store, bool save) const {
        {
            PanelSettings settings(store, save);
            for (const Entry& entry : m_entries) {
                if (entry.keep) entry.keep(settings);
            }
        }
        if (save) return;
        for (const std::function<void()>& action : m_afterLoad) action();
    }

    // The controls' values written over `params` (a default struct unless given).
    Params Gather(Params params = Params()) const {
        for (const Entry& entry : m_entries) {
            if (entry.gather) entry.gather(params);
        }
        return params;
    }

private:
    struct Entry {
        std::function<void(PanelSettings&)> keep;
        std::function<void(Params&)> gather;
        std::vector<std::function<void()>> reactions;
        bool askPreview = true;
    };

    template <typename Field, typename Value>
    static void Assign(Params& params, const Field& field, Value&& value) {
        if constexpr (std::is_null_pointer_v<Field>) {
            return;
        } else if constexpr (std::is_member_object_pointer_v<Field>) {
            params.*field = std::forward<Value>(value);
        } else {
            std::invoke(field, params, std::forward<Value>(value));
        }
    }

    Entry& Add(std::string_view key, std::function<void(PanelSettings&)> keep, std::function<void(Params&)> gather) {
        Entry& entry = m_entries.emplace_back();
        if (!key.empty()) entry.keep = std::move(keep);
        entry.gather = std::move(gather);
        return entry;
    }

    // The connection lives as long as these bindings (m_context), so a control that
    // outlives them cannot call into them.
    template <typename Control, typename Signal>
    void Watch(Entry& entry, Control* control, Signal signal) {
        QObject::connect(control, signal, m_context.get(), [this, &entry] { Changed(entry); });
    }

    void Changed(const Entry& entry) const {
        for (const std::function<void()>& reaction : entry.reactions) reaction();
        if (entry.askPreview && m_onChange) m_onChange();
    }

    std::function<void()> m_onChange;
    std::deque<Entry> m_entries;  // a deque: entries stay put while more are declared
    std::vector<std::function<void()>> m_afterLoad;
    std::unique_ptr<QObject> m_context;
};

}  // namespace varnel

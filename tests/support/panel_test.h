// Helpers for tests of task panels: controls found by their object names, a
// panel's settings loaded from or saved into a section of an INI file, the keys a
// section holds, and checks of a panel's settings round trip and its preview
// requests (per control change and per preset chosen).
#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QString>
#include <QWidget>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runs/ui/task_panel.h"
#include "settings/ini_document.h"
#include "settings/settings_store.h"

namespace varnel::testing {

inline QString Q(const char* text) { return QString::fromUtf8(text); }

template <typename Control>
Control* Find(QWidget& panel, const char* name) {
    auto* control = panel.findChild<Control*>(Q(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
}

inline void Store(TaskPanel& panel, const std::string& file, const char* section, bool save) {
    SettingsStore store;
    store.SetFile(file);
    store.SelectSection(section);
    panel.LoadOrSaveSettings(store, save);
    if (save) {
        ASSERT_TRUE(store.Flush().has_value());
    }
}

// The keys of `section` in the INI text, in their order.
inline std::vector<std::string> SectionKeys(const std::string& iniText, const char* section) {
    std::vector<std::string> keys;
    for (const auto& [name, key] : IniDocument::Parse(iniText).KeyList()) {
        if (name == section) keys.push_back(key);
    }
    return keys;
}

// A panel whose controls `change` set is saved into `file`: the section holds
// exactly `keys` in that order, and a fresh panel loading it gathers the same
// parameters, which differ from a fresh panel's (so the change reached a key).
// The panels are made by `make`.
template <typename Make, typename Change>
void ExpectSettingsRoundTrip(const std::string& file, const char* section, Make make, Change change,
                             const std::vector<std::string>& keys) {
    SCOPED_TRACE(section);
    const auto changed = make();
    change(*changed);
    Store(*changed, file, section, true);
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(SectionKeys(text.str(), section), keys);

    const auto loaded = make();
    Store(*loaded, file, section, false);
    const auto design = make();
    const auto saved = changed->MakeParams(RunMode::AutoPreview);
    ASSERT_TRUE(saved.has_value());
    EXPECT_TRUE(saved == loaded->MakeParams(RunMode::AutoPreview));
    EXPECT_FALSE(saved == design->MakeParams(RunMode::AutoPreview));
}

// Every edit box, combo box, check box and radio of the panel asks for exactly one
// preview when the user changes it, but the controls named in `actions`, which
// change no parameter and ask for none. Disabled controls are enabled first.
inline void ExpectOnePreviewPerChange(TaskPanel& panel, const std::vector<const char*>& actions = {}) {
    SCOPED_TRACE(panel.objectName().toStdString());
    QSignalSpy changed(&panel, &TaskPanel::parametersChanged);
    const auto expect = [&](const QObject* control) {
        const bool action = std::ranges::any_of(actions, [control](const char* name) {
            return control->objectName() == Q(name);
        });
        EXPECT_EQ(changed.count(), action ? 0 : 1) << control->objectName().toStdString();
        changed.clear();
    };
    for (QLineEdit* edit : panel.findChildren<QLineEdit*>()) {
        edit->setEnabled(true);
        edit->setText(edit->text() + "1");
        expect(edit);
    }
    for (QComboBox* combo : panel.findChildren<QComboBox*>()) {
        combo->setEnabled(true);
        // Not the second item: in the convert boxes it is a dashed line, no choice.
        combo->setCurrentIndex(combo->currentIndex() != 0 ? 0 : combo->count() > 2 ? 2 : 1);
        expect(combo);
    }
    for (QAbstractButton* box : panel.findChildren<QAbstractButton*>()) {
        if (qobject_cast<QPushButton*>(box) != nullptr || box->isChecked()) continue;
        box->setEnabled(true);
        box->click();
        expect(box);
    }
}

// The user choosing each row of the panel's preset box in turn: a preset asks for
// exactly one preview however many controls it fills, each of the first
// `headerRows` rows (titles, no preset) for none.
inline void ExpectOnePreviewPerPreset(TaskPanel& panel, int headerRows, const char* box = "组合框预设方案") {
    SCOPED_TRACE(panel.objectName().toStdString());
    auto* presets = Find<QComboBox>(panel, box);
    ASSERT_NE(presets, nullptr);
    QSignalSpy changed(&panel, &TaskPanel::parametersChanged);
    for (int row = 0; row < presets->count(); ++row) {
        emit presets->activated(row);
        EXPECT_EQ(changed.count(), row < headerRows ? 0 : 1) << presets->itemText(row).toStdString();
        changed.clear();
    }
}

// A marker panel (start and end markers, case box, presets): `saveAs` (its 另存为
// with a name given) adds a preset differing from the default in all three
// controls; choosing either then asks for one preview, and the parameters hold the
// preset chosen last.
template <typename Panel, typename SaveAs>
void ExpectOnePreviewPerMarkerPreset(Panel& panel, SaveAs saveAs) {
    Find<QLineEdit>(panel, "编辑框元素1")->setText(Q("<p>"));
    Find<QLineEdit>(panel, "编辑框元素2")->setText(Q("</p>"));
    Find<QAbstractButton>(panel, "选择框区分大小写")->setChecked(true);
    saveAs();
    ASSERT_EQ(Find<QComboBox>(panel, "组合框预设方案")->count(), 4);
    Find<QLineEdit>(panel, "编辑框元素1")->clear();
    ExpectOnePreviewPerPreset(panel, 2);
    const auto params = panel.CurrentParameters();
    EXPECT_EQ(params.element1, "<p>");
    EXPECT_EQ(params.element2, "</p>");
    EXPECT_TRUE(params.caseSensitive);
}

}  // namespace varnel::testing

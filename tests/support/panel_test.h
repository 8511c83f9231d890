// Helpers for tests of task panels: controls found by their object names, a
// panel's settings loaded from or saved into a section of an INI file, and the
// keys a section holds.
#pragma once

#include <QString>
#include <QWidget>

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

}  // namespace varnel::testing

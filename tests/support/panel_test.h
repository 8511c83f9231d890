// Helpers for tests of task panels: controls found by their object names, and a
// panel's settings loaded from or saved into a section of an INI file.
#pragma once

#include <QString>
#include <QWidget>

#include <string>

#include <gtest/gtest.h>

#include "runs/ui/task_panel.h"
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

}  // namespace varnel::testing

// Menu check states in the settings store, keyed by the menu item's caption (its
// text without the "&" of a shortcut letter). An exclusive pair stores only its
// first item; the partner always shows the opposite.
#pragma once

#include <QAction>
#include <QString>

#include <initializer_list>
#include <string>

#include "settings/settings_store.h"

namespace varnel {

std::string MenuCheckKey(const QAction& item);

// Reads the item's check with its current state as the default; the opposite item,
// when given, gets the other state and is neither read nor written.
void LoadMenuCheck(SettingsStore& store, QAction* item, QAction* opposite = nullptr);
// Writes the item's check, then each of the others, under their captions.
void SaveMenuChecks(SettingsStore& store, QAction* item, std::initializer_list<QAction*> items = {});

}  // namespace varnel

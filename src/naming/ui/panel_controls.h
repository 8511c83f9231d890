// Small builders the rename panels share: controls named as the settings and tests
// find them, and the black-framed edit boxes that take meta-variables. UI thread only.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QString>

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <string>

#include "naming/name_parts.h"

namespace varnel {

class MetaSymbolMenu;

inline QString Utf8(const char* text) { return QString::fromUtf8(text); }
inline QString Utf8(const std::string& text) { return QString::fromStdString(text); }

template <typename Control>
Control* Named(Control* control, const char* name) {
    control->setObjectName(Utf8(name));
    return control;
}

// An edit box that takes meta-variables: a black frame, and the 元符 menu (may be
// null) inserts into it.
QLineEdit* MakeMetaBox(QWidget* parent, const char* name, MetaSymbolMenu* metaMenu);
// A combo box with its items, the first chosen.
QComboBox* MakeCombo(QWidget* parent, const char* name, std::initializer_list<const char*> items);

// For a bound edit box: the parameter field gets the box's integer, clamped to
// [low, high] (any 64-bit value unless given).
template <typename Params, typename Int>
auto IntegerField(Int Params::*field, std::int64_t low = std::numeric_limits<std::int64_t>::min(),
                  std::int64_t high = std::numeric_limits<std::int64_t>::max()) {
    return [field, low, high](Params& params, const std::string& text) {
        params.*field = static_cast<Int>(BoxInteger(text, low, high));
    };
}

// For a bound combo box: the parameter field is true while its first item is chosen.
template <typename Params>
auto FirstChosen(bool Params::*field) {
    return [field](Params& params, int index) { params.*field = index == 0; };
}

}  // namespace varnel

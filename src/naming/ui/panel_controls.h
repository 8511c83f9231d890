// Small builders the rename panels share: controls named as the settings and tests
// find them, and the black-framed edit boxes that take meta-variables. UI thread only.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QString>

#include <initializer_list>
#include <string>

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

}  // namespace varnel

// What the content task panels share: object-named controls, the "..." button
// that edits a box's text in the program's text editor box, and the dialog hook
// tests replace. UI thread only.
#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <QString>

#include <functional>
#include <string>

#include "settings/ui/text_input_dialog.h"

namespace varnel {

// Shows the text editor box; tests give their own.
using AskTextFunction = std::function<InputDialogResult(InputDialogParams params)>;

inline QString Utf8(const char* text) { return QString::fromUtf8(text); }
inline QString Utf8(const std::string& text) { return QString::fromStdString(text); }

template <typename Control>
Control* Named(Control* control, const char* name) {
    control->setObjectName(Utf8(name));
    return control;
}

// Opens the editor box with `prompt` and the text `current`; a confirmed text is
// handed to `accept`.
void EditTextInDialog(const AskTextFunction& ask, QWidget* owner, const std::string& prompt,
                      const std::string& current, const std::function<void(const std::string&)>& accept);

// Boxes that take meta-variables wear a black frame.
inline constexpr const char* kMetaBoxStyle = "QLineEdit { border: 1px solid black; }";

}  // namespace varnel

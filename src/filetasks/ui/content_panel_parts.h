// What the file task panels share: the "..." button
// that edits a box's text in the program's text editor box, and the dialog hook
// tests replace. UI thread only.
#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <QString>

#include <functional>
#include <string>

#include "naming/ui/panel_controls.h"
#include "settings/ui/text_input_dialog.h"

namespace varnel {

// Shows the text editor box; tests give their own.
using AskTextFunction = std::function<InputDialogResult(InputDialogParams params)>;

inline QString Utf8(const std::string& text) { return QString::fromStdString(text); }

// Opens the editor box with `prompt` and the text `current`; a confirmed text is
// handed to `accept`.
void EditTextInDialog(const AskTextFunction& ask, QWidget* owner, const std::string& prompt,
                      const std::string& current, const std::function<void(const std::string&)>& accept);

}  // namespace varnel

// The program's message box on Qt: built from a style (buttons, icon, default
// button), modal for the whole program and on top, answered in the program's
// numbering (0 OK, 1 Cancel, 5 Yes, 6 No, ...). UI thread only.
#pragma once

#include <QMessageBox>

#include <memory>
#include <string>

namespace varnel {

std::unique_ptr<QMessageBox> CreateMessageBox(const std::string& text, unsigned style,
                                              const std::string& title, QWidget* parent);
// The answer of the button the user pressed; closed without one, the cautious answer.
int MessageBoxAnswer(const QMessageBox& box, unsigned style);
// Shows the box and waits for the answer.
int RunMessageBox(const std::string& text, unsigned style, const std::string& title,
                  QWidget* parent);

}  // namespace varnel

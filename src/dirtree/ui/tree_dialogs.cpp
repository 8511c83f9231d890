#include "dirtree/ui/tree_dialogs.h"

#include <QInputDialog>

#include "utilities/user_notifier.h"

namespace varnel {

bool MessageBoxTreeDialogs::Confirm(const std::string& text) {
    return ShowMessageBox(text, kBoxOkCancel, kCaption) == kAnswerOk;
}

void MessageBoxTreeDialogs::Tell(const std::string& text) {
    ShowMessageBox(text, kDefaultMessageStyle, kCaption);
}

std::optional<std::string> MessageBoxTreeDialogs::AskText(const std::string& prompt,
                                                          const std::string& title,
                                                          const std::string& initial) {
    bool confirmed = false;
    const QString answer = QInputDialog::getText(
        m_owner, QString::fromUtf8(title.empty() ? kCaption : title.c_str()), QString::fromUtf8(prompt),
        QLineEdit::Normal, QString::fromUtf8(initial), &confirmed);
    if (!confirmed) return std::nullopt;
    return answer.toUtf8().toStdString();
}

}  // namespace varnel

#include "dirtree/ui/tree_dialogs.h"

#include <QInputDialog>
#include <QMessageBox>

namespace varnel {

namespace {

QString Caption(const std::string& title) {
    return QString::fromUtf8(title.empty() ? MessageBoxTreeDialogs::kCaption : title.c_str());
}

}  // namespace

bool MessageBoxTreeDialogs::Confirm(const std::string& text) {
    QMessageBox box(QMessageBox::Question, Caption({}), QString::fromUtf8(text),
                    QMessageBox::Ok | QMessageBox::Cancel, m_owner);
    box.setDefaultButton(QMessageBox::Cancel);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    return box.exec() == QMessageBox::Ok;
}

void MessageBoxTreeDialogs::Tell(const std::string& text) {
    QMessageBox box(QMessageBox::Warning, Caption({}), QString::fromUtf8(text), QMessageBox::Ok,
                    m_owner);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

std::optional<std::string> MessageBoxTreeDialogs::AskText(const std::string& prompt,
                                                          const std::string& title,
                                                          const std::string& initial) {
    bool confirmed = false;
    const QString answer =
        QInputDialog::getText(m_owner, Caption(title), QString::fromUtf8(prompt), QLineEdit::Normal,
                              QString::fromUtf8(initial), &confirmed);
    if (!confirmed) return std::nullopt;
    return answer.toUtf8().toStdString();
}

}  // namespace varnel

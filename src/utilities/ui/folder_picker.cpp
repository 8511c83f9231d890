#include "utilities/ui/folder_picker.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>

namespace varnel {

std::string PickFolder(const std::string& prompt, bool includeFiles,
                       const std::string& initialFolder, bool /*showEditBox*/, bool /*newStyle*/) {
    QFileDialog dialog(QApplication::activeWindow(), QString::fromUtf8(prompt));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, !includeFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!initialFolder.empty()) dialog.setDirectory(QFile::decodeName(initialFolder.c_str()));
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return {};
    return QFile::encodeName(chosen.front()).toStdString();
}

}  // namespace varnel

// The export dialog of the list (导出或复制列表): turns rows into lines (the full
// path, a free recombination of columns through "#N", or starter-script lines) and
// copies them to the clipboard or writes them to a file. Not modal; its controls
// are kept in the settings section 高级导出. UI thread only.
#pragma once

#include <QDialog>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "filelist/list_globals.h"
#include "filetasks/list_export.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace varnel {

class ListExportDialog final : public QDialog {
    Q_OBJECT
public:
    // What the dialog asks of the desktop; tests give their own.
    struct Services {
        std::function<bool(const std::string& text)> setClipboard;
        std::function<void(const std::string& text)> notice;
        // The file to write, "" when the user cancels; starterScript picks the filter shown first.
        std::function<std::string(bool starterScript)> chooseFile;
        std::function<void(const std::string& path)> openFile;
        // The list's selected rows, in list order.
        std::function<std::vector<std::size_t>()> selectedRows;
    };
    static Services DefaultServices(QWidget* owner);

    ListExportDialog(ListGlobals& app, Services services, QWidget* owner);
    ~ListExportDialog() override;

    ExportOptions CurrentOptions() const;
    // Copies the lines to the clipboard (copy) or writes them to a chosen file.
    void ExportOrCopyList(bool copy);
    // Puts the controls into the settings section; the dialog does so itself when
    // it is closed in any way (close box, 关闭, Esc), the owner before it saves
    // the settings file at exit.
    void SaveSettings();

    void done(int result) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void LoadOrSaveExportSettings(bool save);
    void ApplyControlCoupling();

    ListGlobals& m_app;
    Services m_services;
    QCheckBox* m_onlySelected;
    QCheckBox* m_freeColumns;
    QLineEdit* m_expression;
    QCheckBox* m_starterScript;
    QCheckBox* m_relativePath;
    QCheckBox* m_openAfter;
    QPushButton* m_copy;
    QPushButton* m_export;
    QPushButton* m_close;
};

}  // namespace varnel

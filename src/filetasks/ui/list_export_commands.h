// The list's text commands: copy kinds to the clipboard (remembering the last
// kind), export of every row's path, import of a path list from a file or typed
// text (as a list load), and sending the selected paths to a program, one argument
// per path and never through a shell. UI thread only.
#pragma once

#include <QObject>

#include <expected>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "filelist/list_globals.h"
#include "filelist/ui/file_list_panel.h"
#include "utilities/error.h"

class QWidget;

namespace varnel {

class ListExportCommands final : public QObject {
    Q_OBJECT
public:
    // What the commands ask of the desktop and the user; tests give their own.
    struct Services {
        std::function<void(const std::string& message)> status;
        std::function<void(const std::string& text)> notice;
        // The text, and for path copies the paths' file URIs (offered as
        // text/uri-list, which keeps names that are not UTF-8 exact).
        std::function<bool(const std::string& text, const std::vector<std::string>& uris)> setClipboard;
        // File dialogs: the chosen path, "" when cancelled.
        std::function<std::string()> chooseExportFile;
        std::function<std::string()> chooseImportFile;
        std::function<std::string()> chooseProgram;
        std::function<std::optional<std::string>(const std::string& prompt)> inputText;
        // Starts a program with its arguments (their own bytes), detached.
        std::function<std::expected<void, Error>(const std::string& program,
                                                 const std::vector<std::string>& arguments)>
            startProgram;
    };
    static Services DefaultServices(QWidget* window);

    ListExportCommands(ListGlobals& app, FileListPanel& list, Services services, QObject* parent = nullptr);

    void CopyListTextToClipboard(int kind);
    void ExportPathList();
    void ImportPathListFromFile();
    void ImportPathListFromText();
    void SendListToProgram();
    // The list's selected rows, in list order.
    std::vector<std::size_t> SelectedRows() const;

private:
    ListGlobals& m_app;
    FileListPanel& m_list;
    Services m_services;
};

}  // namespace varnel

// The list commands that act on files directly (打开, 打开上级, 移动到..., 复制到...,
// 删除, 删除(回收站可见), 创建快捷方式..., 修改网页标题, 新建目录): they ask what
// they need, run each selected row's action through the core, take the rows that
// are gone off the list and report in the status bar how many failed. The
// program counts as busy meanwhile. UI thread only.
#pragma once

#include <QObject>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "filelist/list_globals.h"
#include "filelist/ui/file_list_panel.h"
#include "filetasks/row_actions.h"

class QWidget;

namespace varnel {

class RowActionCommands final : public QObject {
    Q_OBJECT
public:
    // What the commands ask of the window and the user; tests give their own.
    struct Services {
        // The status bar: the row count when given, and the message part.
        std::function<void(std::optional<std::int64_t> rowCount, const std::string& message)> status;
        // A folder chosen with the prompt, starting at start; "" when cancelled.
        std::function<std::string(const std::string& prompt, const std::string& start)> pickFolder;
        // A message box; returns the answer (kAnswerOk, kAnswerCancel, ...).
        std::function<int(const std::string& text, unsigned style)> ask;
        // The folder the directory tree shows ("" when none).
        std::function<std::string()> treeFolder;
        // The text input dialog: the confirmed text, or nothing.
        std::function<std::optional<std::string>(const std::string& prompt, const std::string& title,
                                                 const std::string& initial)>
            inputText;
    };
    static Services DefaultServices(QWidget* window);

    RowActionCommands(ListGlobals& app, FileListPanel& list, Services services, QObject* parent = nullptr);

    void RunSelectedRowsAction(RowAction action);
    void EditWebPageTitle();
    void CreateFolderInCurrentDir();

private:
    ListGlobals& m_app;
    FileListPanel& m_list;
    Services m_services;
};

}  // namespace varnel

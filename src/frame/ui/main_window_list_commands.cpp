// The main window's list commands: actions on the selected rows, copying, exporting
// and importing the list, its order and search, and removing rows from it.
#include "frame/ui/main_window.h"

#include <QItemSelection>

#include "dirtree/ui/directory_tree_view.h"
#include "filelist/list_sorter.h"
#include "filelist/ui/file_list_panel.h"
#include "filetasks/ui/list_export_commands.h"
#include "filetasks/ui/list_export_dialog.h"
#include "filetasks/ui/row_action_commands.h"
#include "frame/ui/find_in_list_dialog.h"
#include "frame/ui/main_menus.h"
#include "frame/ui/sort_options_dialog.h"
#include "frame/ui/time_format_dialog.h"
#include "platform/xdg_paths.h"
#include "settings/main_settings.h"
#include "tools/print_settings.h"
#include "tools/ui/list_report_commands.h"
#include "tools/ui/list_report_source.h"
#include "utilities/path_routines.h"

namespace varnel {

void MainWindow::ConnectRowActions(const std::function<void(const char*, std::function<void()>)>& command) {
    RowActionCommands::Services services = RowActionCommands::DefaultServices(this);
    services.status = [this](std::optional<std::int64_t> rowCount, const std::string& message) {
        UpdateStatusBar({}, rowCount, {}, message);
    };
    services.treeFolder = [this] { return m_tree->CurrentPath().value_or(std::string()); };
    m_rowActions = new RowActionCommands(m_app, *m_fileList, std::move(services), this);
    static const std::pair<const char*, RowAction> kActions[] = {
        {"打开", RowAction::Open},       {"打开上级", RowAction::OpenContainingFolder},
        {"移动到...", RowAction::Move},  {"复制到...", RowAction::Copy},
        {"删除", RowAction::Delete},     {"删除(回收站可见)", RowAction::Recycle},
        {"创建快捷方式...", RowAction::CreateShortcut},
    };
    for (const auto& [caption, action] : kActions) {
        command(caption, [this, action] { m_rowActions->RunSelectedRowsAction(action); });
    }
    command("修改网页标题", [this] { m_rowActions->EditWebPageTitle(); });
    command("重命名", [this] {
        FileListView& list = m_fileList->View();
        const QModelIndex current = list.currentIndex();
        if (current.isValid()) list.edit(current.siblingAtColumn(static_cast<int>(ListColumn::Name)));
    });
    // A double click (when folders open in the file manager) and Enter run 打开.
    QAction* open = m_menus->Item("打开");
    connect(m_fileList, &FileListPanel::openRequested, open, &QAction::trigger);
    connect(&m_fileList->View(), &FileListView::enterPressed, open, &QAction::trigger);
    command("新建目录", [this] { m_rowActions->CreateFolderInCurrentDir(); });
}

void MainWindow::ConnectListTextCommands(const std::function<void(const char*, std::function<void()>)>& command) {
    ListExportCommands::Services services = ListExportCommands::DefaultServices(this);
    services.status = [this](const std::string& message) { UpdateStatusBar({}, {}, {}, message); };
    m_listText = new ListExportCommands(m_app, *m_fileList, std::move(services), this);
    static const std::pair<const char*, int> kCopies[] = {
        {"复制文件路径", 0}, {"完整路径", 0},  {"文件名称列", 1},  {"预览专区列", 2},
        {"文件类型列", 4},   {"文件属性列", 5}, {"创建时间列", 6}, {"修改时间列", 7},
        {"访问时间列", 8},   {"所属目录列", 9}, {"全部列", -1},    {"快捷方式指向(.Lnk)", 10},
        {"网页链接(.Url)", 11}, {"网页标题(<title>)", 12},
    };
    for (const auto& [caption, kind] : kCopies) {
        command(caption, [this, kind] { m_listText->CopyListTextToClipboard(kind); });
    }
    command("导出列表...", [this] { m_listText->ExportPathList(); });
    command("导入列表_选择文本文件...", [this] { m_listText->ImportPathListFromFile(); });
    command("导入列表_直接输入文本...", [this] { m_listText->ImportPathListFromText(); });
    command("列表发送到...", [this] { m_listText->SendListToProgram(); });
    ListReportCommands::Services report;
    report.source = [this] { return ReportSourceOfList(*m_fileList); };
    report.listFontPoints = [this] { return ListFontPoints(*m_fileList); };
    report.settingsFile = WithTrailingSlash(SettingsFolder()) + kPrintSettingsFileName;
    report.ask = ListReportCommands::DefaultAsk(this);
    m_report = new ListReportCommands(std::move(report), this);
    command("打印列表框...", [this] { m_report->OpenPrintSettings(); });
    command("高级导出列表...", [this] { ShowListExportDialog(); });
    command("高级组合复制...", [this] { ShowListExportDialog(); });
}

void MainWindow::ShowListExportDialog() {
    if (m_listExport == nullptr) {
        ListExportDialog::Services services = ListExportDialog::DefaultServices(this);
        services.selectedRows = [this] { return m_listText->SelectedRows(); };
        m_listExport = new ListExportDialog(m_app, std::move(services), this);
    }
    m_listExport->show();
    m_listExport->raise();
    m_listExport->activateWindow();
}

void MainWindow::ConnectListOrderCommands(const std::function<void(const char*, std::function<void()>)>& command) {
    static const std::pair<const char*, SortKind> kSortEntries[] = {
        {"按预置型排序", SortKind::Preset},   {"按数值型排序", SortKind::Number},
        {"按文本型排序", SortKind::Text},     {"按日期型排序", SortKind::Date},
        {"按逻辑型排序", SortKind::Logical},  {"按增强型数值排序", SortKind::EnhancedNumber},
        {"按文本长度", SortKind::TextLength}, {"按图标排序", SortKind::Icon},
    };
    for (const auto& [caption, kind] : kSortEntries) {
        command(caption, [this, kind] { m_fileList->SortFileList(kind, m_app.gMainSettings.numericSortGroup); });
    }
    command("设定增强参数", [this] { ShowSortOptions(); });
    command("时间列格式...", [this] { ShowTimeFormatDialog(); });
    command("查找...", [this] { ToggleFindWindow(); });
    command("查找下一个", [this] { FindNextInList(); });
    connect(m_fileList, &FileListPanel::sortMenuRequested, this, [this](int column, QPoint at) {
        m_menus->Item("按预置型排序")->setText(QString::fromStdString(PresetSortCaption(column)));
        m_menus->Menu("排序菜单")->popup(at);
    });
}

void MainWindow::ShowTimeFormatDialog() {
    if (m_timeFormatDialog == nullptr) {
        m_timeFormatDialog = new TimeFormatDialog(m_app.gListTimeFormat, [this] { m_fileList->View().viewport()->update(); }, this);
        m_timeFormatDialog->setAttribute(Qt::WA_DeleteOnClose);
        // Closing always keeps what was last applied.
        connect(m_timeFormatDialog, &QObject::destroyed, this,
                [this] { (void)LoadOrSaveTimeFormat(*m_app.gSettings, m_app.gListTimeFormat, true); });
    }
    m_timeFormatDialog->show();
    m_timeFormatDialog->raise();
    m_timeFormatDialog->activateWindow();
}

void MainWindow::ShowSortOptions() {
    if (m_sortOptions == nullptr) {
        m_sortOptions = new SortOptionsDialog(m_app.gMainSettings.numericSortGroup, this);
        m_sortOptions->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_sortOptions->show();
    m_sortOptions->raise();
}

void MainWindow::ToggleFindWindow() {
    if (m_findDialog == nullptr) {
        m_findDialog = new FindInListDialog(
            m_app.gFindOptions, [this] { m_fileList->FindInList(m_app.gFindOptions); },
            [this] { m_app.gListFinder.gFindRestart = true; }, this);
        connect(m_findDialog, &FindInListDialog::hidden, this,
                [this] { (void)LoadOrSaveFindOptions(*m_app.gSettings, m_app.gFindOptions, true); });
        m_findDialog->show();
        return;
    }
    m_findDialog->setVisible(!m_findDialog->isVisible());
}

void MainWindow::FindNextInList() {
    if (m_app.gFindOptions.keyword.empty()) {
        if (m_findDialog == nullptr || !m_findDialog->isVisible()) ToggleFindWindow();
        return;
    }
    m_fileList->FindInList(m_app.gFindOptions);
}

// The selected rows' numbers; none selected says so in the status bar.
std::vector<std::size_t> MainWindow::SelectedRowsOrSayNone() {
    std::vector<std::size_t> rows;
    for (const QItemSelectionRange& range : m_fileList->View().selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row) rows.push_back(static_cast<std::size_t>(row));
    }
    if (rows.empty()) UpdateStatusBar({}, {}, {}, "请先选定再操作，OK？");
    return rows;
}

void MainWindow::RemoveSelectedRows() {
    if (!EnsureNoTaskRunning(m_app.gRunControl)) return;
    std::vector<std::size_t> rows = SelectedRowsOrSayNone();
    if (rows.empty()) return;
    m_fileList->Model().DeleteRows(std::move(rows));
    UpdateStatusBar({}, static_cast<std::int64_t>(m_app.gListRows.RowCount()), {}, "执行完毕");
}

void MainWindow::ClearList() {
    if (!EnsureNoTaskRunning(m_app.gRunControl)) return;
    m_fileList->Model().ClearRows();
    UpdateStatusBar(0, 0, 0, std::nullopt);
}

}  // namespace varnel

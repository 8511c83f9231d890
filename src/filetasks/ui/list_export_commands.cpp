#include "filetasks/ui/list_export_commands.h"

#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMimeData>
#include <QWidget>

#include <algorithm>
#include <numeric>

#include "filetasks/list_export.h"
#include "platform/file_io.h"
#include "platform/program_launch.h"
#include "settings/ui/text_input_dialog.h"
#include "utilities/file_uri.h"
#include "utilities/user_notifier.h"

namespace varnel {

namespace {

constexpr const char* kTextFilter = "文本文件(*.txt);;全部(*)";

}  // namespace

ListExportCommands::Services ListExportCommands::DefaultServices(QWidget* window) {
    Services s;
    s.notice = [](const std::string& text) { ShowTrayNotice(text); };
    s.setClipboard = [](const std::string& text, const std::vector<std::string>& uris) {
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (clipboard == nullptr) return false;
        auto* data = new QMimeData;
        data->setText(QString::fromStdString(text));
        if (!uris.empty()) {
            QByteArray list;
            for (const std::string& uri : uris) list += QByteArray::fromStdString(uri) + "\r\n";
            data->setData(QStringLiteral("text/uri-list"), list);
        }
        clipboard->setMimeData(data);
        return true;
    };
    s.chooseExportFile = [window] {
        QFileDialog dialog(window, QString(), QString(), QString::fromUtf8(kTextFilter));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("txt"));
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0).toStdString() : std::string();
    };
    s.chooseImportFile = [window] {
        return QFileDialog::getOpenFileName(window, QString::fromUtf8("选择一个包含路径列表的文本文件"), QString(),
                                            QString::fromUtf8(kTextFilter))
            .toStdString();
    };
    s.chooseProgram = [window] {
        return QFileDialog::getOpenFileName(window, QString(), QString(), QString::fromUtf8("全部文件(*)")).toStdString();
    };
    s.inputText = [window](const std::string& prompt) -> std::optional<std::string> {
        InputDialogParams params;
        params.prompt = prompt;
        params.ownerWindow = window;
        InputDialogResult result = ShowTextInputDialog(std::move(params));
        if (!result.confirmed) return std::nullopt;
        return result.text;
    };
    s.startProgram = [](const std::string& program, const std::vector<std::string>& arguments) {
        return StartProgramDetached(program, arguments);
    };
    return s;
}

ListExportCommands::ListExportCommands(ListGlobals& app, FileListPanel& list, Services services, QObject* parent)
    : QObject(parent), m_app(app), m_list(list), m_services(std::move(services)) {}

std::vector<std::size_t> ListExportCommands::SelectedRows() const {
    std::vector<std::size_t> rows;
    for (const QItemSelectionRange& range : m_list.View().selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row) rows.push_back(static_cast<std::size_t>(row));
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void ListExportCommands::CopyListTextToClipboard(int kind) {
    m_app.gMainSettings.lastCopyKind = kind;
    const std::vector<std::size_t> rows = SelectedRows();
    std::vector<std::string> uris;
    if (kind == kCopyFullPath) {
        uris.reserve(rows.size());
        for (std::size_t row : rows) uris.push_back(FileUriOfPath(m_app.gListRows.FullPath(row)));
    }
    if (!m_services.setClipboard(BuildCopyText(m_app.gListRows, rows, kind), uris)) {
        m_services.status("复制失败！");
        return;
    }
    m_services.status("列表文本已复制，您可以到任何编辑区粘贴，或另存为文本文件！");
}

void ListExportCommands::ExportPathList() {
    const std::string path = m_services.chooseExportFile();
    if (path.empty()) return;
    std::vector<std::size_t> rows(m_app.gListRows.RowCount());
    std::iota(rows.begin(), rows.end(), std::size_t{0});
    const ExportText text = BuildExportText(m_app.gListRows, rows, {});
    if (auto written = WriteExportFile(path, text.text, false); !written) {
        m_services.notice("导出列表失败！" + FailureReason(written.error()));
        return;
    }
    std::string done = "导出列表成功！";
    m_services.notice(done);
}

void ListExportCommands::ImportPathListFromFile() {
    const std::string path = m_services.chooseImportFile();
    if (path.empty()) return;
    auto bytes = ReadWholeFile(path);
    if (!bytes) {
        m_services.notice("导入列表失败！" + FailureReason(bytes.error()));
        return;
    }
    // Lines keep their bytes: each is matched to a path on its own (ResolveListedPath).
    m_list.ImportPathList(SplitPathListLines(*bytes));
}

void ListExportCommands::ImportPathListFromText() {
    const auto text = m_services.inputText("请输入要导入的文件名列表：");
    if (!text) return;
    m_list.ImportPathList(SplitPathListLines(*text));
}

void ListExportCommands::SendListToProgram() {
    const std::vector<std::size_t> rows = SelectedRows();
    const std::string program = m_services.chooseProgram();
    if (program.empty()) return;
    std::vector<std::string> paths;
    paths.reserve(rows.size());
    for (std::size_t row : rows) paths.push_back(m_app.gListRows.FullPath(row));
    if (auto started = m_services.startProgram(program, paths); !started) {
        m_services.notice("无法启动程序：" + FailureReason(started.error()));
    }
}

}  // namespace varnel

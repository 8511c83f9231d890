#include "filetasks/ui/row_action_commands.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWidget>

#include <algorithm>
#include <vector>

#include "platform/marked_text_editor.h"
#include "platform/posix_api.h"
#include "settings/ui/text_input_dialog.h"
#include "utilities/path_routines.h"
#include "utilities/run_control.h"
#include "utilities/ui/folder_picker.h"
#include "utilities/user_notifier.h"

namespace varnel {

namespace {

constexpr const char* kSelectFirst = "请先选定再操作，OK？";

std::vector<std::size_t> SelectedRows(FileListView& view) {
    std::vector<std::size_t> rows;
    for (const QItemSelectionRange& range : view.selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row) rows.push_back(static_cast<std::size_t>(row));
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

// Ends the busy state however the command returns.
class BusyScope {
public:
    explicit BusyScope(RunControl& control) : m_control(control) {}
    ~BusyScope() {
        if (m_began) m_control.End();
    }
    bool Begin() { return m_began = EnsureNoTaskRunning(m_control) && m_control.TryBegin(TaskKind::ListAction); }

private:
    RunControl& m_control;
    bool m_began = false;
};

}  // namespace

RowActionCommands::Services RowActionCommands::DefaultServices(QWidget* window) {
    Services s;
    s.pickFolder = [](const std::string& prompt, const std::string& start) {
        return PickFolder(prompt, false, start, true, true);
    };
    s.ask = [](const std::string& text, unsigned style) { return ShowMessageBox(text, style); };
    s.inputText = [window](const std::string& prompt, const std::string& title,
                           const std::string& initial) -> std::optional<std::string> {
        InputDialogParams params;
        params.prompt = prompt;
        params.title = title;
        params.initialText = initial;
        params.inputHeight = 200;
        params.ownerWindow = window;
        InputDialogResult result = ShowTextInputDialog(std::move(params));
        if (!result.confirmed) return std::nullopt;
        return result.text;
    };
    return s;
}

RowActionCommands::RowActionCommands(ListGlobals& app, FileListPanel& list, Services services, QObject* parent)
    : QObject(parent), m_app(app), m_list(list), m_services(std::move(services)) {}

void RowActionCommands::RunSelectedRowsAction(RowAction action) {
    const std::vector<std::size_t> rows = SelectedRows(m_list.View());
    if (rows.empty()) {
        m_services.status(std::nullopt, kSelectFirst);
        return;
    }
    BusyScope busy(m_app.gRunControl);
    if (!busy.Begin()) return;

    std::string target;
    if (const std::string prompt = RowActionFolderPrompt(action, rows.size()); !prompt.empty()) {
        const std::string chosen = m_services.pickFolder(prompt, m_app.gLastTargetFolder);
        if (chosen.empty()) return;
        target = WithTrailingSlash(chosen);
        m_app.gLastTargetFolder = target;
    }
    if (const std::string question = RowActionQuestion(action); !question.empty()) {
        if (m_services.ask(question, kBoxOkCancel | kBoxIconExclamation) != kAnswerOk) return;
    }

    m_services.status(std::nullopt, "正在执行中...");
    RowStore& store = m_app.gListRows;
    std::vector<std::size_t> gone;
    std::size_t failed = 0;
    std::size_t skipped = 0;
    std::string firstFailure;
    QElapsedTimer sinceRepaint;
    sinceRepaint.start();
    std::size_t visited = 0;
    // Last to first, as the rows stand in the selection.
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        const std::string path = store.FullPath(*it);
        const std::string name = store.Name(*it);
        ++visited;
        if (action == RowAction::Delete) {
            // A folder goes with everything in it: say how much before.
            if (const std::int64_t files = CountFilesInFolder(path); files > 0) {
                const std::string question = "文件夹 " + name + " 中还有 " + std::to_string(files) +
                                             " 个文件，确定要连同它们一起彻底删除吗？";
                if (m_services.ask(question, kBoxOkCancel | kBoxIconExclamation) != kAnswerOk) {
                    ++skipped;
                    continue;
                }
            }
        }
        const auto outcome = RunRowAction(action, path, target);
        if (!outcome) {
            if (failed++ == 0) firstFailure = name + "：" + FailureReason(outcome.error());
        } else if (*outcome) {
            gone.push_back(*it);
        }
        if (action != RowAction::RemoveFromList) {
            m_services.status(std::nullopt, "总 " + std::to_string(rows.size()) + " 条，正在执行第 " +
                                                std::to_string(visited) + " 条..." + name);
            if (sinceRepaint.elapsed() > 100) {
                // The status must show while a long action goes on; the window takes no input meanwhile.
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                sinceRepaint.restart();
            }
        }
    }
    m_list.Model().DeleteRows(std::move(gone));
    std::string done = "执行完毕";
    if (failed > 0) done += "，" + std::to_string(failed) + " 个失败（" + firstFailure + "）";
    if (skipped > 0) done += "，" + std::to_string(skipped) + " 个跳过";
    m_services.status(static_cast<std::int64_t>(store.RowCount()), done);
}

void RowActionCommands::EditWebPageTitle() {
    const QModelIndex current = m_list.View().currentIndex();
    if (!current.isValid()) return;
    BusyScope busy(m_app.gRunControl);
    if (!busy.Begin()) return;
    const std::string path = m_app.gListRows.FullPath(static_cast<std::size_t>(current.row()));
    const MarkedTextEditor editor;
    const std::string title = editor.GetPageTitle(path);
    const auto text = m_services.inputText(
        "注意，如果该文件不是网页文件而要强行修改的话，将可能导致未知的错误！\n\n"
        "判断该文件是否为网页文件的一个通常标准，就是看看有没有取出成功网页的原标题赋值在下方的编辑框中。"
        "当然，网页文件本身没有标题的排除在外。\n\n请输入",
        "修改网页标题", title);
    if (!text) return;
    if (editor.SetPageTitle(path, *text)) {
        m_services.status(std::nullopt, "修改网页标题成功！");
    } else {
        m_services.ask("修改网页标题失败！请确保这是一个网页文件，并且该文件未被锁定！", kBoxOk | kBoxIconExclamation);
    }
}

void RowActionCommands::CreateFolderInCurrentDir() {
    const std::string tree = m_services.treeFolder ? m_services.treeFolder() : std::string();
    if (tree.empty()) return;
    const std::string path = UniqueFolderName(WithTrailingSlash(tree) + "Varnel文件夹");
    if (SystemPosix().Mkdir(path.c_str(), 0777) != 0) {
        m_services.ask("创建目录失败！", kBoxOk | kBoxIconExclamation);
        return;
    }
    RowFacts facts;
    facts.isFolder = true;
    const std::size_t row = m_app.gListRows.AppendRow(GetParentOfPath(path), GetFileNameOfPath(path), facts, 0);
    m_list.Model().SyncRowCount();
    const QModelIndex index = m_list.Model().index(static_cast<int>(row), 0);
    m_list.View().scrollTo(index);
    m_list.View().setCurrentIndex(index);
    m_list.View().edit(index);
}

}  // namespace varnel

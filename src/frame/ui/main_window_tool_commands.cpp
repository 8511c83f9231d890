// The main window's tool commands: the current row's content preview and its
// switches, the lyrics commands, the about window and the undo manager's texts.
#include "frame/ui/main_window.h"

#include <QItemSelection>

#include "filelist/ui/file_list_panel.h"
#include "filetasks/ui/file_times_panel.h"
#include "frame/ui/about_window.h"
#include "frame/ui/content_preview.h"
#include "frame/ui/main_menus.h"
#include "frame/ui/sound_player.h"
#include "id3/lyrics.h"
#include "runs/ui/batch_task_area.h"
#include "settings/main_settings.h"
#include "settings/ui/notice_popup.h"
#include "settings/ui/text_input_dialog.h"
#include "utilities/path_routines.h"
#include "utilities/ui/folder_picker.h"
#include "utilities/user_notifier.h"

namespace varnel {

void MainWindow::ConnectContentPreview(const std::function<void(const char*, std::function<void()>)>& command) {
    ContentPreview::Services services;
    services.status = [this](std::int64_t row, std::optional<std::int64_t> size, std::optional<std::string> message) {
        UpdateStatusBar(row, {}, size, std::move(message));
    };
    services.makePlayer = [] { return MakeDesktopSoundPlayer(); };
    services.notice = [](const std::string& text, const std::string& title) { ShowTrayNotice(text, title); };
    // The panels that show a chosen file's values follow the row, when they exist.
    services.loadTags = [this] {
        if (m_loadTagEditor) m_loadTagEditor();
    };
    services.loadFileTimes = [this] {
        if (auto* panel = qobject_cast<FileTimesPanel*>(m_batchArea->LoadedPanel(kTaskFileTimes))) {
            panel->LoadFileTimesFromList();
        }
    };
    m_preview = new ContentPreview(m_app, *m_fileList, std::move(services), this);
    FileListView& list = m_fileList->View();
    connect(list.selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this, &list] { m_preview->RowChanged(list.RightButtonDown()); });
    // The kind switches and the tag choice show the current row again at once.
    for (const char* caption : {"图像(Gif|Jpg|Bmp|Ico|Cur)", "音频(Mp3|Mid|Wav)", "文本(自定义格式)"}) {
        command(caption, [this] { m_preview->ShowRowPreview(); });
    }
    // The three tag choices are one choice.
    static const std::pair<const char*, bool MainSettings::*> kTagChoices[] = {
        {"预览v1", &MainSettings::id3PreviewV1},
        {"预览v2", &MainSettings::id3PreviewV2},
        {"互补预览", &MainSettings::id3Complementary},
    };
    for (const auto& [caption, chosen] : kTagChoices) {
        command(caption, [this, chosen] {
            for (const auto& [other, field] : kTagChoices) {
                m_app.gMainSettings.*field = field == chosen;
                m_menus->Item(other)->setChecked(field == chosen);
            }
            m_preview->ShowRowPreview();
        });
    }
    command("立即停止播放", [this] { m_preview->StopPlaying(); });
    command("定义文本格式...", [this] {
        InputDialogParams params;
        params.prompt = "请输入要预览的文本格式：";
        params.initialText = m_app.gMainSettings.textPreviewExtensions;
        params.ownerWindow = this;
        const InputDialogResult answer = ShowTextInputDialog(std::move(params));
        if (answer.confirmed) m_preview->SetTextPreviewExtensions(answer.text);
    });
}

void MainWindow::ShowLyricsOfCurrentRow() {
    const QModelIndex current = m_fileList->View().currentIndex();
    const std::string path =
        current.isValid() ? m_app.gListRows.FullPath(static_cast<std::size_t>(current.row())) : std::string();
    const auto lyrics = path.empty() ? std::nullopt : ReadLyrics(path);
    if (!lyrics) {
        ShowMessageBox(kNoLyricsText);
        return;
    }
    NoticePopupParams notice;
    notice.title = kLyricsTitle;
    notice.message = LyricsNoticeText(path, *lyrics);
    ShowNoticePopup(std::move(notice), this);
}

void MainWindow::SaveLyricsOfSelectedRows() {
    if (!EnsureNoTaskRunning(m_app.gRunControl)) return;
    std::vector<std::size_t> rows = SelectedRowsOrSayNone();
    if (rows.empty()) return;
    const std::string folder =
        PickFolder("提取被选定的 " + std::to_string(rows.size()) + " 个文件和文件夹的歌词信息到");
    if (folder.empty()) return;
    // Files without lyrics are passed over, as are names that cannot be written.
    for (std::size_t row : rows) SaveLyricsToFolder(m_app.gListRows.FullPath(row), WithTrailingSlash(folder));
    UpdateStatusBar({}, static_cast<std::int64_t>(m_app.gListRows.RowCount()), {}, "执行完毕");
}

void MainWindow::ShowAboutWindow() {
    if (!m_about) m_about = new AboutWindow(this);
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

}  // namespace varnel

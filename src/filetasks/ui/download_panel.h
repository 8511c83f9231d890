// The panel of the batch download task (批量下载): counted addresses from a
// template or a fixed list, the delay between downloads and the save folder; kept
// in its INI section and handed to a run as DownloadParams. Also the list's side of
// a download run: the addresses of a preview or the saved files replace the list's
// rows. UI thread only.
#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <functional>

#include "filetasks/download_task.h"
#include "filetasks/ui/content_panel_parts.h"
#include "runs/ui/task_panel.h"

namespace varnel {

class FileListPanel;

// Picks a folder (prompt, start folder): the folder, or "" when cancelled.
using PickFolderFunction = std::function<std::string(const std::string& prompt, const std::string& start)>;

class DownloadPanel final : public TypedTaskPanel<DownloadParams> {
    Q_OBJECT
public:
    explicit DownloadPanel(QWidget* parent = nullptr, AskTextFunction askText = {}, PickFolderFunction pickFolder = {});

    // Refuses an execute run without a usable save folder, with the notice.
    std::optional<DownloadParams> MakeParams(RunMode mode) override;
    DownloadParams CurrentParameters() const;

    void UpdateDownloadControls();
    // The delay box's up-down buttons: a second more or less.
    void StepDelay(int direction);

    // The default save folder: a folder of its own on the desktop.
    static std::string DefaultSaveFolder();

private:
    void RegisterDownloadTips();

    AskTextFunction m_askText;
    PickFolderFunction m_pickFolder;
    QRadioButton* m_counterMode = nullptr;
    QRadioButton* m_fixedMode = nullptr;
    QLineEdit* m_template = nullptr;
    QLineEdit* m_start = nullptr;
    QLineEdit* m_end = nullptr;
    QLineEdit* m_step = nullptr;
    QCheckBox* m_zeroPad = nullptr;
    QCheckBox* m_letters = nullptr;
    QPlainTextEdit* m_fixed = nullptr;
    QPushButton* m_editFixed = nullptr;
    QCheckBox* m_delay = nullptr;
    QLineEdit* m_delayMs = nullptr;
    QToolButton* m_delayUp = nullptr;
    QToolButton* m_delayDown = nullptr;
    QLineEdit* m_folder = nullptr;
    QPushButton* m_pickFolderButton = nullptr;
};

// The list after a download run: emptied, then the saved files (loaded as paths,
// bypassing the filters) or one row per previewed address, the address in the
// preview column. The status line keeps `status` (the run's own) after the load.
void ShowDownloadListing(FileListPanel& list, DownloadListing listing, std::string status = {});

}  // namespace varnel

#include "frame/ui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>

#include "dirtree/ui/directory_tree_view.h"
#include "filelist/ui/extended_filter_window.h"
#include "filelist/ui/file_list_panel.h"
#include "filelist/ui/filter_bar.h"
#include "frame/instance_frames.h"
#include "frame/main_settings.h"
#include "frame/registry_store.h"
#include "frame/send_to_shortcut.h"
#include "frame/ui/notice_popup.h"
#include "frame/ui/tray_icon.h"
#include "frame/window_geometry.h"
#include "platform/posix_api.h"
#include "platform/xdg_paths.h"
#include "runs/ui/batch_task_area.h"
#include "runs/ui/control_panel.h"
#include "runs/ui/run_progress_bar.h"
#include "runs/ui/task_box.h"
#include "runs/ui/task_registrations.h"
#include "utilities/ui/file_drop_target.h"
#include "utilities/path_routines.h"
#include "utilities/program_version.h"
#include "utilities/ui/desktop_power.h"
#include "utilities/ui/power_menu.h"
#include "utilities/ui/qt_user_notifier.h"
#include "utilities/user_notifier.h"

namespace varnel {

namespace {

constexpr int kMinimumWidth = 480;
constexpr int kMinimumHeight = 320;

void ReportProblem(const char* what, const Error& error) {
    std::fprintf(stderr, "varnel: %s: %s%s%s\n", what, error.message.c_str(),
                 error.path.empty() ? "" : " — ", error.path.c_str());
}

}  // namespace

MainWindow::MainWindow(AppGlobals& app, QtUserNotifier& notifier, QWidget* parent)
    : QMainWindow(parent), m_app(app), m_notifier(notifier) {
    setObjectName("MainWindow");
    setWindowTitle(QString::fromStdString(Caption()));
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    setGeometry(50, 50, 1000, 700);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_filterBar = new FilterBar(central);
    m_treeSplitter = new QSplitter(Qt::Horizontal, central);
    m_treeSplitter->setObjectName(QString::fromUtf8("分隔条目录树"));
    m_tree = new DirectoryTreeView(*m_app.gDirectoryTree, m_treeSplitter);
    auto* rightSide = new QWidget(m_treeSplitter);
    m_fileList = new FileListPanel(m_app, *m_filterBar, rightSide);
    m_taskBox = new TaskBox(rightSide);
    m_batchArea = new BatchTaskArea(m_app, *m_fileList, *m_taskBox, rightSide);
    m_treeSplitter->addWidget(m_tree);
    m_treeSplitter->addWidget(rightSide);
    m_treeSplitter->setStretchFactor(1, 1);
    m_controlPanel = new ControlPanel(m_app.gRunControl, central);
    // The list with the batch task area below it, the task box on their right.
    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(m_fileList, 1);
    listColumn->addWidget(m_batchArea);
    layout->addWidget(m_filterBar);
    auto* rightLayout = new QHBoxLayout(rightSide);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addLayout(listColumn, 1);
    rightLayout->addWidget(m_taskBox);
    layout->addWidget(m_treeSplitter, 1);
    layout->addWidget(m_controlPanel, 0, Qt::AlignLeft);
    setCentralWidget(central);
    statusBar()->setObjectName(QString::fromUtf8("状态条"));
    m_progressBar = new RunProgressBar(m_app.gRunControl, statusBar());
    statusBar()->addPermanentWidget(m_progressBar);
    m_progressBar->hide();
    m_batchArea->SetProgressBar(m_progressBar);
    RegisterBatchTasks(*m_batchArea, m_app);
    const auto showStatus = [this](const QString& text) { statusBar()->showMessage(text); };
    connect(m_fileList, &FileListPanel::statusMessage, this, showStatus);
    connect(m_batchArea, &BatchTaskArea::statusMessage, this, showStatus);
    connect(m_filterBar->MoreFiltersBox(), &QCheckBox::toggled, this, &MainWindow::ShowExtendedFilters);
    connect(m_filterBar, &FilterBar::filterTextConfirmed, this, &MainWindow::LoadCheckedTreeFolders);
    m_tree->SetLoadCallback([this](const std::vector<std::string>& folders) {
        if (!folders.empty()) m_fileList->TraverseFoldersIntoList(folders);
    });
    m_fileList->SetExtendedFilterSource([this] {
        // Before the window exists the filters stay as they were (inactive).
        return m_extendedFilters ? m_extendedFilters->CurrentState() : m_app.gExtendedFilter;
    });
    CreateHelpMenu();
    m_notifier.SetDialogParent(this);
    // Where neither a tray nor the desktop shows notices, the status bar does.
    m_notifier.SetStatusFallback([this](const QString& text) {
        if (text.isEmpty()) {
            statusBar()->clearMessage();
        } else {
            statusBar()->showMessage(text);
        }
    });
}

std::string MainWindow::Caption() {
    return "Varnel更名(Quorva) " + CaptionVersion() + " - 多元化批量任务|本地超级搜索|资源综合管理|更多扩展辅助";
}

MainWindow::~MainWindow() {
    m_trayIcon.reset();
    m_notifier.SetStatusFallback(nullptr);
    m_notifier.SetDialogParent(nullptr);
}

void MainWindow::LoadCheckedTreeFolders() {
    if (m_app.gRunControl.IsActive() && m_app.gRunControl.ActiveKind() != TaskKind::ListLoad) {
        ShowTrayNotice("当前有任务在执行！请等待任务完毕或终止任务后再执行本项！");
        return;
    }
    const std::vector<std::string> folders = m_tree->CheckedFolderPaths();
    if (!folders.empty()) m_fileList->TraverseFoldersIntoList(folders);
}

void MainWindow::ShowExtendedFilters(bool shown) {
    if (!shown) {
        // Hiding through the box does not save; only the window's close box does.
        if (m_extendedFilters) m_extendedFilters->hide();
        return;
    }
    if (!m_extendedFilters) {
        m_extendedFilters = new ExtendedFilterWindow(*m_app.gSettings, this);
        connect(m_extendedFilters, &ExtendedFilterWindow::closedByUser, this, [this] {
            const QSignalBlocker quiet(m_filterBar->MoreFiltersBox());
            m_filterBar->MoreFiltersBox()->setChecked(false);
        });
        connect(m_extendedFilters, &ExtendedFilterWindow::selectByFilterRequested, m_fileList,
                &FileListPanel::SelectRowsByFilters);
        connect(m_extendedFilters, &ExtendedFilterWindow::readTreeRequested, this,
                &MainWindow::LoadCheckedTreeFolders);
    }
    m_extendedFilters->show();
    m_extendedFilters->raise();
}

void MainWindow::CreateHelpMenu() {
    m_helpMenu = new QMenu(QString::fromUtf8("帮助"), this);
    m_helpMenu->setObjectName(QString::fromUtf8("帮助"));
    const auto add = [](QMenu* menu, const char* caption) {
        QAction* item = menu->addAction(QString::fromUtf8(caption));
        item->setObjectName(QString::fromUtf8(caption));
        return item;
    };
    QMenu* power = m_helpMenu->addMenu(QString::fromUtf8("关闭电脑"));
    power->setObjectName(QString::fromUtf8("关闭电脑"));
    m_powerMenu = new PowerMenu(*power, std::make_unique<DesktopPowerBackend>(), this);
    m_powerMenu->SetRunWarning(
        [this] { return m_app.gRunControl.IsActive() ? std::string(kRunningTaskWarning) : std::string(); });
    m_powerMenu->SetSaveSettings([this] { SaveForExit(ExitRequest::Menu); });
    add(m_helpMenu, "检查更新...")->setEnabled(false);
    add(m_helpMenu, "关于...")->setEnabled(false);
    connect(add(m_helpMenu, "退出"), &QAction::triggered, this, &MainWindow::ExitFromMenu);
}

void MainWindow::OnMainWindowCreated() {
    // 1. The main settings file.
    m_app.gSettings->SetFile(AdjustTrailingBackslash(SettingsFolder()) + kMainSettingsFileName);
    // 2. The directory tree.
    m_tree->RebuildTree();
    // 5. The main settings, the time column format and the find options, in this order.
    if (auto loaded = LoadOrSaveMainSettings(false); !loaded) {
        ReportProblem("读取设置失败", loaded.error());
    }
    m_app.gListTimeFormat = DefaultListTimeFormat();
    (void)LoadOrSaveTimeFormat(*m_app.gSettings, m_app.gListTimeFormat, false);
    (void)LoadOrSaveFindOptions(*m_app.gSettings, m_app.gFindOptions, false);
    // 8. The filter controls follow the loaded 启用过滤.
    m_filterBar->UpdateFilterControls();
    // The batch task area comes up with the task box's first task and its settings.
    m_batchArea->BatchTaskAreaCreated();
    // 9. Files dropped on the window load into the list.
    RegisterFileDropTarget(this, true,
                           [this](const std::string& folder, const std::string& name, std::size_t length,
                                  std::size_t total) { m_fileList->OnPathDropped(folder, name, length, total); });
    // 10. The folder history starts at its first place.
    m_app.gHistoryIndex += 1;
    // 11. Notice popups without an owner of their own belong to this window.
    SetNoticeDefaultOwner(this);
    // 13. Idle: runs may start (gRunControl starts idle; nothing to do).
    // 14. Paths from the command line are listed as they are, without the filters.
    if (!m_app.gCommandLineArgs.empty()) {
        m_fileList->LoadPathsIntoList(MakePathsAbsolute(m_app.gCommandLineArgs, SystemPosix().Getcwd()), true);
    }
    // 15. Where this program lives, for other programs to find; a failure is harmless.
    RegistryStore registry(AdjustTrailingBackslash(SettingsFolder()) + kRegistryFileName);
    registry.WriteValue(kProgramPathKey, ProgramPath());
    // 16. The tray icon, last.
    m_trayIcon = std::make_unique<TrayIcon>(*this, m_helpMenu, m_notifier);
}

std::expected<void, Error> MainWindow::LoadOrSaveMainSettings(bool save) {
    if (save) {
        // The batch task area and its panels first, then the window's own sections.
        m_batchArea->SaveSettings();
        CollectSettings();
    }
    auto result = varnel::LoadOrSaveMainSettings(*m_app.gSettings, m_app.gMainSettings, save);
    if (!save) ApplyLoadedSettings();
    return result;
}

void MainWindow::ApplyLoadedSettings() {
    const MainSettings& s = m_app.gMainSettings;
    m_filterBar->ShowSettings(s);
    m_fileList->ApplyColumnChecks();
    m_treeSplitter->setSizes({static_cast<int>(std::max(0.0, s.treeWidth)), std::max(1, width() - static_cast<int>(s.treeWidth))});
    if (!s.treePath.empty()) m_tree->GoToPath(s.treePath, true, true);
    setWindowFlag(Qt::WindowStaysOnTopHint, s.stayOnTop);
    if (s.windowState == StoredWindowState::Normal) {
        WindowRect stored{static_cast<int>(s.windowLeft), static_cast<int>(s.windowTop),
                          static_cast<int>(s.windowWidth), static_cast<int>(s.windowHeight)};
        WindowRect available;
        const QScreen* screen = QGuiApplication::screenAt(QPoint(stored.x, stored.y));
        if (screen == nullptr) screen = QGuiApplication::primaryScreen();
        if (screen != nullptr) {
            const QRect area = screen->availableGeometry();
            available = {area.x(), area.y(), area.width(), area.height()};
        }
        const WindowRect r = ClampWindowGeometry(stored, available, kMinimumWidth, kMinimumHeight);
        setGeometry(r.x, r.y, r.width, r.height);
    }
    if (auto shortcut = SetSendToShortcut(s.sendToMenu, ProgramPath(), DataHome() + "/applications");
        !shortcut) {
        ReportProblem("无法设置发送到菜单", shortcut.error());
    }
}

void MainWindow::CollectSettings() {
    MainSettings& s = m_app.gMainSettings;
    m_filterBar->CollectSettings(s);
    s.treeWidth = m_treeSplitter->sizes().value(0, static_cast<int>(s.treeWidth));
    s.treePath = m_tree->CurrentPath().value_or(std::string());
    s.windowState = isMaximized()   ? StoredWindowState::Maximised
                    : isMinimized() ? StoredWindowState::Minimised
                                    : StoredWindowState::Normal;
    // While maximised or minimised the normal geometry is what comes back later.
    const QRect normal = s.windowState == StoredWindowState::Normal ? geometry() : normalGeometry();
    s.windowLeft = normal.x();
    s.windowTop = normal.y();
    s.windowWidth = normal.width();
    s.windowHeight = normal.height();
    s.stayOnTop = windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void MainWindow::ShowAsLoaded() {
    if (m_app.gMainSettings.windowState == StoredWindowState::Maximised) {
        showMaximized();
    } else {
        show();
    }
}

bool MainWindow::OnMainWindowCloseQuery(ExitRequest request) {
    // A preview changes nothing on disk: it is stopped without a question.
    const TaskKind kind = m_app.gRunControl.ActiveKind();
    const bool preview = kind == TaskKind::Preview || kind == TaskKind::AutoPreview;
    const bool asks = request == ExitRequest::Frame || request == ExitRequest::Menu;
    if (!preview && asks && !EnsureNoTaskRunning(m_app.gRunControl, false)) {
        if (ShowMessageBox(kRunningTaskWarning, kBoxOkCancel) != kAnswerOk) return false;
    }
    if (m_app.gRunControl.IsActive()) StopRunningTask();
    if (request != ExitRequest::OtherInstance) SaveForExit(request);
    return true;
}

void MainWindow::StopRunningTask() {
    // A task that asks the user now would wait for this thread while it waits for
    // the task: from here on questions get the cautious answer.
    m_notifier.StopAsking();
    // A task is asked to stop at its next row boundary and waited for, so that no
    // file is left half-renamed. A list load ends itself on its thread. A batch run
    // ends on this thread once its result is published: its thread is waited for,
    // then the result is kept and the task ended here, never by waiting for an end
    // that only this thread could bring.
    m_fileList->Runner().StopAndWait();
    m_batchArea->Dispatcher().StopAndWait();
    // Any other task ends itself on its own thread.
    m_app.gRunControl.RequestStop();
    m_app.gRunControl.WaitUntilIdle();
}

void MainWindow::SaveForExit(ExitRequest request) {
    auto saved = LoadOrSaveMainSettings(true);
    if (saved) return;
    ReportProblem("保存设置失败", saved.error());
    if (request != ExitRequest::Signal) {
        ShowMessageBox("设置无法保存：" + saved.error().message + "\n" + saved.error().path);
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_closeAccepted || OnMainWindowCloseQuery(ExitRequest::Frame)) {
        m_closeAccepted = true;
        event->accept();
        QApplication::quit();
    } else {
        event->ignore();
    }
}

void MainWindow::ExitFromMenu() {
    if (!OnMainWindowCloseQuery(ExitRequest::Menu)) return;
    m_closeAccepted = true;
    close();
}

void MainWindow::ExitOnSignal() {
    OnMainWindowCloseQuery(ExitRequest::Signal);
    m_closeAccepted = true;
    close();
}

void MainWindow::ExitWithoutSaving() {
    OnMainWindowCloseQuery(ExitRequest::OtherInstance);
    m_closeAccepted = true;
    close();
}

}  // namespace varnel

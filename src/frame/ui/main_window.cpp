#include "frame/ui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QStyle>

#include <algorithm>
#include <cstdio>

#include "dirtree/ui/directory_tree_view.h"
#include "filelist/ui/extended_filter_window.h"
#include "filelist/ui/file_list_panel.h"
#include "filelist/ui/filter_bar.h"
#include "filetasks/ui/file_task_registrations.h"
#include "frame/folder_history.h"
#include "frame/instance_frames.h"
#include "frame/ui/main_menus.h"
#include "frame/ui/main_status_bar.h"
#include "frame/ui/main_toolbar.h"
#include "frame/ui/splitter_bar.h"
#include "frame/ui/tray_icon.h"
#include "id3/ui/id3_task_registrations.h"
#include "platform/posix_api.h"
#include "platform/ui/desktop_power.h"
#include "platform/ui/qt_user_notifier.h"
#include "platform/xdg_paths.h"
#include "renames/ui/rename_task_registrations.h"
#include "runs/ui/batch_task_area.h"
#include "runs/ui/control_panel.h"
#include "runs/ui/run_progress_bar.h"
#include "runs/ui/task_box.h"
#include "runs/ui/undo_manager_window.h"
#include "settings/main_settings.h"
#include "settings/registry_store.h"
#include "settings/ui/notice_popup.h"
#include "settings/window_geometry.h"
#include "tools/ui/list_report_commands.h"
#include "tools/ui/tool_windows.h"
#include "tools/ui/update_checker.h"
#include "tools/update_check.h"
#include "utilities/number_text.h"
#include "utilities/path_routines.h"
#include "utilities/program_version.h"
#include "utilities/ui/file_drop_target.h"
#include "utilities/ui/power_menu.h"
#include "utilities/ui/tooltips.h"
#include "utilities/ui/window_placement.h"
#include "utilities/user_notifier.h"

namespace varnel {

namespace {

constexpr int kStatusMessagePart = 3;

void Place(QWidget* widget, const WindowRect& r) { widget->setGeometry(r.x, r.y, r.width, r.height); }

void CollectMenuItems(QMenu* menu, std::vector<QAction*>& items) {
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) continue;
        if (QMenu* sub = action->menu()) {
            CollectMenuItems(sub, items);
        } else {
            items.push_back(action);
        }
    }
}

QToolButton* NavigationButton(const char* name, QStyle::StandardPixmap image, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setIcon(parent->style()->standardIcon(image, nullptr, parent));
    button->setAutoRaise(true);
    return button;
}

}  // namespace

MainWindow::MainWindow(FrameGlobals& app, QtUserNotifier& notifier, QWidget* parent)
    : QMainWindow(parent), m_app(app), m_notifier(notifier) {
    setObjectName("MainWindow");
    setWindowTitle(QString::fromStdString(Caption()));
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    setGeometry(50, 50, 1000, 700);
    m_treeWidth = static_cast<int>(m_app.gMainSettings.treeWidth);
    m_taskBoxWidth = static_cast<int>(m_app.gMainSettings.taskBoxWidth);

    // Every part is placed by LayOutMainWindow, never by a layout manager.
    m_client = new QWidget(this);
    m_client->setObjectName("client");
    setCentralWidget(m_client);

    CreateNavigationButtons(m_client);
    m_filterBar = new FilterBar(m_client);
    m_tree = new DirectoryTreeView(*m_app.gDirectoryTree, m_client);
    m_treeSplitter = new SplitterBar(m_client);
    m_treeSplitter->setObjectName(QString::fromUtf8("分隔条目录树"));
    m_toolbar = new MainToolbar(m_client);
    m_fileList = new FileListPanel(m_app, *m_filterBar, m_client);
    m_taskBox = new TaskBox(m_client);
    m_taskSplitter = new SplitterBar(m_client);
    m_taskSplitter->setObjectName(QString::fromUtf8("分隔条树型框"));
    m_batchArea = new BatchTaskArea(m_app, *m_fileList, *m_taskBox, m_client);
    // The control panel sits in the middle of the list while a task runs.
    m_controlPanel = new ControlPanel(m_app.gRunControl, m_fileList);
    m_statusBar = new MainStatusBar(m_client);
    m_progressBar = new RunProgressBar(m_app.gRunControl, m_statusBar);
    m_statusBar->DockProgressBar(m_progressBar, kStatusMessagePart);
    m_batchArea->SetProgressBar(m_progressBar);
    // The tools answer the area's menu and the panels' tester links (set before any
    // panel is made, so the links come up enabled).
    m_tools = new ToolWindows(*m_app.gSettings, m_app.gListRows, this);
    m_batchArea->RegexTester().SetOpener([this](RegexTesterRequest request) { m_tools->OpenRegexTesterFor(request); });
    connect(m_batchArea, &BatchTaskArea::regexTesterRequested, this, [this] { m_tools->OpenRegexTester(); });
    connect(m_batchArea, &BatchTaskArea::listMergeRequested, this, [this] { m_tools->OpenListMerge(); });
    RegisterRenameTasks(*m_batchArea);
    RegisterFileTasks(*m_batchArea, [this](ListColumn column) { ShowListColumn(column); });
    m_loadTagEditor = RegisterId3Tasks(*m_batchArea, [this] { ShowListColumn(ListColumn::Attributes); });
    connect(m_batchArea, &BatchTaskArea::undoManagerRequested, this, [this] { OpenUndoManager(m_app, *m_batchArea); });

    connect(m_treeSplitter, &SplitterBar::moved, this, [this](int left) {
        m_treeWidth = left;
        LayOutMainWindow();
    });
    connect(m_taskSplitter, &SplitterBar::moved, this, [this](int left) {
        m_taskBoxWidth = std::max(0, m_client->width() - left - SplitterBar::kWidth);
        LayOutMainWindow();
    });
    // The batch task area switches its panel first (it connected first), then the
    // area takes the new panel's height.
    connect(m_taskBox, &QTreeWidget::currentItemChanged, this, [this] { LayOutMainWindow(); });

    const auto showStatus = [this](const QString& text) { UpdateStatusBar({}, {}, {}, text.toStdString()); };
    connect(m_fileList, &FileListPanel::statusMessage, this, showStatus);
    connect(m_fileList, &FileListPanel::loadFinished, this, &MainWindow::OnListLoadFinished);
    connect(m_batchArea, &BatchTaskArea::statusMessage, this, showStatus);
    // A run or an undo may have changed the rows: the count follows.
    const auto showRowCount = [this] {
        UpdateStatusBar(0, static_cast<std::int64_t>(m_app.gListRows.RowCount()), 0, std::nullopt);
    };
    connect(m_batchArea, &BatchTaskArea::runFinished, this, showRowCount);
    connect(m_batchArea, &BatchTaskArea::undoFinished, this, showRowCount);
    connect(m_statusBar, &MainStatusBar::leftButtonReleased, this, &MainWindow::ShowStatusMessageAsNotice);
    connect(m_filterBar->MoreFiltersBox(), &QCheckBox::toggled, this, &MainWindow::ShowExtendedFilters);
    connect(m_filterBar, &FilterBar::filterTextConfirmed, this, &MainWindow::ReadTreeIntoList);
    // The tree's own checked folders are walked where the tree stands.
    m_tree->SetLoadCallback([this](const std::vector<std::string>& folders) {
        if (!folders.empty()) m_fileList->TraverseFoldersIntoList(folders, false, true);
    });
    // Other loads (entering listed folders, drops) take the tree to their folder,
    // so the tree and the folder history name what the list shows.
    connect(m_fileList, &FileListPanel::showInTree, this,
            [this](const QString& folder) { m_tree->GoToPath(folder.toStdString(), true); });
    connect(m_tree, &DirectoryTreeView::currentNodeChanged, this, [this](int cause) {
        // A selection the program makes (start-up, history, up) loads nothing by itself.
        if (cause == static_cast<int>(DirectoryTreeView::SelectionCause::Program)) {
            UpdateUpButton();
        } else {
            OnTreeSelectionChanged(cause);
        }
    });
    m_fileList->SetExtendedFilterSource([this] {
        // Before the window exists the filters stay as they were (inactive).
        return m_extendedFilters ? m_extendedFilters->CurrentState() : m_app.gExtendedFilter;
    });

    CreateMenus();
    ConnectToolbar();
    m_notifier.SetDialogParent(this);
    // Where neither a tray nor the desktop shows notices, the status bar does.
    m_notifier.SetStatusFallback([this](const QString& text) { UpdateStatusBar({}, {}, {}, text.toStdString()); });

    m_updateCheckClock.setObjectName(QString::fromUtf8("时钟检查更新"));
    m_updateCheckClock.setSingleShot(true);
    m_updateCheckClock.setInterval(10000);
    connect(&m_updateCheckClock, &QTimer::timeout, this, &MainWindow::updateCheckDue);
    m_updateChecker = new UpdateChecker(std::string(ReleasePageUrl()), this);
    connect(&m_updateCheckClock, &QTimer::timeout, m_updateChecker,
            [this] { m_updateChecker->OnUpdateCheckTimer(m_updateCheckClock); });

    ShowMenuChecks();
    UpdateStatusBar(0, 0, 0, "");
    UpdateHistoryButtons();
    UpdateUpButton();
    ApplyBatchTaskAreaVisibility();
    LayOutMainWindow();
    // Every part exists now: the client's resizes lay them out.
    m_client->installEventFilter(this);
}

void MainWindow::ReportProblem(const char* what, const Error& error) {
    std::fprintf(stderr, "varnel: %s: %s%s%s\n", what, error.message.c_str(),
                 error.path.empty() ? "" : " — ", error.path.c_str());
}

std::string MainWindow::Caption() {
    return "Varnel更名(Quorva) " + CaptionVersion() + " - 多元化批量任务|本地超级搜索|资源综合管理|更多扩展辅助";
}

MainWindow::~MainWindow() {
    // A report still being built reads the list's rows: it ends before the list goes.
    delete m_report;
    m_report = nullptr;
    m_trayIcon.reset();
    m_notifier.SetStatusFallback(nullptr);
    m_notifier.SetDialogParent(nullptr);
}

void MainWindow::CreateNavigationButtons(QWidget* parent) {
    m_navigation = new QWidget(parent);
    m_navigation->setObjectName(QString::fromUtf8("地址栏"));
    auto* layout = new QHBoxLayout(m_navigation);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->setSpacing(0);
    m_upButton = NavigationButton("地址栏_向上", QStyle::SP_FileDialogToParent, m_navigation);
    m_backButton = NavigationButton("地址栏_后退", QStyle::SP_ArrowBack, m_navigation);
    m_forwardButton = NavigationButton("地址栏_前进", QStyle::SP_ArrowForward, m_navigation);
    for (QToolButton* button : {m_upButton, m_backButton, m_forwardButton}) layout->addWidget(button);
    connect(m_upButton, &QToolButton::clicked, this, &MainWindow::GoUpOneFolder);
    connect(m_backButton, &QToolButton::clicked, this, [this] { NavigateHistory(false); });
    connect(m_forwardButton, &QToolButton::clicked, this, [this] { NavigateHistory(true); });
}

QMenu* MainWindow::HelpMenu() const { return m_menus->Menu("帮助"); }

void MainWindow::CreateMenus() {
    m_menus = new MainMenus(this);
    for (QMenu* menu : m_menus->MenuBarMenus()) menuBar()->addMenu(menu);

    // The hidden 文件 menu is the list's own: its keys act while the list has the
    // focus (so Delete typed in the filter box deletes nothing), and a right click
    // on the list pops it up.
    FileListView& list = m_fileList->View();
    std::vector<QAction*> fileItems;
    CollectMenuItems(m_menus->Menu("文件"), fileItems);
    for (QAction* item : fileItems) {
        item->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        list.addAction(item);
    }
    list.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&list, &QWidget::customContextMenuRequested, this, [this, &list](const QPoint& at) {
        m_menus->Menu("文件")->popup(list.viewport()->mapToGlobal(at));
    });

    m_powerMenu = new PowerMenu(*m_menus->Menu("关闭电脑"), std::make_unique<DesktopPowerBackend>(), this);
    m_powerMenu->SetRunWarning(
        [this] { return m_app.gRunControl.IsActive() ? std::string(kRunningTaskWarning) : std::string(); });
    m_powerMenu->SetSaveSettings([this] { SaveForExit(ExitRequest::Menu); });

    ConnectMenuCommands();
}

void MainWindow::RegisterMainWindowTips() {
    static const std::pair<const char*, const char*> kTips[] = {
        {"分隔条目录树", "按住鼠标拖动可以调整目录树和列表框之间的相对宽度"},
        {"目录树", "在特定的项目上右击将弹出对应操作的菜单"},
        {"编辑框遍历层次",
         "请指定一个遍历层次（数值），该层次将决定递进子目录的深度。\r\n-1 将遍历到底，1 "
         "将遍历目录下的第 1 层文件和文件夹，2 将遍历目录下第 1 层文件夹的下一层文件和文件夹，以此类推"},
        {"选择框忽略目录", "是否忽略目录输入"},
        {"选择框忽略文件", "是否忽略文件输入"},
        {"选择框启用过滤", "是否启用过滤主引擎"},
        {"组合框主引擎",
         "过滤主引擎，分别是常规、通配符和正则。\r\n通配符号有三个，分别是 ? * |\r\n\r\n? 代表一个任意半角字符\r\n* "
         "代表任意个(包括零个)任意半角字符\r\n| 相当于逻辑上的 或，代表多个条件并行匹配，过滤多个文件类型就靠它啦"},
        {"编辑框过滤文本",
         "过滤文本。通配符号有三个，分别是 ? * |\r\n\r\n? 代表一个任意半角字符\r\n* 代表任意个(包括零个)任意半角字符\r\n| "
         "相当于逻辑上的 或，代表多个条件并行匹配，过滤多个文件类型就靠它啦"},
        {"选择框忽略大小写", "进行匹配时是否忽略英文字母的大小写格式，忽略时 A = a，否则 A ≠ a"},
        {"选择框完整匹配", "是否严格执行完整匹配。完整匹配时 abc ≠ abcd，否则 abc = abcd"},
        {"选择框取反", "是否逻辑取反匹配结果，即真时取假，假时取真。最终结果为真时才算通过。"},
        {"选择框更多过滤", "点击启动 过滤扩展引擎 对话框，以进行更加多元化的过滤控制。"},
    };
    for (const auto& [name, tip] : kTips) {
        QWidget* control = m_client->findChild<QWidget*>(QString::fromUtf8(name));
        if (control != nullptr) RegisterTooltip(control, tip);
    }
}

void MainWindow::LayOutMainWindow() {
    const MainSettings& s = m_app.gMainSettings;
    MainLayoutInput in;
    in.clientWidth = m_client->width();
    in.clientHeight = m_client->height();
    in.filterBarHeight = std::max(m_filterBar->sizeHint().height(), m_navigation->sizeHint().height());
    in.navigationWidth = m_navigation->sizeHint().width();
    in.showTree = s.showTree;
    in.treeWidth = m_treeWidth;
    in.treeSplitterWidth = SplitterBar::kWidth;
    in.showToolbar = s.showToolbar;
    in.toolbarHeight = m_toolbar->sizeHint().height();
    in.showStatusBar = s.showStatusBar;
    in.statusBarHeight = m_statusBar->sizeHint().height();
    in.showBatchTaskArea = s.showBatchTaskArea;
    in.taskBoxWidth = m_taskBoxWidth;
    in.taskSplitterWidth = SplitterBar::kWidth;
    in.batchAreaHeight = m_batchArea->Toolbar()->sizeHint().height();
    if (const QWidget* panel = m_batchArea->CurrentPanel()) in.batchAreaHeight += std::max(0, panel->sizeHint().height());
    const QSize panel = m_controlPanel->sizeHint();
    in.controlPanelWidth = panel.width();
    in.controlPanelHeight = panel.height();
    m_layout = varnel::LayOutMainWindow(in);

    Place(m_navigation, m_layout.navigation);
    Place(m_filterBar, m_layout.filterBar);
    Place(m_tree, m_layout.tree);
    Place(m_treeSplitter, m_layout.treeSplitter);
    m_tree->setVisible(m_layout.treeShown);
    m_treeSplitter->setVisible(m_layout.treeShown);
    Place(m_toolbar, m_layout.toolbar);
    m_toolbar->setVisible(m_layout.toolbarShown);
    Place(m_fileList, m_layout.list);
    if (m_layout.taskAreaShown) {
        Place(m_taskBox, m_layout.taskBox);
        Place(m_taskSplitter, m_layout.taskSplitter);
        Place(m_batchArea, m_layout.batchArea);
    }
    m_taskBox->setVisible(m_layout.taskAreaShown);
    m_taskSplitter->setVisible(m_layout.taskAreaShown);
    m_batchArea->setVisible(m_layout.taskAreaShown);
    Place(m_statusBar, m_layout.statusBar);
    m_statusBar->setVisible(m_layout.statusBarShown);
    m_statusBar->DockProgressBar(m_progressBar, kStatusMessagePart);
    Place(m_controlPanel, m_layout.controlPanel);
    m_controlPanel->raise();
}

void MainWindow::UpdateStatusBar(std::optional<std::int64_t> currentRow, std::optional<std::int64_t> rowCount,
                                 std::optional<std::int64_t> byteSize, std::optional<std::string> message) {
    if (currentRow) m_statusBar->SetPartText(0, QString::number(*currentRow));
    if (rowCount) m_statusBar->SetPartText(1, QString::number(*rowCount));
    if (byteSize) m_statusBar->SetPartText(2, QString::fromStdString(NumberToGroupedText(*byteSize)));
    if (message) m_statusBar->SetPartText(kStatusMessagePart, QString::fromStdString(*message));
    ResizeStatusParts();
}

void MainWindow::ResizeStatusParts() {
    m_statusBar->ResizeStatusParts();
    m_statusBar->DockProgressBar(m_progressBar, kStatusMessagePart);
}

QString MainWindow::StatusPartText(int part) const { return m_statusBar->PartText(part); }

void MainWindow::ShowStatusMessageAsNotice() {
    const QString message = StatusPartText(kStatusMessagePart);
    if (!message.isEmpty()) ShowTrayNotice(message.toStdString());
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // A part whose size hint changed asks its parent for a new layout: a panel that
    // grows or shrinks (the common panel's numbering group) gets its height so.
    if (watched == m_client && (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest)) {
        LayOutMainWindow();
    }
    return QMainWindow::eventFilter(watched, event);
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
        connect(m_extendedFilters, &ExtendedFilterWindow::readTreeRequested, this, &MainWindow::ReadTreeIntoList);
        // Centred once; later showings keep the place the user gave it.
        CentreOnOwner(*m_extendedFilters, this);
    }
    m_extendedFilters->show();
    m_extendedFilters->raise();
}

void MainWindow::OnMainWindowCreated() {
    // 1. The main settings file.
    m_app.gSettings->SetFile(WithTrailingSlash(SettingsFolder()) + kMainSettingsFileName);
    // 2. The directory tree.
    m_tree->RebuildTree();
    // 4. The hover tips.
    RegisterMainWindowTips();
    // 5. The main settings, the time column format and the find options, in this order.
    if (auto loaded = LoadOrSaveMainSettings(false); !loaded) {
        ReportProblem("读取设置失败", loaded.error());
    }
    m_app.gListTimeFormat = DefaultListTimeFormat();
    (void)LoadOrSaveTimeFormat(*m_app.gSettings, m_app.gListTimeFormat, false);
    (void)LoadOrSaveFindOptions(*m_app.gSettings, m_app.gFindOptions, false);
    // 7. The history buttons' tips.
    UpdateHistoryButtons();
    // 8. The filter controls follow the loaded 启用过滤.
    m_filterBar->UpdateFilterControls();
    // The batch task area comes up with the task box's current task and its settings.
    m_batchArea->BatchTaskAreaCreated();
    LayOutMainWindow();
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
    RegistryStore registry(WithTrailingSlash(SettingsFolder()) + kRegistryFileName);
    registry.WriteValue(kProgramPathKey, ProgramPath());
    // 16. The tray icon, last.
    m_trayIcon = std::make_unique<TrayIcon>(*this, HelpMenu(), m_notifier);
    m_updateCheckClock.start();
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
    // Dialogs still open keep what they hold, as they would when closed.
    if (m_timeFormatDialog != nullptr) (void)LoadOrSaveTimeFormat(*m_app.gSettings, m_app.gListTimeFormat, true);
    if (m_findDialog != nullptr) (void)LoadOrSaveFindOptions(*m_app.gSettings, m_app.gFindOptions, true);
    // The tool windows' sections go out with the main settings below, which report
    // a failed write.
    m_tools->SaveOpenWindows();
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

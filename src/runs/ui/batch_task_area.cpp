#include "runs/ui/batch_task_area.h"

#include <QLabel>
#include <QMetaMethod>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionToolButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

#include "filelist/ui/file_list_panel.h"
#include "settings/settings_binder.h"
#include "settings/ui/notice_popup.h"
#include "naming/meta_settings.h"
#include "naming/ui/meta_symbol_menu.h"
#include "platform/file_io.h"
#include "runs/ui/run_progress_bar.h"
#include "runs/ui/task_box.h"
#include "runs/ui/undo_runner.h"
#include "utilities/number_text.h"
#include "utilities/path_routines.h"
#include "utilities/ui/folder_picker.h"
#include "utilities/user_notifier.h"

namespace varnel {

namespace {

constexpr const char* kSection = "批量任务区";
constexpr const char* kChooseFolderCaption = "转移到的目录...";
constexpr const char* kInvalidFolderCaption = "指定迁移目录...";
constexpr int kDefaultAutoPreviewLimit = 20;

struct ButtonDesign {
    const char* caption;
    const char* tip;
};
constexpr ButtonDesign kButtons[kBatchToolbarButtonCount] = {
    {"预览", "预览效果能够看到正式更名后的实际物理效果，但是并非实际修改名称，因此请放心调试。"},
    {"执行", "正式开始依据选定板块的更名参数进行批量物理更名。更名后可撤销。"},
    {"撤销", "撤销上次的批量物理更名，还原到更名前的状态。可无限级撤销。"},
    {"全部", "适用于文件改名，用于指定要修改文件名的哪个部分"},
    {"转移", "是否先转移到指定目录再执行更改？"},
    {"元符", "是否启用元变量。点小箭头可弹出元变量列表，点击即可插入到编辑框中"},
    {"工具", "一些辅助批量任务的调试工具"},
};
constexpr const char* kScopeCaptions[] = {"全部", "前缀", "后缀"};

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// Qt flips a checkable item before telling of the click; the handlers here decide
// the checked state themselves, so the flip is taken back first.
void ConnectClick(QAction* action, std::function<void()> handler) {
    QObject::connect(action, &QAction::triggered, action, [action, handler = std::move(handler)] {
        if (action->isCheckable()) {
            const QSignalBlocker quiet(action);
            action->setChecked(!action->isChecked());
        }
        handler();
    });
}

// Change events of controls filled by code ask for no preview.
class PanelLoadingScope {
public:
    explicit PanelLoadingScope(RunGlobals& app) : m_app(app), m_was(app.gPanelLoading) { app.gPanelLoading = true; }
    ~PanelLoadingScope() { m_app.gPanelLoading = m_was; }
    PanelLoadingScope(const PanelLoadingScope&) = delete;
    PanelLoadingScope& operator=(const PanelLoadingScope&) = delete;

private:
    RunGlobals& m_app;
    bool m_was;
};

// The stored or chosen folder as the area keeps it (ending in "/"); nothing when
// it is not an existing folder. The root is "/".
std::optional<std::string> ValidTransferFolder(std::string_view folder) {
    if (folder.empty()) return std::nullopt;
    const std::string bare = WithoutTrailingSlash(folder);
    if (!bare.empty() && !FolderExists(bare)) return std::nullopt;
    return WithTrailingSlash(bare);
}

}  // namespace

BatchAreaServices DefaultBatchAreaServices() {
    return {
        [] { return PickFolder("请选择一个转移目录："); },
        [](InputDialogParams params) { return ShowTextInputDialog(std::move(params)); },
    };
}

BatchTaskArea::BatchTaskArea(RunGlobals& app, FileListPanel& list, TaskBox& taskBox, QWidget* parent)
    : QWidget(parent),
      m_app(app),
      m_list(list),
      m_taskBox(taskBox),
      m_services(DefaultBatchAreaServices()),
      m_dispatcher({app.gRunControl, app.gListRows, app.gTaskRegistry, &app.gUndoSpool, app.gCurrentUndoRecord,
                    app.gUndoHistory},
                   *this) {
    setObjectName("BatchTaskArea");
    setWindowTitle(QString::fromUtf8("更名板块"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    CreateMenus();
    CreateToolbar();
    m_panelHost = new QWidget(this);
    auto* panels = new QVBoxLayout(m_panelHost);
    panels->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_toolbar);
    layout->addWidget(m_panelHost);

    connect(&m_taskBox, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) {
                if (current != nullptr) TaskBoxSelectionChanged();
            });
    m_undo = new UndoRunner(m_app.gRunControl, m_list.Model(), this);
    connect(this, &BatchTaskArea::undoRequested, this, [this] { UndoBatchRun(); });
    m_taskBox.ShowAvailableTasks(m_app.gTaskRegistry);
    UpdateToolCommands();
}

BatchTaskArea::~BatchTaskArea() = default;

QAction* BatchTaskArea::AddMenuItem(QMenu* menu, const char* caption, std::function<void()> handler,
                                    bool checkable) {
    QAction* item = menu->addAction(QString::fromUtf8(caption));
    item->setObjectName(QString::fromUtf8(caption));
    item->setCheckable(checkable);
    ConnectClick(item, std::move(handler));
    return item;
}

void BatchTaskArea::CreateMenus() {
    const auto makeMenu = [this](const char* name) {
        auto* menu = new QMenu(QString::fromUtf8(name), this);
        menu->setObjectName(QString::fromUtf8(name));
        return menu;
    };
    m_scopeMenu = makeMenu("修改");
    m_scopeItems[0] = AddMenuItem(m_scopeMenu, kScopeCaptions[0], [this] { SetNameScopeWhole(); }, true);
    m_scopeItems[1] = AddMenuItem(m_scopeMenu, kScopeCaptions[1], [this] { SetNameScopeMain(); }, true);
    m_scopeItems[2] = AddMenuItem(m_scopeMenu, kScopeCaptions[2], [this] { SetNameScopeExtension(); }, true);
    m_scopeItems[0]->setChecked(true);

    m_undoMenu = makeMenu("撤销");
    m_undoManagerItem = AddMenuItem(m_undoMenu, "显示撤销记录...", [this] { emit undoManagerRequested(); });

    m_previewMenu = makeMenu("预览");
    m_autoPreview = AddMenuItem(m_previewMenu, "自动预览", [this] { ToggleAutoPreview(); }, true);
    m_autoPreview->setChecked(true);
    QMenu* limits = m_previewMenu->addMenu(QString::fromUtf8("自动预览数目"));
    limits->setObjectName(QString::fromUtf8("自动预览数目"));
    m_defaultLimit = AddMenuItem(limits, "20 条", [this] { UseDefaultAutoPreviewLimit(); }, true);
    m_customLimit = AddMenuItem(limits, "自定义数目", [this] { AskAutoPreviewLimit(); }, true);
    ShowLimitChecks();

    m_transferMenu = makeMenu("转移");
    m_chooseFolder = AddMenuItem(m_transferMenu, kChooseFolderCaption, [this] { ChooseTransferFolder(); });
    m_chooseFolder->setEnabled(false);

    m_metaMenu = new MetaSymbolMenu(m_app, this);
    m_metaSwitch = m_metaMenu->SwitchAction();
    m_metaSwitch->setObjectName(QString::fromUtf8("启用元符"));
    ConnectClick(m_metaSwitch, [this] { ToggleMetaSymbols(); });

    m_toolsMenu = makeMenu("工具");
    m_regexTesterItem = AddMenuItem(m_toolsMenu, "正则调试器", [this] { emit regexTesterRequested(); });
    m_listMergeItem = AddMenuItem(m_toolsMenu, "列表合并工具", [this] { emit listMergeRequested(); });
}

void BatchTaskArea::CreateToolbar() {
    m_toolbar = new QToolBar(this);
    m_toolbar->setObjectName(QString::fromUtf8("工具条"));
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QMenu* const menus[] = {m_previewMenu, nullptr, m_undoMenu, m_scopeMenu, m_transferMenu, m_metaMenu, m_toolsMenu};
    for (int index = 0; index < static_cast<int>(std::size(kButtons)); ++index) {
        QAction* button = m_toolbar->addAction(QString::fromUtf8(kButtons[index].caption));
        button->setObjectName(QString::fromUtf8("工具条按钮%1").arg(index));
        button->setToolTip(QString::fromUtf8(kButtons[index].tip));
        button->setCheckable(index == kTransferButton || index == kMetaSymbolsButton);
        ConnectClick(button, [this, index] { OnBatchToolbarButton(index); });
        if (menus[index] != nullptr) {
            if (auto* tool = qobject_cast<QToolButton*>(m_toolbar->widgetForAction(button))) {
                tool->setMenu(menus[index]);
                tool->setPopupMode(QToolButton::MenuButtonPopup);
                if (index == kMetaSymbolsButton) tool->installEventFilter(this);
            }
        }
        m_buttons.push_back(button);
    }
    m_buttons[kUndoButton]->setEnabled(false);
    m_buttons[kMetaSymbolsButton]->setChecked(m_metaSwitch->isChecked());
}

void BatchTaskArea::connectNotify(const QMetaMethod& signal) {
    QWidget::connectNotify(signal);
    ToolCommandsMayHaveChanged(signal);
}

void BatchTaskArea::disconnectNotify(const QMetaMethod& signal) {
    QWidget::disconnectNotify(signal);
    ToolCommandsMayHaveChanged(signal);
}

void BatchTaskArea::ToolCommandsMayHaveChanged(const QMetaMethod& signal) {
    // Qt may hold its connection lock here, so the receivers are counted later.
    if (signal == QMetaMethod::fromSignal(&BatchTaskArea::undoManagerRequested) ||
        signal == QMetaMethod::fromSignal(&BatchTaskArea::regexTesterRequested) ||
        signal == QMetaMethod::fromSignal(&BatchTaskArea::listMergeRequested)) {
        QMetaObject::invokeMethod(this, &BatchTaskArea::UpdateToolCommands, Qt::QueuedConnection);
    }
}

void BatchTaskArea::UpdateToolCommands() {
    // Before the toolbar exists (connections made while it is built) there is nothing to show.
    if (m_buttons.size() < kBatchToolbarButtonCount) return;
    const bool regexTester = isSignalConnected(QMetaMethod::fromSignal(&BatchTaskArea::regexTesterRequested));
    const bool listMerge = isSignalConnected(QMetaMethod::fromSignal(&BatchTaskArea::listMergeRequested));
    m_undoManagerItem->setEnabled(isSignalConnected(QMetaMethod::fromSignal(&BatchTaskArea::undoManagerRequested)));
    m_regexTesterItem->setEnabled(regexTester);
    m_listMergeItem->setEnabled(listMerge);
    m_buttons[kToolsButton]->setEnabled(regexTester || listMerge);
}

bool BatchTaskArea::eventFilter(QObject* watched, QEvent* event) {
    // The text input dialog pops the same menu up for its own box, so the menu is
    // prepared here, when the arrow of the 元符 button is pressed, not whenever it shows.
    auto* tool = qobject_cast<QToolButton*>(watched);
    if (tool != nullptr && event->type() == QEvent::MouseButtonPress) {
        QStyleOptionToolButton option;
        option.initFrom(tool);
        option.subControls = QStyle::SC_ToolButton | QStyle::SC_ToolButtonMenu;
        option.features = QStyleOptionToolButton::MenuButtonPopup | QStyleOptionToolButton::HasMenu;
        option.toolButtonStyle = tool->toolButtonStyle();
        option.text = tool->text();
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (tool->style()->hitTestComplexControl(QStyle::CC_ToolButton, &option, at, tool) ==
            QStyle::SC_ToolButtonMenu) {
            m_metaMenu->PrepareMetaSymbolMenu();
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool BatchTaskArea::EnterPanelFactory(int number, TaskPanelFactory factory) {
    m_factories[number] = std::move(factory);
    m_taskBox.ShowAvailableTasks(m_app.gTaskRegistry);
    return true;
}

void BatchTaskArea::BatchTaskAreaCreated() {
    PanelLoadingScope loading(m_app);
    SwitchBatchPanel();
    BatchTaskAreaSettings(false);
    // A section that cannot be read leaves the defaults; nothing to tell here.
    if (m_app.gSettings) (void)LoadOrSaveMetaSettings(*m_app.gSettings, m_app.gMetaSettings, false);
    UpdateToolCommands();
    m_created = true;
}

void BatchTaskArea::SaveSettings() {
    if (!m_created || !m_app.gSettings) return;
    BatchTaskAreaSettings(true);
    for (const auto& [task, panel] : m_panels) {
        auto* taskPanel = qobject_cast<TaskPanel*>(panel);
        if (taskPanel == nullptr) continue;
        m_app.gSettings->SelectSection(FindTaskDefinition(task)->section);
        taskPanel->LoadOrSaveSettings(*m_app.gSettings, true);
    }
}

void BatchTaskArea::BatchTaskAreaSettings(bool save) {
    if (!m_app.gSettings) return;
    SettingsStore& store = *m_app.gSettings;
    store.SelectSection(kSection);
    if (save) {
        store.WriteNumber("改名部分", static_cast<int>(m_scope));
        store.WriteBool("自动预览", m_autoPreview->isChecked());
        store.WriteNumber("预览数目", m_app.gAutoPreviewLimit);
        // The user's choice, also while the shown panel disables the button.
        store.WriteBool("是否迁移", m_buttons[kTransferButton]->isChecked());
        store.WriteText("迁移目录", m_transferFolder);
        store.WriteBool("启用元符", m_metaSwitch->isChecked());
        return;
    }
    PanelLoadingScope loading(m_app);
    const int scope = SettingsBinder::ToInteger<int>(store.ReadNumber("改名部分", 2));
    if (scope == 1) {
        SetNameScopeWhole();
    } else if (scope == 3) {
        SetNameScopeExtension();
    } else {
        SetNameScopeMain();
    }
    m_autoPreview->setChecked(store.ReadBool("自动预览", true));
    m_app.gAutoPreviewLimit =
        SettingsBinder::ToInteger<int>(store.ReadNumber("预览数目", kDefaultAutoPreviewLimit));
    m_customLimitChosen = m_app.gAutoPreviewLimit != kDefaultAutoPreviewLimit;
    ShowLimitChecks();
    // A folder that is gone since means no folder.
    const auto folder = ValidTransferFolder(store.ReadText("迁移目录", m_transferFolder));
    SetTransferFolder(folder.value_or(""), kChooseFolderCaption);
    SetTransferMode(store.ReadBool("是否迁移", false) && folder.has_value());
    m_metaSwitch->setChecked(!store.ReadBool("启用元符", true));
    ToggleMetaSymbols();
}

void BatchTaskArea::TaskBoxSelectionChanged() {
    {
        PanelLoadingScope loading(m_app);
        SwitchBatchPanel();
    }
    updateGeometry();
}

void BatchTaskArea::SwitchBatchPanel() {
    QTreeWidgetItem* item = m_taskBox.currentItem();
    // A disabled item is current only when set by code (stored settings): its task cannot run.
    const bool usable = TaskBox::TaskOf(item) != kNoTask && !item->isDisabled();
    if (!usable && m_taskBox.topLevelItemCount() > 0) {
        item = m_taskBox.topLevelItem(0);
        const QSignalBlocker quiet(&m_taskBox);
        m_taskBox.setCurrentItem(item);
    }
    const int task = TaskBox::TaskOf(item);
    m_app.gCurrentTask = task;
    const TaskDefinition* definition = FindTaskDefinition(task);
    if (definition == nullptr) return;
    if (m_currentPanel != nullptr) m_currentPanel->hide();
    m_currentPanel = PanelFor(*definition);
    m_currentPanel->show();
    ApplyPanelToolbarFlags();
    m_taskBox.setFocus();
}

QWidget* BatchTaskArea::PanelFor(const TaskDefinition& task) {
    if (const auto found = m_panels.find(task.number); found != m_panels.end()) return found->second;
    PanelLoadingScope loading(m_app);
    QWidget* panel = nullptr;
    if (const auto factory = m_factories.find(task.number); factory != m_factories.end() && factory->second) {
        if (TaskPanel* taskPanel = factory->second(m_panelHost)) {
            taskPanel->SetFlags(std::string(task.flags));
            if (m_app.gSettings) {
                m_app.gSettings->SelectSection(task.section);
                taskPanel->LoadOrSaveSettings(*m_app.gSettings, false);
            }
            connect(taskPanel, &TaskPanel::parametersChanged, this, &BatchTaskArea::RequestAutoPreview);
            connect(taskPanel, &TaskPanel::flagsChanged, this, [this, taskPanel] {
                if (m_currentPanel == taskPanel) ApplyPanelToolbarFlags();
            });
            panel = taskPanel;
        }
    }
    // A task that cannot run yet says so; one whose panel comes later shows an empty page.
    if (panel == nullptr && !m_app.gTaskRegistry.HasRunner(task.number)) {
        auto* notice = new QLabel(QString::fromUtf8(kTaskNotAvailableText), m_panelHost);
        notice->setAlignment(Qt::AlignCenter);
        panel = notice;
    }
    if (panel == nullptr) panel = new QWidget(m_panelHost);
    if (panel->objectName().isEmpty()) panel->setObjectName(Text(task.panelName));
    panel->hide();
    m_panelHost->layout()->addWidget(panel);
    m_panels[task.number] = panel;
    return panel;
}

QWidget* BatchTaskArea::LoadedPanel(int task) const {
    const auto found = m_panels.find(task);
    return found == m_panels.end() ? nullptr : found->second;
}

std::string BatchTaskArea::FlagsOf(QWidget* panel) const {
    if (auto* taskPanel = qobject_cast<TaskPanel*>(panel)) return taskPanel->Flags();
    for (const auto& [task, loaded] : m_panels) {
        if (loaded == panel) return std::string(FindTaskDefinition(task)->flags);
    }
    return {};
}

void BatchTaskArea::ApplyPanelToolbarFlags() {
    const PanelFlags flags = ParsePanelFlags(FlagsOf(m_currentPanel));
    // A task without a runner can neither preview nor execute.
    const bool runs = m_app.gTaskRegistry.HasRunner(m_app.gCurrentTask);
    m_buttons[kPreviewButton]->setEnabled(runs && !flags.previewDisabled);
    m_buttons[kExecuteButton]->setEnabled(runs);
    m_buttons[kNameScopeButton]->setEnabled(!flags.scopeDisabled);
    m_buttons[kTransferButton]->setEnabled(!flags.transferDisabled);
}

void BatchTaskArea::OnBatchToolbarButton(int index) {
    switch (index) {
        case kPreviewButton: m_dispatcher.StartPreviewRun(); break;
        case kExecuteButton: m_dispatcher.StartExecuteRun(); break;
        case kUndoButton: emit undoRequested(); break;
        case kNameScopeButton:
            if (m_scope == NameScope::Whole) {
                SetNameScopeMain();
            } else if (m_scope == NameScope::Main) {
                SetNameScopeExtension();
            } else {
                SetNameScopeWhole();
            }
            break;
        case kTransferButton: ToggleTransferMode(); break;
        case kMetaSymbolsButton: ToggleMetaSymbols(); break;
        case kToolsButton:
            if (m_regexTesterItem->isEnabled()) {
                emit regexTesterRequested();
            } else if (auto* tool = qobject_cast<QToolButton*>(m_toolbar->widgetForAction(m_buttons[kToolsButton]))) {
                tool->showMenu();
            }
            break;
        default: break;
    }
}

void BatchTaskArea::SetNameScope(NameScope scope) {
    m_scope = scope;
    const int chosen = static_cast<int>(scope) - 1;
    m_buttons[kNameScopeButton]->setText(QString::fromUtf8(kScopeCaptions[chosen]));
    for (int i = 0; i < 3; ++i) m_scopeItems[i]->setChecked(i == chosen);
    RequestAutoPreview();
}

void BatchTaskArea::SetNameScopeWhole() { SetNameScope(NameScope::Whole); }
void BatchTaskArea::SetNameScopeMain() { SetNameScope(NameScope::Main); }
void BatchTaskArea::SetNameScopeExtension() { SetNameScope(NameScope::Extension); }

bool BatchTaskArea::TransferModeOn() const { return m_buttons[kTransferButton]->isChecked() && m_buttons[kTransferButton]->isEnabled(); }

void BatchTaskArea::SetTransferMode(bool on) {
    m_buttons[kTransferButton]->setChecked(on);
    m_chooseFolder->setEnabled(on);
}

void BatchTaskArea::SetTransferFolder(std::string folder, const char* captionWithout) {
    m_transferFolder = std::move(folder);
    m_chooseFolder->setText(m_transferFolder.empty() ? QString::fromUtf8(captionWithout)
                                                     : QString::fromStdString(m_transferFolder));
}

void BatchTaskArea::ToggleTransferMode() {
    if (m_buttons[kTransferButton]->isChecked()) {
        SetTransferMode(false);
    } else {
        SetTransferMode(true);
        if (m_transferFolder.empty()) {
            ChooseTransferFolder();
            return;
        }
    }
    RequestAutoPreview();
}

void BatchTaskArea::ChooseTransferFolder() {
    const std::string chosen = m_services.pickTransferFolder ? m_services.pickTransferFolder() : std::string();
    if (chosen.empty()) {
        if (m_transferFolder.empty()) SetTransferMode(false);
        return;
    }
    if (const auto folder = ValidTransferFolder(chosen)) {
        SetTransferFolder(*folder, kChooseFolderCaption);
        RequestAutoPreview();
        return;
    }
    SetTransferFolder("", kInvalidFolderCaption);
    SetTransferMode(false);
    ShowTrayNotice("您选择的文件夹无效！");
}

void BatchTaskArea::ToggleMetaSymbols() {
    const bool on = !m_metaSwitch->isChecked();
    m_metaSwitch->setChecked(on);  // the menu mirrors it into gMetaSymbolsEnabled
    m_buttons[kMetaSymbolsButton]->setChecked(on);
    RequestAutoPreview();
}

void BatchTaskArea::ToggleAutoPreview() { m_autoPreview->setChecked(!m_autoPreview->isChecked()); }

void BatchTaskArea::ShowLimitChecks() {
    m_defaultLimit->setChecked(!m_customLimitChosen);
    m_customLimit->setChecked(m_customLimitChosen);
}

void BatchTaskArea::UseDefaultAutoPreviewLimit() {
    m_app.gAutoPreviewLimit = kDefaultAutoPreviewLimit;
    m_customLimitChosen = false;
    ShowLimitChecks();
}

void BatchTaskArea::AskAutoPreviewLimit() {
    InputDialogParams params;
    params.initialText = std::to_string(m_app.gAutoPreviewLimit);
    params.prompt = "请输入将自动预览的数目：";
    params.inputHeight = 100;
    params.ownerWindow = window();
    const InputDialogResult answer = m_services.askText ? m_services.askText(std::move(params)) : InputDialogResult{};
    if (answer.confirmed) {
        m_app.gAutoPreviewLimit = SettingsBinder::ToInteger<int>(TextToNumber(answer.text));
        m_customLimitChosen = true;
    }
    ShowLimitChecks();
}

void BatchTaskArea::RequestAutoPreview() { m_dispatcher.RequestAutoPreview(); }

void BatchTaskArea::UpdateUndoButton() { m_buttons[kUndoButton]->setEnabled(!m_app.gUndoHistory.empty()); }

RunSettings BatchTaskArea::CurrentRunSettings() const {
    RunSettings settings;
    settings.nameScope = m_scope;
    settings.transferMode = TransferModeOn();
    settings.transferFolder = m_transferFolder;
    settings.metaSymbols = m_metaSwitch->isChecked();
    settings.meta = m_app.gMetaSettings;
    settings.autoPreviewLimit = m_app.gAutoPreviewLimit;
    return settings;
}

void BatchTaskArea::PostToUiThread(std::function<void()> work) {
    QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
}

std::optional<RunRequest> BatchTaskArea::CollectRunRequest(RunMode mode) {
    RunRequest request;
    request.task = m_app.gCurrentTask;
    request.settings = CurrentRunSettings();
    if (auto* panel = qobject_cast<TaskPanel*>(m_currentPanel)) {
        std::optional<TaskParameters> parameters = panel->CollectParameters(mode);
        if (!parameters) return std::nullopt;
        request.parameters = std::move(*parameters);
    }
    return request;
}

bool BatchTaskArea::AutoPreviewEnabled() const { return m_autoPreview->isChecked(); }

bool BatchTaskArea::PanelLoading() const { return m_app.gPanelLoading; }

void BatchTaskArea::RunStarted(RunMode mode, std::size_t rowCount) {
    if (mode != RunMode::Execute) return;
    // Nothing in the area can be used until the run's result is in.
    setEnabled(false);
    if (m_progressBar != nullptr) m_progressBar->Start(rowCount);
}

void BatchTaskArea::ShowRunStatus(const std::string& text) { emit statusMessage(QString::fromStdString(text)); }

void BatchTaskArea::PublishRun(const RunOutcome& outcome) {
    // The run's last changed rows show now, not at the next batch.
    m_list.Model().FlushChangedCells();
    if (outcome.mode == RunMode::Execute) {
        m_lastRunStatus = outcome.statusText;
        if (m_progressBar != nullptr) m_progressBar->Stop();
        setEnabled(true);
        UpdateUndoButton();
    }
    if (!outcome.statusText.empty()) emit statusMessage(QString::fromStdString(outcome.statusText));
    if (outcome.closing) return;
    if (outcome.fitColumns && m_app.gMainSettings.autoFitColumns) m_list.View().AutoSizeFileListColumns();
    if (!outcome.failedPaths.empty()) ShowRunFailures(outcome.failedPaths, outcome.failureReasons);
    // Told once the task has ended, which happens right after this.
    QMetaObject::invokeMethod(this, [this] { emit runFinished(); }, Qt::QueuedConnection);
}

void BatchTaskArea::ShowRunFailures(std::vector<std::string> failedPaths, const std::vector<std::string>& reasons) {
    std::string message = FailureNoticeMessage(failedPaths, reasons);
    ShowFailureNotice(kFailureNoticeTitle, std::move(message), std::move(failedPaths));
}

bool BatchTaskArea::UndoBatchRun(int recordNumber) {
    std::vector<UndoRecord>& history = m_app.gUndoHistory;
    if (history.empty() || recordNumber < 0 || static_cast<std::size_t>(recordNumber) > history.size()) return false;
    if (!BeginOrEndTask(m_app.gRunControl, TaskKind::Undo)) return false;
    std::optional<UndoRecord> record = TakeUndoRecord(history, recordNumber);
    UpdateUndoButton();
    emit statusMessage(QString::fromUtf8(kUndoStartedText));
    UndoHooks hooks;
    hooks.families = m_app.gUndoFamilies;
    m_undo->Start(std::move(*record), m_list.CurrentLoadSettings(), m_list.ControlHeld(), std::move(hooks),
                  [this](UndoRecord replayed, UndoOutcome outcome) { FinishUndo(std::move(replayed), outcome); });
    return true;
}

void BatchTaskArea::FinishUndo(UndoRecord record, const UndoOutcome& outcome) {
    m_app.gCurrentUndoRecord = std::move(record);
    emit statusMessage(QString::fromStdString(UndoStatusText(outcome)));
    if (m_app.gMainSettings.autoFitColumns) m_list.View().AutoSizeFileListColumns();
    if (!outcome.failedPaths.empty()) {
        ShowFailureNotice(kUndoFailureTitle, UndoFailureMessage(outcome.failedPaths, outcome.failureReasons),
                          outcome.failedPaths);
    }
    emit undoFinished();
}

void BatchTaskArea::ShowFailureNotice(const char* title, std::string message, std::vector<std::string> failedPaths) {
    NoticePopupParams params;
    params.title = title;
    params.message = std::move(message);
    NoticeLink link;
    link.caption = kFailureNoticeLink;
    // The notice keeps its own copy: a later run does not change what it loads.
    auto paths = std::make_shared<const std::vector<std::string>>(std::move(failedPaths));
    QPointer<FileListPanel> list(&m_list);
    link.callback = [list, paths](int) {
        if (list) ReimportFailedPaths(*list, *paths);
    };
    params.links.push_back(std::move(link));
    ShowNoticePopup(std::move(params));
}

void ReimportFailedPaths(FileListPanel& list, const std::vector<std::string>& failedPaths) {
    list.ImportPathList(failedPaths);
}

}  // namespace varnel

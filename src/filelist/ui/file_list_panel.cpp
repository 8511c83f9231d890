#include "filelist/ui/file_list_panel.h"

#include <QApplication>
#include <QCursor>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QGuiApplication>

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <QVBoxLayout>

#include "filelist/list_formatting.h"
#include "utilities/attribute_names.h"
#include "utilities/path_routines.h"
#include "utilities/run_control.h"
#include "platform/shell_open.h"
#include "utilities/user_notifier.h"
#include "utilities/utf8_text.h"

namespace varnel {

namespace {

ColumnMask ShownColumns(const MainSettings& s) {
    ColumnMask mask = 0;
    if (s.columnSize) mask |= ColumnBit(ListColumn::Size);
    if (s.columnType) mask |= ColumnBit(ListColumn::Type);
    if (s.columnAttributes) mask |= ColumnBit(ListColumn::Attributes);
    if (s.columnCreated) mask |= ColumnBit(ListColumn::Created);
    if (s.columnModified) mask |= ColumnBit(ListColumn::Modified);
    if (s.columnAccessed) mask |= ColumnBit(ListColumn::Accessed);
    return mask;
}

}  // namespace

FileListPanel::FileListPanel(ListGlobals& app, FilterBar& filterBar, QWidget* parent)
    : QWidget(parent),
      m_app(app),
      m_filterBar(filterBar),
      m_model(app.gListRows),
      m_runner(app.gRunControl, m_model),
      m_modifiers([] { return QGuiApplication::keyboardModifiers(); }) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_view = new FileListView(m_model, this);
    layout->addWidget(m_view);

    // The typed cells are written with the list's own formats when shown.
    const TimeFormat* timeFormat = &m_app.gListTimeFormat;
    m_app.gListRows.SetFormatters({
        [](std::int64_t size) { return FormatByteSize(static_cast<double>(size)); },
        [](std::string_view extension) { return GetFileTypeDescription(extension); },
        [](std::uint32_t attributes) { return FormatAttributeNames(attributes); },
        [timeFormat](double when) { return FormatDateTimeByRule(when, *timeFormat); },
    });

    connect(&m_runner, &ListLoadRunner::finished, this, &FileListPanel::LoadFinished);
    connect(&m_runner, &ListLoadRunner::progress, this, [this](qint64 rows) {
        emit statusMessage(QString::fromUtf8("正在载入… %1").arg(rows));
    });
    // A failed edit's message speaks of the list as it was: the next change of the
    // list takes it away, unless another message has replaced it already.
    connect(this, &FileListPanel::statusMessage, this, [this] { m_editStatusShown = false; });
    connect(&m_model, &FileListModel::renameFailed, this, [this](const QString& text) {
        emit statusMessage(text);
        m_editStatusShown = true;
    });
    const auto clearEditStatus = [this] {
        if (!m_editStatusShown) return;
        m_editStatusShown = false;
        emit statusMessage(QString());
    };
    connect(&m_model, &QAbstractItemModel::modelReset, this, clearEditStatus);
    connect(&m_model, &QAbstractItemModel::rowsInserted, this, clearEditStatus);
    connect(&m_model, &QAbstractItemModel::rowsRemoved, this, clearEditStatus);
    connect(&m_model, &QAbstractItemModel::layoutChanged, this, clearEditStatus);
    connect(&m_model, &QAbstractItemModel::dataChanged, this, clearEditStatus);
    m_view->horizontalHeader()->setSectionsClickable(true);
    connect(m_view->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        m_app.gSortColumn = column;
        emit sortMenuRequested(column, QCursor::pos());
    });
    connect(m_view, &QAbstractItemView::doubleClicked, this, [this] {
        if (m_app.gMainSettings.doubleClickOpensFolder) {
            emit openRequested();
        } else {
            EnterSelectedFolders();
        }
    });
}

FileListPanel::~FileListPanel() {
    // A sort still under way is finished, so that its hold on the list ends.
    if (m_sorting) m_sort.FinishNow();
}

void FileListPanel::SortFileList(SortKind kind, int numericSortGroup) {
    if (!EnsureNoTaskRunning(m_app.gRunControl)) return;
    m_app.gSortAscending = !m_app.gSortAscending;
    m_model.SyncRowCount();
    const std::size_t rows = m_app.gListRows.RowCount();
    if (rows == 0) return;
    const int column = std::clamp(m_app.gSortColumn, 0, kListColumnCount - 1);
    const bool ascending = m_app.gSortAscending;
    m_model.SetSortMark(column, ascending);
    // A small list is sorted at once. A large one is sorted on a worker while the
    // window goes on answering and says what it does; the list is held as it is
    // meanwhile (no task, load or row action starts), and the new order is put in
    // place in one step on the window's thread.
    constexpr std::size_t kRowsWorthAWorker = 50'000;
    if (rows < kRowsWorthAWorker) {
        m_model.ApplyRowOrder(ListSorter::SortOrder(m_app.gListRows, column, ascending, kind, numericSortGroup));
        SortApplied();
        return;
    }
    if (!m_app.gRunControl.TryBegin(TaskKind::ListAction)) return;
    m_sorting = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    emit statusMessage(QString::fromUtf8("正在排序 %1 项…").arg(rows));
    const auto started = std::chrono::steady_clock::now();
    const RowStore& store = m_app.gListRows;
    m_sort.Start([this, &store, column, ascending, kind, numericSortGroup, rows,
                  started](std::stop_token) -> JobRunner::Publish {
        auto order = std::make_shared<std::vector<std::uint32_t>>(
            ListSorter::SortOrder(store, column, ascending, kind, numericSortGroup));
        return [this, order, rows, started] {
            m_model.ApplyRowOrder(std::move(*order));
            m_sorting = false;
            m_app.gRunControl.End();
            QApplication::restoreOverrideCursor();
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
            emit statusMessage(QString::fromUtf8("排序完成，共 %1 项，用时 %2 秒").arg(rows).arg(seconds, 0, 'f', 2));
            SortApplied();
        };
    });
}

void FileListPanel::SortApplied() {
    // The rows shown after the sort are those around the current row: the columns
    // are fitted to them, not to the rows that were in view before.
    if (const QModelIndex current = m_view->currentIndex(); current.isValid()) m_view->scrollTo(current);
    if (m_app.gMainSettings.autoFitColumns) m_view->AutoSizeFileListColumns();
}

void FileListPanel::FindInList(const FindOptions& options) {
    m_model.SyncRowCount();
    const QModelIndex current = m_view->currentIndex();
    std::optional<std::size_t> currentRow;
    if (current.isValid()) currentRow = static_cast<std::size_t>(current.row());
    const FindOutcome outcome = m_app.gListFinder.SearchListForText(m_app.gListRows, options, currentRow);
    if (outcome.kind == FindOutcome::Kind::Found && outcome.row < static_cast<std::size_t>(m_model.rowCount())) {
        QItemSelectionModel* selection = m_view->selectionModel();
        if (current.isValid()) selection->select(current, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
        const QModelIndex hit = m_model.index(static_cast<int>(outcome.row), 0);
        selection->setCurrentIndex(hit, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        m_view->scrollTo(hit);
    }
    ShowTrayNotice(FindOutcomeNotice(outcome, options));
}

void FileListPanel::LoadFinished(const QString& status) {
    const LoadStart finished = std::move(m_current);
    m_current = {};
    if (m_app.gMainSettings.autoFitColumns) m_view->AutoSizeFileListColumns();
    emit statusMessage(finished.status.empty() ? status : QString::fromStdString(finished.status));
    const LoadReport& report = m_runner.LastReport();
    if (!report.failures.empty()) ShowTrayNotice(LoadFailureNotice(report.failures), kLoadFailureTitle);
    if (!finished.treeFolder.empty()) {
        emit showInTree(QString::fromStdString(finished.treeFolder));
    } else if (finished.followWalk && !report.walkedFolder.empty()) {
        emit showInTree(QString::fromStdString(report.walkedFolder));
    }
    emit loadFinished(finished.recordHistory);
    if (!m_runner.FilterProblem().isEmpty()) ShowMessageBox(m_runner.FilterProblem().toStdString());
    // A column shown while the load ran fills for its rows now.
    if (m_fillPending) FillShownColumns();
}

void FileListPanel::ApplyColumnChecks() {
    const MainSettings& s = m_app.gMainSettings;
    const bool shown[kListColumnCount] = {true,           s.columnPreview,  s.columnSize,
                                          s.columnType,   s.columnAttributes, s.columnCreated,
                                          s.columnModified, s.columnAccessed, s.columnFolder};
    bool newlyShown = false;
    // The name column is always shown.
    for (int column = ColumnIndex(ListColumn::Preview); column < kListColumnCount; ++column) {
        newlyShown = newlyShown || (shown[column] && !m_view->IsColumnShown(column));
        m_view->ToggleListColumn(column, shown[column]);
    }
    if (newlyShown) FillShownColumns();
    m_model.Icons().SetSource(s.builtInIcons ? FileListIcons::Source::BuiltIn : FileListIcons::Source::System);
    m_view->SetIconSize(s.largeIcons);
}

void FileListPanel::FillShownColumns() {
    m_fillPending = false;
    // A running load lists its rows with the columns it started with; it goes on,
    // and its rows are filled after it.
    if (m_runner.IsRunning()) {
        m_fillPending = true;
        return;
    }
    const ColumnMask columns = ShownColumns(m_app.gMainSettings);
    std::vector<RowStore::RowId> lacking = m_app.gListRows.ShowColumnsForLoadedRows(columns);
    m_view->viewport()->update();
    if (lacking.empty()) return;
    LoadStart how;
    how.filtersUsed = false;
    how.recordHistory = false;
    how.keepRows = true;
    Start([lacking = std::move(lacking), columns](ListLoad& load) { load.FillColumns(lacking, columns); },
          std::move(how));
}

ListLoadSettings FileListPanel::CurrentLoadSettings() const {
    ListLoadSettings settings;
    settings.columns = ShownColumns(m_app.gMainSettings);
    settings.nameFilter = m_filterBar.CurrentNameFilter();
    settings.walk = m_filterBar.CurrentWalkOptions();
    if (m_extendedSource) m_app.gExtendedFilter = m_extendedSource();
    settings.extended = m_app.gExtendedFilter;
    settings.shortcutTargetExists = m_app.gShortcutTargetExists;
    return settings;
}

bool FileListPanel::Start(ListLoadRunner::Job job, LoadStart how) {
    m_refusal.clear();
    ListLoadSettings settings = CurrentLoadSettings();
    if (how.filtersUsed) {
        // A pattern that does not compile would silently match nothing: say so instead.
        if (auto valid = FileFilter::Validate(settings.nameFilter); !valid) {
            m_refusal = QString::fromUtf8("过滤文本无效：%1").arg(QString::fromStdString(valid.error().message));
            ShowMessageBox(m_refusal.toStdString());
            return false;
        }
    }
    // Ctrl held when the load starts keeps the rows already listed.
    const bool append = how.keepRows || ControlHeld();
    // A load that replaces a running one takes over its pending column fill.
    const bool fillPending = m_fillPending;
    if (!m_runner.Start(std::move(job), std::move(settings), append)) {
        m_refusal = QString::fromUtf8(kTaskBusyNotice);
        ShowTrayNotice(kTaskBusyNotice);
        return false;
    }
    m_fillPending = fillPending && append;
    m_current = std::move(how);
    return true;
}

bool FileListPanel::LoadPathsIntoList(std::vector<std::string> paths, bool bypassFilters, std::string status) {
    LoadStart how;
    how.filtersUsed = !bypassFilters;
    how.status = std::move(status);
    return Start([paths = std::move(paths), bypassFilters](ListLoad& load) { load.LoadPaths(paths, bypassFilters); },
                 std::move(how));
}

bool FileListPanel::ImportPathList(std::vector<std::string> lines) {
    return Start([lines = std::move(lines)](ListLoad& load) { load.ImportPathList(lines); }, LoadStart{});
}

bool FileListPanel::TraverseFoldersIntoList(std::vector<std::string> folders, bool noHistory,
                                            bool keepTreeSelection) {
    LoadStart how;
    how.recordHistory = !noHistory;
    how.followWalk = !keepTreeSelection;
    return Start([folders = std::move(folders)](ListLoad& load) { load.TraverseFolders(folders); }, std::move(how));
}

void FileListPanel::OnPathDropped(const std::string& folder, const std::string& name, std::size_t,
                                  std::size_t total) {
    m_droppedPaths.push_back(folder + name);
    m_dropFolder = folder;
    if (m_droppedPaths.size() < total) return;
    std::vector<std::string> paths = std::move(m_droppedPaths);
    m_droppedPaths.clear();
    LoadStart how;
    if (!m_app.gMainSettings.dropByWalkSettings) {
        // Each dropped path is one row; the tree shows where they were dropped from.
        how.treeFolder = m_dropFolder;
        Start([paths = std::move(paths)](ListLoad& load) { load.LoadPaths(paths, false); }, std::move(how));
    } else {
        how.followWalk = true;
        Start([paths = std::move(paths)](ListLoad& load) { load.LoadDroppedPaths(paths); }, std::move(how));
    }
}

void FileListPanel::SelectRowsByFilters() {
    const NameFilter nameFilter = m_filterBar.CurrentNameFilter();
    const ExtendedFilterState extended = m_extendedSource ? m_extendedSource() : ExtendedFilterState{};
    FileFilter filter;
    const bool needAttributes = extended.attrEnabled || (extended.typeEnabled && !extended.typeFiles && extended.typeStrict);
    RowStore& rows = m_app.gListRows;
    std::size_t undecided = 0;
    std::optional<Error> firstError;
    m_view->SetListSelection(FileListView::SelectionMode::ByFilters, [&](std::size_t row) {
        const std::string name = rows.Name(row);
        const auto passes = filter.MatchText(name, nameFilter);
        if (!passes) {
            // Not selected, and not silently: the user learns which test failed.
            if (!firstError) firstError = passes.error();
            ++undecided;
            return false;
        }
        if (!*passes) return false;
        if (!extended.active) return true;
        const std::string path = rows.FullPath(row);
        return PassesExtendedFilters(extended, path, name, ReadEntryFacts(path, needAttributes),
                                     m_app.gShortcutTargetExists);
    });
    if (firstError) {
        ShowMessageBox("有 " + std::to_string(undecided) + " 个名称无法判断是否符合过滤条件，未选中：" +
                       firstError->message);
    }
}

bool FileListPanel::ShowFolderStatistics(const std::string& folder) {
    if (folder.empty() || !m_app.gRunControl.TryBegin(TaskKind::Statistics)) {
        if (!folder.empty()) ShowTrayNotice(kTaskBusyNotice);
        return false;
    }
    // The notice of a count that ended just before still comes first.
    m_statistics.FinishNow();
    emit statusMessage(QString::fromUtf8("正在统计中，请稍后...您可以随时终止它(仅统计已经捕获到的数据)"));
    WalkOptions options = m_filterBar.CurrentWalkOptions();
    options.countOnly = true;
    const std::string depthText = m_filterBar.DepthText().toStdString();
    RunControl& control = m_app.gRunControl;
    m_statistics.Start([this, folder, options, depthText, &control](std::stop_token) -> JobRunner::Publish {
        const auto start = std::chrono::steady_clock::now();
        WalkCounts counts;
        // A stop keeps the counts so far.
        WalkFolder(folder, options, [&](const WalkEntry&) { return control.PollTaskContinue(); }, counts);
        const double elapsed =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        control.End();
        std::string notice = folder + "\r\n\r\n总共有 " + std::to_string(counts.files + counts.folders) +
                             " 个文件和文件夹\r\n\r\n其中文件 " + std::to_string(counts.files) + " 个，文件夹 " +
                             std::to_string(counts.folders) + " 个\r\n\r\n遍历层次：" + depthText +
                             "\r\n\r\n耗费 " + FormatDuration(elapsed);
        return [this, notice = std::move(notice)] {
            ShowTrayNotice(notice);
            emit statusMessage(QString());
        };
    });
    return true;
}

void FileListPanel::EnterSelectedFolders() {
    std::vector<std::string> folders;
    for (const QModelIndex& index : m_view->selectionModel()->selectedRows()) {
        const auto row = static_cast<std::size_t>(index.row());
        const auto facts = m_app.gListRows.Facts(row);
        if (facts && facts->isFolder) {
            folders.push_back(m_app.gListRows.FullPath(row));
        } else {
            OpenWithShell(m_app.gListRows.FullPath(row));
        }
    }
    if (!folders.empty()) TraverseFoldersIntoList(std::move(folders));
}

}  // namespace varnel

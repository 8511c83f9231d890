// One list load: paths and folder walks turned into rows of the row store, through
// the name filter and the extended filters, reading about each entry only what the
// shown columns and the enabled tests need. Runs on a worker thread; the checkpoint
// of the run control is polled after every entry, so stop and pause work.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "filelist/extended_filters.h"
#include "filelist/file_filter.h"
#include "fileops/folder_walk.h"
#include "filelist/row_store.h"
#include "platform/posix_api.h"
#include "utilities/run_control.h"

namespace varnel {

// Everything a load reads from the window, taken once when it starts.
struct ListLoadSettings {
    ColumnMask columns = 0;  // the optional columns shown (size, type, attributes, times)
    NameFilter nameFilter;
    ExtendedFilterState extended;  // applied while extended.active
    WalkOptions walk;
    // Whether a shortcut's target exists; nothing when the shortcut cannot be read.
    std::function<std::optional<bool>(std::string_view path)> shortcutTargetExists;
};

// A path a load could not list: a folder it could not read, or a path given to it
// that could not be read (most often because it does not exist).
struct LoadFailure {
    std::string path;
    int error = 0;  // errno
};

// What a load has to tell besides its rows.
struct LoadReport {
    std::vector<LoadFailure> failures;
    // The first folder a walk set out from ("" when the load walked none).
    std::string walkedFolder;
};

class ListLoad {
public:
    ListLoad(RowStore& store, ListLoadSettings settings, RunControl& control, PosixApi& os = SystemPosix());

    // Adds one row for path unless a filter rejects it (bypassFilters skips them).
    // An empty name means the path's own file name. isFolder, when the caller knows
    // it, spares reading the path when no column or filter needs more; when it does
    // not, a path that cannot be read (missing, or refused) adds no row and is
    // entered in the report. True when a row was added.
    bool AddPathToFileList(const std::string& path, std::string_view name = {}, bool bypassFilters = false,
                           std::optional<bool> isFolder = std::nullopt);

    // Each path becomes one row; folders are not entered. False when stopped.
    bool LoadPaths(const std::vector<std::string>& paths, bool bypassFilters);
    // Walks each folder in turn with the walk options. False when stopped.
    bool TraverseFolders(const std::vector<std::string>& folders);
    // A drop in walk mode: the dropped files from the last to the first, then the
    // dropped folders walked in drop order. False when stopped.
    bool LoadDroppedPaths(std::vector<std::string> paths);
    // A path list: each line (its bytes as read, see ResolveListedPath) becomes one
    // row through the filters; empty lines are passed over, and a line naming
    // nothing goes into the report, so the user learns how many. False when stopped.
    bool ImportPathList(const std::vector<std::string>& lines);

    // Reads what `columns` show for rows listed before those columns were (the
    // rows that RowStore::ShowColumnsForLoadedRows left lacking), and shows them.
    // Rows gone meanwhile are skipped. False when stopped.
    bool FillColumns(const std::vector<RowStore::RowId>& rows, ColumnMask columns);

    std::size_t RowsAdded() const { return m_rowsAdded; }
    // The names the name filter could not decide on (the engine's limits) were left
    // out: how many, and the first error; the load's caller tells the user.
    std::size_t FilterErrorCount() const { return m_filterErrorCount; }
    const std::optional<Error>& FilterError() const { return m_filterError; }
    const LoadReport& Report() const { return m_report; }
    LoadReport TakeReport() { return std::move(m_report); }

private:
    struct Needs {
        bool stat = false;
        bool attributes = false;
    };
    bool AddEntry(std::string_view folder, std::string_view name, int dirFd, std::optional<bool> isFolder,
                  bool bypassFilters);
    bool Checkpoint();

    RowStore& m_store;
    ListLoadSettings m_settings;
    RunControl& m_control;
    PosixApi& m_os;
    FileFilter m_filter;
    Needs m_rowNeeds;
    Needs m_filterNeeds;
    std::size_t m_rowsAdded = 0;
    std::size_t m_filterErrorCount = 0;
    std::optional<Error> m_filterError;
    LoadReport m_report;
};

// What the extended filters test about a path, read from the file system now.
EntryFacts ReadEntryFacts(const std::string& path, bool withAttributes, PosixApi& os = SystemPosix());

// What to tell the user after a load whose name filter could not decide on some
// names; empty when it decided on all.
// The path one line of an imported list names: the line's own bytes when they name
// something; else the path of a "file://" line (how exported lists write names
// holding a line break); else the line read as GBK when that names something (lists
// written by older tools); else the line itself, which then names nothing.
std::string ResolveListedPath(const std::string& line, const std::function<bool(const std::string&)>& exists);

std::string FilterProblemText(const ListLoad& load);

// The status line after a load: what could not be loaded, when anything, then the
// total time and the time per row of the list.
std::string LoadStatusText(double elapsedMilliseconds, std::size_t rowCount,
                           const std::vector<LoadFailure>& failures = {});
// The notice that lists what a load could not read, with the system's reasons; the
// first `listed` paths are named.
std::string LoadFailureNotice(const std::vector<LoadFailure>& failures, std::size_t listed = 10);
inline constexpr const char* kLoadFailureTitle = "载入失败";

}  // namespace varnel

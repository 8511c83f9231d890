#include "filelist/list_load.h"

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>

#include "platform/dos_attributes.h"
#include "platform/file_io.h"
#include "utilities/local_time.h"
#include "utilities/path_routines.h"

namespace varnel {

namespace {

std::optional<double> LocalTime(const struct statx_timestamp& stamp) {
    return UnixTimeToLocalOleDate(stamp.tv_sec);
}

double OrNoTime(const std::optional<double>& value) { return value.value_or(kNoTime); }

// Size, kind and times of an entry. Facts follow a symbolic link to what it points
// at; a broken link keeps its own.
void StatEntry(PosixApi& os, int base, const char* target, std::optional<bool> knownFolder, EntryFacts& facts) {
    struct statx info {};
    const unsigned mask = STATX_TYPE | STATX_SIZE | STATX_ATIME | STATX_MTIME | STATX_BTIME;
    if (os.Statx(base, target, AT_STATX_SYNC_AS_STAT, mask, &info) != 0 &&
        os.Statx(base, target, AT_SYMLINK_NOFOLLOW | AT_STATX_SYNC_AS_STAT, mask, &info) != 0) {
        return;
    }
    facts.isFolder = knownFolder.value_or(S_ISDIR(info.stx_mode));
    facts.size = facts.isFolder ? 0 : static_cast<std::int64_t>(info.stx_size);
    if (info.stx_mask & STATX_BTIME) facts.created = LocalTime(info.stx_btime);
    facts.modified = LocalTime(info.stx_mtime);
    facts.accessed = LocalTime(info.stx_atime);
}

}  // namespace

EntryFacts ReadEntryFacts(const std::string& path, bool withAttributes, PosixApi& os) {
    EntryFacts facts;
    StatEntry(os, AT_FDCWD, path.c_str(), std::nullopt, facts);
    if (withAttributes) {
        if (auto attributes = GetAttributesOfFile(path, os)) facts.attributes = *attributes;
    }
    return facts;
}

ListLoad::ListLoad(RowStore& store, ListLoadSettings settings, RunControl& control, PosixApi& os)
    : m_store(store), m_settings(std::move(settings)), m_control(control), m_os(os) {
    const ColumnMask c = m_settings.columns;
    m_rowNeeds.stat = (c & (ColumnBit(ListColumn::Size) | ColumnBit(ListColumn::Created) |
                            ColumnBit(ListColumn::Modified) | ColumnBit(ListColumn::Accessed))) != 0;
    m_rowNeeds.attributes = (c & ColumnBit(ListColumn::Attributes)) != 0;
    const ExtendedFilterState& x = m_settings.extended;
    if (x.active) {
        m_filterNeeds.stat = x.sizeEnabled || x.dateEnabled;
        m_filterNeeds.attributes = x.attrEnabled || (x.typeEnabled && !x.typeFiles && x.typeStrict);
    }
}

bool ListLoad::Checkpoint() {
    ++m_control.currentRow;
    return m_control.PollTaskContinue();
}

bool ListLoad::AddEntry(std::string_view folder, std::string_view name, int dirFd,
                        std::optional<bool> isFolder, bool bypassFilters) {
    if (!bypassFilters) {
        const auto passes = m_filter.MatchText(name, m_settings.nameFilter);
        if (!passes) {
            // Neither in nor out: the entry is left out and the load says why.
            if (!m_filterError) m_filterError = passes.error();
            ++m_filterErrorCount;
            return false;
        }
        if (!*passes) return false;
    }

    const bool extended = !bypassFilters && m_settings.extended.active;
    const bool needStat = m_rowNeeds.stat || (extended && m_filterNeeds.stat) || !isFolder.has_value();
    const bool needAttributes = m_rowNeeds.attributes || (extended && m_filterNeeds.attributes);
    // The full path is built only for what needs it, not for every entry of a walk.
    std::string path;
    const auto fullPath = [&]() -> const std::string& {
        if (path.empty()) path = std::string(folder) + std::string(name);
        return path;
    };

    EntryFacts facts;
    facts.isFolder = isFolder.value_or(false);
    if (needStat) {
        const std::string relative(name);
        StatEntry(m_os, dirFd >= 0 ? dirFd : AT_FDCWD, dirFd >= 0 ? relative.c_str() : fullPath().c_str(),
                  isFolder, facts);
    }
    if (needAttributes) {
        if (auto attributes = GetAttributesOfFile(fullPath(), m_os)) facts.attributes = *attributes;
    }
    if (extended &&
        !PassesExtendedFilters(m_settings.extended, fullPath(), name, facts, m_settings.shortcutTargetExists)) {
        return false;
    }

    RowFacts row;
    row.isFolder = facts.isFolder;
    row.size = facts.size;
    row.attributes = facts.attributes;
    row.created = OrNoTime(facts.created);
    row.modified = OrNoTime(facts.modified);
    row.accessed = OrNoTime(facts.accessed);
    m_store.AppendRow(folder, name, row, m_settings.columns);
    ++m_rowsAdded;
    return true;
}

bool ListLoad::AddPathToFileList(const std::string& path, std::string_view name, bool bypassFilters,
                                 std::optional<bool> isFolder) {
    const std::string ownName = name.empty() ? GetFileNameOfPath(path) : std::string(name);
    std::string folder = GetParentOfPath(path);
    folder = AdjustTrailingBackslash(folder);
    return AddEntry(folder, ownName, -1, isFolder, bypassFilters);
}

bool ListLoad::LoadPaths(const std::vector<std::string>& paths, bool bypassFilters) {
    for (const std::string& path : paths) {
        AddPathToFileList(AdjustTrailingBackslash(path, true), {}, bypassFilters);
        if (!Checkpoint()) return false;
    }
    return true;
}

bool ListLoad::TraverseFolders(const std::vector<std::string>& folders) {
    for (const std::string& folder : folders) {
        WalkCounts counts;
        const bool finished = WalkFolder(
            folder, m_settings.walk,
            [this](const WalkEntry& entry) {
                AddEntry(entry.folder, entry.name, entry.folderFd, entry.isFolder, false);
                return Checkpoint();
            },
            counts, m_os);
        if (!finished) return false;
    }
    return true;
}

bool ListLoad::LoadDroppedPaths(std::vector<std::string> paths) {
    std::vector<std::string> folders;
    for (auto it = paths.rbegin(); it != paths.rend(); ++it) {
        struct stat info {};
        if (m_os.Stat(it->c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            folders.insert(folders.begin(), *it);
            continue;
        }
        AddPathToFileList(*it);
        if (!Checkpoint()) return false;
    }
    return TraverseFolders(folders);
}

bool ListLoad::ImportPathList(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        if (!line.empty() && PathExists(line, m_os)) AddPathToFileList(line, GetFileNameOfPath(line));
        if (!Checkpoint()) return false;
    }
    return true;
}

std::string FilterProblemText(const ListLoad& load) {
    if (load.FilterErrorCount() == 0 || !load.FilterError()) return {};
    return "有 " + std::to_string(load.FilterErrorCount()) +
           " 个名称无法判断是否符合过滤条件，未载入：" + load.FilterError()->message;
}

std::string LoadStatusText(double elapsedMilliseconds, std::size_t rowCount) {
    std::string text = "载入完毕，总耗 " + FormatDuration(elapsedMilliseconds);
    // With no rows there is no time per row to tell.
    if (rowCount > 0) text += " 单耗 " + FormatDuration(elapsedMilliseconds / static_cast<double>(rowCount));
    return text;
}

}  // namespace varnel

#include "filelist/list_load.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>

#include "platform/dos_attributes.h"
#include "platform/file_io.h"
#include "utilities/codec.h"
#include "utilities/error.h"
#include "utilities/file_uri.h"
#include "utilities/local_time.h"
#include "utilities/path_routines.h"
#include "utilities/utf8_text.h"

namespace varnel {

namespace {

std::optional<double> LocalTime(const struct statx_timestamp& stamp) {
    return UnixTimeToLocalOleDate(stamp.tv_sec);
}

double OrNoTime(const std::optional<double>& value) { return value.value_or(kNoTime); }

// Size, kind and times of an entry. Facts follow a symbolic link to what it points
// at; a broken link keeps its own. Returns 0, or the errno of a path that cannot be
// read (facts unchanged).
int StatEntry(PosixApi& os, int base, const char* target, std::optional<bool> knownFolder, EntryFacts& facts) {
    struct statx info {};
    const unsigned mask = STATX_TYPE | STATX_SIZE | STATX_ATIME | STATX_MTIME | STATX_BTIME;
    if (os.Statx(base, target, AT_STATX_SYNC_AS_STAT, mask, &info) != 0) {
        const int error = errno;
        if (os.Statx(base, target, AT_SYMLINK_NOFOLLOW | AT_STATX_SYNC_AS_STAT, mask, &info) != 0) return error;
    }
    facts.isFolder = knownFolder.value_or(S_ISDIR(info.stx_mode));
    facts.size = facts.isFolder ? 0 : static_cast<std::int64_t>(info.stx_size);
    if (info.stx_mask & STATX_BTIME) facts.created = LocalTime(info.stx_btime);
    facts.modified = LocalTime(info.stx_mtime);
    facts.accessed = LocalTime(info.stx_atime);
    return 0;
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
    bool statRead = false;
    if (needStat) {
        // A walk's names end in a NUL byte, so they serve as C strings as they are.
        const int error = StatEntry(m_os, dirFd >= 0 ? dirFd : AT_FDCWD,
                                    dirFd >= 0 ? name.data() : fullPath().c_str(), isFolder, facts);
        // A path given to the load that cannot be read is no row: it is told instead.
        if (error != 0 && !isFolder.has_value()) {
            m_report.failures.push_back({fullPath(), error});
            return false;
        }
        statRead = error == 0;
    }
    bool attributesRead = false;
    if (needAttributes) {
        if (auto attributes = GetAttributesOfFile(fullPath(), m_os)) {
            facts.attributes = *attributes;
            attributesRead = true;
        }
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
    row.statRead = statRead;
    row.attributesRead = attributesRead;
    m_store.AppendRow(folder, name, row, m_settings.columns);
    ++m_rowsAdded;
    return true;
}

bool ListLoad::AddPathToFileList(const std::string& path, std::string_view name, bool bypassFilters,
                                 std::optional<bool> isFolder) {
    const std::string ownName = name.empty() ? GetFileNameOfPath(path) : std::string(name);
    std::string folder = GetParentOfPath(path);
    folder = WithTrailingSlash(folder);
    return AddEntry(folder, ownName, -1, isFolder, bypassFilters);
}

bool ListLoad::LoadPaths(const std::vector<std::string>& paths, bool bypassFilters) {
    for (const std::string& path : paths) {
        AddPathToFileList(WithoutTrailingSlash(path), {}, bypassFilters);
        if (!Checkpoint()) return false;
    }
    return true;
}

bool ListLoad::TraverseFolders(const std::vector<std::string>& folders) {
    if (m_report.walkedFolder.empty() && !folders.empty()) m_report.walkedFolder = folders.front();
    for (const std::string& folder : folders) {
        WalkCounts counts;
        const bool finished = WalkFolder(
            folder, m_settings.walk,
            [this](const WalkEntry& entry) {
                AddEntry(entry.folder, entry.name, entry.folderFd, entry.isFolder, false);
                return Checkpoint();
            },
            counts, m_os);
        for (UnreadableFolder& unreadable : counts.unreadable) {
            m_report.failures.push_back({std::move(unreadable.folder), unreadable.error});
        }
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

std::string ResolveListedPath(const std::string& line, const std::function<bool(const std::string&)>& exists) {
    if (exists(line)) return line;
    if (auto path = PathOfFileUri(line)) return *path;
    // A list written by an older tool holds GBK bytes, which are not UTF-8; a name
    // really spelled with those bytes was taken above.
    if (IsValidUtf8(line)) return line;
    if (auto decoded = DecodeFromCodec(line, kCodecGbk); decoded && exists(*decoded)) return *decoded;
    return line;
}

bool ListLoad::ImportPathList(const std::vector<std::string>& lines) {
    const auto exists = [this](const std::string& path) {
        struct stat info {};
        return m_os.Lstat(path.c_str(), &info) == 0;
    };
    for (const std::string& line : lines) {
        if (!line.empty()) {
            // A line naming nothing is no row: the load's report counts and names it.
            const std::string path = ResolveListedPath(line, exists);
            // Only an absolute path names something: a relative one has no folder
            // it could be taken from.
            if (path.starts_with('/')) {
                AddPathToFileList(WithoutTrailingSlash(path));
            } else {
                m_report.failures.push_back({path, ENOENT});
            }
        }
        if (!Checkpoint()) return false;
    }
    return true;
}

std::string FilterProblemText(const ListLoad& load) {
    if (load.FilterErrorCount() == 0 || !load.FilterError()) return {};
    return "有 " + std::to_string(load.FilterErrorCount()) +
           " 个名称无法判断是否符合过滤条件，未载入：" + load.FilterError()->message;
}

bool ListLoad::FillColumns(const std::vector<RowStore::RowId>& rows, ColumnMask columns) {
    const bool wantStat = (columns & kStatColumns) != 0;
    const bool wantAttributes = (columns & kAttributeColumns) != 0;
    std::size_t hint = 0;
    for (const RowStore::RowId id : rows) {
        const auto folder = m_store.GetCellTextOf(id, hint, static_cast<int>(ListColumn::Folder));
        const auto name = m_store.GetCellTextOf(id, hint, static_cast<int>(ListColumn::Name));
        std::optional<RowFacts> facts = m_store.FactsOf(id, hint);
        if (folder && name && facts) {
            const std::string path = *folder + *name;
            if (wantStat && !facts->statRead) {
                EntryFacts read;
                if (StatEntry(m_os, AT_FDCWD, path.c_str(), facts->isFolder, read) == 0) {
                    facts->statRead = true;
                    facts->size = read.size;
                    facts->created = OrNoTime(read.created);
                    facts->modified = OrNoTime(read.modified);
                    facts->accessed = OrNoTime(read.accessed);
                }
            }
            if (wantAttributes && !facts->attributesRead) {
                if (auto attributes = GetAttributesOfFile(path, m_os)) {
                    facts->attributes = *attributes;
                    facts->attributesRead = true;
                }
            }
            // A row whose facts cannot be read keeps those cells empty.
            m_store.FillFactsOf(id, hint, *facts, columns);
        }
        if (!Checkpoint()) return false;
    }
    return true;
}

namespace {

std::string FailureLine(const LoadFailure& failure) {
    return failure.path + "：" + MakeSystemError(failure.error, {}).message;
}

}  // namespace

std::string LoadStatusText(double elapsedMilliseconds, std::size_t rowCount,
                           const std::vector<LoadFailure>& failures) {
    std::string text;
    if (failures.size() == 1) {
        text = "无法载入 " + FailureLine(failures.front()) + "；";
    } else if (!failures.empty()) {
        text = "有 " + std::to_string(failures.size()) + " 项无法载入，首项 " + FailureLine(failures.front()) + "；";
    }
    text += "载入完毕，总耗 " + FormatDuration(elapsedMilliseconds);
    // With no rows there is no time per row to tell.
    if (rowCount > 0) text += " 单耗 " + FormatPerRowDuration(elapsedMilliseconds / static_cast<double>(rowCount));
    return text;
}

std::string LoadFailureNotice(const std::vector<LoadFailure>& failures, std::size_t listed) {
    std::string text = "以下 " + std::to_string(failures.size()) + " 项无法载入：";
    for (std::size_t i = 0; i < failures.size() && i < listed; ++i) text += "\r\n" + FailureLine(failures[i]);
    if (failures.size() > listed) text += "\r\n……另有 " + std::to_string(failures.size() - listed) + " 项";
    return text;
}

}  // namespace varnel

// What one execute run changed on disk, entry by entry, so that an undo can put it
// back: the record, its entry types, which records are kept, and the kinds a
// record is shown and undone as. A record is plain data and copies as a whole; the
// payloads it shares between copies (what a task family recorded, spooled file
// contents) are never changed once recorded, so every copy is independent.
// Built on a run's worker, then handed to the UI thread with the run's result.
#pragma once

#include <array>
#include <cstdint>
#include <expected>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <typeinfo>
#include <vector>

#include <sys/types.h>
#include <time.h>

#include "platform/posix_api.h"
#include "runs/undo_spool.h"
#include "utilities/error.h"

namespace varnel {

// What a path the run made or renamed was, so that undo touches it only while it
// is still that object. The change time is what nobody can set back: an edit that
// keeps size and modification time still moves it. The birth time, where the file
// system keeps one, tells a new file from an old one that had the same inode
// number. An identity that was never read matches nothing.
struct PathIdentity {
    bool known = false;
    dev_t device = 0;
    ino_t inode = 0;
    std::int64_t size = 0;
    timespec modified{};
    bool isFolder = false;
    timespec changed{};
    std::optional<timespec> born;
};

// The identity of the path itself (a symbolic link is not followed).
std::expected<PathIdentity, Error> ReadPathIdentity(const std::string& path, PosixApi& os = SystemPosix());
// The same for `path` taken relative to the open folder `folderFd` (AT_FDCWD: as given).
std::expected<PathIdentity, Error> ReadPathIdentityAt(int folderFd, const char* path, PosixApi& os = SystemPosix());
// The identity of the object a write through `path` reaches: a symbolic link is
// followed to its target, which is what a task that changes a file's content,
// times or mode changes.
std::expected<PathIdentity, Error> ReadObjectIdentity(const std::string& path, PosixApi& os = SystemPosix());
// The identity of the object open as `fd` (any descriptor, O_PATH too).
std::expected<PathIdentity, Error> ReadOpenIdentity(int fd, PosixApi& os = SystemPosix());
// Whether `now` is still, unchanged, the object the run made. A folder is matched as
// one object only (IsSameObject): its size and times change whenever an entry comes
// or goes.
bool MatchesIdentity(const PathIdentity& recorded, const PathIdentity& now);
// Whether `now` is the object `recorded` describes, whatever happened to its
// content, times or names since: device, inode, type and birth time.
bool IsSameObject(const PathIdentity& recorded, const PathIdentity& now);

struct CreatedPath {
    std::string path;
    PathIdentity identity;
};

// Appends the paths a step created, each with its identity as it is now (one that
// cannot be read stays unknown, so undo leaves that path alone).
void AppendCreatedPaths(std::vector<CreatedPath>& list, const std::vector<std::string>& paths,
                        PosixApi& os = SystemPosix());

// The file is now folder + newName and was folder + oldName; folder ends in "/".
// isFolder: what the list knew it to be, so that undo lists it again without asking
// the disk. identity: the renamed file just after the rename; undo renames back only
// that object.
struct RenameEntry {
    std::string newName;
    std::string oldName;
    std::string folder;
    bool isFolder = false;
    PathIdentity identity{};
};

struct TitleEntry {
    std::string path;
    std::string oldTitle;
};

// What a run wrote into a file, so that undo acts on it only while the file still
// holds exactly that and never over an edit made since.
struct WrittenContent {
    std::int64_t size = 0;
    std::string digest;  // ContentDigest of the written bytes
};

// The DOS attribute word before the change and the whole mode (permission and
// set-id bits), which undo gives back exactly; nothing: the mode was not read.
// identity: the object the run changed as the run left it (a link's target), so
// that undo changes only that object while it is unchanged since.
struct AttributeEntry {
    std::string path;
    std::uint32_t oldAttributes = 0;
    std::optional<mode_t> oldMode;
    PathIdentity identity{};
    // The stored-attribute value as it was, byte for byte (also a form only another
    // program reads), when the run read it; undo writes exactly that back.
    bool storedValueKnown = false;
    std::optional<std::string> oldStoredValue{};
};

// The times before the change, to the nanosecond; undo puts back the modification
// and access times (no file system here lets a creation time be set). identity:
// the object the run changed, with the times the run set; undo writes only while
// the path still names it unchanged.
struct FileTimesEntry {
    std::string path;
    std::optional<timespec> created;
    timespec modified{};
    timespec accessed{};
    PathIdentity identity{};
};

// A path the run produced and the one it came from. originalPath is empty for a
// file or folder made from nothing (create, download). newIdentity is the produced
// path as the run left it, read after the run's last write to it: a task that
// changes the produced file afterwards reads it again, or undo will not delete it.
// A folder copy also lists the files and links it wrote; undo removes those and
// leaves anything else in the folder alone. The folder itself, and every folder
// below it, goes only through the record's createdFolders, that is only when this
// run's mkdir made it: a copy merged into a folder that was there leaves it there.
struct TransferEntry {
    std::string newPath;
    std::string originalPath;
    PathIdentity newIdentity;
    std::vector<CreatedPath> createdFiles{};
};

// originalBytes: the whole content before the change. written: what the run left
// in the file, so that undo puts the old content back only while the file still
// holds exactly that, never over an edit made since. oldModified: the file's
// modification time before the change, given back with the content (nothing: not
// known, the undo's own time stays).
struct ContentEntry {
    std::string path;
    SpooledBytes originalBytes;
    std::int64_t writtenSize = 0;
    std::string writtenDigest;  // ContentDigest of the written bytes
    std::optional<timespec> oldModified{};
};

// The digest a content entry keeps of the bytes a run wrote (SHA-1, hex).
std::string ContentDigest(std::string_view bytes);
// The ContentDigest of what the file at `path` holds, read in chunks.
std::expected<std::string, Error> FileContentDigest(const std::string& path, PosixApi& os = SystemPosix());
// What `bytes` are, as an entry keeps what its run wrote.
WrittenContent WrittenContentOf(std::string_view bytes);
// Whether the regular file at `path` (a link followed) holds exactly `written`.
bool HoldsWrittenContent(const std::string& path, const WrittenContent& written, PosixApi& os = SystemPosix());
// Whether the file at `path` holds exactly the bytes the entry's run wrote.
bool StillHoldsWrittenContent(const ContentEntry& entry, PosixApi& os = SystemPosix());

// Why an entry was left alone: what its path names now is not what its run left.
inline constexpr const char* kUndoChangedReason = "文件在更改后已被改变";

// The mode, owner and times a removed file had, to give them back with its bytes.
struct RemovedFileState {
    mode_t mode = 0600;
    uid_t owner = 0;
    gid_t group = 0;
    timespec accessed{};
    timespec modified{};
};

// sourceBytes holds the source only when the split removed it, and sourceState
// what it was besides its bytes. Where the spool could give the removed object a
// second name, sourceBytes is that very object (sourceIdentity tells), and undo
// links it back under its name: the same inode with its other names, mode, owner,
// times and extended attributes. A row that was a symbolic link removed only the
// link: sourceLinkTarget is what it pointed to, so that undo can make the same
// link again where the kept one cannot be linked back.
struct SplitEntry {
    std::string sourcePath;
    SpooledBytes sourceBytes;
    RemovedFileState sourceState;
    std::vector<CreatedPath> pieceFiles;
    std::vector<CreatedPath> createdFolders;
    PathIdentity sourceIdentity{};
    std::optional<std::string> sourceLinkTarget{};
};

// The kind of a record: the first kind in the reader's order it holds entries of.
// Created folders belong to the transfers kind. The tag and shortcut kinds are
// their task families' own (FamilyUndoEntry).
enum class UndoKind {
    Transfers,
    Renames,
    AttributeChanges,
    TimeChanges,
    TagChanges,
    ContentChanges,
    Splits,
    TitleChanges,
    ShortcutChanges,
};

// An entry of a kind whose task family lives above this folder (shortcut
// properties, ID3 tags): its kind, the path it acts on and what the family
// recorded, which only that family opens (As). The family enters how its kind is
// undone and shown in an UndoFamilyRegistry, so the record replays and lists the
// entry without knowing what it holds. The payload is never changed once
// recorded: copies of a record share it.
class FamilyUndoEntry {
public:
    // The payload's `path` is the entry's path.
    template <typename Payload>
    static FamilyUndoEntry Of(UndoKind kind, Payload payload) {
        FamilyUndoEntry made;
        made.m_kind = kind;
        made.m_path = payload.path;
        made.m_payload = std::make_shared<const Payload>(std::move(payload));
        made.m_type = &typeid(Payload);
        return made;
    }
    UndoKind Kind() const { return m_kind; }
    const std::string& Path() const { return m_path; }
    // The payload when it is a Payload; nullptr for another type or once released.
    template <typename Payload>
    const Payload* As() const {
        if (!m_payload || *m_type != typeid(Payload)) return nullptr;
        return static_cast<const Payload*>(m_payload.get());
    }
    // This copy lets go of the payload (and the spool files it holds).
    void Release() { m_payload.reset(); }

private:
    UndoKind m_kind = UndoKind::Transfers;
    std::string m_path;
    std::shared_ptr<const void> m_payload;
    const std::type_info* m_type = &typeid(void);
};

// Every list grows at its end, one element per change, in the order of the rows.
struct UndoRecord {
    std::vector<RenameEntry> renames;
    std::vector<TitleEntry> titleChanges;
    std::vector<AttributeEntry> attributeChanges;
    std::vector<FileTimesEntry> timeChanges;
    std::vector<TransferEntry> transfers;
    // Folders made on the way to a target, outermost first.
    std::vector<CreatedPath> createdFolders;
    // True: the transfers made new files (copies, created files), and undo deletes
    // them. False: they moved files, and undo moves them back. An execute run starts
    // with its transfer mode; a task that moves or creates files by itself sets it.
    bool copyFlag = false;
    std::vector<ContentEntry> contentChanges;
    std::vector<SplitEntry> splits;
    // The entries of the kinds the task families above this folder own.
    std::vector<FamilyUndoEntry> familyChanges;
};

// Lets go of the record's data in the undo spool (old contents, removed sources,
// the family entries' payloads with the large old tags they hold): a record that
// has been undone is never replayed again, and its spool files go as soon as no
// other copy holds them.
void ReleaseSpooledData(UndoRecord& record);

// Whether the record is kept in the history at the end of its run: it holds any
// change, created folders included (they can only be removed through the record).
bool HoldsChange(const UndoRecord& record);

// The copy a transfer made at `path` was changed afterwards (content, times, mode):
// the record's last transfer, when it made that path, takes its identity as it is
// now, since undo deletes the copy only while it matches what the run left.
void RefreshTransferIdentity(UndoRecord& record, const std::string& path, PosixApi& os = SystemPosix());

inline constexpr std::size_t kUndoKindCount = 9;
using UndoKindOrder = std::array<UndoKind, kUndoKindCount>;

// The order the undo restores in.
inline constexpr UndoKindOrder kUndoReplayOrder = {
    UndoKind::Transfers,       UndoKind::Renames,     UndoKind::TitleChanges,
    UndoKind::ShortcutChanges, UndoKind::AttributeChanges, UndoKind::TimeChanges,
    UndoKind::TagChanges,      UndoKind::ContentChanges, UndoKind::Splits,
};
// The order of the undo manager's record list.
inline constexpr UndoKindOrder kUndoRecordListOrder = {
    UndoKind::Transfers,   UndoKind::Renames,        UndoKind::AttributeChanges,
    UndoKind::TimeChanges, UndoKind::TagChanges,     UndoKind::ContentChanges,
    UndoKind::Splits,      UndoKind::TitleChanges,   UndoKind::ShortcutChanges,
};
// The order of the undo manager's detail list.
inline constexpr UndoKindOrder kUndoDetailOrder = {
    UndoKind::Renames,     UndoKind::Transfers,      UndoKind::AttributeChanges,
    UndoKind::TimeChanges, UndoKind::TagChanges,     UndoKind::ContentChanges,
    UndoKind::Splits,      UndoKind::TitleChanges,   UndoKind::ShortcutChanges,
};

bool HasEntries(const UndoRecord& record, UndoKind kind);
// How many of the record's family entries are of `kind`.
std::size_t FamilyEntryCount(const UndoRecord& record, UndoKind kind);
std::optional<UndoKind> FirstUndoKind(const UndoRecord& record, const UndoKindOrder& order);
// "变更路径", "文件改名", ...
std::string_view UndoKindName(UndoKind kind);

}  // namespace varnel

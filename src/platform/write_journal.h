// The write journal: while a write that a crash could leave half done is under
// way, a synced record says what the next start needs to put right. An in-place
// write (a file with several names, a tag written where it lies, an undo written
// back into a file) records the file (path, device, inode), where the write goes,
// the file's length before and after, the digests of the bytes replaced and of
// the bytes written, and a synced copy of the bytes replaced; a temporary file on
// its way to replace another is named before it is created. The record goes when
// the write is over. The next start replays what a killed process left: a file
// that holds neither its old nor its new bytes gets the old ones back, a named
// temporary is removed, and nothing else on disk is looked at. Records are
// per entry and locked by the process that writes them, so a start never
// replays what a running instance is doing. Safe on any thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <expected>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

#include "platform/owned_fd.h"
#include "platform/posix_api.h"
#include "utilities/error.h"

namespace varnel {

// One in-place write: `newBytes` goes over `oldBytes` at `offset` of the file,
// whose length goes from oldSize to newSize (different lengths only where the
// written bytes end the file).
struct InPlaceWrite {
    std::string path;  // the file itself, no link
    dev_t device = 0;
    ino_t inode = 0;
    std::uint64_t offset = 0;
    std::uint64_t oldSize = 0;
    std::uint64_t newSize = 0;
    std::string_view oldBytes;
    std::string_view newBytes;
};

// The record of one write under way; dropping it (or Close) removes the record,
// so it outlives the write only when the process dies. Belongs to one thread.
class JournalEntry {
public:
    JournalEntry() = default;
    JournalEntry(JournalEntry&& other) noexcept;
    JournalEntry& operator=(JournalEntry&& other) noexcept;
    JournalEntry(const JournalEntry&) = delete;
    JournalEntry& operator=(const JournalEntry&) = delete;
    ~JournalEntry() { Close(); }

    bool Active() const { return m_fd.IsOpen(); }
    // The synced copy of the bytes an in-place write replaces: another owner (the
    // undo spool) may give it a name of its own, never write to it.
    const std::string& KeptCopy() const { return m_copy; }
    // The write is over (synced, or the old bytes put back): the record goes, its
    // removal synced so that no later start replays a finished write.
    void Close();

private:
    friend class WriteJournal;
    PosixApi* m_os = nullptr;
    OwnedFd m_fd;
    std::string m_record;
    std::string m_copy;
    bool m_syncRemoval = false;
};

class WriteJournal {
public:
    // An empty folder: DefaultFolder(), looked up at each record.
    explicit WriteJournal(std::string folder = {}, PosixApi& os = SystemPosix());

    // $XDG_CACHE_HOME/Varnel/journal.
    static std::string DefaultFolder();
    std::string Folder() const;

    // Records an in-place write before its first byte: the copy of the old bytes
    // and the record are both synced when this returns. Nothing is recorded on a
    // failure, and the caller must not write.
    std::expected<JournalEntry, Error> BeginInPlace(const InPlaceWrite& write);
    // Names a temporary file before it is created (synced).
    std::expected<JournalEntry, Error> NoteTemporary(const std::string& temporary);

private:
    std::expected<JournalEntry, Error> Create(std::string& folder);
    std::expected<void, Error> Seal(JournalEntry& entry, const std::string& folder, std::string_view text);

    std::string m_folder;
    PosixApi& m_os;
    std::mutex m_mutex;
    std::string m_readyFolder;
    std::atomic<std::uint64_t> m_counter{0};
};

// The journal every in-place write and content rewrite of the program uses.
WriteJournal& DefaultWriteJournal();

// What a start found in the journal of processes that are gone.
struct JournalReplay {
    std::vector<std::string> restored;  // files that got their old bytes back
    std::vector<std::string> removed;   // temporary files removed
    // Files left as they are, each with why: replaced meanwhile, or the old bytes
    // could not be written back (their record stays for the next start).
    std::vector<std::pair<std::string, std::string>> left;

    bool Empty() const { return restored.empty() && removed.empty() && left.empty(); }
};

// Replays every record in `folder` whose writer is gone (an empty folder:
// DefaultFolder()). A folder that does not exist holds nothing to replay.
JournalReplay ReplayWriteJournal(const std::string& folder = {}, PosixApi& os = SystemPosix());

// The notice a start shows for a replay that did something ("" when it did nothing).
std::string JournalReplayNotice(const JournalReplay& replay);

}  // namespace varnel

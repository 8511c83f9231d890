// Whole-file reads and atomic whole-file writes through PosixApi. An atomic write
// leaves either the old file or the new one on disk, never a mix; every write,
// sync and close is checked. Safe on any thread.
#pragma once

#include <cstdint>
#include <expected>
#include <functional>
#include <string>
#include <string_view>

#include <sys/stat.h>

#include "platform/owned_fd.h"
#include "platform/posix_api.h"
#include "platform/write_journal.h"
#include "utilities/error.h"

namespace varnel {

// Opens a file the user handed the program (a row's file, a list, a tag source)
// for reading, without ever waiting: the open is non-blocking, so a named pipe
// with no writer or a device cannot hold the thread, and anything that is not a
// regular file (folder, pipe, socket, device) is refused at once with the reason.
// The descriptor returned reads as usual (blocking); `info`, when given, receives
// its fstat.
std::expected<OwnedFd, Error> OpenUserFileForReading(const std::string& path, PosixApi& os = SystemPosix(),
                                                 struct stat* info = nullptr);

// What the file of `mode` is, when it is not a regular file: the reason
// OpenUserFileForReading gives ("是命名管道，不是普通文件", ...).
Error NotARegularFileError(mode_t mode, const std::string& path);

// Every reader below opens through OpenUserFileForReading.
std::expected<std::string, Error> ReadWholeFile(const std::string& path,
                                                PosixApi& os = SystemPosix());

// Reads the file from its first byte to its last, handing each chunk (at most 64 KiB)
// to `consume` in order, so that a large file is never held whole.
std::expected<void, Error> ReadFileInChunks(const std::string& path,
                                            const std::function<void(std::string_view)>& consume,
                                            PosixApi& os = SystemPosix());
// The same while `consume` returns true: reading stops at the first chunk it
// declines, so a caller that needs only the start of a file reads only that.
std::expected<void, Error> ReadFileInChunksWhile(const std::string& path,
                                                 const std::function<bool(std::string_view)>& consume,
                                                 PosixApi& os = SystemPosix());
// The same from a descriptor the caller opened (through OpenUserFileForReading), read
// from where it stands; `path` names the file in the error.
std::expected<void, Error> ReadOpenFileInChunksWhile(int fd, const std::string& path,
                                                     const std::function<bool(std::string_view)>& consume,
                                                     PosixApi& os = SystemPosix());

// At most the first `limit` bytes of the file (all of a shorter one): a preview or
// a sniff never reads more than it needs.
std::expected<std::string, Error> ReadFileHead(const std::string& path, std::size_t limit,
                                               PosixApi& os = SystemPosix());

// A fresh temporary path in the folder of `path`, for a file on its way there:
// ".varnel-<12 random letters>.part", short whatever the length of the final name,
// so that any name a folder can hold can also be reached through it.
std::string TemporaryPathBeside(const std::string& path);

// Calls `make` with fresh temporary paths beside `path` until one is not taken:
// make returns 0, or -1 with errno set, and EEXIST means "try another name". The
// temporary path made, or the errno of the failure.
std::expected<std::string, int> MakeAtTemporaryPath(const std::string& path,
                                                    const std::function<int(const std::string&)>& make);

// Writes `bytes` to a temporary file in the same folder, syncs it, gives it the
// mode, owner and extended attributes of the file it replaces, then renames it over
// `path` (the modification time is the write's: the content is new). A symbolic
// link at `path` is followed, so the link stays and its target is replaced.
std::expected<void, Error> WriteFileAtomically(const std::string& path, std::string_view bytes,
                                               PosixApi& os = SystemPosix());

// The same for content made by `write`, which writes it to the open temporary file
// (`path`: the file it will replace, for errors); its failure leaves `path` as it was.
using ContentWriter = std::function<std::expected<void, Error>(int fd, const std::string& path)>;
std::expected<void, Error> ReplaceFileAtomically(const std::string& path, const ContentWriter& write,
                                                 PosixApi& os = SystemPosix());

// A new content on its way to the file at `path`, written by the caller to a
// temporary file beside it (Fd) and put in place by Commit: with owner, then mode
// (so that set-id bits survive) and extended attributes of the file it replaces,
// synced, then renamed over it (a link at `path` is followed). Dropped or failed,
// the temporary goes and `path` stays as it was. mayReplace false: an existing
// path fails the Commit with EEXIST. With a journal the temporary is named there
// before it is created, so that a start after a crash removes it.
class FileReplacement {
public:
    static std::expected<FileReplacement, Error> Begin(const std::string& path, PosixApi& os = SystemPosix(),
                                                       bool mayReplace = true, WriteJournal* journal = nullptr);
    FileReplacement(FileReplacement&& other) noexcept;
    FileReplacement& operator=(FileReplacement&&) = delete;
    ~FileReplacement();

    int Fd() const { return m_fd.Get(); }
    // The file replaced, a link resolved.
    const std::string& Target() const { return m_target; }
    // Whether it existed when Begin looked, and what it was then.
    bool Replacing() const { return m_replacing; }
    const struct stat& Original() const { return m_original; }

    // Commit renames only while the target is still as `start` found it (same
    // file, size, modification and change time), checked after the new content
    // is synced; otherwise it fails with Error::kChangedMeanwhile.
    void ExpectUnchanged(const struct stat& start) {
        m_expected = start;
        m_expecting = true;
    }

    std::expected<void, Error> Commit();
    // Removes the temporary and leaves the target alone.
    void Abandon();

private:
    explicit FileReplacement(PosixApi& os) : m_os(&os) {}

    PosixApi* m_os;
    std::string m_target;
    std::string m_temporary;
    struct stat m_original {};
    OwnedFd m_fd;
    bool m_replacing = false;
    bool m_mayReplace = true;
    struct stat m_expected {};
    bool m_expecting = false;
    JournalEntry m_note;
};

// As WriteFileAtomically, for a file that must not exist yet: an existing path
// (of any kind) fails with EEXIST and is left as it was.
std::expected<void, Error> WriteNewFileAtomically(const std::string& path, std::string_view bytes,
                                                  PosixApi& os = SystemPosix());

// Why an in-place write failed; leftChanged: the file holds neither the old nor
// the new content (a write that failed and could not be put back).
struct ReplaceFailure {
    Error error;
    bool leftChanged = false;
};

// Whether the file changed since `start` was taken of it: another file at the
// path, another size, modification or change time.
bool ChangedSince(const struct stat& start, const struct stat& now);
// "文件在编辑时被其他程序改变".
Error ChangedMeanwhileError(const std::string& path);

// Fails with Error::kReadOnly ("文件只读") for a file its owner marked read-only
// (no owner write bit) or that this user may not write; `info` is its status.
std::expected<void, Error> CheckWritable(const std::string& path, const struct stat& info,
                                         PosixApi& os = SystemPosix());
// The same for the file open as `fd` (O_PATH will do), asked of the open file
// itself rather than of its path; `mode` is its st_mode, `path` names it in the error.
std::expected<void, Error> CheckWritableOpen(int fd, const std::string& path, mode_t mode,
                                             PosixApi& os = SystemPosix());

// Whether a new file renamed over `path` (status `info`, a regular file) would be
// the same file to everyone else: one name only, an owner and group this user can
// give it, and a folder this user may write. Otherwise a new content is written in
// place.
bool ReplacementKeepsFile(const std::string& path, const struct stat& info, PosixApi& os = SystemPosix());

// Called once the journal holds the write and before its first byte (to give the
// synced copy of the old bytes a second owner); its failure writes nothing.
using BeforeInPlaceWrite = std::function<std::expected<void, Error>(const JournalEntry& entry)>;

// Writes `bytes` over the file at `path` (a link is followed) where it lies, from
// `offset`: the same inode, so every name sees the new bytes and the mode, owner
// and extended attributes stay. `previous` are the bytes there now (to the file's
// end with `endsFile`, and then the file ends after `bytes`; otherwise as many as
// `bytes`). The journal records the write before its first byte, so a crash is
// put right at the next start; a write that fails puts `previous` back. Nothing
// is written, and the call fails, when the file is no longer as `start` found it.
std::expected<void, ReplaceFailure> WriteInPlaceJournalled(const std::string& path, const struct stat& start,
                                                           std::uint64_t offset, std::string_view previous,
                                                           std::string_view bytes, bool endsFile,
                                                           WriteJournal& journal, PosixApi& os = SystemPosix(),
                                                           const BeforeInPlaceWrite& beforeWrite = {});

// Replaces the content `previous` of the regular file at `path` by `bytes`. A file
// that a rename keeps whole (ReplacementKeepsFile) gets a new file renamed over it
// (WriteFileAtomically); any other is written in place under the journal, and a
// write that fails half way puts `previous` back.
std::expected<void, ReplaceFailure> ReplaceFileContent(const std::string& path, std::string_view bytes,
                                                       std::string_view previous, PosixApi& os = SystemPosix(),
                                                       WriteJournal& journal = DefaultWriteJournal());

// Writes all of `bytes` to an open descriptor, going on after short writes and
// EINTR; `path` names the file in the error.
std::expected<void, Error> WriteToDescriptor(int fd, std::string_view bytes, const std::string& path,
                                             PosixApi& os = SystemPosix());
// The same from `offset` of the file, wherever the descriptor's position is.
std::expected<void, Error> WriteToDescriptorAt(int fd, std::uint64_t offset, std::string_view bytes,
                                               const std::string& path, PosixApi& os = SystemPosix());

// Creates the folder and any missing parents; an existing folder is fine.
std::expected<void, Error> EnsureDirectory(const std::string& path, mode_t mode,
                                           PosixApi& os = SystemPosix());

bool PathExists(const std::string& path, PosixApi& os = SystemPosix());
// An existing folder, or a link to one.
bool FolderExists(const std::string& path, PosixApi& os = SystemPosix());

}  // namespace varnel

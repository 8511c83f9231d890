#include "runs/undo_replay.h"

#include <cerrno>
#include <deque>
#include <optional>
#include <ranges>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fileops/copy_move.h"
#include "fileops/kept_metadata.h"
#include "platform/dos_attributes.h"
#include "platform/file_io.h"
#include "platform/file_times.h"
#include "platform/marked_text_editor.h"
#include "platform/open_folder.h"
#include "platform/owned_fd.h"
#include "runs/identity_reader.h"

namespace varnel {

namespace {

enum class Removal { Removed, Gone, Kept };

using Undone = std::expected<void, Error>;

// An entry whose path no longer names what its run left there.
Undone Changed(const std::string& path) { return std::unexpected(Error{Error::kInvalidInput, kUndoChangedReason, path}); }

class Replay {
public:
    Replay(const UndoHooks& hooks, PosixApi& os, UndoOutcome& outcome) : m_hooks(hooks), m_os(os), m_out(outcome) {}

    void Run(UndoRecord& record, UndoKind kind) {
        switch (kind) {
            case UndoKind::Transfers: Transfers(record); break;
            case UndoKind::Renames: Renames(record.renames); break;
            case UndoKind::TitleChanges:
                Each(record.titleChanges, [this](const TitleEntry& e) {
                    return Report(e.path, MarkedTextEditor{}.SetPageTitle(e.path, e.oldTitle, m_os));
                });
                break;
            case UndoKind::AttributeChanges:
                Each(record.attributeChanges, [this](const AttributeEntry& e) { return Report(e.path, WriteAttributes(e)); });
                break;
            case UndoKind::TimeChanges:
                Each(record.timeChanges, [this](const FileTimesEntry& e) { return Report(e.path, WriteTimes(e)); });
                break;
            case UndoKind::ContentChanges:
                Each(record.contentChanges, [this](const ContentEntry& e) { return Report(e.path, Content(e)); });
                break;
            case UndoKind::Splits:
                for (SplitEntry& entry : record.splits | std::views::reverse) Split(entry);
                break;
            case UndoKind::TagChanges:
            case UndoKind::ShortcutChanges: Family(record.familyChanges, kind); break;
        }
    }

private:
    // Undoes each entry, last to first.
    template <typename Entry, typename Undo>
    void Each(const std::vector<Entry>& entries, Undo&& undo) {
        for (const Entry& entry : entries | std::views::reverse) undo(entry);
    }

    bool Report(const std::string& path, const Undone& undone, std::optional<bool> isFolder = std::nullopt) {
        if (undone) {
            ++m_out.restored;
            Readd(path, isFolder);
        } else {
            Fail(path, undone.error());
        }
        return undone.has_value();
    }

    void Fail(const std::string& path, const Error& why) {
        m_out.failedPaths.push_back(path);
        m_out.failureReasons.push_back(FailureReason(why));
    }

    // The entries of a family's kind, last to first, by the restorer the family
    // entered.
    void Family(const std::vector<FamilyUndoEntry>& entries, UndoKind kind) {
        const bool listAgain = m_hooks.families.ListsAgainOnFailure(kind);
        for (const FamilyUndoEntry& entry : entries | std::views::reverse) {
            if (entry.Kind() != kind) continue;
            const Undone undone = m_hooks.families.Restore(entry, m_os);
            if (!undone && listAgain) Readd(entry.Path());
            Report(entry.Path(), undone);
        }
    }

    // The old content, then the modification time it had: the file is as before the run.
    Undone Content(const ContentEntry& e) {
        Undone put = ContentBytes(e);
        if (!put || !e.oldModified) return put;
        const timespec times[2] = {{0, UTIME_OMIT}, *e.oldModified};
        if (m_os.Utimensat(AT_FDCWD, e.path.c_str(), times, 0) != 0) {
            return std::unexpected(MakeSystemError(errno, e.path, "无法设置文件时间"));
        }
        return {};
    }

    Undone ContentBytes(const ContentEntry& e) {
        // A file edited since the run keeps the user's newer content.
        if (!StillHoldsWrittenContent(e, m_os)) return Changed(e.path);
        struct stat info {};
        if (m_os.Stat(e.path.c_str(), &info) == 0 && ReplacementKeepsFile(e.path, info, m_os)) {
            return RestoreContentStreamed(e);
        }
        auto bytes = e.originalBytes.ReadAll();
        if (!bytes) return std::unexpected(bytes.error());
        // What the run wrote, to put back should an in-place restore fail half
        // way (written in place under the journal).
        auto now = ReadWholeFile(e.path, m_os);
        if (!now) return std::unexpected(now.error());
        if (auto replaced = ReplaceFileContent(e.path, *bytes, *now, m_os); !replaced) {
            return std::unexpected(replaced.error().error);
        }
        return {};
    }

    void Readd(const std::string& path, std::optional<bool> isFolder = std::nullopt) {
        if (m_hooks.readd) m_hooks.readd(path, isFolder);
    }

    // A path the run made goes only while it is still what the run made; a folder
    // only when empty.
    // Kept: why is in `why`.
    Removal RemoveCreated(const std::string& path, const PathIdentity& recorded, Error& why) {
        auto now = ReadPathIdentity(path, m_os);
        if (!now) {
            why = now.error();
            return now.error().code == ENOENT ? Removal::Gone : Removal::Kept;
        }
        if (!MatchesIdentity(recorded, *now)) {
            why = Changed(path).error();
            return Removal::Kept;
        }
        const int result = now->isFolder ? m_os.Rmdir(path.c_str()) : m_os.Unlink(path.c_str());
        if (result == 0) return Removal::Removed;
        why = MakeSystemError(errno, path);
        return why.code == ENOENT ? Removal::Gone : Removal::Kept;
    }

    // Removes created paths last to first; those that stay are reported and kept in
    // the list, the others leave it.
    bool RemoveAllCreated(std::vector<CreatedPath>& paths) {
        bool all = true;
        for (std::size_t i = paths.size(); i-- > 0;) {
            Error why;
            if (RemoveCreated(paths[i].path, paths[i].identity, why) == Removal::Kept) {
                Fail(paths[i].path, why);
                all = false;
            } else {
                paths.erase(paths.begin() + static_cast<std::ptrdiff_t>(i));
            }
        }
        return all;
    }

    // Whether the path still names the object the run left there.
    bool IsStill(const std::string& path, const PathIdentity& recorded) {
        const auto now = ReadPathIdentity(path, m_os);
        return now && IsSameObject(recorded, *now);
    }

    void Renames(const std::vector<RenameEntry>& renames) {
        if (renames.size() < IdentityReader::kBackgroundFrom) {
            Each(renames, [this](const RenameEntry& e) { RenameBack(e, std::nullopt); });
            return;
        }
        // A large record: the names are looked up a batch or two ahead on a reader
        // thread while the renames go on, last entry first as always.
        const std::size_t count = renames.size();
        const auto entry = [&](std::size_t undone) -> const RenameEntry& { return renames[count - 1 - undone]; };
        IdentityReader reader(m_os);
        std::deque<std::size_t> tickets;
        std::size_t submitted = 0;
        const auto submitNext = [&] {
            std::vector<IdentityRequest> batch;
            for (; submitted < count && batch.size() < IdentityReader::kBatch; ++submitted) {
                batch.push_back({entry(submitted).folder, entry(submitted).newName});
            }
            tickets.push_back(reader.Submit(std::move(batch)));
        };
        submitNext();
        if (submitted < count) submitNext();
        for (std::size_t first = 0; first < count; first += IdentityReader::kBatch) {
            const std::vector<PathIdentity> identities = reader.Take(tickets.front());
            tickets.pop_front();
            if (submitted < count) submitNext();
            for (std::size_t i = 0; i < identities.size(); ++i) RenameBack(entry(first + i), identities[i]);
        }
    }

    // Renames one entry's file back, only while its new name still names the object
    // the run renamed; `readAhead` is that name's identity when it was read earlier.
    void RenameBack(const RenameEntry& e, std::optional<PathIdentity> readAhead) {
        const std::string now = e.folder + e.newName;
        const std::string before = e.folder + e.oldName;
        // Read through the folder held open: a record holds many names of one folder.
        const int folderFd = m_folder.Get(e.folder);
        // A name read ahead that did not show the object is read again: the undo of
        // an entry after it in the record may have just put the object back there.
        if (!readAhead || !IsSameObject(e.identity, *readAhead)) {
            const auto identity = folderFd >= 0 ? ReadPathIdentityAt(folderFd, e.newName.c_str(), m_os)
                                                : ReadPathIdentity(now, m_os);
            readAhead = identity.value_or(PathIdentity{});
        }
        // Another file under the new name (the renamed one replaced since) stays put.
        if (!IsSameObject(e.identity, *readAhead)) {
            Fail(now, readAhead->known ? Changed(now).error() : MakeSystemError(ENOENT, now));
            return;
        }
        if (auto moved = MoveNameNoReplace(folderFd, e.folder, e.newName, e.oldName, m_os)) {
            Report(before, moved, e.isFolder);
        } else {
            Fail(now, moved.error());
        }
    }

    void Transfers(UndoRecord& record) {
        for (TransferEntry& entry : record.transfers | std::views::reverse) {
            if (record.copyFlag || entry.originalPath.empty()) {
                Delete(entry);
            } else {
                MoveBack(entry);
            }
        }
        // Folders the run made, innermost first; one that holds anything else stays.
        RemoveAllCreated(record.createdFolders);
    }

    void Delete(TransferEntry& entry) {
        bool undone = true;
        if (!entry.createdFiles.empty() || entry.newIdentity.isFolder) {
            // A folder copy: what it wrote goes; the folder itself goes with the
            // created folders only when the run made it, never when the copy merged
            // into a folder that was there.
            undone = RemoveAllCreated(entry.createdFiles);
        } else if (Error why; RemoveCreated(entry.newPath, entry.newIdentity, why) == Removal::Kept) {
            Fail(entry.newPath, why);
            undone = false;
        }
        if (undone) ++m_out.restored;
        if (!entry.originalPath.empty() && PathExists(entry.originalPath, m_os)) Readd(entry.originalPath);
    }

    void MoveBack(const TransferEntry& entry) {
        // Only what the run moved there goes back, not what replaced it since.
        if (!IsStill(entry.newPath, entry.newIdentity)) {
            Fail(entry.newPath, PathExists(entry.newPath, m_os) ? Changed(entry.newPath).error()
                                                                : MakeSystemError(ENOENT, entry.newPath));
            return;
        }
        std::vector<std::string> madeOnTheWay;
        std::vector<std::string> failed;
        if (CopyOrMovePath(entry.newPath, entry.originalPath, false, madeOnTheWay, failed, m_os)) {
            Report(entry.originalPath, {});
            return;
        }
        // The move says which files stayed, not why: a taken name is the usual cause.
        for (const std::string& path : failed) {
            Fail(path, PathExists(entry.originalPath, m_os) ? MakeSystemError(EEXIST, path)
                                                            : Error{EIO, "无法移回原位置", path});
        }
    }

    // Whether `path` (a link followed) still names the object the run changed,
    // unchanged since: otherwise the user's object is left alone.
    Undone StillAsLeft(const std::string& path, const PathIdentity& recorded) {
        const auto now = ReadObjectIdentity(path, m_os);
        if (!now) return std::unexpected(now.error());
        if (!MatchesIdentity(recorded, *now)) return Changed(path);
        return {};
    }

    // The times go back only onto the object the run gave its times, through the
    // handle whose object was checked.
    Undone WriteTimes(const FileTimesEntry& entry) {
        const int handle = OpenFileForTimes(entry.path, m_os);
        if (handle == kInvalidFileHandle) return std::unexpected(MakeSystemError(errno, entry.path));
        Undone written;
        const auto now = ReadOpenIdentity(handle, m_os);
        if (!now) {
            written = std::unexpected(now.error());
        } else if (!MatchesIdentity(entry.identity, *now)) {
            written = Changed(entry.path);
        } else if (!WriteFileTimestamps(handle, entry.accessed, entry.modified, m_os)) {
            written = std::unexpected(MakeSystemError(errno, entry.path, "无法设置文件时间"));
        }
        CloseFileHandle(handle, m_os);
        return written;
    }

    // The stored bits first, then the stored value exactly as it was (another
    // program's form included), then the mode as it was, bit for bit (the attribute
    // word alone knows only the owner's write bit); only on the object the run
    // changed, unchanged since.
    Undone WriteAttributes(const AttributeEntry& entry) {
        if (auto same = StillAsLeft(entry.path, entry.identity); !same) return same;
        if (auto set = SetAttributesOfFile(entry.path, entry.oldAttributes, m_os); !set) return set;
        if (entry.storedValueKnown) {
            if (auto stored = SetStoredAttributeValue(entry.path, entry.oldStoredValue, m_os); !stored) return stored;
        }
        if (!entry.oldMode) return {};
        struct stat info {};
        if (m_os.Stat(entry.path.c_str(), &info) != 0) return std::unexpected(MakeSystemError(errno, entry.path));
        if ((info.st_mode & 07777) == (*entry.oldMode & 07777)) return {};
        if (m_os.Chmod(entry.path.c_str(), *entry.oldMode & 07777) != 0) {
            return std::unexpected(MakeSystemError(errno, entry.path, "无法设置文件权限"));
        }
        return {};
    }

    // The split's source first: its pieces are the only copy of the data until the
    // source is back.
    void Split(SplitEntry& entry) {
        if (!entry.sourceBytes.Empty() || entry.sourceLinkTarget) {
            if (auto restored = BringBackSource(entry); !restored) {
                Fail(entry.sourcePath, restored.error());
                return;
            }
            // Back on disk: the kept copy is not needed any more.
            entry.sourceBytes = {};
            entry.sourceLinkTarget.reset();
        }
        const bool pieces = RemoveAllCreated(entry.pieceFiles);
        const bool folders = RemoveAllCreated(entry.createdFolders);
        if (pieces && folders) Report(entry.sourcePath, {});
    }

    // The removed source under its name again, never over a path that exists now:
    // the very object kept in the spool where it can be linked back; else a link
    // row's link made again, or a regular file's bytes copied, which the outcome
    // reports as a copy.
    Undone BringBackSource(const SplitEntry& entry) {
        const std::string& path = entry.sourcePath;
        if (!entry.sourceBytes.Empty() && entry.sourceIdentity.known) {
            const auto kept = ReadPathIdentity(entry.sourceBytes.Path(), m_os);
            if (kept && IsSameObject(entry.sourceIdentity, *kept)) {
                if (m_os.Link(entry.sourceBytes.Path().c_str(), path.c_str()) == 0) return {};
                if (errno == EEXIST) return std::unexpected(MakeSystemError(EEXIST, path, "无法还原文件"));
            }
        }
        if (entry.sourceLinkTarget) return RemakeLink(path, *entry.sourceLinkTarget, entry.sourceState);
        auto copied = RestoreRemovedFile(path, entry.sourceBytes, entry.sourceState);
        if (copied) m_out.copiedPaths.push_back(path);
        return copied;
    }

    // A removed symbolic link made again with its target, then given its owner
    // (where this user may give it) and times the way a copied link is.
    Undone RemakeLink(const std::string& path, const std::string& target, const RemovedFileState& state) {
        if (m_os.Symlink(target.c_str(), path.c_str()) != 0) {
            return std::unexpected(MakeSystemError(errno, path, "无法还原链接"));
        }
        m_out.copiedPaths.push_back(path);
        struct stat was {};
        was.st_mode = S_IFLNK | state.mode;
        was.st_uid = state.owner;
        was.st_gid = state.group;
        was.st_atim = state.accessed;
        was.st_mtim = state.modified;
        return KeepMetadata(path, was, path, -1, m_os);
    }

    // Puts a file's old content back by the atomic rewrite, copied from the spool
    // chunk by chunk, so that a file of any size is never held whole. Only for a
    // file the rename keeps whole (ReplacementKeepsFile).
    std::expected<void, Error> RestoreContentStreamed(const ContentEntry& entry) {
        auto replacement = FileReplacement::Begin(entry.path, m_os, true, &DefaultWriteJournal());
        if (!replacement) return std::unexpected(replacement.error());
        std::expected<void, Error> written;
        if (!entry.originalBytes.Empty()) {
            const auto copied = ReadFileInChunks(
                entry.originalBytes.Path(),
                [&](std::string_view chunk) {
                    if (written) written = WriteToDescriptor(replacement->Fd(), chunk, replacement->Target(), m_os);
                },
                m_os);
            if (written && !copied) written = std::unexpected(copied.error());
        }
        if (!written) {
            replacement->Abandon();
            return written;
        }
        return replacement->Commit();
    }

    // Writes a removed file again with its mode, owner (where this user may give it
    // away) and times, never over a path that exists now; a file that cannot be
    // written whole, or not given its mode and times, is removed again.
    std::expected<void, Error> RestoreRemovedFile(const std::string& path, const SpooledBytes& bytes,
                                                  const RemovedFileState& state) {
        OwnedFd file(m_os.Open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666), m_os);
        if (!file.IsOpen()) return std::unexpected(MakeSystemError(errno, path, "无法还原文件"));
        const int fd = file.Get();
        std::expected<void, Error> written;
        const auto copied = ReadFileInChunks(
            bytes.Path(),
            [&](std::string_view chunk) {
                if (written) written = WriteToDescriptor(fd, chunk, path, m_os);
            },
            m_os);
        if (written && !copied) written = std::unexpected(copied.error());
        // The owner first: giving a file away clears its set-id bits.
        if (written && (state.owner != ::geteuid() || state.group != ::getegid()) &&
            m_os.Fchown(fd, state.owner, state.group) != 0 && errno != EPERM) {
            written = std::unexpected(MakeSystemError(errno, path, "无法设置文件所有者"));
        }
        if (written && m_os.Fchmod(fd, state.mode) != 0) {
            written = std::unexpected(MakeSystemError(errno, path, "无法设置文件权限"));
        }
        const timespec times[2] = {state.accessed, state.modified};
        if (written && m_os.Futimens(fd, times) != 0) {
            written = std::unexpected(MakeSystemError(errno, path, "无法设置文件时间"));
        }
        if (written && m_os.Fsync(fd) != 0) written = std::unexpected(MakeSystemError(errno, path, "写入失败"));
        if (auto closed = file.Close(path); !closed && written) written = std::unexpected(closed.error());
        if (!written) m_os.Unlink(path.c_str());
        return written;
    }

    const UndoHooks& m_hooks;
    PosixApi& m_os;
    OpenFolder m_folder{m_os};
    UndoOutcome& m_out;
};

}  // namespace

UndoOutcome ReplayUndoRecord(UndoRecord& record, const UndoHooks& hooks, PosixApi& os) {
    UndoOutcome outcome;
    outcome.kind = FirstUndoKind(record, kUndoReplayOrder);
    if (!outcome.kind) return outcome;
    Replay(hooks, os, outcome).Run(record, *outcome.kind);
    ReleaseSpooledData(record);
    return outcome;
}

std::optional<UndoRecord> TakeUndoRecord(std::vector<UndoRecord>& history, int number) {
    if (history.empty()) return std::nullopt;
    if (number == 0) number = static_cast<int>(history.size());
    if (number < 1 || static_cast<std::size_t>(number) > history.size()) return std::nullopt;
    const auto at = history.begin() + (number - 1);
    UndoRecord record = std::move(*at);
    history.erase(at);
    return record;
}

std::string UndoStatusText(const UndoOutcome& outcome) {
    std::string text = outcome.failedPaths.empty()
                           ? std::string(kUndoDoneText)
                           : "撤销结束，" + std::to_string(outcome.failedPaths.size()) + " 项未能撤销";
    if (!outcome.copiedPaths.empty()) {
        text += "（" + std::to_string(outcome.copiedPaths.size()) + " 个已删除的文件只能以副本还原）";
    }
    return text;
}

std::string UndoFailureMessage(const std::vector<std::string>& failedPaths, const std::vector<std::string>& reasons) {
    std::string message = "\n下列 " + std::to_string(failedPaths.size()) +
                          " 项未能撤销（文件已不存在、已被更改，或原位置已被占用；您可以将其导入再行处理）：\n\n";
    for (std::size_t i = 0; i < failedPaths.size(); ++i) {
        if (i > 0) message += '\n';
        message += failedPaths[i];
        if (i < reasons.size() && !reasons[i].empty()) message += "  （" + reasons[i] + "）";
    }
    message += '\n';
    return message;
}

}  // namespace varnel

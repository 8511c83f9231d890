#include "platform/write_journal.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <map>
#include <optional>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_io.h"
#include "platform/hash_calculator.h"
#include "platform/retry_on_eintr.h"
#include "platform/xdg_paths.h"
#include "utilities/path_routines.h"

namespace varnel {

namespace {

constexpr std::string_view kHeader = "varnel write journal 1\n";
constexpr std::string_view kRecordSuffix = ".journal";
constexpr std::string_view kCopySuffix = ".old";
// A record holds a path and a few numbers: anything longer is not one of ours.
constexpr std::size_t kRecordLimit = 64 << 10;
constexpr std::size_t kChunk = 1 << 16;

// One field: "key length:value\n", so that a path may hold any byte.
void AddField(std::string& text, std::string_view key, std::string_view value) {
    text.append(key);
    text.push_back(' ');
    text.append(std::to_string(value.size()));
    text.push_back(':');
    text.append(value);
    text.push_back('\n');
}

// The fields of a whole record; nothing when it is cut short (its writer died
// before it was synced, so the write it announced never began) or not ours.
std::optional<std::map<std::string, std::string, std::less<>>> ParseRecord(std::string_view text) {
    if (!text.starts_with(kHeader)) return std::nullopt;
    text.remove_prefix(kHeader.size());
    std::map<std::string, std::string, std::less<>> fields;
    while (!text.empty()) {
        if (text == "end\n") return fields;
        const std::size_t space = text.find(' ');
        const std::size_t colon = text.find(':');
        if (space == std::string_view::npos || colon == std::string_view::npos || colon < space) return std::nullopt;
        std::size_t length = 0;
        const auto digits = text.substr(space + 1, colon - space - 1);
        const auto parsed = std::from_chars(digits.data(), digits.data() + digits.size(), length);
        if (parsed.ec != std::errc() || parsed.ptr != digits.data() + digits.size()) return std::nullopt;
        if (text.size() - colon - 1 < length + 1 || text[colon + 1 + length] != '\n') return std::nullopt;
        fields.emplace(std::string(text.substr(0, space)), std::string(text.substr(colon + 1, length)));
        text.remove_prefix(colon + 2 + length);
    }
    return std::nullopt;
}

std::optional<std::uint64_t> Number(const std::map<std::string, std::string, std::less<>>& fields,
                                    std::string_view key) {
    const auto found = fields.find(key);
    if (found == fields.end()) return std::nullopt;
    std::uint64_t value = 0;
    const std::string& text = found->second;
    const auto parsed = std::from_chars(text.data(), text.data() + text.size(), value);
    if (parsed.ec != std::errc() || parsed.ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

bool SyncFolder(const std::string& folder, PosixApi& os) {
    const OwnedFd fd(os.Open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0), os);
    return fd.IsOpen() && os.Fsync(fd.Get()) == 0;
}

std::string Sha1(std::string_view bytes) { return HashCalculator::ComputeSha1(bytes); }

// The digest of `length` bytes of an open file from `offset`; nothing when the file
// is shorter or cannot be read.
std::optional<std::string> RegionDigest(int fd, std::uint64_t offset, std::uint64_t length, PosixApi& os) {
    HashCalculator hash;
    hash.Begin({HashAlgorithm::Sha1});
    std::string buffer(kChunk, '\0');
    while (length > 0) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, length));
        const ssize_t got = RetryOnEintr([&] { return os.Pread(fd, buffer.data(), want, static_cast<off_t>(offset)); });
        if (got <= 0) return std::nullopt;
        hash.Update(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
        offset += static_cast<std::uint64_t>(got);
        length -= static_cast<std::uint64_t>(got);
    }
    hash.Finish();
    return hash.ResultText(HashAlgorithm::Sha1);
}

bool IsTemporaryName(const std::string& path) {
    const std::string name = GetFileNameOfPath(path);
    return name.starts_with(".varnel-") && name.ends_with(".part");
}

}  // namespace

JournalEntry::JournalEntry(JournalEntry&& other) noexcept { *this = std::move(other); }

JournalEntry& JournalEntry::operator=(JournalEntry&& other) noexcept {
    if (this == &other) return *this;
    Close();
    m_os = other.m_os;
    m_fd = std::move(other.m_fd);
    m_record = std::move(other.m_record);
    m_copy = std::move(other.m_copy);
    m_syncRemoval = other.m_syncRemoval;
    return *this;
}

void JournalEntry::Close() {
    if (!m_fd.IsOpen()) return;
    // The copy first: a record without its copy still tells a finished write.
    if (!m_copy.empty()) m_os->Unlink(m_copy.c_str());
    m_os->Unlink(m_record.c_str());
    if (m_syncRemoval) SyncFolder(GetParentOfPath(m_record), *m_os);
    m_fd = OwnedFd();
    m_record.clear();
    m_copy.clear();
}

WriteJournal::WriteJournal(std::string folder, PosixApi& os) : m_folder(std::move(folder)), m_os(os) {}

std::string WriteJournal::DefaultFolder() { return WithTrailingSlash(CacheHome()) + "Varnel/journal"; }

std::string WriteJournal::Folder() const { return m_folder.empty() ? DefaultFolder() : m_folder; }

std::expected<JournalEntry, Error> WriteJournal::Create(std::string& folder) {
    folder = Folder();
    {
        std::lock_guard lock(m_mutex);
        if (m_readyFolder != folder) {
            if (auto made = EnsureDirectory(folder, 0700, m_os); !made) return std::unexpected(made.error());
            // What is kept here are copies of the user's bytes: for this user only.
            if (m_os.Chmod(folder.c_str(), 0700) != 0) {
                return std::unexpected(MakeSystemError(errno, folder, "无法设置文件夹权限"));
            }
            m_readyFolder = folder;
        }
    }
    const std::string prefix = WithTrailingSlash(folder) + std::to_string(::getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        JournalEntry entry;
        entry.m_os = &m_os;
        entry.m_record = prefix + std::to_string(++m_counter) + std::string(kRecordSuffix);
        entry.m_fd = OwnedFd(m_os.Open(entry.m_record.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600), m_os);
        if (!entry.m_fd.IsOpen()) {
            if (errno == EEXIST) continue;
            return std::unexpected(MakeSystemError(errno, entry.m_record, "无法写入日志"));
        }
        // Held while this process lives: a start replays only records nobody holds.
        if (m_os.Flock(entry.m_fd.Get(), LOCK_EX) != 0) {
            return std::unexpected(MakeSystemError(errno, entry.m_record, "无法写入日志"));
        }
        // A starting instance may have taken the empty record for a dead one's.
        struct stat info {};
        if (m_os.Fstat(entry.m_fd.Get(), &info) == 0 && info.st_nlink == 0) continue;
        return entry;
    }
    return std::unexpected(MakeSystemError(EEXIST, prefix, "无法写入日志"));
}

std::expected<void, Error> WriteJournal::Seal(JournalEntry& entry, const std::string& folder, std::string_view text) {
    if (auto written = WriteToDescriptor(entry.m_fd.Get(), text, entry.m_record, m_os); !written) return written;
    if (m_os.Fsync(entry.m_fd.Get()) != 0 || !SyncFolder(folder, m_os)) {
        return std::unexpected(MakeSystemError(errno, entry.m_record, "无法写入日志"));
    }
    // A start that took the record for a dead one's in the instant before it was
    // locked has removed it: then it records nothing.
    struct stat info {};
    if (m_os.Fstat(entry.m_fd.Get(), &info) != 0 || info.st_nlink == 0) {
        return std::unexpected(Error{EIO, "无法写入日志", entry.m_record});
    }
    return {};
}

std::expected<JournalEntry, Error> WriteJournal::BeginInPlace(const InPlaceWrite& write) {
    std::string folder;
    auto entry = Create(folder);
    if (!entry) return entry;
    entry->m_syncRemoval = true;
    entry->m_copy = entry->m_record + std::string(kCopySuffix);
    OwnedFd copy(m_os.Open(entry->m_copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600), m_os);
    if (!copy.IsOpen()) {
        const int error = errno;
        entry->m_copy.clear();
        return std::unexpected(MakeSystemError(error, folder, "无法保存原内容"));
    }
    std::expected<void, Error> kept = WriteToDescriptor(copy.Get(), write.oldBytes, entry->m_copy, m_os);
    if (kept && m_os.Fsync(copy.Get()) != 0) {
        kept = std::unexpected(MakeSystemError(errno, entry->m_copy, "无法保存原内容"));
    }
    if (auto closed = copy.Close(entry->m_copy, "无法保存原内容"); !closed && kept) kept = std::unexpected(closed.error());
    if (!kept) return std::unexpected(kept.error());

    std::string text(kHeader);
    AddField(text, "kind", "in-place");
    AddField(text, "path", write.path);
    AddField(text, "device", std::to_string(write.device));
    AddField(text, "inode", std::to_string(write.inode));
    AddField(text, "offset", std::to_string(write.offset));
    AddField(text, "old-size", std::to_string(write.oldSize));
    AddField(text, "new-size", std::to_string(write.newSize));
    AddField(text, "old-length", std::to_string(write.oldBytes.size()));
    AddField(text, "new-length", std::to_string(write.newBytes.size()));
    AddField(text, "old-digest", Sha1(write.oldBytes));
    AddField(text, "new-digest", Sha1(write.newBytes));
    text.append("end\n");
    if (auto sealed = Seal(*entry, folder, text); !sealed) return std::unexpected(sealed.error());
    return entry;
}

std::expected<JournalEntry, Error> WriteJournal::NoteTemporary(const std::string& temporary) {
    std::string folder;
    auto entry = Create(folder);
    if (!entry) return entry;
    std::string text(kHeader);
    AddField(text, "kind", "temporary");
    AddField(text, "path", temporary);
    text.append("end\n");
    if (auto sealed = Seal(*entry, folder, text); !sealed) return std::unexpected(sealed.error());
    return entry;
}

WriteJournal& DefaultWriteJournal() {
    static WriteJournal journal;
    return journal;
}

namespace {

using Fields = std::map<std::string, std::string, std::less<>>;

// What one in-place record came to.
enum class Replayed { Done, Restored, Left, Retry };

class Replayer {
public:
    Replayer(PosixApi& os, JournalReplay& out) : m_os(os), m_out(out) {}

    // Whether the record may go.
    bool Replay(const Fields& fields, const std::string& copy) {
        const auto kind = fields.find("kind");
        const auto path = fields.find("path");
        if (kind == fields.end() || path == fields.end()) return true;
        if (kind->second == "temporary") {
            RemoveTemporary(path->second);
            return true;
        }
        if (kind->second != "in-place") return true;
        return InPlace(path->second, fields, copy) != Replayed::Retry;
    }

private:
    void RemoveTemporary(const std::string& path) {
        // Only a regular file of the name the program gives its temporaries.
        struct stat info {};
        if (!IsTemporaryName(path) || m_os.Lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return;
        if (m_os.Unlink(path.c_str()) == 0) m_out.removed.push_back(path);
    }

    Replayed Leave(const std::string& path, std::string reason, Replayed how = Replayed::Left) {
        m_out.left.emplace_back(path, std::move(reason));
        return how;
    }

    Replayed InPlace(const std::string& path, const Fields& fields, const std::string& copy) {
        const auto device = Number(fields, "device");
        const auto inode = Number(fields, "inode");
        const auto offset = Number(fields, "offset");
        const auto oldSize = Number(fields, "old-size");
        const auto newSize = Number(fields, "new-size");
        const auto oldLength = Number(fields, "old-length");
        const auto newLength = Number(fields, "new-length");
        const auto oldDigest = fields.find("old-digest");
        const auto newDigest = fields.find("new-digest");
        if (!device || !inode || !offset || !oldSize || !newSize || !oldLength || !newLength ||
            oldDigest == fields.end() || newDigest == fields.end()) {
            return Replayed::Done;
        }
        OwnedFd file(m_os.Open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0), m_os);
        if (!file.IsOpen()) {
            if (errno == ENOENT || errno == ELOOP || errno == ENOTDIR) return Replayed::Done;
            return Leave(path, SystemErrorReason(errno), Replayed::Retry);
        }
        const int fd = file.Get();
        struct stat info {};
        if (m_os.Fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_dev != *device ||
            info.st_ino != *inode) {
            // Another file has the name now: it is not the one the write was on.
            return Replayed::Done;
        }
        const auto size = static_cast<std::uint64_t>(info.st_size);
        if (size == *newSize && RegionDigest(fd, *offset, *newLength, m_os) == newDigest->second) return Replayed::Done;
        if (size == *oldSize && RegionDigest(fd, *offset, *oldLength, m_os) == oldDigest->second) return Replayed::Done;
        // Torn: the old bytes go back, but only a copy that is whole.
        const OwnedFd keptFile(m_os.Open(copy.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW, 0), m_os);
        if (!keptFile.IsOpen()) return Leave(path, "原内容的副本已不存在");
        const int kept = keptFile.Get();
        struct stat keptInfo {};
        if (m_os.Fstat(kept, &keptInfo) != 0 || static_cast<std::uint64_t>(keptInfo.st_size) != *oldLength ||
            RegionDigest(kept, 0, *oldLength, m_os) != oldDigest->second) {
            return Leave(path, "原内容的副本已损坏");
        }
        std::string buffer(kChunk, '\0');
        for (std::uint64_t at = 0; at < *oldLength;) {
            const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, *oldLength - at));
            const ssize_t got = RetryOnEintr([&] { return m_os.Pread(kept, buffer.data(), want, static_cast<off_t>(at)); });
            if (got <= 0) return Leave(path, "读取失败", Replayed::Retry);
            auto written = WriteToDescriptorAt(fd, *offset + at, std::string_view(buffer.data(), static_cast<std::size_t>(got)),
                                               path, m_os);
            if (!written) return Leave(path, FailureReason(written.error()), Replayed::Retry);
            at += static_cast<std::uint64_t>(got);
        }
        if (m_os.Ftruncate(fd, static_cast<off_t>(*oldSize)) != 0 || m_os.Fsync(fd) != 0) {
            return Leave(path, SystemErrorReason(errno), Replayed::Retry);
        }
        // The record stays until the write back is known to be whole.
        if (auto closed = file.Close(path); !closed) return Leave(path, FailureReason(closed.error()), Replayed::Retry);
        m_out.restored.push_back(path);
        return Replayed::Restored;
    }

    PosixApi& m_os;
    JournalReplay& m_out;
};

std::vector<std::string> FolderNames(const std::string& folder, PosixApi& os) {
    std::vector<std::string> names;
    OwnedFd fd(os.Open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0), os);
    if (!fd.IsOpen()) return names;
    DIR* dir = os.Fdopendir(fd.Get());
    if (dir == nullptr) return names;
    fd.Release();  // the listing owns it now
    while (const dirent* item = os.Readdir(dir)) {
        const std::string name = item->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    os.Closedir(dir);
    std::ranges::sort(names);
    return names;
}

}  // namespace

JournalReplay ReplayWriteJournal(const std::string& requestedFolder, PosixApi& os) {
    JournalReplay replay;
    const std::string folder = WithTrailingSlash(requestedFolder.empty() ? WriteJournal::DefaultFolder()
                                                                               : requestedFolder);
    const std::vector<std::string> names = FolderNames(folder, os);
    Replayer replayer(os, replay);
    bool removedAny = false;
    for (const std::string& name : names) {
        if (!name.ends_with(kRecordSuffix)) continue;
        const std::string record = folder + name;
        const std::string copy = record + std::string(kCopySuffix);
        const OwnedFd file(os.Open(record.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0), os);
        if (!file.IsOpen()) continue;
        const int fd = file.Get();
        struct stat info {};
        // A record someone holds is a running instance's: not ours to touch.
        if (os.Flock(fd, LOCK_EX | LOCK_NB) != 0 || os.Fstat(fd, &info) != 0 || info.st_nlink == 0 ||
            !S_ISREG(info.st_mode)) {
            continue;
        }
        std::string text;
        if (static_cast<std::size_t>(info.st_size) <= kRecordLimit) {
            text.resize(static_cast<std::size_t>(info.st_size));
            const ssize_t got = os.Pread(fd, text.data(), text.size(), 0);
            text.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
        }
        const auto fields = ParseRecord(text);
        // A record cut short was never acted on: it only goes.
        if (!fields || replayer.Replay(*fields, copy)) {
            os.Unlink(copy.c_str());
            os.Unlink(record.c_str());
            removedAny = true;
        }
    }
    // A copy whose record is gone belongs to no write.
    for (const std::string& name : names) {
        if (!name.ends_with(std::string(kRecordSuffix) + std::string(kCopySuffix))) continue;
        const std::string record = folder + name.substr(0, name.size() - kCopySuffix.size());
        struct stat info {};
        if (os.Lstat(record.c_str(), &info) != 0 && errno == ENOENT) {
            os.Unlink((folder + name).c_str());
            removedAny = true;
        }
    }
    if (removedAny) SyncFolder(folder, os);
    return replay;
}

std::string JournalReplayNotice(const JournalReplay& replay) {
    if (replay.Empty()) return {};
    std::string text = "上次运行未完成的写入已处理：";
    for (const std::string& path : replay.restored) text += "\n已恢复原内容：" + path;
    for (const std::string& path : replay.removed) text += "\n已删除临时文件：" + path;
    for (const auto& [path, reason] : replay.left) text += "\n未能恢复：" + path + "（" + reason + "）";
    return text;
}

}  // namespace varnel

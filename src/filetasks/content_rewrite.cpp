#include "filetasks/content_rewrite.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>

#include "naming/meta_expansion.h"
#include "platform/file_io.h"
#include "platform/hash_calculator.h"
#include "runs/run_meta.h"
#include "runs/rename_step.h"

namespace varnel {

namespace {

// The new content on its way to the temporary file: written in chunks, compared
// with the old content while they are the same, and digested for undo.
class FileSink : public ContentSink {
public:
    FileSink(int fd, const std::string& path, std::string_view original, const MappedFile* source, PosixApi& os)
        : m_fd(fd), m_path(path), m_original(original), m_source(source), m_os(os) {
        m_hash.Begin({HashAlgorithm::Sha1});
        m_buffer.reserve(kChunk);
    }

    std::expected<void, Error> Write(std::string_view bytes) override {
        if (m_failure) return std::unexpected(*m_failure);
        if (m_same) {
            const auto at = static_cast<std::size_t>(m_size);
            m_same = at + bytes.size() <= m_original.size() && m_original.compare(at, bytes.size(), bytes) == 0;
        }
        m_hash.Update(bytes);
        m_size += static_cast<std::int64_t>(bytes.size());
        if (m_buffer.size() + bytes.size() > kChunk) {
            if (auto flushed = Flush(); !flushed) return flushed;
            if (bytes.size() >= kChunk) return Check(WriteToDescriptor(m_fd, bytes, m_path, m_os));
        }
        m_buffer.append(bytes);
        return {};
    }

    void Consumed(const char* at) override {
        if (m_source != nullptr) m_source->ReleaseBefore(at);
    }

    std::expected<void, Error> Flush() {
        if (m_failure) return std::unexpected(*m_failure);
        auto written = WriteToDescriptor(m_fd, m_buffer, m_path, m_os);
        m_buffer.clear();
        return Check(std::move(written));
    }

    bool SameAsOriginal() const { return m_same && m_size == static_cast<std::int64_t>(m_original.size()); }
    std::int64_t Size() const { return m_size; }
    std::string Digest() {
        m_hash.Finish();
        return m_hash.ResultText(HashAlgorithm::Sha1).value_or(std::string());
    }

private:
    static constexpr std::size_t kChunk = std::size_t{256} << 10;

    std::expected<void, Error> Check(std::expected<void, Error> written) {
        if (!written) m_failure = written.error();
        return written;
    }

    int m_fd;
    const std::string& m_path;
    std::string_view m_original;
    const MappedFile* m_source;
    PosixApi& m_os;
    HashCalculator m_hash;
    std::string m_buffer;
    std::int64_t m_size = 0;
    bool m_same = true;
    std::optional<Error> m_failure;
};

// A file that a rename would not keep whole (several names, an owner this user
// cannot give back, a folder this user may not write) is written where it lies,
// from memory, under the write journal; its synced copy of the old bytes is what
// the undo spool keeps too.
std::expected<RewriteResult, Error> RewriteInPlace(const std::string& path, const struct stat& start,
                                                   std::string_view original, std::string_view updated,
                                                   UndoSpool* spool, WriteJournal& journal, PosixApi& os) {
    RewriteResult result;
    std::optional<SpooledBytes> kept;
    const auto keep = [&](const JournalEntry& entry) -> std::expected<void, Error> {
        if (spool == nullptr) return {};
        auto stored = spool->StoreLinkOf(entry.KeptCopy(), true);
        if (!stored) return std::unexpected(stored.error());
        kept = std::move(*stored);
        return {};
    };
    auto written = WriteInPlaceJournalled(path, start, 0, original, updated, true, journal, os, keep);
    if (!written && !written.error().leftChanged) return std::unexpected(std::move(written.error().error));
    result.changed = true;
    std::int64_t size = static_cast<std::int64_t>(updated.size());
    std::string digest;
    if (written) {
        digest = ContentDigest(updated);
    } else {
        // Neither old nor new: the undo entry still brings the old content back,
        // matched against what the file holds now (unknown: it never overwrites).
        result.failure = std::move(written.error().error);
        struct stat info {};
        auto now = FileContentDigest(path, os);
        if (os.Stat(path.c_str(), &info) == 0 && now) {
            size = static_cast<std::int64_t>(info.st_size);
            digest = std::move(*now);
        } else {
            size = -1;
        }
    }
    if (kept) result.entry = ContentEntry{path, std::move(*kept), size, std::move(digest)};
    return result;
}

}  // namespace

namespace {

bool Cut(const MappedFile* source) { return source != nullptr && source->Truncated(); }

Error CutError(const std::string& path) { return Error{EIO, "文件在编辑时被其他程序截短", path}; }

// The file at `path` changed since `start`: once our own spool link has moved
// its change time, only its identity, size and modification time tell.
bool ChangedBesidesLink(const struct stat& start, const struct stat& now) {
    return start.st_dev != now.st_dev || start.st_ino != now.st_ino || start.st_size != now.st_size ||
           start.st_mtim.tv_sec != now.st_mtim.tv_sec || start.st_mtim.tv_nsec != now.st_mtim.tv_nsec;
}

}  // namespace

std::expected<RewriteResult, Error> RewriteFileStreamed(const std::string& path, std::string_view original,
                                                        const MappedFile* source, const ContentWrite& write,
                                                        UndoSpool* spool, PosixApi& os, WriteJournal& journal) {
    RewriteResult result;
    struct stat info {};
    if (os.Stat(path.c_str(), &info) != 0) return std::unexpected(MakeSystemError(errno, path, "无法打开文件"));
    // What the new content is made from: the file as its bytes were read.
    const struct stat start = source != nullptr ? source->Status() : info;
    if (S_ISREG(info.st_mode)) {
        if (auto writable = CheckWritable(path, info, os); !writable) return std::unexpected(writable.error());
    }
    if (S_ISREG(info.st_mode) && !ReplacementKeepsFile(path, info, os)) {
        StringSink sink;
        auto changed = write(sink);
        if (!changed) return std::unexpected(changed.error());
        if (!*changed) {
            result.nothingToDo = true;
            return result;
        }
        if (Cut(source)) return std::unexpected(CutError(path));
        if (sink.Bytes() == original) return result;
        // Written in place, the file's bytes change under a mapping of them.
        const std::string copy = source != nullptr && source->Holds(original) ? std::string(original) : std::string();
        return RewriteInPlace(path, start, copy.empty() ? original : std::string_view(copy), sink.Bytes(), spool,
                              journal, os);
    }
    auto replacement = FileReplacement::Begin(path, os, true, &journal);
    if (!replacement) return std::unexpected(std::move(replacement.error()));
    FileSink sink(replacement->Fd(), replacement->Target(), original, source, os);
    auto changed = write(sink);
    if (!changed) return std::unexpected(changed.error());
    if (!*changed) {
        result.nothingToDo = true;
        return result;
    }
    if (auto flushed = sink.Flush(); !flushed) return std::unexpected(flushed.error());
    // What was made of a file another program cut short meanwhile is thrown away.
    if (Cut(source)) return std::unexpected(CutError(path));
    if (sink.SameAsOriginal()) return result;
    // Another program's write meanwhile would be lost under the new content.
    struct stat now {};
    if (os.Stat(replacement->Target().c_str(), &now) != 0 || ChangedSince(start, now)) {
        return std::unexpected(ChangedMeanwhileError(path));
    }
    // The old file stays whole on disk until the rename: its spooled copy needs no
    // sync, and where it can be a second name of the same inode, no copy either.
    std::optional<SpooledBytes> kept;
    if (spool != nullptr) {
        auto stored = spool->StoreLinkOf(replacement->Target(), false);
        if (!stored) return std::unexpected(stored.error());
        kept = std::move(*stored);
        if (os.Stat(replacement->Target().c_str(), &now) != 0 || ChangedBesidesLink(start, now)) {
            return std::unexpected(ChangedMeanwhileError(path));
        }
    }
    // Checked again once the new content is synced, right before the rename.
    replacement->ExpectUnchanged(now);
    if (auto committed = replacement->Commit(); !committed) return std::unexpected(committed.error());
    result.changed = true;
    if (kept) result.entry = ContentEntry{path, std::move(*kept), sink.Size(), sink.Digest()};
    return result;
}

std::expected<RewriteResult, Error> RewriteFileContent(const std::string& path, std::string_view original,
                                                       std::string_view updated, UndoSpool* spool, PosixApi& os,
                                                       WriteJournal& journal) {
    if (updated == original) return RewriteResult{};
    return RewriteFileStreamed(
        path, original, nullptr,
        [updated](ContentSink& out) -> std::expected<bool, Error> {
            if (auto written = out.Write(updated); !written) return std::unexpected(written.error());
            return true;
        },
        spool, os, journal);
}

void RunContentRows(RunContext& run, RunRows& rows, const ContentEditor& edit, PosixApi& os, bool clearInPreview) {
    const bool transfer = run.Settings().transferMode;
    std::optional<RenameStep> step;
    if (transfer) step.emplace(run, rows, os);
    const RunMetaEnvironment runMeta(run, os);
    const MetaEnvironment& meta = runMeta.Get();

    ForEachRunRow(run, rows, [&](std::size_t index) {
        const std::string name = rows.Name(index);
        if (name.empty()) return;  // the row has left the list
        if (transfer) {
            // The transfer step shows its target in a preview, and marks and logs a
            // failed copy with its reason.
            if (!step->TransferRowFile(index, name)) {
                return;
            }
        }
        if (!run.IsExecute()) {
            if (!transfer && clearInPreview) rows.SetCell(index, ListColumn::Preview, "");
            return;
        }
        ContentRow row;
        row.path = rows.FullPath(index);  // the copy, after a transfer
        row.row = static_cast<std::int64_t>(index) + 1;
        row.expand = [&meta, &row](std::string_view text) -> std::expected<std::string, Error> {
            if (text.find('#') == std::string_view::npos) return std::string(text);
            MetaExpansionRequest request;
            request.path = row.path;
            request.text = text;
            request.row = row.row;
            return ExpandMetaVariables(meta, request);
        };
        const auto fail = [&](const Error& error) {
            std::string reason = FailureReason(error);
            rows.SetCell(index, ListColumn::Preview, reason.empty() ? std::string(kStatusFailed) : std::string(kStatusFailed) + " " + reason);
            run.LogFailure(row.path, std::move(reason));
        };
        // Without a place for the old bytes the change could not be undone: no change.
        if (!transfer && run.Spool() == nullptr) return fail(Error{EINVAL, "无法保存撤销数据", row.path});
        auto source = MappedFile::Open(row.path, os);
        if (!source) return fail(source.error());
        const std::string_view original = source->Bytes();
        // The modification time the content had, which its undo gives back with it.
        struct stat before {};
        const bool timeKnown = os.Stat(row.path.c_str(), &before) == 0;
        // The copy of a transfer goes with the transfer's undo: no entry of its own.
        auto rewritten = RewriteFileStreamed(
            row.path, original, &*source, [&](ContentSink& out) { return edit(row, original, out); },
            transfer ? nullptr : run.Spool(), os);
        if (!rewritten) return fail(rewritten.error());
        if (rewritten->nothingToDo) {
            rows.SetCell(index, ListColumn::Preview, kStatusNothing);
            return;
        }
        if (transfer && rewritten->changed) RefreshTransferIdentity(run.Record(), row.path, os);
        if (rewritten->entry) {
            if (timeKnown) rewritten->entry->oldModified = before.st_mtim;
            run.Record().contentChanges.push_back(std::move(*rewritten->entry));
        }
        if (rewritten->failure) return fail(*rewritten->failure);
        rows.SetCell(index, ListColumn::Preview, kStatusDone);
    });
}

}  // namespace varnel

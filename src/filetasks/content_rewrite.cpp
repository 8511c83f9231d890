#include "filetasks/content_rewrite.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>

#include "naming/meta_expansion.h"
#include "platform/file_io.h"
#include "runs/run_meta.h"
#include "runs/rename_step.h"

namespace varnel {

std::expected<std::string, Error> ReadRegularFile(const std::string& path, PosixApi& os) {
    struct stat info {};
    if (os.Stat(path.c_str(), &info) != 0) return std::unexpected(MakeSystemError(errno, path, "无法打开文件"));
    if (!S_ISREG(info.st_mode)) return std::unexpected(Error{EINVAL, "不是普通文件", path});
    // Room for the whole file at once: growing by doubling would hold up to twice it.
    std::string content;
    content.reserve(static_cast<std::size_t>(info.st_size));
    auto read = ReadFileInChunks(path, [&content](std::string_view chunk) { content.append(chunk); }, os);
    if (!read) return std::unexpected(std::move(read.error()));
    return content;
}

std::expected<RewriteResult, Error> RewriteFileContent(const std::string& path, std::string_view original,
                                                       std::string_view updated, UndoSpool* spool, PosixApi& os) {
    RewriteResult result;
    if (updated == original) return result;
    std::optional<SpooledBytes> kept;
    if (spool != nullptr) {
        auto stored = spool->Store(original);
        if (!stored) return std::unexpected(stored.error());
        kept = std::move(*stored);
    }
    auto written = ReplaceFileContent(path, updated, original, os);
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

std::expected<ContentEdit, Error> EditAsText(
    std::string_view bytes, const std::function<std::expected<bool, Error>(std::string& text, TextEncoding encoding)>& edit) {
    auto decoded = DecodeFileText(bytes);
    if (!decoded) return std::unexpected(decoded.error());
    auto changed = edit(decoded->text, decoded->encoding);
    if (!changed) return std::unexpected(changed.error());
    if (!*changed) return ContentEdit{{}, true};
    auto encoded = EncodeFileText(decoded->text, decoded->encoding);
    if (!encoded) return std::unexpected(encoded.error());
    return ContentEdit{std::move(*encoded), false};
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
            // The transfer step shows its target in a preview and logs a failed copy.
            if (!step->TransferRowFile(index, name)) {
                if (run.IsExecute()) rows.SetCell(index, ListColumn::Preview, kStatusFailed);
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
        auto original = ReadRegularFile(row.path, os);
        if (!original) return fail(original.error());
        auto edited = edit(row, *original);
        if (!edited) return fail(edited.error());
        if (edited->nothingToDo) {
            rows.SetCell(index, ListColumn::Preview, kStatusNothing);
            return;
        }
        // The copy of a transfer goes with the transfer's undo: no entry of its own.
        auto rewritten = RewriteFileContent(row.path, *original, edited->bytes, transfer ? nullptr : run.Spool(), os);
        if (!rewritten) return fail(rewritten.error());
        if (transfer && rewritten->changed) RefreshTransferIdentity(run.Record(), row.path, os);
        if (rewritten->entry) run.Record().contentChanges.push_back(std::move(*rewritten->entry));
        if (rewritten->failure) return fail(*rewritten->failure);
        rows.SetCell(index, ListColumn::Preview, kStatusDone);
    });
}

}  // namespace varnel

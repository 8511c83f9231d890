// Rewriting a file's content safely, shared by every task that changes what is
// inside files: a regular file only (anything else is refused unopened; a link is
// followed to its target), one marked read-only or that this user may not write
// refused ("文件只读"), the new content streamed to a temporary file (named in the
// write journal first) that is synced and renamed over the old one, so a crash
// leaves the old or the new content and nothing in between; a file the rename
// would not keep whole (several names, an owner this user cannot give back, a
// folder this user may not write) is written in place under the journal instead.
// A file another program changed while its new content was made keeps that
// change: the new content is thrown away and the row fails. An unchanged content
// is not written at all; the old bytes go to the run's undo spool first, with the
// size and digest of what was written, so that undo restores only while the file
// still holds exactly that.
// Memory: a UTF-8 file is edited where it lies (a large one mapped and let go
// behind the edit), so a replace of plain text or of an expression, an insert
// and an encoding conversion hold a few megabytes whatever the file's size; a
// file in another encoding is held decoded, a write between markers holds the
// new text, and a file written in place is rewritten from memory.
// Also the row loop of the content tasks. Runs on a run's own thread.
#pragma once

#include <cstddef>
#include <expected>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "filetasks/content_text.h"
#include "platform/mapped_file.h"
#include "platform/posix_api.h"
#include "platform/write_journal.h"
#include "runs/run_context.h"
#include "runs/run_rows.h"
#include "runs/undo_record.h"
#include "runs/undo_spool.h"
#include "utilities/error.h"

namespace varnel {

struct RewriteResult {
    bool changed = false;               // false: the content came out the same, nothing written
    bool nothingToDo = false;           // the edit found nothing to do: nothing written
    std::optional<ContentEntry> entry;  // with a spool: how to undo the change
    // The file changed but not as asked (an in-place rewrite that failed and could
    // not be put back): the row fails, and the entry still undoes it.
    std::optional<Error> failure;
};

// Replaces the content `original` of `path` by `updated`. With a spool the original
// goes there first (a spool that fails fails the rewrite, the file untouched).
std::expected<RewriteResult, Error> RewriteFileContent(const std::string& path, std::string_view original,
                                                       std::string_view updated, UndoSpool* spool,
                                                       PosixApi& os = SystemPosix(),
                                                       WriteJournal& journal = DefaultWriteJournal());

// Writes a new content of a file to a sink, in order; false: nothing to do.
using ContentWrite = std::function<std::expected<bool, Error>(ContentSink& out)>;

// The same for a content that `write` makes as it goes, the file's current bytes
// being `original` (`source`, when given, holds them and lets go of what the edit
// has passed, and whose status tells whether the file changed since it was read).
// A file a rename keeps whole gets the new content streamed into a temporary file
// beside it, compared with the old as it goes (the same content is not written)
// and digested for undo; any other is rewritten in place from memory.
std::expected<RewriteResult, Error> RewriteFileStreamed(const std::string& path, std::string_view original,
                                                        const MappedFile* source, const ContentWrite& write,
                                                        UndoSpool* spool, PosixApi& os = SystemPosix(),
                                                        WriteJournal& journal = DefaultWriteJournal());

// One row as a content task's editor sees it.
struct ContentRow {
    std::string path;
    std::int64_t row = 0;  // 1-based
    // Expands the meta-variables of a text for this file (unchanged while 启用元符 is off).
    std::function<std::expected<std::string, Error>(std::string_view text)> expand;
};

// An editor writes the new content of a row's file (`bytes`: its current content)
// to `out` in order; false: nothing to do (the row gets "○"). The common case is
// EditFileText.
using ContentEditor =
    std::function<std::expected<bool, Error>(const ContentRow& row, std::string_view bytes, ContentSink& out)>;

// The content task row loop: in transfer mode each row's file is first copied to
// the transfer folder (a failed copy fails the row) and the copy is edited, with no
// entry of its own; a preview writes nothing and clears the status column (or
// leaves the transfer's target there; with clearInPreview false it leaves the
// column alone); an execute edits and rewrites each file, marking "√", "○" or
// "×", recording undo entries and logging failures.
void RunContentRows(RunContext& run, RunRows& rows, const ContentEditor& edit, PosixApi& os = SystemPosix(),
                    bool clearInPreview = true);

}  // namespace varnel

#include "id3/tag_run.h"

#include <array>
#include <cerrno>
#include <optional>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <memory>

#include "id3/tag_file.h"
#include "id3/tag_undo_bytes.h"
#include "platform/file_io.h"
#include "runs/rename_step.h"
#include "utilities/char_forms.h"
#include "utilities/path_routines.h"

namespace varnel {

namespace {

constexpr const char* kUntrustedTagText = "标签无法读取或标签头无效";

void FailRow(RunContext& run, RunRows& rows, std::size_t row, const std::string& path, std::string reason = {}) {
    rows.SetCell(row, ListColumn::Preview, reason.empty() ? std::string(kStatusFailed)
                                                          : std::string(kStatusFailed) + " " + reason);
    if (run.IsExecute()) run.LogFailure(path, std::move(reason));
}

}  // namespace

bool WritesVersion1(TagVersions which) { return which != TagVersions::Version2; }
bool WritesVersion2(TagVersions which) { return which != TagVersions::Version1; }

std::string TagPreviewText(const Id3TagPair& tags, TagVersions which) {
    std::string text;
    if (WritesVersion1(which)) text += "【[v1]" + FormatId3v1Text(tags.v1) + "】";
    if (WritesVersion2(which)) text += "【[v2]" + FormatId3v2Text(tags.v2) + "】";
    return text;
}

void RunTagTask(RunContext& run, RunRows& rows, const TagTaskParams& params, PosixApi& os) {
    const bool transfer = run.Settings().transferMode;
    std::unique_ptr<RenameStep> step;
    if (transfer) step = std::make_unique<RenameStep>(run, rows, os);
    ForEachRunRow(run, rows, [&](std::size_t row) {
        const std::string name = rows.Name(row);
        if (name.empty()) return;
        std::string path = rows.Folder(row) + name;
        if (transfer) {
            if (!step->TransferRowFile(row, name)) return;
            if (run.IsExecute()) path = run.Settings().transferFolder + rows.Name(row);
        }
        ApplyTagTaskToFile(run, rows, row, path, params, os);
    });
}

void ApplyTagTaskToFile(RunContext& run, RunRows& rows, std::size_t row, const std::string& path,
                        const TagTaskParams& params, PosixApi& os) {
    const bool v1 = WritesVersion1(params.which);
    const bool v2 = WritesVersion2(params.which);
    Id3TagPair cur;
    const TagFileReader file(path, os);
    const auto [read1, read2] = ReadId3TagPair(file, cur, v1 || params.readBoth, v2 || params.readBoth);
    // A file that cannot be read, or whose tag header cannot be trusted, is not touched.
    if (read1 == TagReadResult::Unreadable || read2 == TagReadResult::Unreadable) {
        FailRow(run, rows, row, path, file.IsOpen() ? kUntrustedTagText : FailureReason(file.OpenError()));
        return;
    }
    // Files that are no MP3 and carry no tag, and empty files, are not given one.
    const bool tagged = read1 == TagReadResult::Found || read2 == TagReadResult::Found;
    if (!tagged && (file.Size() == 0 || ToLowerAscii(GetExtensionOfPath(path)) != "mp3")) {
        rows.SetCell(row, ListColumn::Preview, kStatusNothing);
        return;
    }
    auto old = std::make_shared<const Id3TagPair>(cur);
    std::string note;
    if (params.change) {
        auto changed = params.change(cur, TagRowContext{path, static_cast<std::int64_t>(row) + 1});
        if (!changed) {
            FailRow(run, rows, row, path, FailureReason(changed.error()));
            return;
        }
        note = std::move(*changed);
    }
    // An ID3v1 value that does not fit its field fails the row, in the preview as
    // in the run: nothing is cut, and neither tag is written.
    if (v1) {
        if (auto fits = CheckId3v1Write(file, cur.v1); !fits) {
            FailRow(run, rows, row, path, FailureReason(fits.error()));
            return;
        }
    }

    const bool transfer = run.Settings().transferMode;
    if (!run.IsExecute()) {
        std::string text = TagPreviewText(cur, params.which) + note;
        if (transfer) text = rows.Cell(row, ListColumn::Preview) + kTagPreviewSeparator + text;
        rows.SetCell(row, ListColumn::Preview, text);
        return;
    }
    // A file its owner marked read-only, or this user may not write, is left as
    // it is, and the row says why.
    if (!transfer) {
        struct stat status {};
        if (os.Stat(path.c_str(), &status) != 0) {
            FailRow(run, rows, row, path, SystemErrorReason(errno));
            return;
        }
        if (auto writable = CheckWritable(path, status, os); !writable) {
            FailRow(run, rows, row, path, FailureReason(writable.error()));
            return;
        }
    }
    // What the writes replace, kept whole before a byte changes (a transfer's copy
    // is undone by removing it).
    std::optional<KeptTagBytes> kept;
    if (!transfer) {
        auto bytes = KeepReplacedTagBytes(file, v2, run.Spool());
        if (!bytes) {
            FailRow(run, rows, row, path, FailureReason(bytes.error()));
            return;
        }
        kept = std::move(*bytes);
    }
    std::optional<std::array<timespec, 2>> oldTimes;
    if (struct stat before {}; os.Stat(path.c_str(), &before) == 0) {
        oldTimes = std::array<timespec, 2>{before.st_atim, before.st_mtim};
    }
    const bool ok1 = !v1 || WriteId3v1Tag(path, cur.v1, os);
    const bool ok2 = !v2 || WriteId3v2Tag(path, cur.v2, os);
    // The copy of a transfer is recorded by the transfer itself.
    const bool written1 = v1 && ok1;
    const bool written2 = v2 && ok2;
    if (!transfer && (written1 || written2)) {
        const TagVersions recorded = written1 && written2 ? TagVersions::Both
                                     : written1           ? TagVersions::Version1
                                                          : TagVersions::Version2;
        run.Record().familyChanges.push_back(
            TagUndoEntry({path, std::move(old), recorded, ReadObjectIdentity(path, os).value_or(PathIdentity{}),
                          oldTimes, std::move(kept)}));
    }
    if (ok1 && ok2) {
        rows.SetCell(row, ListColumn::Preview, kStatusDone);
    } else {
        FailRow(run, rows, row, path);
    }
}

std::expected<void, Error> RestoreTagEntry(const TagEntry& entry, PosixApi& os) {
    if (!entry.oldTags && !entry.oldBytes) return std::unexpected(Error{Error::kInvalidInput, "没有原标签", entry.path});
    // The object the tags were written into: through a link, its target.
    auto now = ReadObjectIdentity(entry.path, os);
    if (!now) return std::unexpected(now.error());
    if (!MatchesIdentity(entry.identity, *now)) {
        return std::unexpected(Error{Error::kInvalidInput, kUndoChangedReason, entry.path});
    }
    if (entry.oldBytes) {
        auto restored = RestoreReplacedTagBytes(entry.path, entry.identity, *entry.oldBytes, os);
        if (!restored) return restored;
    } else {
        // Only the parsed tags are known: they are built again.
        const Id3TagPair& old = *entry.oldTags;
        bool ok = true;
        if (WritesVersion1(entry.which)) {
            ok = old.v1.marker.empty() ? RemoveId3v1Tag(entry.path, os) : StoreId3v1Tag(entry.path, old.v1, os);
        }
        if (WritesVersion2(entry.which)) {
            ok = (old.v2.marker.empty() ? RemoveId3v2Tag(entry.path, os)
                                        : StoreId3v2Tag(entry.path, old.v2, old.v2Room, os)) &&
                 ok;
        }
        if (!ok) return std::unexpected(Error{EIO, "无法写回原标签", entry.path});
    }
    // The file is as it was before the run, its times too.
    if (entry.oldTimes && os.Utimensat(AT_FDCWD, entry.path.c_str(), entry.oldTimes->data(), 0) != 0) {
        return std::unexpected(MakeSystemError(errno, entry.path, "无法恢复文件时间"));
    }
    return {};
}

void RegisterTagUndoKind(UndoFamilyRegistry& families) {
    UndoFamily<TagEntry> tags;
    tags.restore = [](const TagEntry& entry, PosixApi& os) { return RestoreTagEntry(entry, os); };
    // The file is listed again whatever the tag writers managed.
    tags.listAgainOnFailure = true;
    tags.titles = [](const TagEntry& first) {
        std::vector<std::string> titles = {"MP3文件"};
        if (WritesVersion1(first.which)) titles.push_back("原ID3v1");
        if (WritesVersion2(first.which)) titles.push_back("原ID3v2");
        return titles;
    };
    tags.cells = [](const TagEntry& entry) {
        std::vector<std::string> cells;
        if (!entry.oldTags) return cells;
        if (WritesVersion1(entry.which)) cells.push_back(FormatId3v1Text(entry.oldTags->v1));
        if (WritesVersion2(entry.which)) cells.push_back(FormatId3v2Text(entry.oldTags->v2));
        return cells;
    };
    families.Register(UndoKind::TagChanges, std::move(tags));
}

}  // namespace varnel

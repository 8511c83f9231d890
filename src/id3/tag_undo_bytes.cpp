#include "id3/tag_undo_bytes.h"

#include <memory>
#include <string_view>

#include "id3/tag_file.h"

namespace varnel {

namespace {

std::unexpected<Error> Changed(const std::string& path) {
    return std::unexpected(Error{Error::kInvalidInput, kUndoChangedReason, path});
}

// Whether the examined file is the one `identity` recorded, unchanged since.
bool SameAsRecorded(const struct stat& status, const PathIdentity& identity) {
    return identity.known && status.st_dev == identity.device && status.st_ino == identity.inode &&
           status.st_size == identity.size && status.st_mtim.tv_sec == identity.modified.tv_sec &&
           status.st_mtim.tv_nsec == identity.modified.tv_nsec;
}

}  // namespace

std::expected<KeptTagBytes, Error> KeepReplacedTagBytes(const TagFileReader& file, bool head, UndoSpool* spool) {
    auto layout = file.Examine();
    if (!layout) return std::unexpected(layout.error());
    KeptTagBytes kept;
    kept.size = layout->fileSize;
    kept.headLength = layout->afterV2;
    if (layout->hasV1) {
        auto block = file.ReadAt(layout->fileSize - kId3v1Length, kId3v1Length);
        if (!block) return std::unexpected(block.error());
        if (block->size() != kId3v1Length) return Changed(file.Path());
        kept.v1 = std::make_shared<const std::string>(std::move(*block));
    }
    if (!head) return kept;
    auto bytes = file.ReadAt(0, static_cast<std::size_t>(layout->afterV2));
    if (!bytes) return std::unexpected(bytes.error());
    if (bytes->size() != layout->afterV2) return Changed(file.Path());
    kept.headKept = true;
    // The padding at its end is kept as its length only: most of a tag region is
    // often zeros.
    const std::size_t last = bytes->find_last_not_of('\0');
    bytes->resize(last == std::string::npos ? 0 : last + 1);
    if (spool != nullptr && bytes->size() > kKeptTagHeadInMemory) {
        auto stored = spool->Store(*bytes);
        if (!stored) return std::unexpected(stored.error());
        kept.spooledHead = std::move(*stored);
    } else if (!bytes->empty()) {
        kept.head = std::make_shared<const std::string>(std::move(*bytes));
    }
    return kept;
}

std::expected<void, Error> RestoreReplacedTagBytes(const std::string& path, const PathIdentity& identity,
                                                   const KeptTagBytes& kept, PosixApi& os) {
    std::string head;
    if (!kept.spooledHead.Empty()) {
        auto all = kept.spooledHead.ReadAll();
        if (!all) return std::unexpected(all.error());
        head = std::move(*all);
    } else if (kept.head) {
        head = *kept.head;
    }
    if (kept.headKept) {
        if (head.size() > kept.headLength) return std::unexpected(Error{EIO, "撤销数据已损坏", path});
        head.resize(static_cast<std::size_t>(kept.headLength), '\0');
    }
    const std::string_view v1 = kept.v1 ? std::string_view(*kept.v1) : std::string_view();
    if (kept.size < kept.headLength + v1.size()) return std::unexpected(Error{EIO, "撤销数据已损坏", path});
    const std::uint64_t audio = kept.size - kept.headLength - v1.size();

    TagFileReader file(path, os);
    auto layout = file.Examine();
    if (!layout) return std::unexpected(layout.error());
    if (!SameAsRecorded(layout->status, identity)) return Changed(path);
    // The audio is what lies before the current ID3v1 block, after the current tag.
    const std::uint64_t audioEnd = layout->fileSize - (layout->hasV1 ? kId3v1Length : 0);
    const std::uint64_t tagEnd = layout->v2 ? layout->v2->TotalLength() : 0;
    if (audioEnd < tagEnd + audio) return Changed(path);
    const std::uint64_t audioStart = audioEnd - audio;

    if (audioStart != kept.headLength) {
        // A tag region of another length: the whole file is written anew.
        if (!kept.headKept) return Changed(path);
        return RewriteTaggedFile(path, *layout, head, audioStart, audioEnd, v1, os);
    }
    // The same room: each part goes back in place, so the file keeps its inode.
    auto tail = file.ReadAt(audioEnd, kId3v1Length);
    if (!tail) return std::unexpected(tail.error());
    if (*tail != v1) {
        auto done = WriteTagInPlace(path, *layout, audioEnd, v1, true, os);
        if (!done) return done;
        if (!kept.headKept || head.empty()) return {};
        TagFileReader again(path, os);
        layout = again.Examine();
        if (!layout) return std::unexpected(layout.error());
    }
    if (!kept.headKept || head.empty()) return {};
    return WriteTagInPlace(path, *layout, 0, head, false, os);
}

}  // namespace varnel

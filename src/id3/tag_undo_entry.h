// What a tag run records for undo, per file: the tag versions it wrote, the old
// tags and the exact bytes it replaced, the file as the run left it and its old
// times. The record holds it as a family entry of the tag kind (TagUndoEntry),
// which the tag family enters how to undo and show (tag_run.h).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <time.h>

#include "id3/id3_tag_pair.h"
#include "runs/undo_record.h"
#include "runs/undo_spool.h"

namespace varnel {

enum class TagVersions : int { Both = 0, Version1 = 1, Version2 = 2 };

// The exact bytes a tag run replaced, so that undo gives back a tag any tool wrote
// byte for byte. The head is the file's start up to the end of its old ID3v2 tag
// and the zero bytes after it that a write may take up or drop (headLength; none
// when there was no tag); its bytes are kept only when the run wrote an ID3v2 tag,
// in `head` or, when large, in `spooledHead`, without the zero bytes that end it
// (they are headLength's rest). v1: the old last 128 bytes when they
// were an ID3v1 block (null: none). size: the file's old size.
struct KeptTagBytes {
    std::uint64_t headLength = 0;
    bool headKept = false;
    std::shared_ptr<const std::string> head;
    SpooledBytes spooledHead;
    std::shared_ptr<const std::string> v1;
    std::uint64_t size = 0;
};

// The tags of the versions in `which` as they were before the run; identity: the
// file as the run left it, so that undo writes back only into that file.
// oldTimes: the file's access and modification times before the run, which undo
// puts back with the tags (nothing: not known). oldBytes: what the run replaced,
// put back as it was (nothing: the tags are rebuilt from oldTags).
struct TagEntry {
    std::string path;
    std::shared_ptr<const Id3TagPair> oldTags;
    TagVersions which = TagVersions::Both;
    PathIdentity identity{};
    std::optional<std::array<timespec, 2>> oldTimes;
    std::optional<KeptTagBytes> oldBytes{};
};

// The entry as the undo record holds it.
inline FamilyUndoEntry TagUndoEntry(TagEntry entry) {
    return FamilyUndoEntry::Of(UndoKind::TagChanges, std::move(entry));
}

}  // namespace varnel

// The exact bytes a tag write replaces, kept for undo before the write, and their
// return: a tag any tool wrote (any version, text encoding, frame order, padding,
// unsynchronisation, footer) comes back byte for byte and the audio between the
// tags is never touched. Keeping runs on the run's worker; restoring on the
// undo's thread.
#pragma once

#include <cstddef>
#include <expected>
#include <string>

#include "id3/tag_undo_entry.h"
#include "platform/posix_api.h"
#include "runs/undo_record.h"
#include "runs/undo_spool.h"
#include "utilities/error.h"

namespace varnel {

class TagFileReader;

// A kept head longer than this goes to the undo spool, not memory (a tag with
// pictures may be megabytes).
inline constexpr std::size_t kKeptTagHeadInMemory = 64 * 1024;

// What a tag write to the open file may replace: its old ID3v2 region (its bytes
// only with `head`), its last 128 bytes when they are an ID3v1 block, and its
// size. A large head goes to `spool` when there is one.
std::expected<KeptTagBytes, Error> KeepReplacedTagBytes(const TagFileReader& file, bool head, UndoSpool* spool);

// Puts the kept bytes back into the file at `path`, while it is still the object
// `identity` describes: in place (the same inode, every hard link sees it) when
// its tag region has the old length, else by an atomic rewrite of the old head,
// the audio as it lies now and the old ID3v1 block. Fails, touching nothing, when
// the file does not hold the audio's length between its tags.
std::expected<void, Error> RestoreReplacedTagBytes(const std::string& path, const PathIdentity& identity,
                                                   const KeptTagBytes& kept, PosixApi& os = SystemPosix());

}  // namespace varnel

// Meta-variable expansion: a text in which "#" and a catalogue name stand for a
// value of one file (a path part, a digest, a count, a time, a picture size, a random
// text, the row's sequence number) becomes the text for that file.
//
// The text is read once from left to right; at each "#" the longest catalogue name
// that follows is taken, and an inserted value is never read again. Each name gets
// one value per call, however often it is written. A file's content is read at most
// once, streamed, for every digest and count the text asks for; a caller's open file
// is read with pread, so its position stays where it was. A value that cannot be
// computed (the content of a folder or of an unreadable file, times or attributes that
// cannot be read) fails the whole expansion rather than putting a wrong value into a
// name. Safe on any thread with an environment of its own.
#pragma once

#include <atomic>
#include <cstdint>
#include <expected>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "naming/meta_catalogue.h"
#include "naming/meta_random.h"
#include "naming/meta_settings.h"
#include "platform/posix_api.h"
#include "utilities/error.h"

namespace varnel {

// The face name stored in a font file, "" for a file that is not a font.
using FontFaceNameReader = std::function<std::string(const std::string& path)>;

// What an expansion reads besides the text and the file; set up once per run.
struct MetaEnvironment {
    MetaSettings settings;  // the run's snapshot of the parameters
    // The 启用元符 switch, read at every call; none means on.
    const std::atomic<bool>* symbolsEnabled = nullptr;
    FontFaceNameReader fontFaceName;  // none: the font file's own face name
    std::function<double()> now;      // the local date-time (OLE); none: the system clock
    MetaRandomEngine* random = nullptr;  // none: the calling thread's engine
    PosixApi* os = nullptr;              // none: the real system
};

struct MetaExpansionRequest {
    std::string path;           // the file or folder the text is for
    bool isFile = true;         // false: no file; the names that need one stay as written
    std::string_view text;      // the template
    int fileDescriptor = -1;    // the caller's open file on `path`, or -1
    std::int64_t row = 0;       // the 1-based list row, for #递进
    bool force = false;         // expand even while the switch is off
    // Applied to every value before it is put in, so that a value is taken as it is
    // by whatever reads the expanded text next (none: values go in unchanged).
    std::function<void(std::string&)> formValue;
};

std::expected<std::string, Error> ExpandMetaVariables(const MetaEnvironment& environment,
                                                      const MetaExpansionRequest& request);

// A piece of a template: literal text, or a meta-variable (the "#" and its name).
struct MetaToken {
    std::string_view text;
    std::optional<MetaId> id;
};
// With withFileNames false, the names that need a file are left as literal text.
std::vector<MetaToken> SplitMetaTemplate(std::string_view text, bool withFileNames);

}  // namespace varnel

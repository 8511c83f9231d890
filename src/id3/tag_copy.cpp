#include "id3/tag_copy.h"

#include <utility>

namespace varnel {

TagVersions CopyModeVersions(TagCopyMode mode) {
    switch (mode) {
        case TagCopyMode::V2ToV1: return TagVersions::Version1;
        case TagCopyMode::V1ToV2: return TagVersions::Version2;
        default: return TagVersions::Both;
    }
}

void CopyTagFields(Id3TagPair& tags, TagCopyMode mode) {
    using Pair = std::pair<std::string Id3v1Tag::*, std::string Id3v2Tag::*>;
    static constexpr Pair kFields[] = {
        {&Id3v1Tag::title, &Id3v2Tag::title},   {&Id3v1Tag::artist, &Id3v2Tag::artist},
        {&Id3v1Tag::album, &Id3v2Tag::album},   {&Id3v1Tag::year, &Id3v2Tag::year},
        {&Id3v1Tag::comment, &Id3v2Tag::comment}, {&Id3v1Tag::track, &Id3v2Tag::track},
        {&Id3v1Tag::genre, &Id3v2Tag::genre},
    };
    Id3v1Tag& v1 = tags.v1;
    Id3v2Tag& v2 = tags.v2;
    for (const auto& [one, two] : kFields) {
        switch (mode) {
            case TagCopyMode::V2ToV1: v1.*one = v2.*two; break;
            case TagCopyMode::V1ToV2: v2.*two = v1.*one; break;
            case TagCopyMode::Exchange: std::swap(v1.*one, v2.*two); break;
            case TagCopyMode::Complement:
                if ((v1.*one).empty()) v1.*one = v2.*two;
                break;
        }
    }
    if (mode == TagCopyMode::Complement) {
        for (const auto& [one, two] : kFields) {
            if ((v2.*two).empty()) v2.*two = v1.*one;
        }
    }
}

std::string CopyTagsOfFile(Id3TagPair& tags, TagCopyMode mode) {
    CopyTagFields(tags, mode);
    return std::string();
}

void RunTagCopyTask(RunContext& run, RunRows& rows, TagCopyMode mode, PosixApi& os) {
    TagTaskParams task;
    task.which = CopyModeVersions(mode);
    task.readBoth = true;
    task.change = [mode](Id3TagPair& tags, const TagRowContext&) -> std::expected<std::string, Error> {
        return CopyTagsOfFile(tags, mode);
    };
    RunTagTask(run, rows, task, os);
}

}  // namespace varnel

#include "id3/tag_to_name.h"

#include <cerrno>
#include <utility>
#include <vector>

#include "id3/id3_tag_pair.h"
#include "runs/rename_step.h"
#include "runs/user_text.h"
#include "utilities/path_routines.h"

namespace varnel {

namespace {

constexpr const char* kFullWidthSlash = "\xEF\xBC\x8F";  // U+FF0F

struct TagCode {
    const char* longCode;
    const char* shortCode;
    std::string Id3v1Tag::*v1;  // null: ID3v2 only
    std::string Id3v2Tag::*v2;
};

const TagCode kTagCodes[] = {
    {"#歌名", "#ST", &Id3v1Tag::title, &Id3v2Tag::title},
    {"#歌手", "#SI", &Id3v1Tag::artist, &Id3v2Tag::artist},
    {"#专辑", "#SP", &Id3v1Tag::album, &Id3v2Tag::album},
    {"#年代", "#PY", &Id3v1Tag::year, &Id3v2Tag::year},
    {"#注释", "#EN", &Id3v1Tag::comment, &Id3v2Tag::comment},
    {"#音轨", "#AT", &Id3v1Tag::track, &Id3v2Tag::track},
    {"#流派", "#GE", &Id3v1Tag::genre, &Id3v2Tag::genre},
    {"#原创", "#OR", nullptr, &Id3v2Tag::originalArtist},
    {"#作曲", "#WM", nullptr, &Id3v2Tag::composer},
    {"#歌词", "#LY", nullptr, &Id3v2Tag::lyrics},
    {"#链接", "#IK", nullptr, &Id3v2Tag::link},
    {"#版权", "#CR", nullptr, &Id3v2Tag::copyright},
    {"#编码", "#CO", nullptr, &Id3v2Tag::encodedBy},
};

void ReplaceEvery(std::string& text, std::string_view what, std::string_view with) {
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size())) {
        text.replace(at, what.size(), with);
    }
}

}  // namespace

std::string LongTagCodes(std::string_view expression) {
    std::string text(expression);
    for (const TagCode& code : kTagCodes) ReplaceEvery(text, code.shortCode, code.longCode);
    return text;
}

std::string TagTextForName(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) continue;
        // A tag's "/" is part of the name, never a folder: it takes its
        // full-width form, as the rename step gives the other characters a name
        // may not hold.
        if (c == '/') {
            out += kFullWidthSlash;
            continue;
        }
        out += c;
    }
    while (!out.empty() && (out.back() == ' ' || out.back() == '.')) out.pop_back();
    return out;
}

std::expected<std::string, Error> TagToNameOfFile(const std::string& path, const TagToNameParams& params,
                                                  PosixApi& os) {
    Id3TagPair pair;
    const Id3TagReads reads =
        ReadId3TagPair(path, pair, params.useV1 || params.complement, !params.useV1 || params.complement, os);
    if (reads.v1 == TagReadResult::Unreadable || reads.v2 == TagReadResult::Unreadable) {
        return std::unexpected(Error{EIO, "无法读取标签", path});
    }
    std::string text = params.expression;
    std::string missing;  // the label of the first code without a value
    // Codes are replaced in table order in the text as it stands; a value put in
    // is never read as a code again.
    std::vector<std::pair<std::size_t, std::size_t>> inserted;
    for (const TagCode& code : kTagCodes) {
        if (params.useV1 && code.v1 == nullptr) continue;
        std::string value = params.useV1 ? pair.v1.*code.v1 : pair.v2.*code.v2;
        if (value.empty() && params.complement && code.v1 != nullptr) {
            value = params.useV1 ? pair.v2.*code.v2 : pair.v1.*code.v1;
        }
        value = TagTextForName(value);
        const std::string_view what = code.longCode;
        for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at)) {
            bool insideValue = false;
            for (const auto& [from, length] : inserted) insideValue = insideValue || (at >= from && at < from + length);
            if (insideValue) {
                ++at;
                continue;
            }
            if (value.empty() && missing.empty()) missing = code.longCode + 1;
            text.replace(at, what.size(), value);
            for (auto& span : inserted) {
                if (span.first > at) span.first = span.first + value.size() - what.size();
            }
            inserted.emplace_back(at, value.size());
            at += value.size();
        }
    }
    if (!missing.empty()) return std::unexpected(Error{Error::kInvalidInput, "标签中没有" + missing, path});
    if (TagTextForName(text).empty()) return std::unexpected(Error{Error::kInvalidInput, "由标签得到的名称为空", path});
    const std::string extension = GetExtensionOfPath(path);
    return extension.empty() ? text : text + "." + extension;
}

void RunTagToNameTask(RunContext& run, RunRows& rows, const TagToNameParams& params, PosixApi& os) {
    RenameStep step(run, rows, os);
    // The expression is typed: its meta-variables are expanded for the row before the
    // tags go in, so neither the file's name nor a tag text is read as a template.
    const UserTextExpander user(run, os);
    TagToNameParams expanded;
    ForEachRunRow(run, rows, [&](std::size_t row) {
        const std::string name = rows.Name(row);
        if (name.empty()) return;
        const std::string path = rows.Folder(row) + name;
        auto forRow = user.ForRow(params, expanded, [&] { return path; }, row, &TagToNameParams::expression);
        auto newName = forRow ? TagToNameOfFile(path, **forRow, os)
                              : std::expected<std::string, Error>(std::unexpected(forRow.error()));
        if (!newName) {
            // The row gets no name from its tags; its status says why, in a preview too.
            step.FailRow(row, path, FailureReason(newName.error()));
            return;
        }
        step.ApplyMadeNameToRow(row, name, *newName);
    });
}

}  // namespace varnel

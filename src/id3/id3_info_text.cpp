#include "id3/id3_info_text.h"

#include "id3/genre_names.h"

namespace varnel {

std::string FormatId3InfoText(const Id3v1Tag* tag1, const Id3v2Tag* tag2, std::string_view separator,
                              std::string& lyrics) {
    if (tag1 == nullptr && tag2 == nullptr) return {};
    Id3v2Tag tag = tag2 != nullptr ? *tag2 : Id3v2Tag{};
    if (lyrics.empty()) lyrics = tag.lyrics;
    if (tag1 != nullptr) {
        const auto fill = [](std::string& field, const std::string& from) {
            if (field.empty()) field = from;
        };
        fill(tag.title, tag1->title);
        fill(tag.artist, tag1->artist);
        fill(tag.album, tag1->album);
        fill(tag.year, tag1->year);
        fill(tag.comment, tag1->comment);
        // Track 0 in an ID3v1 tag means that it names no track.
        if (tag1->track != "0") fill(tag.track, tag1->track);
        // A genre name the table lacks is a genre too; a number outside it is none.
        if (IsGenreNumberText(tag.genre) ? !GenreNumberOf(tag.genre) : tag.genre.empty()) tag.genre = tag1->genre;
    }
    std::string text;
    const auto part = [&text, separator](std::string_view label, const std::string& value) {
        if (value.empty()) return;
        if (!text.empty()) text += separator;
        text += label;
        text += value;
    };
    part("歌曲:", tag.title);
    part("歌手:", tag.artist);
    part("原创:", tag.originalArtist);
    part("作曲::", tag.composer);
    part("专辑:", tag.album);
    part("年代:", tag.year);
    part("注释:", tag.comment);
    part("音轨:", tag.track);
    part("流派:", GenreDisplayText(tag.genre));
    part("网址:", tag.link);
    part("版权:", tag.copyright);
    part("编码:", tag.encodedBy);
    return text;
}

}  // namespace varnel

#include "frame/row_preview.h"

#include "filetasks/shortcut_file.h"
#include "id3/id3_info_text.h"
#include "id3/id3v1_tag.h"
#include "id3/id3v2_tag.h"
#include "platform/file_io.h"
#include "platform/font_face_name.h"
#include "platform/marked_text_editor.h"
#include "utilities/char_forms.h"
#include "utilities/codec.h"
#include "utilities/utf8_text.h"

namespace varnel {

namespace {

constexpr std::string_view kSoundExtensions = "mp3,wav,mid";
constexpr std::string_view kPageExtensions = "htm,html,shtm,shtml,asp,php,jsp,net,mspx,mht,mhtml";
constexpr std::string_view kFontExtensions = "fon,ttf,ttc";

// Where the last whole character of UTF-8 bytes ends (an incomplete sequence at the
// end is left out); npos when the bytes are not UTF-8 before that.
std::size_t Utf8WholeLength(std::string_view bytes) {
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const Utf8Step step = DecodeUtf8At(bytes, pos);
        if (!step.valid) {
            // A sequence cut by the end of the bytes is the only invalid one allowed.
            const auto lead = static_cast<unsigned char>(bytes[pos]);
            const std::size_t need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
            if (need > 0 && pos + need > bytes.size()) return pos;
            return std::string_view::npos;
        }
        pos += step.length;
    }
    return pos;
}

// Where the last whole GBK character ends.
std::size_t GbkWholeLength(std::string_view bytes) {
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[pos]);
        const std::size_t length = lead >= 0x81 && lead <= 0xFE ? 2 : 1;
        if (pos + length > bytes.size()) break;
        pos += length;
    }
    return pos;
}

}  // namespace

bool IsExtensionInList(std::string_view extension, std::string_view list) {
    const std::string wanted = ToLowerAscii(extension);
    while (true) {
        const std::size_t comma = list.find(',');
        if (ToLowerAscii(list.substr(0, comma)) == wanted) return true;
        if (comma == std::string_view::npos) return false;
        list.remove_prefix(comma + 1);
    }
}

PreviewKind ClassifyPreview(std::string_view extension, std::string_view textExtensions) {
    if (extension.empty()) return PreviewKind::Other;
    if (IsExtensionInList(extension, kPictureExtensions)) return PreviewKind::Picture;
    if (IsExtensionInList(extension, textExtensions)) return PreviewKind::Text;
    if (IsExtensionInList(extension, kSoundExtensions)) return PreviewKind::Sound;
    if (IsExtensionInList(extension, kPageExtensions)) return PreviewKind::Page;
    if (IsExtensionInList(extension, "lnk")) return PreviewKind::Shortcut;
    if (IsExtensionInList(extension, "url")) return PreviewKind::InternetLink;
    if (IsExtensionInList(extension, kFontExtensions)) return PreviewKind::Font;
    return PreviewKind::Other;
}

std::string TextPreviewOf(std::string_view bytes, bool cut) {
    if (cut) {
        std::string_view body = bytes;
        if (body.starts_with("\xEF\xBB\xBF")) body.remove_prefix(3);
        const std::size_t utf8 = Utf8WholeLength(body);
        const std::size_t whole = utf8 != std::string_view::npos ? utf8 : GbkWholeLength(body);
        bytes = bytes.substr(0, whole + (bytes.size() - body.size()));
    }
    return DecodeTextFile(bytes);
}

std::string ReadTextPreview(const std::string& path, PosixApi& os) {
    // One byte more than shown tells a file of exactly the limit from a longer one.
    auto bytes = ReadFileHead(path, kTextPreviewBytes + 1, os);
    if (!bytes) return {};
    const bool longer = bytes->size() > kTextPreviewBytes;
    if (longer) bytes->resize(kTextPreviewBytes);
    return TextPreviewOf(*bytes, longer);
}

RowSummary SummarizeRow(const std::string& path, const std::string& folder, std::string_view extension,
                        TagPreviewChoice tags, PosixApi& os) {
    RowSummary summary;
    const std::string ext = ToLowerAscii(extension);
    if (IsExtensionInList(ext, kSoundExtensions)) {
        if (ext != "mp3") return summary;
        Id3v1Tag v1;
        Id3v2Tag v2;
        const bool hasV1 = tags.v1 && ReadId3v1Tag(path, v1, os) == TagReadResult::Found;
        const bool readV2 = ReadId3v2Tag(path, v2, os) == TagReadResult::Found;
        // Without 预览v2 the ID3v2 tag is read for its lyrics only.
        const bool hasV2 = tags.v2 && readV2;
        if (readV2) summary.lyrics = v2.lyrics;
        summary.status = "信息 >> " + FormatId3InfoText(hasV1 ? &v1 : nullptr, hasV2 ? &v2 : nullptr, " ",
                                                       summary.lyrics);
        return summary;
    }
    if (IsExtensionInList(ext, kPageExtensions)) {
        summary.status = "标题 >> " + MarkedTextEditor().GetPageTitle(path, os);
    } else if (ext == "lnk") {
        std::string link = path;
        ShortcutProperties properties;
        ReadShortcutProperties(link, properties, os);
        summary.status = "指向 >> " + properties.targetPath;
        if (ShortcutTargetExists(path, os) != std::optional<bool>(true)) summary.status += "【指向路径失效】";
    } else if (ext == "url") {
        summary.status = "网址 >> " + GetInternetShortcutUrl(path, os);
    } else if (IsExtensionInList(ext, kFontExtensions)) {
        summary.status = "名称 >> " + GetFontFaceName(path, os);
    } else {
        summary.status = "位于 >> " + folder;
    }
    return summary;
}

}  // namespace varnel

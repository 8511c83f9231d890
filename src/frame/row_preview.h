// What choosing a row of the list previews, without a window: the kind of preview
// an extension gets (picture, text, sound, or a one-line summary), the first part
// of a text file cut at a character boundary, and the summary line of tags, pages,
// shortcuts, links, fonts and other paths. Reads at most what it shows. Safe on
// any thread.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/posix_api.h"

namespace varnel {

enum class PreviewKind { Picture, Text, Sound, Page, Shortcut, InternetLink, Font, Other };

inline constexpr std::string_view kPictureExtensions = "gif,jpg,bmp,jpeg,cur,ico";
inline constexpr std::size_t kTextPreviewBytes = 10000;
// Larger pictures are not decoded for a preview.
inline constexpr std::int64_t kPicturePreviewLimit = 50LL * 1024 * 1024;

// Whether `extension` is an item of the comma list, whatever the case of either.
bool IsExtensionInList(std::string_view extension, std::string_view list);

PreviewKind ClassifyPreview(std::string_view extension, std::string_view textExtensions);

// The file's first kTextPreviewBytes as text: cut before a character the limit
// would split, then decoded as UTF-8 or else GBK.
std::string ReadTextPreview(const std::string& path, PosixApi& os = SystemPosix());
// The same for bytes already read (the first `limit` bytes of a longer file).
std::string TextPreviewOf(std::string_view bytes, bool cut);

// Which tags an MP3 summary reads: 预览v1, 预览v2, or both (互补预览).
struct TagPreviewChoice {
    bool v1 = false;
    bool v2 = false;
};

struct RowSummary {
    std::string status;  // the status bar line
    std::string lyrics;  // the lyrics of an MP3 file ("" for none)
};

// The summary line of a row: tags of an MP3 ("信息 >> "), a page title ("标题 >> "),
// a shortcut's target ("指向 >> ", "【指向路径失效】" when a local target is gone), a
// link ("网址 >> "), a font's name ("名称 >> "), else the folder ("位于 >> ").
RowSummary SummarizeRow(const std::string& path, const std::string& folder, std::string_view extension,
                        TagPreviewChoice tags, PosixApi& os = SystemPosix());

}  // namespace varnel

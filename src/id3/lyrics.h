// The lyrics an MP3 file's ID3v2 tag carries: read for showing, and saved as a
// text file beside other files without ever replacing one. Safe on any thread.
#pragma once

#include <expected>
#include <optional>
#include <string>

#include "platform/posix_api.h"
#include "utilities/error.h"

namespace varnel {

inline constexpr const char* kLyricsTitle = "歌词信息：";
inline constexpr const char* kNoLyricsText = "该文件没有歌词或不是Mp3文件！";

// The file's lyrics; nothing when it has no ID3v2 tag or no lyrics in it.
std::optional<std::string> ReadLyrics(const std::string& path, PosixApi& os = SystemPosix());

// The text the lyrics are shown with: the path, a line, then the lyrics.
std::string LyricsNoticeText(const std::string& path, const std::string& lyrics);

// Saves the file's lyrics as UTF-8 into the folder path `folder` under the file's
// main name + ".txt", or "<main name> (n).txt" with the first n that is free; the
// path written. Fails (code kInvalidInput) when the file has no lyrics.
std::expected<std::string, Error> SaveLyricsToFolder(const std::string& path, const std::string& folder,
                                                     PosixApi& os = SystemPosix());

}  // namespace varnel

#include "id3/lyrics.h"

#include <cerrno>

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include "id3/id3v2_tag.h"
#include "platform/file_io.h"
#include "platform/owned_fd.h"
#include "utilities/path_routines.h"

namespace varnel {

std::optional<std::string> ReadLyrics(const std::string& path, PosixApi& os) {
    Id3v2Tag tag;
    if (ReadId3v2Tag(path, tag, os) != TagReadResult::Found || tag.lyrics.empty()) return std::nullopt;
    return std::move(tag.lyrics);
}

std::string LyricsNoticeText(const std::string& path, const std::string& lyrics) {
    return path + ">>> 包含歌词，如下：\r\n\r\n" + lyrics;
}

std::expected<std::string, Error> SaveLyricsToFolder(const std::string& path, const std::string& folder,
                                                     PosixApi& os) {
    const auto lyrics = ReadLyrics(path, os);
    if (!lyrics) return std::unexpected(Error{Error::kInvalidInput, kNoLyricsText, path});
    const std::string base = folder + GetMainNameOfPath(GetFileNameOfPath(path));

    // Written whole to a temporary file first, then given a name that nothing holds:
    // a name taken meanwhile is never replaced.
    OwnedFd fd;
    const auto made = MakeAtTemporaryPath(base + ".txt", [&](const std::string& candidate) {
        fd = OwnedFd(os.Open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666), os);
        return fd.IsOpen() ? 0 : -1;
    });
    if (!made) return std::unexpected(MakeSystemError(made.error(), folder, "无法创建临时文件"));
    const std::string& temporary = *made;
    const auto fail = [&](Error error) -> std::expected<std::string, Error> {
        fd = OwnedFd();
        os.Unlink(temporary.c_str());
        return std::unexpected(std::move(error));
    };
    if (auto written = WriteToDescriptor(fd.Get(), *lyrics, temporary, os); !written) return fail(written.error());
    if (os.Fsync(fd.Get()) != 0) return fail(MakeSystemError(errno, temporary, "写入失败"));
    if (auto closed = fd.Close(temporary); !closed) return fail(closed.error());
    for (int n = 0; n < 10000; ++n) {
        const std::string target = n == 0 ? base + ".txt" : base + " (" + std::to_string(n) + ").txt";
        if (os.Renameat2(temporary.c_str(), target.c_str(), RENAME_NOREPLACE) == 0) return target;
        if (errno != EEXIST) return fail(MakeSystemError(errno, target, "无法保存歌词"));
    }
    return fail(Error{EEXIST, "无法保存歌词", base + ".txt"});
}

}  // namespace varnel

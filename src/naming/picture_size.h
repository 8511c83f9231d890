// The pixel size of a picture read from its header: GIF, PNG, BMP (bottom-up or
// top-down) and JPEG (the first start-of-frame marker, after any EXIF or other
// segments, within the first 16 MiB). Only the header bytes are read, a JPEG's in
// windows of 64 KiB; no picture is decoded, so it is safe on any thread. A file in none of these formats, or one cut short, has no size.
#pragma once

#include <cstdint>
#include <expected>
#include <functional>
#include <optional>
#include <string_view>

#include "platform/posix_api.h"
#include "utilities/error.h"

namespace varnel {

struct PictureSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool operator==(const PictureSize&) const = default;
};

// Reads up to `size` bytes at `offset` into `buffer`; fewer at the end of the data.
using PictureReader =
    std::function<std::expected<std::size_t, Error>(std::uint64_t offset, char* buffer, std::size_t size)>;

// An error only when reading fails; nothing for data that is not a known picture.
std::expected<std::optional<PictureSize>, Error> ProbePictureSize(const PictureReader& read);
std::optional<PictureSize> ProbePictureSize(std::string_view bytes);
// Reads with pread, so the descriptor's position stays where it was.
std::expected<std::optional<PictureSize>, Error> ProbePictureSize(int fd, PosixApi& os = SystemPosix());

}  // namespace varnel

#include "id3/tag_file.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <vector>

#include <fcntl.h>

#include "platform/file_io.h"
#include "platform/retry_on_eintr.h"

namespace varnel {

namespace {

constexpr std::size_t kCopyChunk = 1 << 16;

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

bool IsMpegSync(unsigned char first, unsigned char second) { return first == 0xFF && (second & 0xE0) == 0xE0; }

std::expected<std::string, Error> ReadDescriptorAt(int fd, std::uint64_t fileSize, std::uint64_t offset,
                                                   std::size_t length, const std::string& path, PosixApi& os) {
    if (offset >= fileSize) return std::string();
    length = static_cast<std::size_t>(std::min<std::uint64_t>(length, fileSize - offset));
    std::string bytes;
    std::optional<Error> failed;
    // Filled by the reads themselves: a large tag is not zeroed first.
    bytes.resize_and_overwrite(length, [&](char* data, std::size_t) {
        std::size_t got = 0;
        while (got < length) {
            const ssize_t n =
                RetryOnEintr([&] { return os.Pread(fd, data + got, length - got, static_cast<off_t>(offset + got)); });
            if (n < 0) {
                failed = MakeSystemError(errno, path, "读取失败");
                return std::size_t{0};
            }
            if (n == 0) break;
            got += static_cast<std::size_t>(n);
        }
        return got;
    });
    if (failed) return std::unexpected(std::move(*failed));
    return bytes;
}

}  // namespace

std::optional<Id3v2Header> ParseId3v2Header(std::string_view bytes) {
    if (bytes.size() < kId3v2HeaderLength || bytes.substr(0, 3) != "ID3") return std::nullopt;
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
    Id3v2Header header;
    header.version = byte(3);
    header.revision = byte(4);
    header.flags = byte(5);
    if (header.version < 2 || header.version > 4 || header.revision == 0xFF) return std::nullopt;
    for (std::size_t i = 6; i < 10; ++i) {
        if (byte(i) >= 0x80) return std::nullopt;
        header.size = (header.size << 7) | byte(i);
    }
    return header;
}

std::uint64_t LegacyPaddingLength(std::string_view after, std::uint64_t offset, std::uint64_t fileSize) {
    after = after.substr(0, kLegacyPaddingLimit + 2);
    const std::size_t zeros = std::min(after.find_first_not_of('\0'), after.size());
    const bool atEnd = zeros == after.size() && offset + zeros == fileSize;
    const bool audioFollows = zeros > 0 && zeros + 1 < after.size() &&
                              IsMpegSync(static_cast<unsigned char>(after[zeros]),
                                         static_cast<unsigned char>(after[zeros + 1]));
    return atEnd || audioFollows ? zeros : 0;
}

TagFileReader::TagFileReader(const std::string& path, PosixApi& os) : m_path(path), m_os(os) {
    auto opened = OpenUserFileForReading(path, m_os, &m_status);
    if (!opened) {
        m_error = std::move(opened.error());
        return;
    }
    m_fd = std::move(*opened);
}

std::expected<std::string, Error> TagFileReader::ReadAt(std::uint64_t offset, std::size_t length) const {
    if (!m_fd.IsOpen()) return std::unexpected(m_error);
    return ReadDescriptorAt(m_fd.Get(), Size(), offset, length, m_path, m_os);
}

std::expected<TagLayout, Error> TagFileReader::Examine() const {
    if (!m_fd.IsOpen()) return std::unexpected(m_error);
    TagLayout layout;
    layout.fileSize = Size();
    layout.status = m_status;
    auto head = ReadAt(0, kId3v2HeaderLength);
    if (!head) return std::unexpected(head.error());
    if (head->starts_with("ID3")) {
        layout.v2 = ParseId3v2Header(*head);
        if (!layout.v2 || layout.v2->TotalLength() > layout.fileSize) {
            layout.v2.reset();
            layout.v2Invalid = true;
        } else {
            layout.afterV2 = layout.v2->TotalLength();
            auto after = ReadAt(layout.afterV2, kLegacyPaddingLimit + 2);
            if (!after) return std::unexpected(after.error());
            layout.afterV2 += LegacyPaddingLength(*after, layout.afterV2, layout.fileSize);
        }
    }
    if (layout.fileSize >= layout.afterV2 + kId3v1Length) {
        auto tail = ReadAt(layout.fileSize - kId3v1Length, 3);
        if (!tail) return std::unexpected(tail.error());
        layout.hasV1 = *tail == "TAG";
    }
    return layout;
}

namespace {

// A file the rename would not keep whole (several names, an owner this user
// cannot give back, a folder this user may not write) is rewritten in place under
// the write journal, from memory: old and new content both, so only up to this size.
constexpr std::uint64_t kInPlaceRewriteLimit = std::uint64_t{512} << 20;

std::expected<void, Error> RewriteTaggedFileInPlace(const std::string& path, const TagLayout& layout,
                                                    std::string_view head, std::uint64_t keepFrom,
                                                    std::uint64_t keepTo, std::string_view tail, PosixApi& os) {
    if (layout.fileSize > kInPlaceRewriteLimit) return std::unexpected(MakeSystemError(EFBIG, path, "写入失败"));
    TagFileReader file(path, os);
    if (!file.IsOpen()) return std::unexpected(file.OpenError());
    if (!SameFile(file.Status(), layout.status)) return std::unexpected(Error{EAGAIN, "文件在读取后已被改变", path});
    auto old = file.ReadAt(0, static_cast<std::size_t>(layout.fileSize));
    if (!old) return std::unexpected(old.error());
    if (old->size() != layout.fileSize || keepFrom > keepTo || keepTo > old->size()) {
        return std::unexpected(Error{EAGAIN, "文件在读取后已被改变", path});
    }
    std::string bytes;
    bytes.reserve(head.size() + (keepTo - keepFrom) + tail.size());
    bytes.append(head);
    bytes.append(std::string_view(*old).substr(keepFrom, keepTo - keepFrom));
    bytes.append(tail);
    auto written = WriteInPlaceJournalled(path, layout.status, 0, *old, bytes, true, DefaultWriteJournal(), os);
    if (!written) return std::unexpected(std::move(written.error().error));
    return {};
}

}  // namespace

std::expected<void, Error> RewriteTaggedFile(const std::string& path, const TagLayout& layout, std::string_view head,
                                             std::uint64_t keepFrom, std::uint64_t keepTo, std::string_view tail,
                                             PosixApi& os) {
    if (auto writable = CheckWritable(path, layout.status, os); !writable) return writable;
    if (!ReplacementKeepsFile(path, layout.status, os)) {
        return RewriteTaggedFileInPlace(path, layout, head, keepFrom, keepTo, tail, os);
    }
    auto replacement = FileReplacement::Begin(path, os, true, &DefaultWriteJournal());
    if (!replacement) return std::unexpected(std::move(replacement.error()));
    // Another program's write after the file was examined is not overwritten.
    replacement->ExpectUnchanged(layout.status);
    auto written =
        [&](int out, const std::string& target) -> std::expected<void, Error> {
            // The source is opened again here: what is copied is the file as it is
            // now, and only when it is still the examined one.
            auto opened = OpenUserFileForReading(target, os);
            if (!opened) return std::unexpected(opened.error());
            const int in = opened->Get();
            struct stat now {};
            if (os.Fstat(in, &now) != 0 || !SameFile(now, layout.status)) {
                return std::unexpected(Error{EAGAIN, "文件在读取后已被改变", path});
            }
            if (auto written = WriteToDescriptor(out, head, path, os); !written) return written;
            std::vector<char> buffer(kCopyChunk);
            for (std::uint64_t at = keepFrom; at < keepTo;) {
                const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kCopyChunk, keepTo - at));
                const ssize_t got = RetryOnEintr([&] { return os.Pread(in, buffer.data(), want, static_cast<off_t>(at)); });
                if (got < 0) return std::unexpected(MakeSystemError(errno, path, "读取失败"));
                if (got == 0) return std::unexpected(Error{EAGAIN, "文件在读取后已被改变", path});
                auto written =
                    WriteToDescriptor(out, std::string_view(buffer.data(), static_cast<std::size_t>(got)), path, os);
                if (!written) return written;
                at += static_cast<std::uint64_t>(got);
            }
            return WriteToDescriptor(out, tail, path, os);
        }(replacement->Fd(), replacement->Target());
    if (!written) return written;
    return replacement->Commit();
}

std::expected<void, Error> WriteTagInPlace(const std::string& path, const TagLayout& layout, std::uint64_t offset,
                                           std::string_view bytes, bool endsFile, PosixApi& os) {
    if (offset > layout.fileSize || (offset != 0 && !endsFile)) {
        return std::unexpected(Error{Error::kInvalidInput, "标签位置无效", path});
    }
    if (auto writable = CheckWritable(path, layout.status, os); !writable) return writable;
    // What the write replaces, kept before a byte changes.
    const std::uint64_t replaced = endsFile ? layout.fileSize - offset : bytes.size();
    TagFileReader file(path, os);
    if (!file.IsOpen()) return std::unexpected(file.OpenError());
    if (!SameFile(file.Status(), layout.status)) return std::unexpected(Error{EAGAIN, "文件在读取后已被改变", path});
    auto previous = file.ReadAt(offset, static_cast<std::size_t>(replaced));
    if (!previous) return std::unexpected(previous.error());
    if (previous->size() != replaced) return std::unexpected(Error{EAGAIN, "文件在读取后已被改变", path});
    auto written = WriteInPlaceJournalled(path, layout.status, offset, *previous, bytes, endsFile,
                                          DefaultWriteJournal(), os);
    if (!written) return std::unexpected(std::move(written.error().error));
    return {};
}

}  // namespace varnel

#include "platform/dos_attributes.h"

#include <cerrno>
#include <charconv>
#include <optional>
#include <string_view>

#include "utilities/attribute_names.h"
#include "utilities/path_routines.h"

namespace varnel {

namespace {

constexpr const char* kXattrName = "user.DOSATTRIB";
constexpr std::uint32_t kStoredFileBits = kAttributeHidden | kAttributeSystem | kAttributeArchive;

std::uint32_t StoredBitsFor(bool folder) {
    return folder ? kStoredFileBits | kAttributeReadOnly : kStoredFileBits;
}

// The raw value, or nothing when there is none or it cannot be read (a file system
// without extended attributes has none to read).
std::optional<std::string> ReadRawXattr(PosixApi& os, const std::string& path) {
    std::string value(64, '\0');
    for (int attempt = 0; attempt < 3; ++attempt) {
        const ssize_t size = os.Getxattr(path.c_str(), kXattrName, value.data(), value.size());
        if (size >= 0) {
            value.resize(static_cast<std::size_t>(size));
            return value;
        }
        if (errno != ERANGE) return std::nullopt;
        // Another program's longer form: ask for its size and read it again.
        const ssize_t needed = os.Getxattr(path.c_str(), kXattrName, nullptr, 0);
        if (needed < 0) return std::nullopt;
        value.resize(static_cast<std::size_t>(needed));
    }
    return std::nullopt;
}

// "0x22"; a trailing NUL, as some writers store it, is accepted. Anything else
// (another program's binary form, which also holds its creation time) is nothing
// we can read.
std::optional<std::uint32_t> ParseStoredBits(std::string_view raw) {
    while (!raw.empty() && raw.back() == '\0') raw.remove_suffix(1);
    if (raw.size() < 3 || raw[0] != '0' || (raw[1] != 'x' && raw[1] != 'X')) return std::nullopt;
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(raw.data() + 2, raw.data() + raw.size(), value, 16);
    if (error != std::errc{} || end != raw.data() + raw.size()) return std::nullopt;
    return value;
}

std::string FormatStoredBits(std::uint32_t bits) {
    char text[16] = "0x";
    const auto result = std::to_chars(text + 2, text + sizeof text, bits, 16);
    return std::string(text, result.ptr);
}

std::expected<void, Error> WriteRawXattr(PosixApi& os, const std::string& path,
                                         const std::optional<std::string>& raw) {
    if (raw) {
        if (os.Setxattr(path.c_str(), kXattrName, raw->data(), raw->size(), 0) != 0) {
            return std::unexpected(MakeSystemError(errno, path, "无法保存隐藏、系统或存档属性"));
        }
    } else if (os.Removexattr(path.c_str(), kXattrName) != 0 && errno != ENODATA &&
               errno != ENOTSUP) {
        return std::unexpected(MakeSystemError(errno, path, "无法清除隐藏、系统或存档属性"));
    }
    return {};
}

bool HasDotName(const std::string& path) {
    const std::string name = GetFileNameOfPath(WithoutTrailingSlash(path));
    return !name.empty() && name[0] == '.' && name != "." && name != "..";
}

}  // namespace

std::optional<std::string> GetStoredAttributeValue(const std::string& path, PosixApi& os) {
    return ReadRawXattr(os, path);
}

std::expected<void, Error> SetStoredAttributeValue(const std::string& path, const std::optional<std::string>& raw,
                                                   PosixApi& os) {
    if (ReadRawXattr(os, path) == raw) return {};
    return WriteRawXattr(os, path, raw);
}

std::expected<std::uint32_t, Error> GetAttributesOfFile(const std::string& path, PosixApi& os) {
    struct stat info {};
    if (os.Stat(path.c_str(), &info) != 0) {
        return std::unexpected(MakeSystemError(errno, path, "无法读取文件属性"));
    }
    const bool folder = S_ISDIR(info.st_mode);
    std::uint32_t attributes = 0;
    if (const auto raw = ReadRawXattr(os, path)) {
        attributes = ParseStoredBits(*raw).value_or(0) & StoredBitsFor(folder);
    }
    if (folder) attributes |= kAttributeDirectory;
    if (!folder && (info.st_mode & S_IWUSR) == 0) attributes |= kAttributeReadOnly;
    if (HasDotName(path)) attributes |= kAttributeHidden;
    return attributes == 0 ? kAttributeNormal : attributes;
}

std::expected<void, Error> SetAttributesOfFile(const std::string& path, std::uint32_t attributes,
                                               PosixApi& os) {
    struct stat info {};
    if (os.Stat(path.c_str(), &info) != 0) {
        return std::unexpected(MakeSystemError(errno, path, "无法读取文件属性"));
    }
    if ((attributes & kAttributeHidden) == 0 && HasDotName(path)) {
        return std::unexpected(Error{Error::kInvalidInput, "以点开头的名称总是隐藏的", path});
    }
    const bool folder = S_ISDIR(info.st_mode);
    const std::uint32_t stored = attributes & StoredBitsFor(folder);
    const std::optional<std::string> oldRaw = ReadRawXattr(os, path);
    std::optional<std::string> newRaw = stored == 0 ? std::nullopt : std::optional(FormatStoredBits(stored));
    // Another program's value we cannot read (Samba's binary form keeps the creation
    // time too) stays as it is while no bit needs storing beyond what the name and
    // mode already say: it is that program's, and reads here as no stored bits.
    const std::uint32_t shownByName = HasDotName(path) ? kAttributeHidden : 0;
    if (oldRaw && !ParseStoredBits(*oldRaw) && (stored & ~shownByName) == 0) newRaw = oldRaw;

    // The extended attribute first: it is what a file system may be unable to hold,
    // and nothing has been changed yet when it fails.
    if (newRaw != oldRaw) {
        if (auto written = WriteRawXattr(os, path, newRaw); !written) return written;
    }
    if (!folder) {
        const mode_t mode = (attributes & kAttributeReadOnly) != 0
                                ? info.st_mode & ~mode_t{S_IWUSR | S_IWGRP | S_IWOTH}
                                : info.st_mode | S_IWUSR;
        if (mode != info.st_mode && os.Chmod(path.c_str(), mode & 07777) != 0) {
            const int error = errno;
            if (newRaw != oldRaw) (void)WriteRawXattr(os, path, oldRaw);
            return std::unexpected(MakeSystemError(error, path, "无法设置只读属性"));
        }
    }
    return {};
}

}  // namespace varnel

#include "platform/font_face_name.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_FONT_FORMATS_H
#include FT_SFNT_NAMES_H
#include FT_TRUETYPE_IDS_H

#include <cerrno>
#include <cstring>
#include <string_view>

#include <fcntl.h>

#include "platform/file_io.h"
#include "platform/retry_on_eintr.h"
#include "utilities/codec.h"
#include "utilities/utf8_text.h"

namespace varnel {

namespace {

constexpr FT_UShort kLanguageChinesePrc = 0x0804;
constexpr FT_UShort kLanguageEnglishUs = 0x0409;

// One FreeType library per thread: a library object must not be shared by threads
// that open faces at the same time.
class ThreadLibrary {
public:
    ThreadLibrary() {
        if (FT_Init_FreeType(&m_library) != 0) m_library = nullptr;
    }
    ~ThreadLibrary() {
        if (m_library != nullptr) FT_Done_FreeType(m_library);
    }
    FT_Library Get() const { return m_library; }

private:
    FT_Library m_library = nullptr;
};

struct FileSource {
    PosixApi* os;
    int fd;
};

// FreeType reads the file through this, so only the few blocks it needs are read
// and every read goes through the platform layer.
unsigned long ReadAt(FT_Stream stream, unsigned long offset, unsigned char* buffer,
                     unsigned long count) {
    if (count == 0) return offset <= stream->size ? 0 : 1;  // a seek: 0 means success
    auto* source = static_cast<FileSource*>(stream->descriptor.pointer);
    unsigned long done = 0;
    while (done < count) {
        const ssize_t n = RetryOnEintr([&] {
            return source->os->Pread(source->fd, buffer + done, count - done, static_cast<off_t>(offset + done));
        });
        if (n <= 0) break;
        done += static_cast<unsigned long>(n);
    }
    return done;
}

std::string FromUtf16BigEndian(const FT_Byte* bytes, FT_UInt size) {
    std::string out;
    for (FT_UInt i = 0; i + 1 < size; i += 2) {
        char32_t unit = static_cast<char32_t>((bytes[i] << 8) | bytes[i + 1]);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < size) {
            const char32_t low = static_cast<char32_t>((bytes[i + 2] << 8) | bytes[i + 3]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        if (unit >= 0xD800 && unit <= 0xDFFF) unit = 0xFFFD;
        if (unit != 0) AppendUtf8(out, unit);
    }
    return out;
}

std::string FromLegacyCodePage(const FT_Byte* bytes, FT_UInt size, const char* codec) {
    // Double-byte names are stored in 16-bit units; a single-byte character has a
    // zero high byte, which is dropped.
    std::string raw;
    for (FT_UInt i = 0; i < size; ++i) {
        if (bytes[i] != 0) raw.push_back(static_cast<char>(bytes[i]));
    }
    auto decoded = DecodeFromCodec(raw, codec, CodecMode::Lenient);
    return decoded ? *decoded : std::string();
}

// The name entry as UTF-8, or "" for an encoding this program does not read.
std::string DecodeName(const FT_SfntName& name) {
    if (name.platform_id == TT_PLATFORM_APPLE_UNICODE) {
        return FromUtf16BigEndian(name.string, name.string_len);
    }
    if (name.platform_id == TT_PLATFORM_MICROSOFT) {
        switch (name.encoding_id) {
            case TT_MS_ID_SYMBOL_CS:
            case TT_MS_ID_UNICODE_CS:
            case TT_MS_ID_UCS_4: return FromUtf16BigEndian(name.string, name.string_len);
            case TT_MS_ID_PRC: return FromLegacyCodePage(name.string, name.string_len, kCodecGbk);
            case TT_MS_ID_BIG_5:
                return FromLegacyCodePage(name.string, name.string_len, "windows-950-2000");
            default: return {};
        }
    }
    if (name.platform_id == TT_PLATFORM_MACINTOSH && name.encoding_id == TT_MAC_ID_ROMAN) {
        auto decoded = DecodeFromCodec(
            std::string_view(reinterpret_cast<const char*>(name.string), name.string_len),
            "macintosh", CodecMode::Lenient);
        return decoded ? *decoded : std::string();
    }
    return {};
}

std::string FamilyNameOf(FT_Face face) {
    std::string chinese;
    std::string english;
    std::string other;
    const FT_UInt count = FT_Get_Sfnt_Name_Count(face);
    for (FT_UInt i = 0; i < count; ++i) {
        FT_SfntName name;
        if (FT_Get_Sfnt_Name(face, i, &name) != 0 || name.name_id != TT_NAME_ID_FONT_FAMILY) {
            continue;
        }
        const bool microsoft = name.platform_id == TT_PLATFORM_MICROSOFT;
        const bool macEnglish = name.platform_id == TT_PLATFORM_MACINTOSH &&
                                name.language_id == TT_MAC_LANGID_ENGLISH;
        std::string* slot = nullptr;
        if (microsoft && name.language_id == kLanguageChinesePrc) {
            slot = &chinese;
        } else if ((microsoft && name.language_id == kLanguageEnglishUs) || macEnglish) {
            slot = &english;
        } else {
            slot = &other;
        }
        if (!slot->empty()) continue;
        *slot = DecodeName(name);
    }
    if (!chinese.empty()) return chinese;
    if (!english.empty()) return english;
    if (!other.empty()) return other;
    // FreeType's family name covers the fonts without a name table, the bitmap fonts
    // of .fon files among them; its bytes are in the font's code page.
    if (face->family_name != nullptr) return DecodeTextFile(face->family_name);
    return {};
}

bool IsFaceNameFormat(FT_Face face) {
    const char* format = FT_Get_Font_Format(face);
    if (format == nullptr) return false;
    const std::string_view f(format);
    return f == "TrueType" || f == "CFF" || f == "Windows FNT";
}

}  // namespace

std::string GetFontFaceName(const std::string& path, PosixApi& os) {
    thread_local ThreadLibrary library;
    if (library.Get() == nullptr) return {};

    // A pipe or device named like a font is refused at once instead of waited on.
    struct stat info {};
    const auto fd = OpenUserFileForReading(path, os, &info);
    if (!fd) return {};
    std::string result;
    {
        FileSource source{&os, fd->Get()};
        FT_StreamRec stream;
        std::memset(&stream, 0, sizeof stream);
        stream.size = static_cast<unsigned long>(info.st_size);
        stream.descriptor.pointer = &source;
        stream.read = ReadAt;
        FT_Open_Args args;
        std::memset(&args, 0, sizeof args);
        args.flags = FT_OPEN_STREAM;
        args.stream = &stream;
        FT_Face face = nullptr;
        if (FT_Open_Face(library.Get(), &args, 0, &face) == 0) {
            if (IsFaceNameFormat(face)) result = FamilyNameOf(face);
            FT_Done_Face(face);
        }
    }
    return result;
}

}  // namespace varnel

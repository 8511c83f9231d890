#include "naming/meta_expansion.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <ctime>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>

#include "filelist/list_formatting.h"
#include "naming/content_counter.h"
#include "naming/meta_values.h"
#include "naming/picture_size.h"
#include "platform/dos_attributes.h"
#include "platform/file_times.h"
#include "utilities/attribute_names.h"
#include "platform/font_face_name.h"
#include "platform/hash_calculator.h"
#include "platform/owned_fd.h"
#include "platform/retry_on_eintr.h"
#include "utilities/local_time.h"
#include "utilities/number_text.h"
#include "utilities/path_routines.h"
#include "utilities/time_format.h"

namespace varnel {

namespace {

constexpr std::size_t kReadChunk = 64 * 1024;

const std::vector<const MetaVariable*>& NamesLongestFirst() {
    static const std::vector<const MetaVariable*> names = [] {
        std::vector<const MetaVariable*> sorted;
        for (const MetaVariable& entry : MetaCatalogue()) sorted.push_back(&entry);
        std::stable_sort(sorted.begin(), sorted.end(), [](const MetaVariable* a, const MetaVariable* b) {
            return a->name.size() > b->name.size();
        });
        return sorted;
    }();
    return names;
}

std::optional<HashAlgorithm> ContentAlgorithm(MetaId id) {
    switch (id) {
        case MetaId::ContentMd5: return HashAlgorithm::Md5;
        case MetaId::ContentMd4: return HashAlgorithm::Md4;
        case MetaId::ContentCrc32: return HashAlgorithm::Crc32;
        case MetaId::ContentMd2: return HashAlgorithm::Md2;
        case MetaId::ContentSha1: return HashAlgorithm::Sha1;
        default: return std::nullopt;
    }
}

bool IsCount(MetaId id) { return id >= MetaId::CharacterCount && id <= MetaId::TextCount; }

bool NeedsOpenFile(MetaId id) {
    return ContentAlgorithm(id) || IsCount(id) || id == MetaId::Size ||
           id == MetaId::PictureHeight || id == MetaId::PictureWidth;
}

std::string Decimal(std::int64_t value) { return NumberToText(value); }

// One expansion: the values of the names a template holds, each computed once.
class Expansion {
public:
    Expansion(const MetaEnvironment& environment, const MetaExpansionRequest& request)
        : m_env(environment),
          m_settings(environment.settings),
          m_request(request),
          m_os(environment.os != nullptr ? *environment.os : SystemPosix()) {}
    Expansion(const Expansion&) = delete;
    Expansion& operator=(const Expansion&) = delete;

    std::expected<std::string, Error> Run(const std::vector<MetaToken>& tokens) {
        std::vector<MetaId> present;
        for (const MetaToken& token : tokens) {
            if (token.id && std::find(present.begin(), present.end(), *token.id) == present.end()) {
                present.push_back(*token.id);
            }
        }
        std::sort(present.begin(), present.end(), [](MetaId a, MetaId b) {
            return MetaEntry(a).expansionOrder < MetaEntry(b).expansionOrder;
        });
        if (auto prepared = Prepare(present); !prepared) return std::unexpected(prepared.error());
        std::array<std::string, kMetaVariableCount + 1> values;
        for (MetaId id : present) {
            auto value = Value(id);
            if (!value) return std::unexpected(value.error());
            values[static_cast<std::size_t>(id)] = std::move(*value);
            if (m_request.formValue) m_request.formValue(values[static_cast<std::size_t>(id)]);
        }
        std::string out;
        for (const MetaToken& token : tokens) {
            out += token.id ? values[static_cast<std::size_t>(*token.id)] : token.text;
        }
        return out;
    }

private:
    // Opens the file and reads its content once, for every name that needs it.
    std::expected<void, Error> Prepare(const std::vector<MetaId>& present) {
        std::vector<HashAlgorithm> algorithms;
        bool counts = false;
        bool open = false;
        for (MetaId id : present) {
            if (auto algorithm = ContentAlgorithm(id)) algorithms.push_back(*algorithm);
            counts = counts || IsCount(id);
            open = open || NeedsOpenFile(id);
        }
        if (!open) return {};
        if (auto opened = OpenFile(); !opened) return opened;
        if (algorithms.empty() && !counts) return {};
        m_hash.Begin(algorithms);
        if (counts) m_counter.emplace(m_settings.charCount.character, m_settings.charCount.caseFlag);
        std::vector<char> buffer(kReadChunk);
        for (off_t offset = 0;;) {
            const ssize_t got = RetryOnEintr([&] { return m_os.Pread(m_fd, buffer.data(), buffer.size(), offset); });
            if (got < 0) return std::unexpected(MakeSystemError(errno, m_request.path, "读取失败"));
            if (got == 0) break;
            const std::string_view chunk(buffer.data(), static_cast<std::size_t>(got));
            m_hash.Update(chunk);
            if (m_counter) m_counter->Feed(chunk);
            offset += got;
        }
        m_hash.Finish();
        if (m_counter) m_counter->Finish();
        return {};
    }

    std::expected<void, Error> OpenFile() {
        m_fd = m_request.fileDescriptor;
        if (m_fd < 0) {
            // Non-blocking, so that a named pipe cannot hold the run; it is refused below.
            m_ownFile = OwnedFd(m_os.Open(m_request.path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK, 0), m_os);
            if (!m_ownFile.IsOpen()) return std::unexpected(MakeSystemError(errno, m_request.path, "无法打开文件"));
            m_fd = m_ownFile.Get();
        }
        if (m_os.Fstat(m_fd, &m_stat) != 0) {
            return std::unexpected(MakeSystemError(errno, m_request.path, "无法读取文件信息"));
        }
        if (!S_ISREG(m_stat.st_mode)) {
            return std::unexpected(Error{EISDIR, "不是文件，没有可读取的内容", m_request.path});
        }
        return {};
    }

    std::expected<std::string, Error> Value(MetaId id) {
        const MetaSettings& s = m_settings;
        const std::string& path = m_request.path;
        switch (id) {
            case MetaId::FullPath: return path;
            case MetaId::DirectoryPath:
                return GetDirectoryPathAtLevel(path, s.directoryPath.level, s.directoryPath.separator);
            case MetaId::DirectoryName:
                return GetDirectoryNameAtLevel(path, s.directoryName.level, s.directoryName.separator);
            case MetaId::FileName: return GetFileNameOfPath(path);
            case MetaId::MainName: return GetMainNameOfPath(path);
            case MetaId::Extension: return GetExtensionOfPath(path);
            case MetaId::NameMd5:
                return HashCalculator::ComputeMd5(GetFileNameOfPath(path), s.nameMd5.sixteenChars,
                                                  s.nameMd5.lowerCase);
            case MetaId::NameMd4:
                return HashCalculator::ComputeMd4(GetFileNameOfPath(path), s.nameMd4.sixteenChars,
                                                  s.nameMd4.lowerCase);
            case MetaId::NameCrc32:
                return HashCalculator::ComputeCrc32(GetFileNameOfPath(path), s.nameCrc32Lower);
            case MetaId::NameMd2:
                return HashCalculator::ComputeMd2(GetFileNameOfPath(path), s.nameMd2.sixteenChars,
                                                  s.nameMd2.lowerCase);
            case MetaId::NameSha1:
                return HashCalculator::ComputeSha1(GetFileNameOfPath(path), s.nameSha1Lower);
            case MetaId::ContentMd5: return ContentDigest(HashAlgorithm::Md5, s.contentMd5);
            case MetaId::ContentMd4: return ContentDigest(HashAlgorithm::Md4, s.contentMd4);
            case MetaId::ContentCrc32:
                return ContentDigest(HashAlgorithm::Crc32, {false, s.contentCrc32Lower});
            case MetaId::ContentMd2: return ContentDigest(HashAlgorithm::Md2, s.contentMd2);
            case MetaId::ContentSha1:
                return ContentDigest(HashAlgorithm::Sha1, {false, s.contentSha1Lower});
            case MetaId::Size: {
                const auto length = static_cast<std::int64_t>(m_stat.st_size);
                return s.sizeAsText ? FormatByteSize(static_cast<double>(length)) : Decimal(length);
            }
            case MetaId::CharacterCount: return Decimal(m_counter->Characters());
            case MetaId::LineCount: return Decimal(m_counter->Lines());
            case MetaId::BlankCount: return Decimal(m_counter->Blanks());
            case MetaId::TextCount: return Decimal(m_counter->SoughtCount());
            case MetaId::Attributes: {
                auto word = GetAttributesOfFile(path, m_os);
                if (!word) return std::unexpected(word.error());
                return s.attributes.asText ? FormatAttributeNames(*word, s.attributes.separator)
                                           : Decimal(*word);
            }
            case MetaId::Description: return GetFileTypeDescription(GetExtensionOfPath(path));
            case MetaId::CreationTime:
            case MetaId::ModificationTime:
            case MetaId::AccessTime: return FileTime(id);
            case MetaId::PictureHeight:
            case MetaId::PictureWidth: {
                if (!m_picture) {
                    auto probe = ProbePictureSize(m_fd, m_os);
                    if (!probe) {
                        return std::unexpected(Error{probe.error().code, probe.error().message, path});
                    }
                    m_picture = *probe;
                }
                if (!*m_picture) return std::string();
                return Decimal(id == MetaId::PictureHeight ? (*m_picture)->height : (*m_picture)->width);
            }
            case MetaId::RandomDigits:
                return RandomDigits(Engine(), s.randomDigits.length, s.randomDigits.variant);
            case MetaId::RandomChineseDigits:
                return RandomChineseDigits(Engine(), s.randomChineseDigits.length,
                                           s.randomChineseDigits.variant);
            case MetaId::RandomLowerLetters:
                return RandomLowerLetters(Engine(), s.randomLowerLetters.length,
                                          s.randomLowerLetters.variant);
            case MetaId::RandomUpperLetters:
                return RandomUpperLetters(Engine(), s.randomUpperLetters.length,
                                          s.randomUpperLetters.variant);
            case MetaId::RandomLetters:
                return RandomLetters(Engine(), s.randomLetters.length, s.randomLetters.variant);
            case MetaId::RandomDigitsLetters:
                return RandomDigitsAndLetters(
                    Engine(), {.length = s.randomDigitsLetters.length,
                               .fullWidth = s.randomDigitsLetters.variant});
            case MetaId::RandomDigitsLettersChoice:
                return RandomDigitsAndLetters(Engine(), s.randomDigitsLettersChoice);
            case MetaId::RandomHanzi: return RandomHanzi(Engine(), s.randomHanzi);
            case MetaId::SystemTime: return FormatDateTimeByRule(Now(), s.systemTime);
            case MetaId::FontName:
                return m_env.fontFaceName ? m_env.fontFaceName(path) : GetFontFaceName(path, m_os);
            case MetaId::Sequence: return FormatSequenceValue(m_request.row, s.sequence);
        }
        return std::string();
    }

    std::string ContentDigest(HashAlgorithm algorithm, DigestOptions options) const {
        return m_hash.ResultText(algorithm, options.sixteenChars, options.lowerCase).value_or("");
    }

    // The three times are read together, through statx, for files and folders alike.
    std::expected<std::string, Error> FileTime(MetaId id) {
        if (!m_timesRead) {
            const int handle = OpenFileForTimes(m_request.path, m_os);
            const bool read = ReadFileTimes(handle, &m_created, &m_modified, &m_accessed, m_os);
            if (handle != kInvalidFileHandle) CloseFileHandle(handle, m_os);
            if (!read) return std::unexpected(Error{EIO, "无法读取文件的时间", m_request.path});
            m_timesRead = true;
        }
        const MetaSettings& s = m_settings;
        switch (id) {
            case MetaId::CreationTime:
                if (!m_created) {
                    return std::unexpected(
                        Error{ENODATA, "文件系统没有记录文件的创建时间", m_request.path});
                }
                return FormatDateTimeByRule(*m_created, s.creationTime);
            case MetaId::ModificationTime: return FormatDateTimeByRule(*m_modified, s.modificationTime);
            default: return FormatDateTimeByRule(*m_accessed, s.accessTime);
        }
    }

    MetaRandomEngine& Engine() const {
        return m_env.random != nullptr ? *m_env.random : ThreadRandomEngine();
    }

    double Now() const {
        if (m_env.now) return m_env.now();
        return UnixTimeToLocalOleDate(static_cast<std::int64_t>(std::time(nullptr))).value_or(0);
    }

    const MetaEnvironment& m_env;
    const MetaSettings& m_settings;
    const MetaExpansionRequest& m_request;
    PosixApi& m_os;

    int m_fd = -1;  // the request's descriptor, or m_ownFile's
    OwnedFd m_ownFile;  // opened here when the request brought none
    struct stat m_stat {};
    HashCalculator m_hash;
    std::optional<ContentCounter> m_counter;
    std::optional<std::optional<PictureSize>> m_picture;
    bool m_timesRead = false;
    std::optional<double> m_created;
    std::optional<double> m_modified;
    std::optional<double> m_accessed;
};

}  // namespace

std::vector<MetaToken> SplitMetaTemplate(std::string_view text, bool withFileNames) {
    std::vector<MetaToken> tokens;
    std::size_t literalStart = 0;
    for (std::size_t pos = text.find('#'); pos != std::string_view::npos; pos = text.find('#', pos)) {
        const std::string_view after = text.substr(pos + 1);
        const auto& names = NamesLongestFirst();
        const auto found = std::find_if(names.begin(), names.end(), [&](const MetaVariable* entry) {
            return (withFileNames || !entry->NeedsFile()) && after.starts_with(entry->name);
        });
        if (found == names.end()) {
            ++pos;
            continue;
        }
        if (pos > literalStart) tokens.push_back({text.substr(literalStart, pos - literalStart), {}});
        const std::size_t length = 1 + (*found)->name.size();
        tokens.push_back({text.substr(pos, length), (*found)->id});
        pos += length;
        literalStart = pos;
    }
    if (literalStart < text.size()) tokens.push_back({text.substr(literalStart), {}});
    return tokens;
}

std::expected<std::string, Error> ExpandMetaVariables(const MetaEnvironment& environment,
                                                      const MetaExpansionRequest& request) {
    const bool enabled = environment.symbolsEnabled == nullptr || environment.symbolsEnabled->load();
    if (!enabled && !request.force) return std::string(request.text);
    const std::vector<MetaToken> tokens = SplitMetaTemplate(request.text, request.isFile);
    if (std::none_of(tokens.begin(), tokens.end(), [](const MetaToken& t) { return t.id.has_value(); })) {
        return std::string(request.text);
    }
    Expansion expansion(environment, request);
    return expansion.Run(tokens);
}

}  // namespace varnel

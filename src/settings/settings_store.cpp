#include "settings/settings_store.h"

#include <cerrno>

#include "platform/file_io.h"
#include "utilities/codec.h"
#include "utilities/number_text.h"
#include "utilities/ole_date.h"
#include "utilities/path_routines.h"

namespace varnel {

namespace {

// CR LF, or a lone CR or LF, becomes ";;;", the stored form of a line break.
std::string WithStoredLineBreaks(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\r' || value[i] == '\n') {
            if (value[i] == '\r' && i + 1 < value.size() && value[i + 1] == '\n') ++i;
            out += ";;;";
        } else {
            out += value[i];
        }
    }
    return out;
}

}  // namespace

std::string RestoreStoredLineBreaks(std::string_view stored) {
    constexpr std::string_view kStoredLineBreak = ";;;";
    std::string lines;
    for (std::size_t at = 0;;) {
        const std::size_t mark = stored.find(kStoredLineBreak, at);
        lines.append(stored.substr(at, mark == std::string_view::npos ? std::string_view::npos : mark - at));
        if (mark == std::string_view::npos) break;
        lines += '\n';
        at = mark + kStoredLineBreak.size();
    }
    return lines;
}

bool SettingsStore::Stamp::operator==(const Stamp& other) const {
    return exists == other.exists && device == other.device && inode == other.inode &&
           size == other.size && modified.tv_sec == other.modified.tv_sec &&
           modified.tv_nsec == other.modified.tv_nsec;
}

SettingsStore::SettingsStore(PosixApi& os) : m_os(os) {}

SettingsStore::~SettingsStore() { (void)Flush(); }

void SettingsStore::SelectSection(std::string_view section) { m_section = std::string(section); }

void SettingsStore::SetFile(std::string path) {
    if (path == m_file) return;
    (void)Flush();
    m_file = std::move(path);
    m_pending.clear();
    m_stamp = Stamp{};
    m_document = IniDocument{};
    Refresh();
}

void SettingsStore::Refresh() {
    if (m_file.empty()) return;
    Stamp now;
    struct stat info {};
    if (m_os.Stat(m_file.c_str(), &info) == 0) {
        now = Stamp{true, info.st_dev, info.st_ino, info.st_size, info.st_mtim};
    }
    if (now == m_stamp) return;
    m_stamp = now;
    auto bytes = now.exists ? ReadWholeFile(m_file, m_os) : std::string();
    m_document = IniDocument::Parse(bytes ? DecodeTextFile(*bytes) : std::string());
    for (const Change& change : m_pending) m_document.Set(change.section, change.key, change.value);
}

bool SettingsStore::WriteText(std::string_view key, std::string_view value) {
    if (m_file.empty() || !IniDocument::IsValidSectionName(m_section) ||
        !IniDocument::IsValidKeyName(key)) {
        return false;
    }
    Change change{m_section, std::string(key), WithStoredLineBreaks(value)};
    m_document.Set(change.section, change.key, change.value);
    m_pending.push_back(std::move(change));
    return true;
}

std::optional<std::string> SettingsStore::ReadStored(std::string_view key) {
    if (m_file.empty()) return std::nullopt;
    Refresh();
    return m_document.Get(m_section, key);
}

std::string SettingsStore::ReadText(std::string_view key, std::string_view defaultValue) {
    auto value = ReadStored(key);
    return value ? std::move(*value) : std::string(defaultValue);
}

bool SettingsStore::WriteBool(std::string_view key, bool value) {
    return WriteText(key, value ? kTrue : kFalse);
}

bool SettingsStore::ReadBool(std::string_view key, bool defaultValue) {
    return ReadText(key, defaultValue ? kTrue : kFalse) == kTrue;
}

bool SettingsStore::WriteNumber(std::string_view key, double value) {
    // A number read from the file and written back unchanged keeps the file's own
    // digits: a double holds only about 16 of them, and "007" stays "007".
    if (const auto stored = ReadStored(key); stored && TextToNumber(*stored) == value) return WriteText(key, *stored);
    return WriteText(key, NumberToText(value));
}

double SettingsStore::ReadNumber(std::string_view key, double defaultValue) {
    const auto value = ReadStored(key);
    return value ? TextToNumber(*value) : defaultValue;
}

bool SettingsStore::WriteDateTime(std::string_view key, double oleDate) {
    return WriteText(key, OleDateToText(oleDate));
}

double SettingsStore::ReadDateTime(std::string_view key, double defaultValue) {
    const auto value = ReadStored(key);
    return value ? TextToOleDate(*value).value_or(defaultValue) : defaultValue;
}

std::expected<void, Error> SettingsStore::Flush() {
    if (m_pending.empty() || m_file.empty()) return {};
    if (auto folder = EnsureDirectory(GetParentOfPath(m_file), 0700, m_os); !folder) {
        return std::unexpected(folder.error());
    }
    // Start from the file as it is now, so keys another instance wrote since we
    // read it survive; only our own changes go on top.
    auto bytes = ReadWholeFile(m_file, m_os);
    if (!bytes && bytes.error().code != ENOENT) return std::unexpected(bytes.error());
    IniDocument merged = IniDocument::Parse(bytes ? DecodeTextFile(*bytes) : std::string());
    for (const Change& change : m_pending) merged.Set(change.section, change.key, change.value);
    if (auto written = WriteFileAtomically(m_file, merged.Serialize(), m_os); !written) {
        return std::unexpected(written.error());
    }
    m_pending.clear();
    m_document = std::move(merged);
    m_stamp = Stamp{};
    struct stat info {};
    if (m_os.Stat(m_file.c_str(), &info) == 0) {
        m_stamp = Stamp{true, info.st_dev, info.st_ino, info.st_size, info.st_mtim};
    }
    return {};
}

}  // namespace varnel

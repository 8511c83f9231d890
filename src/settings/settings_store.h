// The settings store: reads and writes the keys of one INI file, one section at a
// time, as text, logicals ("真"/"假"), numbers and date-times. Every read takes the
// caller's current value as its default, so a missing file, section or key changes
// nothing. Writes are kept until Flush, which re-reads the file, applies only the
// keys this store changed (so two instances do not erase each other's keys) and
// replaces the file atomically. Used on the UI thread only.
#pragma once

#include <expected>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/ini_document.h"
#include "platform/posix_api.h"
#include "utilities/error.h"

namespace varnel {

// A value read back with each stored line break (";;;") turned into "\n".
std::string RestoreStoredLineBreaks(std::string_view stored);

class SettingsStore {
public:
    explicit SettingsStore(PosixApi& os = SystemPosix());
    ~SettingsStore();  // flushes what is still pending; a failure there cannot be reported
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    void SelectSection(std::string_view section);
    // Flushes the pending writes of the previous file first.
    void SetFile(std::string path);
    const std::string& Section() const { return m_section; }
    const std::string& File() const { return m_file; }

    // False for a key the file could not hold (empty, with "=" or a line break,
    // starting with ";" or "["), or when no file or section is set. Line breaks in a
    // value are stored as ";;;", so nothing is ever written across lines.
    bool WriteText(std::string_view key, std::string_view value);
    std::string ReadText(std::string_view key, std::string_view defaultValue = {});
    bool WriteBool(std::string_view key, bool value);
    // True exactly when the stored text is "真".
    bool ReadBool(std::string_view key, bool defaultValue = false);
    bool WriteNumber(std::string_view key, double value);
    double ReadNumber(std::string_view key, double defaultValue = 0);
    // Date-times are OLE day counts, stored as calendar text.
    bool WriteDateTime(std::string_view key, double oleDate);
    double ReadDateTime(std::string_view key, double defaultValue = 0);

    // Writes the pending changes. Creates the folder and the file as needed.
    std::expected<void, Error> Flush();
    bool HasPendingChanges() const { return !m_pending.empty(); }

    static constexpr std::string_view kTrue = "真";
    static constexpr std::string_view kFalse = "假";

private:
    struct Change {
        std::string section;
        std::string key;
        std::string value;
    };
    // The stored text of a key of the current section; nothing when it is missing.
    std::optional<std::string> ReadStored(std::string_view key);
    // Reloads the cached document when the file on disk is not the one last read.
    void Refresh();

    PosixApi& m_os;
    std::string m_section;
    std::string m_file;
    IniDocument m_document;       // the file as last read, with the pending changes applied
    std::vector<Change> m_pending;
    struct Stamp {
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified{};
        bool operator==(const Stamp& other) const;
    } m_stamp;
};

}  // namespace varnel

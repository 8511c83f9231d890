// The parameters of the meta-variables: one record, its section "元变量设置" of the
// main settings file, and the one-line parameter text in which the settings window
// shows and edits the parameters of one meta-variable. The record is a plain value:
// the UI thread edits the program's copy, a run works on a snapshot of it.
#pragma once

#include <cstdint>
#include <expected>
#include <string>
#include <string_view>

#include "settings/settings_store.h"
#include "utilities/error.h"
#include "utilities/time_format.h"

namespace varnel {

inline constexpr const char* kMetaSettingsSection = "元变量设置";
// The most characters a random name generates and the most zeros a sequence number
// gets in front; larger values are typed by mistake and would only make huge names.
inline constexpr std::int32_t kMetaCountLimit = 255;

struct PathLevelOptions {
    std::int32_t level = 0;  // which containing folder, counted from the right; 0 = all
    std::string separator;   // between the items when level is 0
};

struct DigestOptions {
    bool sixteenChars = false;
    bool lowerCase = false;
};

struct CharCountOptions {
    std::string character;  // the text counted; a line break is "\n"
    bool caseFlag = false;  // count case-sensitively
};

struct AttributeTextOptions {
    bool asText = false;
    std::string separator;
};

struct RandomTextOptions {
    std::int32_t length = 0;  // below 1 means 8
    bool variant = false;     // full width; for the Chinese digits the capital forms
};

struct RandomMixOptions {
    std::int32_t length = 0;
    bool fullWidth = false;
    bool noDigits = false;
    bool noLowerCase = false;
    bool noUpperCase = false;
};

struct RandomHanziOptions {
    std::int32_t length = 0;
    bool traditional = false;
    bool noCommon = false;
    bool noLessCommon = false;
};

struct SequenceOptions {
    bool letters = false;
    bool upperCase = false;  // capital letters, or Chinese numerals for numbers
    std::int32_t zeroDigits = 0;
    bool uniform = false;
    bool traditional = false;
    bool amount = false;
};

// Everything zero, false or empty until loaded: loading gives the stored values or
// the section's defaults.
struct MetaSettings {
    PathLevelOptions directoryPath;
    PathLevelOptions directoryName;
    DigestOptions nameMd5;
    DigestOptions nameMd4;
    bool nameCrc32Lower = false;
    DigestOptions nameMd2;
    bool nameSha1Lower = false;
    DigestOptions contentMd5;
    DigestOptions contentMd4;
    bool contentCrc32Lower = false;
    DigestOptions contentMd2;
    bool contentSha1Lower = false;
    CharCountOptions charCount;
    bool sizeAsText = false;
    AttributeTextOptions attributes;
    RandomTextOptions randomDigits;
    RandomTextOptions randomChineseDigits;
    RandomTextOptions randomLowerLetters;
    RandomTextOptions randomUpperLetters;
    RandomTextOptions randomLetters;
    RandomTextOptions randomDigitsLetters;
    RandomMixOptions randomDigitsLettersChoice;
    RandomHanziOptions randomHanzi;
    TimeFormat systemTime;
    TimeFormat creationTime;
    TimeFormat modificationTime;
    TimeFormat accessTime;
    SequenceOptions sequence;
};

// Selects the section and writes every key (save) or reads every key back, a missing
// key giving its default. Saving also writes the file.
std::expected<void, Error> LoadOrSaveMetaSettings(SettingsStore& store, MetaSettings& settings,
                                                  bool save);

// The parameter text of catalogue entry `number` (1..39): its fields joined by ",",
// logicals as "真"/"假", a line break of the counted text as the two characters "\n";
// "" for an entry without parameters.
std::string MetaParameterText(int number, const MetaSettings& settings);

// Reads a parameter text typed for entry `number` into the record. The entry's one
// text field (a separator, a pattern, the counted text) takes every "," that lies in
// it, so such a value survives; the other fields are split at ",", surplus ones
// dropped and missing ones read as empty. Numbers read leniently, any logical other
// than "真" is false. An entry without parameters changes nothing.
void ReadMetaParameterText(int number, std::string_view text, MetaSettings& settings);

}  // namespace varnel

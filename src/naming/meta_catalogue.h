// The catalogue of the 39 meta-variables ("#" and a fixed Chinese name, expanded per
// file): their numbers, names, descriptions, menu groups, the order in which an
// expansion computes them, their parameters with the keys under which the settings
// keep them, and their help texts. The settings, the expansion, the settings window
// and the insertion menu all read this one table. Constant; safe on any thread.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "naming/meta_settings.h"

namespace varnel {

// Catalogue numbers: the rows of the settings window and the items of the menu.
enum class MetaId : int {
    FullPath = 1,
    DirectoryPath,
    DirectoryName,
    FileName,
    MainName,
    Extension,
    NameMd5,
    NameMd4,
    NameCrc32,
    NameMd2,
    NameSha1,
    ContentMd5,
    ContentMd4,
    ContentCrc32,
    ContentMd2,
    ContentSha1,
    Size,
    CharacterCount,
    LineCount,
    BlankCount,
    TextCount,
    Attributes,
    Description,
    RandomDigits,
    RandomChineseDigits,
    RandomLowerLetters,
    RandomUpperLetters,
    RandomLetters,
    RandomDigitsLetters,
    RandomDigitsLettersChoice,
    RandomHanzi,
    SystemTime,
    CreationTime,
    ModificationTime,
    AccessTime,
    PictureHeight,
    PictureWidth,
    FontName,
    Sequence,
};
inline constexpr int kMetaVariableCount = 39;
// Expansion order up to this number: the names that need a file (path, digests,
// counts, attributes, times, pictures).
inline constexpr int kLastFileMetaOrder = 28;

enum class MetaMenuGroup : int {
    PathParts, NameDigests, ContentDigests, Counts, Random, Times, Media, More,
};
inline constexpr int kMetaMenuGroupCount = 8;
std::string_view MetaMenuGroupCaption(MetaMenuGroup group);

enum class MetaParameterKind {
    Level,        // a folder level: the parameter text reads "" or a negative number as 1
    Count,        // a length or a number of zeros, at most kMetaCountLimit
    Logical,
    Text,
    EscapedText,  // a text whose line breaks are kept as the two characters "\n"
};

// One parameter of a meta-variable: its field in MetaSettings and its settings key.
struct MetaParameter {
    std::string_view key;  // after the entry's store name and "."; "" for the bare name
    MetaParameterKind kind;
    int storeOrder;  // position of its key among the entry's keys in the section
    std::int32_t& (*number)(MetaSettings&) = nullptr;
    bool& (*logical)(MetaSettings&) = nullptr;
    std::string& (*text)(MetaSettings&) = nullptr;
    std::int32_t numberDefault = 0;  // what a missing key reads as
    std::string_view textDefault;
};

struct MetaVariable {
    MetaId id;
    std::string_view name;         // without "#"
    std::string_view description;  // the one-line note of the settings window
    MetaMenuGroup group;
    int expansionOrder;            // 1..39
    std::string_view storeName;    // the name in the settings keys
    std::span<const MetaParameter> parameters;  // in the order of the parameter text

    bool NeedsFile() const { return expansionOrder <= kLastFileMetaOrder; }
};

// The 39 entries in catalogue order.
std::span<const MetaVariable> MetaCatalogue();
const MetaVariable& MetaEntry(MetaId id);
// Nothing for a number outside 1..39.
const MetaVariable* MetaEntryByNumber(int number);

// The help text of the settings window for an entry, lines separated by "\n"; "" for
// an entry without parameters.
const std::string& MetaHelpText(MetaId id);

}  // namespace varnel

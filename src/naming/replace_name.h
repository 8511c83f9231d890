// The replace and regular-expression rename tasks' name makers: a text, or the
// matches of an expression, replaced in the chosen part of a row's name, or in its
// whole path (the whole-path mode, where the result is a new path the row's file
// goes to). Also the built-in expression presets and the checks a new path must
// pass. Pure; safe on any thread.
#pragma once

#include <cstdint>
#include <expected>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "naming/name_parts.h"
#include "utilities/error.h"
#include "utilities/regex_object.h"

namespace varnel {

// The replace task's parameters (批量替换). scope is the run's name part, or the
// whole path in whole-path mode.
struct ReplaceParams {
    NamePart scope = NamePart::WholeName;
    std::string findText;
    std::string replacement;
    bool caseSensitive = false;
    std::int64_t count = 0;  // below 1: every occurrence
    bool wholePath = false;
    bool copy = false;       // whole-path mode: copy rather than move
};

// The regular-expression task's parameters (批量正则).
struct RegexReplaceParams {
    NamePart scope = NamePart::WholeName;
    std::string expression;
    std::string replacement;  // "$1"-style group references
    bool ignoreCase = false;
    bool global = false;
    bool wholePath = false;
    bool copy = false;
};

// The new name (a new path in whole-path mode) of the input, a full path or a name.
// An empty find text changes nothing.
std::string MakeReplacedName(std::string_view input, const ReplaceParams& params);

// The flags the expression of params compiles with.
RegexFlags RenameRegexFlags(const RegexReplaceParams& params);
// The same with the matches of `regex` (compiled from params' expression and flags)
// replaced. A match that runs past the engine's limits is the row's error.
std::expected<std::string, Error> MakeRegexReplacedName(std::string_view input, const RegexReplaceParams& params,
                                                        RegexObject& regex);

struct RegexPreset {
    std::string name;
    std::string pattern;
    std::string replacement;
    std::string description;
    bool ignoreCase = false;
    bool global = false;
};
// Presets from their stored text: one a line (CR LF between lines), six fields
// joined by ";;;", logicals written "真" (anything else is false). A line with too
// few fields is skipped.
std::vector<RegexPreset> ParseRegexPresets(std::string_view text);
// The built-in presets.
const std::vector<RegexPreset>& LoadRegexPresets();

// A new path of the whole-path mode taken apart: its folder (a folder path) and
// name. Nothing for a path that is not absolute, ends in "/", or holds an empty,
// "." or ".." component.
struct FolderAndName {
    std::string folder;
    std::string name;
};
std::optional<FolderAndName> SplitFolderAndName(std::string_view path);

}  // namespace varnel

#include "naming/replace_name.h"

#include "utilities/path_routines.h"

namespace varnel {

namespace {

// The built-in presets: name;;;pattern;;;replacement;;;description;;;ignore case;;;global.
constexpr const char* kBuiltInPresets =
    "统一音频文件名的中间为“ - ”;;;(.*?)\\s*-\\s*(.*);;;$1 - $2;;;"
    "将“-”“ -”“- ”“ - ”等四种情况统一为“ - ”;;;假;;;假\r\n"
    "分隔混合句子的每个单词;;;([a-z]+)([A-Z]+);;;$1 $2;;;"
    "分隔一组混合英文句子里的以大写字母为起始标记的每个单词，这里假使分隔符为空格。;;;假;;;真";

}  // namespace

std::string MakeReplacedName(std::string_view input, const ReplaceParams& params) {
    return ChangeNamePart(input, params.scope, [&](std::string_view part) {
        return ReplaceOccurrences(part, params.findText, params.replacement, params.count, params.caseSensitive);
    });
}

RegexFlags RenameRegexFlags(const RegexReplaceParams& params) {
    return RegexFlags{.ignoreCase = params.ignoreCase, .multiline = true, .global = params.global};
}

std::expected<std::string, Error> MakeRegexReplacedName(std::string_view input, const RegexReplaceParams& params,
                                                        RegexObject& regex) {
    const TakenNamePart taken = TakeNamePart(input, params.scope);
    auto replaced = regex.ReplaceMatches(taken.part, params.replacement);
    if (!replaced) return std::unexpected(std::move(replaced.error()));
    return ReassembleName(taken, *replaced, params.scope);
}

std::vector<RegexPreset> ParseRegexPresets(std::string_view text) {
    std::vector<RegexPreset> presets;
    for (const std::string_view line : SplitAtSeparator(text, "\r\n")) {
        const std::vector<std::string_view> fields = SplitAtSeparator(line, ";;;");
        if (fields.size() < 6) continue;
        presets.push_back({std::string(fields[0]), std::string(fields[1]), std::string(fields[2]),
                           std::string(fields[3]), fields[4] == "真", fields[5] == "真"});
    }
    return presets;
}

const std::vector<RegexPreset>& LoadRegexPresets() {
    static const std::vector<RegexPreset> presets = ParseRegexPresets(kBuiltInPresets);
    return presets;
}

std::optional<FolderAndName> SplitFolderAndName(std::string_view path) {
    if (path.empty() || path.front() != '/' || path.back() == '/') return std::nullopt;
    for (const std::string_view component : SplitAtSeparator(path.substr(1), "/")) {
        if (component.empty() || component == "." || component == "..") return std::nullopt;
    }
    const std::size_t slash = path.rfind('/');
    return FolderAndName{std::string(path.substr(0, slash + 1)), std::string(path.substr(slash + 1))};
}

}  // namespace varnel

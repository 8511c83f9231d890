// An INI file held as its lines, so that a rewrite keeps every line it did not
// change: comments, unknown sections, blank lines and the order of keys. Section
// and key names are taken verbatim (Chinese, inner spaces), matched with ASCII
// letters in either case; when a name occurs twice the first one wins.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace varnel {

class IniDocument {
public:
    // Lines end in "\n" or "\r\n"; the text is UTF-8 (decode it first).
    static IniDocument Parse(std::string_view text);

    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    // Replaces the first such key's value, or adds the key at the end of the first such
    // section, or adds the section at the end. Only valid names may be passed
    // (IsValidSectionName, IsValidKeyName) and values without line breaks.
    void Set(std::string_view section, std::string_view key, std::string_view value);

    // The document with "\n" line ends; a line whose text ends in CR gets "\r\n",
    // so that the CR is still part of it when the text is parsed again.
    std::string Serialize() const;

    // Every section/key pair in file order, duplicates included (for inspection).
    std::vector<std::pair<std::string, std::string>> KeyList() const;

    static bool IsValidSectionName(std::string_view name);
    static bool IsValidKeyName(std::string_view key);

private:
    struct Line {
        std::string text;     // the line as written, without its line end
        std::string name;     // section name or key, trimmed
        std::string value;    // key lines only, as read
        enum class Kind { Other, Section, Key } kind = Kind::Other;
    };
    // Index of the first header line of `section`, or npos.
    std::size_t FindSection(std::string_view section) const;

    std::vector<Line> m_lines;
};

}  // namespace varnel

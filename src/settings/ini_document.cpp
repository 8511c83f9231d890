#include "settings/ini_document.h"

#include "utilities/char_forms.h"

namespace varnel {

namespace {

constexpr std::size_t npos = std::string::npos;

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

bool SameName(std::string_view a, std::string_view b) { return EqualsIgnoringAsciiCase(a, b); }

// Values are read trimmed, with one pair of surrounding double quotes removed, as
// other INI readers do; so a value with blanks at either end is written quoted.
std::string DecodeValue(std::string_view raw) {
    raw = Trim(raw);
    if (raw.size() >= 2 && raw.front() == '"' && raw.back() == '"') {
        raw = raw.substr(1, raw.size() - 2);
    }
    return std::string(raw);
}

std::string EncodeValue(std::string_view value) {
    const bool needsQuotes =
        !value.empty() && (value.front() == ' ' || value.front() == '\t' || value.back() == ' ' ||
                           value.back() == '\t' ||
                           (value.size() >= 2 && value.front() == '"' && value.back() == '"'));
    return needsQuotes ? "\"" + std::string(value) + "\"" : std::string(value);
}

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != npos; }

}  // namespace

IniDocument IniDocument::Parse(std::string_view text) {
    IniDocument document;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view raw = text.substr(0, end);
        text.remove_prefix(end == npos ? text.size() : end + 1);
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);

        Line line;
        line.text = std::string(raw);
        const std::string_view trimmed = Trim(raw);
        if (trimmed.starts_with('[') && trimmed.find(']') != npos) {
            line.kind = Line::Kind::Section;
            line.name = std::string(Trim(trimmed.substr(1, trimmed.find(']') - 1)));
        } else if (!trimmed.starts_with(';') && trimmed.find('=') != npos) {
            const auto equals = trimmed.find('=');
            line.kind = Line::Kind::Key;
            line.name = std::string(Trim(trimmed.substr(0, equals)));
            line.value = DecodeValue(trimmed.substr(equals + 1));
        }
        document.m_lines.push_back(std::move(line));
    }
    return document;
}

std::size_t IniDocument::FindSection(std::string_view section) const {
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == Line::Kind::Section && SameName(m_lines[i].name, section)) return i;
    }
    return npos;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
    const std::size_t header = FindSection(Trim(section));
    if (header == npos) return std::nullopt;
    key = Trim(key);
    for (std::size_t i = header + 1; i < m_lines.size(); ++i) {
        const Line& line = m_lines[i];
        if (line.kind == Line::Kind::Section) break;
        if (line.kind == Line::Kind::Key && SameName(line.name, key)) return line.value;
    }
    return std::nullopt;
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    section = Trim(section);
    key = Trim(key);
    Line entry;
    entry.kind = Line::Kind::Key;
    entry.name = std::string(key);
    entry.value = std::string(value);
    entry.text = entry.name + "=" + EncodeValue(value);

    const std::size_t header = FindSection(section);
    if (header == npos) {
        if (!m_lines.empty() && !Trim(m_lines.back().text).empty()) m_lines.push_back(Line{});
        Line head;
        head.kind = Line::Kind::Section;
        head.name = std::string(section);
        head.text = "[" + head.name + "]";
        m_lines.push_back(std::move(head));
        m_lines.push_back(std::move(entry));
        return;
    }
    std::size_t insertAt = header + 1;
    for (std::size_t i = header + 1; i < m_lines.size(); ++i) {
        Line& line = m_lines[i];
        if (line.kind == Line::Kind::Section) break;
        if (line.kind != Line::Kind::Key) continue;
        if (SameName(line.name, key)) {
            // The key keeps the spelling it has in the file.
            entry.name = line.name;
            entry.text = line.name + "=" + EncodeValue(value);
            line = std::move(entry);
            return;
        }
        insertAt = i + 1;
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(entry));
}

std::string IniDocument::Serialize() const {
    std::string out;
    for (const Line& line : m_lines) {
        out += line.text;
        if (line.text.ends_with('\r')) out += '\r';
        out += '\n';
    }
    return out;
}

std::vector<std::pair<std::string, std::string>> IniDocument::KeyList() const {
    std::vector<std::pair<std::string, std::string>> keys;
    std::string section;
    for (const Line& line : m_lines) {
        if (line.kind == Line::Kind::Section) section = line.name;
        if (line.kind == Line::Kind::Key) keys.emplace_back(section, line.name);
    }
    return keys;
}

bool IniDocument::IsValidSectionName(std::string_view name) {
    return !Trim(name).empty() && name.find(']') == npos && !HasLineBreak(name);
}

bool IniDocument::IsValidKeyName(std::string_view key) {
    const std::string_view trimmed = Trim(key);
    return !trimmed.empty() && key.find('=') == npos && !HasLineBreak(key) &&
           !trimmed.starts_with(';') && !trimmed.starts_with('[');
}

}  // namespace varnel

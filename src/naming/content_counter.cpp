#include "naming/content_counter.h"

#include "utilities/codec.h"
#include "utilities/utf8_text.h"

namespace varnel {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length a UTF-8 lead byte announces; 1 for a byte that cannot lead.
std::size_t AnnouncedLength(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    return 1;
}

bool IsGbkLead(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

std::uint32_t GbkUnit(unsigned char lead, unsigned char trail) {
    return (static_cast<std::uint32_t>(lead) << 8) | trail;
}

std::vector<std::uint32_t> GbkUnits(std::string_view bytes) {
    std::vector<std::uint32_t> units;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (IsGbkLead(byte) && i + 1 < bytes.size()) {
            units.push_back(GbkUnit(byte, static_cast<unsigned char>(bytes[++i])));
        } else {
            units.push_back(byte);
        }
    }
    return units;
}

}  // namespace

ContentCounter::UnitSearch::UnitSearch(std::vector<std::uint32_t> needle)
    : m_needle(std::move(needle)), m_fallback(m_needle.size(), 0) {
    for (std::size_t i = 1, k = 0; i < m_needle.size(); ++i) {
        while (k > 0 && m_needle[i] != m_needle[k]) k = m_fallback[k - 1];
        if (m_needle[i] == m_needle[k]) ++k;
        m_fallback[i] = k;
    }
}

void ContentCounter::UnitSearch::Feed(std::uint32_t unit) {
    while (m_matched > 0 && unit != m_needle[m_matched]) m_matched = m_fallback[m_matched - 1];
    if (unit == m_needle[m_matched]) ++m_matched;
    if (m_matched == m_needle.size()) {
        ++m_count;
        m_matched = 0;  // the next occurrence starts after this one
    }
}

ContentCounter::ContentCounter(std::string_view sought, bool caseSensitive)
    : m_caseSensitive(caseSensitive) {
    if (sought.empty()) return;
    std::vector<std::uint32_t> bytes;
    for (const char c : sought) bytes.push_back(Fold(static_cast<unsigned char>(c)));
    m_utf8Search.emplace(std::move(bytes));
    // A sought text that GBK cannot hold is never found in a GBK file.
    if (auto gbk = EncodeToCodec(sought, kCodecGbk)) {
        std::vector<std::uint32_t> units = GbkUnits(*gbk);
        for (auto& unit : units) unit = Fold(unit);
        m_gbkSearch.emplace(std::move(units));
    }
}

std::uint32_t ContentCounter::Fold(std::uint32_t unit) const {
    if (!m_caseSensitive && unit >= 'A' && unit <= 'Z') return unit + ('a' - 'A');
    return unit;
}

void ContentCounter::Feed(std::string_view chunk) {
    if (m_head.size() < kUtf8Bom.size()) {
        m_head += chunk.substr(0, kUtf8Bom.size() - m_head.size());
    }
    for (const char c : chunk) {
        if (c == '\n') ++m_lineFeeds;
        if (c == ' ') ++m_blanks;
    }
    FeedUtf8(chunk);
    FeedGbk(chunk);
}

void ContentCounter::FeedUtf8(std::string_view chunk) {
    if (!m_utf8Valid) return;
    // UTF-8 never has a lead or an ASCII byte inside a character, so matching bytes
    // finds only whole characters.
    if (m_utf8Search) {
        for (const char c : chunk) m_utf8Search->Feed(Fold(static_cast<unsigned char>(c)));
    }
    std::string text = std::move(m_utf8Carry);
    text.append(chunk);
    // Keep back a character that the chunk's end cuts short.
    std::size_t complete = text.size();
    for (std::size_t back = 1; back <= 4 && back <= text.size(); ++back) {
        const auto byte = static_cast<unsigned char>(text[text.size() - back]);
        if (IsContinuation(byte)) continue;
        if (AnnouncedLength(byte) > back) complete = text.size() - back;
        break;
    }
    m_utf8Carry = text.substr(complete);
    ValidateUtf8(std::string_view(text).substr(0, complete));
}

void ContentCounter::ValidateUtf8(std::string_view complete) {
    if (!IsValidUtf8(complete)) {
        m_utf8Valid = false;
        return;
    }
    for (const char c : complete) {
        if (!IsContinuation(static_cast<unsigned char>(c))) ++m_utf8Characters;
    }
}

void ContentCounter::FeedGbk(std::string_view chunk) {
    for (const char c : chunk) {
        const auto byte = static_cast<unsigned char>(c);
        std::uint32_t unit = byte;
        if (m_gbkLead) {
            unit = GbkUnit(*m_gbkLead, byte);
            m_gbkLead.reset();
        } else if (IsGbkLead(byte)) {
            m_gbkLead = byte;
            continue;
        }
        ++m_gbkCharacters;
        if (m_gbkSearch) m_gbkSearch->Feed(Fold(unit));
    }
}

void ContentCounter::Finish() {
    if (!m_utf8Carry.empty()) m_utf8Valid = false;  // the file ends inside a character
    if (m_gbkLead) {
        ++m_gbkCharacters;
        if (m_gbkSearch) m_gbkSearch->Feed(*m_gbkLead);
        m_gbkLead.reset();
    }
}

std::int64_t ContentCounter::Characters() const {
    if (!m_utf8Valid) return m_gbkCharacters;
    return m_head == kUtf8Bom ? m_utf8Characters - 1 : m_utf8Characters;
}

std::int64_t ContentCounter::SoughtCount() const {
    const auto& search = m_utf8Valid ? m_utf8Search : m_gbkSearch;
    return search ? search->Count() : 0;
}

}  // namespace varnel

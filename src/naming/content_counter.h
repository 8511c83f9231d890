// Counts over a file's content, fed in chunks so that a file is never held whole: its
// characters, its line feeds, its blanks and the occurrences of a sought text. The
// content is read as a text file is: UTF-8 when it is valid UTF-8 (a BOM is not a
// character), GBK otherwise, where a byte that starts no character counts as one.
// One instance per file; not shared between threads.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnel {

class ContentCounter {
public:
    // An empty sought text is never found.
    explicit ContentCounter(std::string_view sought = {}, bool caseSensitive = false);

    void Feed(std::string_view chunk);
    // After the last chunk, before the results are read.
    void Finish();

    std::int64_t Characters() const;
    // The line feeds plus one: a CR LF pair is one line break, a lone CR none.
    std::int64_t Lines() const { return m_lineFeeds + 1; }
    // Only the ASCII blank; tabs and the ideographic space are not blanks.
    std::int64_t Blanks() const { return m_blanks; }
    // Occurrences that do not overlap, left to right; ASCII letters match either case
    // unless caseSensitive.
    std::int64_t SoughtCount() const;

private:
    // A search for one sequence of characters (units) in a stream of them, counting
    // matches that do not overlap.
    class UnitSearch {
    public:
        explicit UnitSearch(std::vector<std::uint32_t> needle);
        void Feed(std::uint32_t unit);
        std::int64_t Count() const { return m_count; }

    private:
        std::vector<std::uint32_t> m_needle;
        std::vector<std::size_t> m_fallback;  // longest proper border of each prefix
        std::size_t m_matched = 0;
        std::int64_t m_count = 0;
    };

    void FeedUtf8(std::string_view chunk);
    void FeedGbk(std::string_view chunk);
    void ValidateUtf8(std::string_view complete);
    std::uint32_t Fold(std::uint32_t unit) const;

    bool m_caseSensitive;
    std::int64_t m_lineFeeds = 0;
    std::int64_t m_blanks = 0;

    std::string m_head;  // the first three bytes, for the BOM
    bool m_utf8Valid = true;
    std::string m_utf8Carry;  // a character cut by the end of a chunk
    std::int64_t m_utf8Characters = 0;
    std::optional<UnitSearch> m_utf8Search;

    std::optional<unsigned char> m_gbkLead;  // a lead byte waiting for its trail byte
    std::int64_t m_gbkCharacters = 0;
    std::optional<UnitSearch> m_gbkSearch;
};

}  // namespace varnel

// Regular expressions for every pattern the user types (filters, renames,
// extraction, content replace, the tester): ECMAScript-style patterns on PCRE2,
// with "$1".."$99", "$&", "$`", "$'" and "$$" in replacements.
//
// A compiled pattern is immutable and shared between copies, so it may be used
// from several threads; the match results are each object's own, so one object
// belongs to one thread at a time (give each run its own Copy). Errors are values:
// an invalid pattern fails Compile with the engine's message and position, and a
// match that runs past the engine's limits fails that call instead of hanging.
#pragma once

#include <cstddef>
#include <expected>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "utilities/error.h"

struct pcre2_callout_block_8;

namespace varnel {

struct RegexFlags {
    bool ignoreCase = true;
    bool multiline = true;  // "^" and "$" also match at line breaks
    bool global = true;     // every match, not only the first
    // A keepGoing (SetKeepGoing) may end a search inside one attempt, not only
    // between attempts: the engine asks it as it goes, at some cost in speed. For
    // the tester, where a pattern typed a moment ago may backtrack without end.
    bool stoppable = false;
    bool operator==(const RegexFlags&) const = default;
};

class RegexObject {
public:
    RegexObject();
    ~RegexObject();
    RegexObject(RegexObject&&) noexcept;
    RegexObject& operator=(RegexObject&&) noexcept;
    RegexObject(const RegexObject&) = delete;
    RegexObject& operator=(const RegexObject&) = delete;

    // Compiles at once. On failure the object holds no pattern at all, so nothing
    // stale runs afterwards; the error is also what later calls report.
    std::expected<void, Error> Compile(std::string_view pattern, RegexFlags flags = {});
    bool IsCompiled() const;
    // The compiled pattern; "" when nothing is compiled.
    std::string GetPattern() const;
    RegexFlags GetFlags() const;

    // The same compiled pattern with match results of its own (none yet).
    RegexObject Copy() const;

    // Asked before each attempt of a search (every match of FindMatches, of a
    // replacement), and within attempts too when compiled stoppable: false ends it
    // with ECANCELED. Empty (the default): never asked.
    void SetKeepGoing(std::function<bool()> keepGoing) { m_keepGoing = std::move(keepGoing); }
    void Destroy();

    // The text with the matches (all of them when global, else the first) replaced.
    std::expected<std::string, Error> ReplaceMatches(std::string_view text,
                                                     std::string_view replacement);
    // The same text handed to `put` piece by piece, in order, instead of made whole,
    // so that a large text is never held twice. A piece `put` refuses ends it with
    // that error.
    using PutPiece = std::function<std::expected<void, Error>(std::string_view piece)>;
    std::expected<void, Error> ReplaceMatchesInto(std::string_view text, std::string_view replacement,
                                                  const PutPiece& put);
    // Finds the matches and keeps them for the getters below; returns their number.
    std::expected<int, Error> FindMatches(std::string_view text);
    int GetMatchCount() const;
    // The byte range (start, end) of the first match, nothing when there is none;
    // keeps no results (for filters that test many texts quickly).
    std::expected<std::optional<std::pair<std::size_t, std::size_t>>, Error> FirstMatch(std::string_view text);
    // Match i and group j of match i, both counted from 1; "" when out of range
    // or when the group took no part in the match.
    std::string GetMatchText(int i) const;
    std::string GetSubmatchText(int i, int j) const;
    // The number of groups of the pattern; 0 when the last search found nothing.
    int GetSubmatchCount() const;

private:
    struct Compiled;
    struct MatchState;

    // Calls `onMatch` with the byte offsets (start, end) of group 0..groups of each
    // match in order, only the first unless global; an unset group is (npos, npos).
    // An onMatch that returns false stops the search.
    std::expected<void, Error> PrepareMatch();
    // One match attempt from byte `start` with the prepared state: the engine's result code.
    int Match(std::string_view text, std::size_t start);
    template <typename OnMatch>
    std::expected<void, Error> ForEachMatch(std::string_view text, OnMatch onMatch);
    std::string_view Group(int i, int j) const;

    std::shared_ptr<const Compiled> m_compiled;
    std::optional<Error> m_compileError;
    std::unique_ptr<MatchState> m_state;  // the engine's match data, made on first use
    std::string m_subject;                // the text of the last FindMatches
    std::vector<std::size_t> m_offsets;   // its matches: 2 * (groups + 1) offsets each
    int m_matchCount = 0;
    std::function<bool()> m_keepGoing;
    // The engine's call back into a stoppable search; it asks keepGoing now and then.
    static int StopCheck(::pcre2_callout_block_8* block, void* self);
    unsigned m_checks = 0;
    bool m_stopped = false;
};

// A RegexObject kept between calls together with the flags it was compiled with:
// the global expressions of the batch tasks compile once per pattern, not once per
// row. Safe to call from any thread; each call hands out a Copy of its own.
class CachedRegex {
public:
    // Compiles again only when the pattern (compared exactly) or a flag differs from
    // the last request; a pattern that failed keeps failing without another compile.
    std::expected<RegexObject, Error> Get(std::string_view pattern, RegexFlags flags);
    // How many times Get compiled.
    int CompileCount() const;

private:
    mutable std::mutex m_mutex;
    RegexObject m_regex;
    std::optional<Error> m_error;  // why the last request failed to compile
    bool m_requested = false;
    std::string m_pattern;
    RegexFlags m_flags;
    int m_compileCount = 0;
};

}  // namespace varnel

#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "filelist/file_filter.h"
#include "support/mutation_fuzz.h"
#include "utilities/regex_object.h"

namespace varnel {
namespace {

using testing::MutationFuzzer;

// The wildcard conversion written out character by character, without collapsing runs.
std::string WrittenOutWildcard(std::string_view text) {
    std::string pattern;
    for (char c : text) {
        if (c == '.') pattern += "\\.";
        else if (c == '*') pattern += ".*";
        else if (c == '?') pattern += ".?";
        else pattern += c;
    }
    return pattern;
}

// Input layout: one byte of options, then the pattern, a 0x01 byte, and the name.
struct Case {
    NameFilter filter;
    std::string name;
};

Case Split(std::string_view input, std::string_view patternAlphabet = {}, std::string_view nameAlphabet = {}) {
    Case c;
    const unsigned options = input.empty() ? 0 : static_cast<unsigned char>(input[0]);
    if (!input.empty()) input.remove_prefix(1);
    c.filter.enabled = true;
    c.filter.engine = static_cast<int>(options % 3);
    c.filter.ignoreCase = (options & 4) != 0;
    c.filter.wholeMatch = (options & 8) != 0;
    const std::size_t cut = input.find('\x01');
    std::string pattern(input.substr(0, cut));
    std::string name(cut == std::string_view::npos ? std::string_view() : input.substr(cut + 1));
    auto mapInto = [](std::string& text, std::string_view alphabet) {
        if (alphabet.empty()) return;
        for (char& ch : text) ch = alphabet[static_cast<unsigned char>(ch) % alphabet.size()];
    };
    mapInto(pattern, patternAlphabet);
    mapInto(name, nameAlphabet);
    c.filter.pattern = std::move(pattern);
    c.name = std::move(name);
    return c;
}

TEST(FileFilterFuzz, AnyPatternOnAnyNameDecidesOrSaysWhyNot) {
    MutationFuzzer fuzzer({
        .seeds = {std::string("\x01*.rar|*.txt\x01" "a.txt"), std::string("\x0A??????????????????????????report.doc\x01report.doc"),
                  std::string("\x02^(\\w+\\s?)*$\x01" "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa!"), std::string("\x05\xC3\x9C" "ber\x01\xC3\xBC" "BER")},
        .dictionary = {"*", "?", "**********", "|", "(", ")", "[", "]", "\\", "{2}", "+", "^", "$", ".", "(?", "\xE4\xB8\xAD"},
        .maxLength = 300,
    });
    fuzzer.Run([&](std::string_view input) {
        Case c = Split(input);
        FileFilter filter;
        const auto result = filter.MatchText(c.name, c.filter);
        c.filter.invert = true;
        FileFilter inverted;
        const auto invertedResult = inverted.MatchText(c.name, c.filter);
        ASSERT_EQ(result.has_value(), invertedResult.has_value());
        if (result) EXPECT_NE(*result, *invertedResult);
    });
}

TEST(FileFilterFuzz, CollapsedWildcardsMatchAsWrittenOut) {
    // A small alphabet, so that runs, literals and names meet often.
    MutationFuzzer fuzzer({
        .seeds = {std::string("\x01a?b*\x01" "axb"), std::string("\x09*a??b|?.a\x01" "aab.a")},
        .maxLength = 40,
    });
    fuzzer.Run([&](std::string_view input) {
        Case c = Split(input, "ab.*?|^$x**??", "ab.x");
        c.filter.engine = 1;
        FileFilter filter;
        const auto collapsed = filter.MatchText(c.name, c.filter);
        if (c.filter.pattern.empty()) {  // an empty pattern matches nothing
            EXPECT_EQ(collapsed, false);
            return;
        }
        RegexObject reference;
        if (!reference.Compile(WrittenOutWildcard(c.filter.pattern), {c.filter.ignoreCase, false, false})) {
            EXPECT_EQ(collapsed, false);
            return;
        }
        const auto found = reference.FirstMatch(c.name);
        if (!found) return;  // the written-out form is what gives up; nothing to compare
        const bool expected = *found && (!c.filter.wholeMatch || ((*found)->first == 0 && (*found)->second == c.name.size()));
        ASSERT_TRUE(collapsed.has_value()) << collapsed.error().message;
        EXPECT_EQ(*collapsed, expected) << c.filter.pattern << " on " << c.name << " whole " << c.filter.wholeMatch;
    });
}

}  // namespace
}  // namespace varnel

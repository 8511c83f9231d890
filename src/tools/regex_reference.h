// The regular-expression tester's reference tables: the syntax entries (shown as a
// list and as a row of buttons that insert their symbol) and the classic ready-made
// patterns, group headings included (their pattern is empty). Built once from
// constant texts of "key::value" lines. Pure; any thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varnel {

struct RegexSyntaxEntry {
    std::string symbol;
    std::string description;
    // The symbol's button: its caption (the symbol, told apart where two entries
    // share one) and the text it inserts.
    std::string caption;
    std::string insertText;
};

struct ClassicPatternEntry {
    std::string name;
    std::string pattern;  // empty for a group heading
};

// "key::value" lines joined by line breaks; a line without "::" is a key with an
// empty value. Splits at the first "::".
std::vector<std::pair<std::string, std::string>> ParseReferenceText(std::string_view text);

const std::vector<RegexSyntaxEntry>& RegexSyntaxEntries();
const std::vector<ClassicPatternEntry>& ClassicPatternEntries();

// The width of a symbol button with this caption: 6 pixels per unit of GBK width, plus 5.
int SymbolButtonWidth(std::string_view symbol);

}  // namespace varnel

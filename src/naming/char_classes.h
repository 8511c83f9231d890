// The character class table of the clear-characters rename task: 34 named classes of
// characters, each a list of GBK code ranges or one of the two whole classes (every
// single-byte or every double-byte character), how a class is described and
// sampled, and the check rules of the class list. Pure functions; safe on any thread.
//
// A code is written in decimal: a single-byte character as its byte value, a
// double-byte one as its first byte's value followed by its second byte's, so the
// bytes A9 56 are "16986". The first three digits of a longer code are the first
// byte and the rest the second, so "169086" names the same character. Codes compare
// as numbers of (first byte, second byte), whichever way they are written.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "utilities/gbk_code.h"
#include "utilities/key_state.h"

namespace varnel {

// The ranges text of the two whole classes.
inline constexpr std::string_view kAllSingleByteRanges = "半角";
inline constexpr std::string_view kAllDoubleByteRanges = "全角";

struct CharClassEntry {
    std::string name;
    std::string ranges;  // "a-b,c,...", or one of the two whole-class words
};

// The built-in classes in list order.
const std::vector<CharClassEntry>& LoadCharClasses();

// The code text of a character (UTF-8 text of one character); nothing for a
// character GBK cannot hold.
std::optional<std::string> CharCodeText(std::string_view character);
// The code a code text names; nothing for a text that is not one. CharFromCodeText
// (naming/meta_random.h) gives its character.
std::optional<GbkCode> ParseCodeText(std::string_view code);

// True when code lies in one of the comma-separated entries of ranges (a code, or
// two codes joined by "-"); an empty list matches nothing.
bool CodeInRanges(std::string_view code, std::string_view ranges);

// Every code that lies in ranges, as a set over all codes.
class CodeSet {
public:
    explicit CodeSet(std::string_view ranges);
    bool Contains(GbkCode code) const { return m_codes[code]; }
    bool Empty() const { return m_empty; }

private:
    std::vector<bool> m_codes;
    bool m_empty = true;
};

// The characters of ranges in order: a code adds its character, a range every
// character from its first code to its last. Codes that name no character add nothing.
std::string RangesToSampleText(std::string_view ranges);
// What the status bar says of a class: a fixed text for the Chinese characters and
// the two whole classes, the class's characters for every other.
std::string DescribeCharClass(std::string_view name, std::string_view ranges);
// One line per class: its name, " >>> ", its description; lines joined by CR LF.
std::string ShowAllCharClasses(const std::vector<CharClassEntry>& classes);
inline constexpr const char* kAllCharClassesTitle = "下面列出了支持清除的字符集：";
inline constexpr const char* kCharClassHint =
    "按下 Ctrl 键选择项目，将反向选中该项目\n按下 Shift 键，选择 A 起点，选择 B 结点，将选中区间的项目\n"
    "按下 Alt 键，选择 A 起点，选择 B 结点，将取消选中区间的项目\n"
    "同时按下 Shift 键和 Alt 键，选择 A 起点，选择 B 结点，将反向选中区间的项目";

// Appends one class's ranges to a list: a "," between entries, none before the first.
void AppendRangeList(std::string& list, std::string_view ranges);

// The check rules of the class list, over one check per class in list order.
// mode 1 checks every class, -1 unchecks every class, 0 inverts every check.
void SetAllCharClasses(std::vector<bool>& checks, int mode);

// A click on row `clicked`: Ctrl inverts that row; otherwise Shift and Alt together
// invert every row from anchor to clicked (both included, either direction), Shift
// alone checks them and Alt alone unchecks them; no key changes nothing. Returns the
// next anchor (the clicked row). An anchor outside the list counts as the clicked row.
std::size_t ClickCharClasses(std::vector<bool>& checks, std::size_t anchor, std::size_t clicked, ModifierKeys keys);

// Whether a class's check box can be used: the classes of single-byte characters
// only while the whole single-byte class is unchecked, the other classes of
// double-byte characters only while the whole double-byte class is unchecked.
std::vector<bool> CharClassAvailability(const std::vector<CharClassEntry>& classes, const std::vector<bool>& checks);

}  // namespace varnel

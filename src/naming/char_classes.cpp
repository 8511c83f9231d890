#include "naming/char_classes.h"

#include <algorithm>
#include <charconv>

#include "utilities/utf8_text.h"

namespace varnel {

namespace {

// The built-in classes: one per line, the name, a space, the ranges.
constexpr const char* kBuiltInClasses =
    "半角常用符号 32-47,58-64,91-96,123-126\r\n"
    "半角小写字母 97-122\r\n"
    "半角大写字母 65-90\r\n"
    "半角数字 48-57\r\n"
    "半角字符(全部) 半角\r\n"
    "全角常用符号 163161-163175,163186-163192,163219-163224,163251,163252,163253,161171,161233,161234,16986,"
    "163254,16987,163164,161180-161191,16992,16867,161170,16868,161172,161174,161175,161176,161177,16869,161173,"
    "161235,161228,161229,16870,161249,128,161230,16871,16872,161237,16989,161202,161199,161198,16877,161204,"
    "161216,161222,16878,161207,16879,161206,161196,161197,161201,161200,161210,161211,161224,161223,161195,"
    "161203,161215,161214,161213,16880,161217,161212,161220,161221,16881,16882,161218,161219,168146,161209,"
    "161205,16883,161208\r\n"
    "全角小写字母 163225-163250\r\n"
    "全角大写字母 163193-163218\r\n"
    "全角数字 163176-163185\r\n"
    "全角字符(全部) 全角\r\n"
    "伟大的中华汉字 176161-247254,129064-160254,170064-254160\r\n"
    "制表符 169164-169239,168084-168119\r\n"
    "小型符号 169111-169136\r\n"
    "七种特殊横线 169104-169110\r\n"
    "八种箭头 161251,161252,161250,161253,16873,16874,16875,16876\r\n"
    "带点数字 162177-162196\r\n"
    "罗马数字 162241-162252\r\n"
    "小写罗马数字 162161-162170\r\n"
    "带圆圈数字 162217-162226\r\n"
    "带圆括号数字 162197-162216\r\n"
    "带圆括号象形数字 162229-162238\r\n"
    "希腊文大写字母 166161-166184\r\n"
    "希腊文小写字母 166193-166216\r\n"
    "平假名字母 164161-164243,16997,16998,169102,169103\r\n"
    "片假名字母 165161-165246,16999,169100\r\n"
    "注音字母 168197-168233\r\n"
    "西里尔文大写字母 167167-167193\r\n"
    "西里尔文小写字母 167209-167241\r\n"
    "变形符号 16985,166242,166244,166245,166224,166225,166240,166241,166226,166227,166238,166239,166230,166231,"
    "166228,166229,166232,166233,166234,166235\r\n"
    "拉丁文小写字母 168164-168192\r\n"
    "方块字 16974,16975,16976,16977,16978,16979,16980,16981,16982,16983,16984\r\n"
    "杭州数字 169064-169072\r\n"
    "各种方块 168120-168138\r\n"
    "某心等 161246,161245,161248,161247,168139,168140,161244,161243,161240,161242,161241,168141,168142,168143,"
    "168144,161239,161238,168145,161226,161225";

// Calls visit(entry) for each part of text between separators.
template <typename Visit>
void ForEachPart(std::string_view text, std::string_view separator, Visit&& visit) {
    for (;;) {
        const std::size_t at = text.find(separator);
        visit(text.substr(0, at));
        if (at == std::string_view::npos) return;
        text.remove_prefix(at + separator.size());
    }
}

std::optional<unsigned> DecimalOf(std::string_view digits) {
    unsigned value = 0;
    if (digits.empty()) return std::nullopt;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return value;
}

// Each entry of ranges as its first and last code; entries that are no codes are skipped.
template <typename Visit>
void ForEachRange(std::string_view ranges, Visit&& visit) {
    if (ranges.empty()) return;
    ForEachPart(ranges, ",", [&](std::string_view entry) {
        const std::size_t dash = entry.find('-');
        const std::optional<GbkCode> low = ParseCodeText(entry.substr(0, dash));
        const std::optional<GbkCode> high =
            dash == std::string_view::npos ? low : ParseCodeText(entry.substr(dash + 1));
        if (low && high && *low <= *high) visit(*low, *high);
    });
}

// The code of the single character text holds; nothing when it holds another
// number of characters or GBK cannot hold it.
std::optional<GbkCode> CodeOfCharacter(std::string_view character) {
    if (character.empty()) return std::nullopt;
    const Utf8Step step = DecodeUtf8At(character, 0);
    if (!step.valid || step.length != character.size()) return std::nullopt;
    return GbkCodeOf(step.codePoint);
}

void AppendCharacterOf(std::string& out, GbkCode code) {
    if (const std::optional<char32_t> c = CharOfGbkCode(code)) AppendUtf8(out, *c);
}

std::vector<CharClassEntry> ParseCharClasses(std::string_view text) {
    std::vector<CharClassEntry> classes;
    ForEachPart(text, "\r\n", [&](std::string_view line) {
        const std::size_t space = line.find(' ');
        if (space == std::string_view::npos) return;
        classes.push_back({std::string(line.substr(0, space)), std::string(line.substr(space + 1))});
    });
    return classes;
}

}  // namespace

const std::vector<CharClassEntry>& LoadCharClasses() {
    static const std::vector<CharClassEntry> classes = ParseCharClasses(kBuiltInClasses);
    return classes;
}

std::optional<GbkCode> ParseCodeText(std::string_view code) {
    if (code.size() <= 3) {
        const std::optional<unsigned> value = DecimalOf(code);
        if (!value || *value > 0xFF) return std::nullopt;
        return static_cast<GbkCode>(*value);
    }
    const std::optional<unsigned> first = DecimalOf(code.substr(0, 3));
    const std::optional<unsigned> second = DecimalOf(code.substr(3));
    if (!first || !second || *first < 0x80 || *first > 0xFF || *second > 0xFF) return std::nullopt;
    return static_cast<GbkCode>(*first << 8 | *second);
}

std::optional<std::string> CharCodeText(std::string_view character) {
    const std::optional<GbkCode> code = CodeOfCharacter(character);
    if (!code) return std::nullopt;
    if (!IsDoubleByteCode(*code)) return std::to_string(*code);
    return std::to_string(*code >> 8) + std::to_string(*code & 0xFF);
}

bool CodeInRanges(std::string_view code, std::string_view ranges) {
    const std::optional<GbkCode> value = ParseCodeText(code);
    if (!value) return false;
    bool found = false;
    ForEachRange(ranges, [&](GbkCode low, GbkCode high) { found = found || (low <= *value && *value <= high); });
    return found;
}

CodeSet::CodeSet(std::string_view ranges) : m_codes(0x10000, false) {
    ForEachRange(ranges, [&](GbkCode low, GbkCode high) {
        m_empty = false;
        for (unsigned code = low; code <= high; ++code) m_codes[code] = true;
    });
}

std::string RangesToSampleText(std::string_view ranges) {
    std::string out;
    ForEachRange(ranges, [&](GbkCode low, GbkCode high) {
        for (unsigned code = low; code <= high; ++code) AppendCharacterOf(out, static_cast<GbkCode>(code));
    });
    return out;
}

std::string DescribeCharClass(std::string_view name, std::string_view ranges) {
    if (name == "伟大的中华汉字") {
        return "汉字繁多，为节省时间和空间，故不予显示，我中华者自知也(刚刚过去的就是汉字示例^_^)";
    }
    if (name == "半角字符(全部)") return "半角者，一半也，即相对于全角的一半，占 1 字节的字符也";
    if (name == "全角字符(全部)") {
        return "全角者，整个也，即相对于半角的一倍，占 2 字节的字符也，中华汉字即是此类";
    }
    return RangesToSampleText(ranges);
}

std::string ShowAllCharClasses(const std::vector<CharClassEntry>& classes) {
    std::string out;
    for (const CharClassEntry& entry : classes) {
        if (!out.empty()) out += "\r\n";
        out += entry.name + " >>> " + DescribeCharClass(entry.name, entry.ranges);
    }
    return out;
}

void AppendRangeList(std::string& list, std::string_view ranges) {
    if (ranges.empty()) return;
    if (!list.empty()) list += ',';
    list += ranges;
}

void SetAllCharClasses(std::vector<bool>& checks, int mode) {
    for (std::size_t i = 0; i < checks.size(); ++i) checks[i] = mode == 0 ? !checks[i] : mode > 0;
}

std::size_t ClickCharClasses(std::vector<bool>& checks, std::size_t anchor, std::size_t clicked, ModifierKeys keys) {
    if (clicked >= checks.size()) return anchor;
    if (anchor >= checks.size()) anchor = clicked;
    if (keys.ctrl) {
        checks[clicked] = !checks[clicked];
    } else if (keys.shift || keys.alt) {
        const std::size_t low = std::min(anchor, clicked);
        const std::size_t high = std::max(anchor, clicked);
        for (std::size_t i = low; i <= high; ++i) {
            checks[i] = keys.shift && keys.alt ? !checks[i] : keys.shift;
        }
    }
    return clicked;
}

std::vector<bool> CharClassAvailability(const std::vector<CharClassEntry>& classes, const std::vector<bool>& checks) {
    std::vector<bool> available(classes.size(), true);
    const auto rowOf = [&](std::string_view ranges) {
        const auto it = std::find_if(classes.begin(), classes.end(),
                                     [&](const CharClassEntry& entry) { return entry.ranges == ranges; });
        return static_cast<std::size_t>(it - classes.begin());
    };
    const std::size_t half = rowOf(kAllSingleByteRanges);
    const std::size_t full = rowOf(kAllDoubleByteRanges);
    const auto checked = [&](std::size_t row) { return row < checks.size() && checks[row]; };
    for (std::size_t row = 0; row < classes.size(); ++row) {
        if (row == half || row == full) continue;
        // The single-byte classes come before their whole class, the others after it.
        available[row] = row < half ? !checked(half) : !checked(full);
    }
    return available;
}

}  // namespace varnel

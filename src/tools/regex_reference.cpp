#include "tools/regex_reference.h"

#include "naming/list_font_name.h"
#include "utilities/utf8_text.h"

namespace varnel {

namespace {

constexpr std::string_view kSyntaxText =
    "\\::转义符：将下一个字符标记为特殊字符或原义字符，例如 \\n 匹配换行符，\\\\ 匹配反斜杠，\\( 匹配左括号。\n"
    "^::匹配输入文本的开始位置；设置了匹配多行时也匹配每个换行之后的位置。\n"
    "$::匹配输入文本的结束位置；设置了匹配多行时也匹配每个换行之前的位置。\n"
    "*::匹配前面的子表达式零次或多次，例如 zo* 能匹配 z 和 zoo，等价于 {0,}。\n"
    "+::匹配前面的子表达式一次或多次，例如 zo+ 能匹配 zo 和 zoo，但不能匹配 z，等价于 {1,}。\n"
    "?::匹配前面的子表达式零次或一次，例如 do(es)? 能匹配 do 和 does；跟在量词后面时表示尽可能少地匹配。\n"
    ".::匹配除换行符之外的任何单个字符；要匹配包括换行在内的任何字符，可用 [\\s\\S]。\n"
    "(pattern)::匹配 pattern 并记住这个匹配（子匹配），替换时可用 $1…$99 引用，表达式中可用 \\1…\\9 引用。\n"
    "x|y::匹配 x 或 y，例如 z|food 能匹配 z 或 food，(z|f)ood 则匹配 zood 或 food。\n"
    "{n}::n 是非负整数，恰好匹配 n 次，例如 o{2} 能匹配 food 中的两个 o。\n"
    "{n,}::n 是非负整数，至少匹配 n 次，例如 o{2,} 能匹配 foooood 中的所有 o。\n"
    "{n,m}::n 和 m 是非负整数且 n <= m，最少匹配 n 次且最多匹配 m 次，例如 o{1,3} 匹配 fooooood 中的前三个 o。\n"
    "[xyz]::字符集合，匹配所包含的任意一个字符，例如 [abc] 能匹配 plain 中的 a。\n"
    "[^xyz]::负值字符集合，匹配未包含的任意字符，例如 [^abc] 能匹配 plain 中的 p。\n"
    "[a-z]::字符范围，匹配指定范围内的任意字符，例如 [a-z] 能匹配任意小写英文字母。\n"
    "[^m-z]::负值字符范围，匹配不在指定范围内的任意字符，例如 [^m-z] 能匹配不在 m 到 z 之间的任意字符。\n"
    "\\b::匹配一个单词边界，即单词和空格间的位置，例如 er\\b 能匹配 never 中的 er，但不能匹配 verb 中的 er。\n"
    "\\B::匹配非单词边界，例如 er\\B 能匹配 verb 中的 er，但不能匹配 never 中的 er。\n"
    "\\d::匹配一个数字字符，等价于 [0-9]。\n"
    "\\D::匹配一个非数字字符，等价于 [^0-9]。\n"
    "\\f::匹配一个换页符。\n"
    "\\n::匹配一个换行符。\n"
    "\\r::匹配一个回车符。\n"
    "\\s::匹配任何空白字符，包括空格、制表符、换页符、回车和换行。\n"
    "\\S::匹配任何非空白字符。\n"
    "\\t::匹配一个制表符。\n"
    "\\v::匹配一个垂直制表符。\n"
    "\\w::匹配包括下划线在内的任何单词字符，等价于 [A-Za-z0-9_]。\n"
    "\\W::匹配任何非单词字符，等价于 [^A-Za-z0-9_]。\n"
    "\\num::num 是正整数，引用第 num 个子匹配，例如 (.)\\1 匹配两个连续的相同字符。\n"
    "\\n::n 是一到三位的八进制数字时表示八进制转义值，例如 \\101 匹配字母 A。";

// Group headings first in their group; each pattern matches what its name says.
constexpr std::string_view kClassicText =
    "*** 网页 ***\n"
    "匹配HTML标记::<(\\S*?)[^>]*>.*?</\\1>|<.*? />\n"
    "匹配链接地址::href *= *['\"]*(\\S+)[\"']\n"
    "匹配链接地址及标题::\\<a href *= *['\"]*(\\S+)[\"'].*\\>(.[^\\<]*)?\\</a>\n"
    "匹配网址URL::[a-zA-Z]+://[^\\s]*\n"
    "匹配IP地址::\\d+\\.\\d+\\.\\d+\\.\\d+\n"
    "匹配Email地址::\\w+([-+.]\\w+)*@\\w+([-.]\\w+)*\\.\\w+([-.]\\w+)*\n"
    "匹配图片引用地址::\\<img.*src *= *['\"]*(\\S+)[\"'].*\\>\n"
    "匹配帐号是否合法::^[a-zA-Z][a-zA-Z0-9_]{4,15}$\n"
    "*** 号码 ***\n"
    "匹配国内电话号码::\\d{3}-\\d{8}|\\d{4}-\\d{7}\n"
    "匹配即时通讯号码::[1-9][0-9]{4,}\n"
    "匹配中国邮政编码::[1-9]\\d{5}(?!\\d)\n"
    "匹配身份证::\\d{18}|\\d{15}\n"
    "*** 字符 ***\n"
    "匹配中文字符::[\\u4e00-\\u9fa5]\n"
    "匹配双字节字符::[^\\x00-\\xff]\n"
    "匹配空白行::\\n[ \\t]*\\r?(?=\\n)\n"
    "匹配首尾空白字符::^\\s*|\\s*$\n"
    "匹配多行文本::开头([\\s\\S]*?)结尾\n"
    "*** 英文 ***\n"
    "匹配26字母英文单词::^[A-Za-z]+$\n"
    "匹配26字母大写英文单词::^[A-Z]+$\n"
    "匹配26字母小写英文单词::^[a-z]+$\n"
    "匹配包含数字的26字母英文单词::^[A-Za-z0-9]+$\n"
    "匹配英文单词(包含数字、下划线)::^\\w+$\n"
    "*** 数字 ***\n"
    "匹配正整数::^[1-9]\\d*$\n"
    "匹配负整数::^-[1-9]\\d*$\n"
    "匹配整数::^(-?[1-9]\\d*|0)$\n"
    "匹配非负整数(正整数 + 0)::^([1-9]\\d*|0)$\n"
    "匹配非正整数(负整数 + 0)::^(-[1-9]\\d*|0)$\n"
    "匹配正浮点数::^([1-9]\\d*\\.\\d*|0\\.\\d*[1-9]\\d*)$\n"
    "匹配负浮点数::^-([1-9]\\d*\\.\\d*|0\\.\\d*[1-9]\\d*)$\n"
    "匹配浮点数::^-?([1-9]\\d*\\.\\d*|0\\.\\d*[1-9]\\d*|0?\\.0+|0)$\n"
    "匹配非负浮点数(正浮点数 + 0)::^([1-9]\\d*\\.\\d*|0\\.\\d*[1-9]\\d*|0?\\.0+|0)$\n"
    "匹配非正浮点数(负浮点数 + 0)::^(-([1-9]\\d*\\.\\d*|0\\.\\d*[1-9]\\d*)|0?\\.0+|0)$";

}  // namespace

std::vector<std::pair<std::string, std::string>> ParseReferenceText(std::string_view text) {
    std::vector<std::pair<std::string, std::string>> entries;
    for (const std::string& line : SplitNameList(text)) {
        const std::size_t separator = line.find("::");
        if (separator == std::string::npos) {
            entries.emplace_back(line, std::string());
        } else {
            entries.emplace_back(line.substr(0, separator), line.substr(separator + 2));
        }
    }
    return entries;
}

const std::vector<RegexSyntaxEntry>& RegexSyntaxEntries() {
    static const std::vector<RegexSyntaxEntry> entries = [] {
        std::vector<RegexSyntaxEntry> built;
        for (auto& [symbol, description] : ParseReferenceText(kSyntaxText)) {
            built.push_back({symbol, std::move(description), symbol, symbol});
        }
        // Line feed and the octal escape share the symbol "\n": their buttons say
        // which is which, and the octal one starts the escape for the digits to follow.
        for (RegexSyntaxEntry& entry : built) {
            if (entry.symbol != "\\n") continue;
            if (entry.description.find("八进制") == std::string::npos) {
                entry.caption = "\\n换行";
            } else {
                entry.caption = "\\nnn八进制";
                entry.insertText = "\\";
            }
        }
        return built;
    }();
    return entries;
}

const std::vector<ClassicPatternEntry>& ClassicPatternEntries() {
    static const std::vector<ClassicPatternEntry> entries = [] {
        std::vector<ClassicPatternEntry> built;
        for (auto& [name, pattern] : ParseReferenceText(kClassicText)) {
            built.push_back({std::move(name), std::move(pattern)});
        }
        return built;
    }();
    return entries;
}

int SymbolButtonWidth(std::string_view symbol) { return static_cast<int>(GbkWidth(symbol)) * 6 + 5; }

}  // namespace varnel

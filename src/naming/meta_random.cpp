#include "naming/meta_random.h"

#include <algorithm>

#include "naming/char_classes.h"
#include "naming/common_hanzi.h"
#include "utilities/char_forms.h"
#include "utilities/chinese_numerals.h"
#include "utilities/text_converter.h"
#include "utilities/utf8_text.h"

namespace varnel {

namespace {

int Draw(MetaRandomEngine& engine, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(engine);
}

char DrawChar(MetaRandomEngine& engine, char low, char high) {
    return static_cast<char>(Draw(engine, low, high));
}

std::string Widened(std::string text, bool fullWidth) {
    return fullWidth ? ToFullWidth(text) : text;
}

template <typename NextChar>
std::string Generate(std::int32_t length, bool fullWidth, NextChar next) {
    std::string text;
    for (std::int32_t i = RandomTextLength(length); i > 0; --i) text += next();
    return Widened(std::move(text), fullWidth);
}

enum class CharClass { Digit, Lower, Upper };

CharClass PickClass(int k, const RandomMixOptions& o) {
    switch (k) {
        case 1:
            if (!o.noDigits) return CharClass::Digit;
            return o.noLowerCase ? CharClass::Upper : CharClass::Lower;
        case 2:
            if (!o.noLowerCase) return CharClass::Lower;
            return o.noDigits ? CharClass::Upper : CharClass::Digit;
        default:
            if (!o.noUpperCase) return CharClass::Upper;
            return o.noDigits ? CharClass::Lower : CharClass::Digit;
    }
}

// Three bytes per character: every character of both lists lies in U+4E00..U+9FFF.
constexpr std::size_t kHanziBytes = 3;

}  // namespace

MetaRandomEngine& ThreadRandomEngine() {
    thread_local MetaRandomEngine engine{std::random_device{}()};
    return engine;
}

std::int32_t RandomTextLength(std::int32_t length) {
    if (length < 1) return 8;
    return std::min(length, kMetaCountLimit);
}

std::string RandomDigits(MetaRandomEngine& engine, std::int32_t length, bool fullWidth) {
    return Generate(length, fullWidth, [&] { return DrawChar(engine, '0', '9'); });
}

std::string RandomChineseDigits(MetaRandomEngine& engine, std::int32_t length, bool capital) {
    std::string text;
    for (std::int32_t i = RandomTextLength(length); i > 0; --i) {
        text += NumberToChineseNumerals(Draw(engine, 0, 9), !capital);
    }
    return text;
}

std::string RandomLowerLetters(MetaRandomEngine& engine, std::int32_t length, bool fullWidth) {
    return Generate(length, fullWidth, [&] { return DrawChar(engine, 'a', 'z'); });
}

std::string RandomUpperLetters(MetaRandomEngine& engine, std::int32_t length, bool fullWidth) {
    return Generate(length, fullWidth, [&] { return DrawChar(engine, 'A', 'Z'); });
}

std::string RandomLetters(MetaRandomEngine& engine, std::int32_t length, bool fullWidth) {
    return Generate(length, fullWidth, [&] {
        const int coin = Draw(engine, 0, 1);
        const char upper = DrawChar(engine, 'A', 'Z');
        const char lower = DrawChar(engine, 'a', 'z');
        return coin == 0 ? upper : lower;
    });
}

std::string RandomDigitsAndLetters(MetaRandomEngine& engine, const RandomMixOptions& options) {
    return Generate(options.length, options.fullWidth, [&] {
        switch (PickClass(Draw(engine, 1, 3), options)) {
            case CharClass::Digit: return DrawChar(engine, '0', '9');
            case CharClass::Lower: return DrawChar(engine, 'a', 'z');
            case CharClass::Upper: break;
        }
        return DrawChar(engine, 'A', 'Z');
    });
}

std::string RandomHanzi(MetaRandomEngine& engine, const RandomHanziOptions& options) {
    std::string pool;
    if (!options.noCommon) pool += CommonHanzi();
    if (!options.noLessCommon) pool += LessCommonHanzi();
    if (pool.empty()) return {};
    const int count = static_cast<int>(pool.size() / kHanziBytes);
    std::string text;
    for (std::int32_t i = RandomTextLength(options.length); i > 0; --i) {
        text += pool.substr(static_cast<std::size_t>(Draw(engine, 0, count - 1)) * kHanziBytes,
                            kHanziBytes);
    }
    if (!options.traditional) return text;
    auto traditional = TextConverter::ConvertToTraditional(text);
    return traditional ? std::move(*traditional) : text;
}

std::string CharFromCodeText(std::string_view codeText) {
    const std::optional<GbkCode> code = ParseCodeText(codeText);
    if (!code || *code == 0) return {};
    const std::optional<char32_t> c = CharOfGbkCode(*code);
    std::string text;
    if (c) AppendUtf8(text, *c);
    return text;
}

}  // namespace varnel

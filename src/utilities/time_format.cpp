#include "utilities/time_format.h"

#include <array>
#include <charconv>

#include "utilities/char_forms.h"
#include "utilities/chinese_numerals.h"
#include "utilities/number_text.h"
#include "utilities/ole_date.h"

namespace varnel {

namespace {

void ReplaceAll(std::string& text, std::string_view symbol, std::string_view value) {
    for (std::size_t pos = text.find(symbol); pos != std::string::npos;
         pos = text.find(symbol, pos + value.size())) {
        text.replace(pos, symbol.size(), value);
    }
}

std::string Padded(int value, std::size_t width, bool zeroPad) {
    std::string text = NumberToText(static_cast<std::int64_t>(value));
    if (zeroPad && text.size() < width) text.insert(0, width - text.size(), '0');
    return text;
}

}  // namespace

std::string FormatDateTimeByRule(double oleDate, const TimeFormat& format) {
    static constexpr std::array<std::string_view, 7> kChineseDays = {"一", "二", "三", "四",
                                                                     "五", "六", "日"};
    static constexpr std::array<std::string_view, 7> kEnglishDays = {
        "monday", "tuesday", "wednesday", "thursday", "friday", "saturday", "sunday"};
    static constexpr std::array<std::string_view, 7> kShortDays = {"mon", "tues", "wed", "thurs",
                                                                   "fri", "satur", "sun"};

    const CivilTime t = OleDateToCivil(oleDate, CivilRounding::Second);
    const int weekday = IsoWeekday(t);
    const bool pad = format.zeroPad;

    // Each symbol's value is computed only when the pattern holds it.
    std::string text = format.pattern;
    const struct {
        std::string_view symbol;
        std::string (*value)(const CivilTime&, int, bool);
    } kSymbols[] = {
        {"#年", [](const CivilTime& c, int, bool p) { return Padded(c.year, 4, p); }},
        {"#月", [](const CivilTime& c, int, bool p) { return Padded(c.month, 2, p); }},
        {"#日", [](const CivilTime& c, int, bool p) { return Padded(c.day, 2, p); }},
        {"#时", [](const CivilTime& c, int, bool p) { return Padded(c.hour, 2, p); }},
        {"#分", [](const CivilTime& c, int, bool p) { return Padded(c.minute, 2, p); }},
        {"#秒", [](const CivilTime& c, int, bool p) { return Padded(c.second, 2, p); }},
        {"#星", [](const CivilTime&, int w, bool) { return NumberToText(std::int64_t{w}); }},
        {"#中星", [](const CivilTime&, int w, bool) { return std::string(kChineseDays[w - 1]); }},
        {"#英星", [](const CivilTime&, int w, bool) { return std::string(kEnglishDays[w - 1]); }},
        {"#简星", [](const CivilTime&, int w, bool) { return std::string(kShortDays[w - 1]); }},
        {"#季", [](const CivilTime& c, int, bool) { return NumberToText(std::int64_t{(c.month + 2) / 3}); }},
        {"#周", [](const CivilTime& c, int, bool) { return NumberToText(std::int64_t{(c.day + 6) / 7}); }},
    };
    for (const auto& entry : kSymbols) {
        if (text.find(entry.symbol) == std::string::npos) continue;
        ReplaceAll(text, entry.symbol, entry.value(t, weekday, pad));
    }
    if (format.toChineseNumerals) {
        text = ConvertDigitsToChinese(text, format.singleCharMode, format.traditional,
                                      format.zeroHandling);
    }
    return text;
}

std::string ConvertDigitsToChinese(std::string_view text, bool singleCharMode, bool traditional,
                                   bool zeroHandling) {
    // Converting a run never fails, so neither does the whole.
    return *ReplaceDigitRuns(text, [&](std::string_view run) -> std::expected<std::string, Error> {
        std::int64_t value = 0;
        const auto parsed = std::from_chars(run.data(), run.data() + run.size(), value);
        if (!singleCharMode && parsed.ec == std::errc()) {
            return NumberToChineseNumerals(value, !traditional);
        }
        std::string out;
        for (char digit : run) {
            out += ChineseDigit(digit - '0', traditional, singleCharMode && zeroHandling);
        }
        return out;
    });
}

}  // namespace varnel

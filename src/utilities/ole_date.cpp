#include "utilities/ole_date.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "utilities/number_text.h"

namespace varnel {

namespace {

constexpr std::int64_t kMsPerDay = 86'400'000;

// Days since 1970-01-01 in the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2));
}

const std::int64_t kOleEpoch = DaysFromCivil(1899, 12, 30);

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// The last moment of the range, as shown with the given rounding.
CivilTime LatestCivil(CivilRounding rounding) {
    return CivilTime{9999, 12, 31, 23, 59, 59, rounding == CivilRounding::Millisecond ? 999 : 0};
}

}  // namespace

bool IsOleDateInRange(double oleDate) {
    constexpr double kHalfMillisecond = 0.5 / static_cast<double>(kMsPerDay);
    return oleDate > kOleDateBelowRange && oleDate < kOleDateAboveRange - kHalfMillisecond;
}

std::optional<double> CivilToOleDate(const CivilTime& t) {
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > DaysInMonth(t.year, t.month) ||
        t.hour < 0 || t.hour > 23 || t.minute < 0 || t.minute > 59 || t.second < 0 ||
        t.second > 59 || t.millisecond < 0 || t.millisecond > 999) {
        return std::nullopt;
    }
    const std::int64_t days = DaysFromCivil(t.year, static_cast<unsigned>(t.month),
                                            static_cast<unsigned>(t.day)) - kOleEpoch;
    const double fraction =
        static_cast<double>(((t.hour * 60 + t.minute) * 60 + t.second) * 1000 + t.millisecond) /
        static_cast<double>(kMsPerDay);
    return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}

CivilTime OleDateToCivil(double oleDate, CivilRounding rounding) {
    if (std::isnan(oleDate)) oleDate = 0;
    if (!IsOleDateInRange(oleDate)) {
        return oleDate < 0 ? CivilTime{100, 1, 1, 0, 0, 0, 0} : LatestCivil(rounding);
    }
    std::int64_t days = static_cast<std::int64_t>(std::trunc(oleDate));
    std::int64_t ms = std::llround(std::fabs(oleDate - static_cast<double>(days)) *
                                   static_cast<double>(kMsPerDay));
    if (rounding == CivilRounding::Second) ms = (ms + 500) / 1000 * 1000;
    if (ms >= kMsPerDay) {  // rounding reached the next midnight
        ms -= kMsPerDay;
        days += 1;
    }
    CivilTime t;
    CivilFromDays(days + kOleEpoch, t.year, t.month, t.day);
    t.millisecond = static_cast<int>(ms % 1000);
    t.second = static_cast<int>(ms / 1000 % 60);
    t.minute = static_cast<int>(ms / 60000 % 60);
    t.hour = static_cast<int>(ms / 3600000);
    // A value a hair below the end of the range rounds up to the year 10000.
    return t.year > 9999 ? LatestCivil(rounding) : t;
}

int IsoWeekday(const CivilTime& t) {
    const std::int64_t days = DaysFromCivil(t.year, static_cast<unsigned>(t.month),
                                            static_cast<unsigned>(t.day));
    // 1970-01-01 was a Thursday (4).
    const std::int64_t weekday = ((days % 7) + 7 + 3) % 7;  // 0 = Monday
    return static_cast<int>(weekday) + 1;
}

std::string OleDateToText(double oleDate) {
    const CivilTime t = OleDateToCivil(oleDate);
    char buffer[64];
    int length = std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", t.year,
                               t.month, t.day, t.hour, t.minute, t.second);
    if (t.millisecond != 0) {
        length += std::snprintf(buffer + length, sizeof buffer - length, ".%03d", t.millisecond);
    }
    return std::string(buffer, static_cast<std::size_t>(length));
}

std::optional<double> TextToOleDate(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    if (text.empty()) return std::nullopt;

    // A plain number is a day count.
    const bool plainNumber = text.find_first_not_of("+-.0123456789eE") == std::string_view::npos &&
                             text.find_first_of("0123456789") != std::string_view::npos &&
                             text.find('-', 1) == std::string_view::npos;
    if (plainNumber) {
        const double days = TextToNumber(text);
        if (!IsOleDateInRange(days)) return std::nullopt;
        return days;
    }

    std::vector<long> parts;
    std::size_t millisecondDigits = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        if (text[pos] < '0' || text[pos] > '9') { ++pos; continue; }
        const bool afterPoint = pos > 0 && text[pos - 1] == '.' && parts.size() == 6;
        long value = 0;
        std::size_t digits = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
            if (digits < 9) value = value * 10 + (text[pos] - '0');
            ++digits;
            ++pos;
        }
        if (afterPoint) millisecondDigits = digits;
        parts.push_back(value);
        if (parts.size() == 7) break;
    }
    if (parts.size() < 3) return std::nullopt;
    parts.resize(7, 0);
    if (millisecondDigits > 0) {
        // ".5" is 500 ms, ".05" 50 ms.
        for (std::size_t d = millisecondDigits; d < 3; ++d) parts[6] *= 10;
        for (std::size_t d = 3; d < millisecondDigits && d < 9; ++d) parts[6] /= 10;
    }
    CivilTime t{static_cast<int>(parts[0]), static_cast<int>(parts[1]), static_cast<int>(parts[2]),
                static_cast<int>(parts[3]), static_cast<int>(parts[4]), static_cast<int>(parts[5]),
                static_cast<int>(parts[6])};
    if (t.year < 100 || t.year > 9999) return std::nullopt;
    return CivilToOleDate(t);
}

}  // namespace varnel

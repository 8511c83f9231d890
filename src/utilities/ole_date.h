// The date-time of this program: a day count in the OLE automation form (day 0 is
// 1899-12-30, the fraction is the time of day; before day 0 the fraction still
// counts forward from midnight, so -1.25 is 1899-12-29 06:00), and its calendar parts.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace varnel {

struct CivilTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// The range of date-times the program reads and shows: 0100-01-01 00:00:00 up to
// 9999-12-31 23:59:59.999. A value is in range when it lies strictly between these
// day counts and does not round up to the year 10000 at the millisecond (the
// fraction of a day before day 0 counts forward from midnight, so -657434.5 is
// still 0100-01-01 12:00).
inline constexpr double kOleDateBelowRange = -657435.0;  // 0099-12-31 00:00
inline constexpr double kOleDateAboveRange = 2958466.0;  // 10000-01-01 00:00
// False for NaN and infinity too.
bool IsOleDateInRange(double oleDate);

// Nothing when a part is out of its range (month 13, February 30, hour 24, ...).
std::optional<double> CivilToOleDate(const CivilTime& time);
// The calendar parts, rounded to the millisecond, or to the nearest second (so a
// stored 10:00:01 that is a hair below it in binary still shows as 10:00:01). A value
// outside the range is shown as its nearest end (NaN as day 0, 1899-12-30).
enum class CivilRounding { Millisecond, Second };
CivilTime OleDateToCivil(double oleDate, CivilRounding rounding = CivilRounding::Millisecond);

// Day of the week of a calendar date, Monday = 1 ... Sunday = 7.
int IsoWeekday(const CivilTime& time);

// "2024-01-02 03:04:05", with ".mmm" only when the milliseconds are not zero.
std::string OleDateToText(double oleDate);
// Reads what OleDateToText writes, the same parts written with other separators
// ("2024年1月2日3时4分5秒", "2024/1/2 3:04"), or a plain day count ("45000.5").
// Nothing for a date-time outside the range (a year below 100 or above 9999, a day
// count such as 1e19, NaN or infinity).
std::optional<double> TextToOleDate(std::string_view text);

}  // namespace varnel

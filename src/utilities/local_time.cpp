#include "utilities/local_time.h"

#include <cstdint>
#include <ctime>

#include "utilities/ole_date.h"

namespace varnel {

// Daylight-saving time is left to the C library, as it defines it:
// - localtime_r gives each instant exactly one local time, so reading is exact.
// - mktime with tm_isdst = -1 decides by itself whether a local time is summer time.
//   A time in the hour that is repeated when the clocks go back is ambiguous; glibc
//   takes one of its two instants. A time in the hour skipped when the clocks go
//   forward does not exist; glibc moves it by the size of the jump. So such a value
//   may come back an hour off when written and read again; nothing corrects that.

std::optional<double> UnixTimeToLocalOleDate(std::int64_t seconds) {
    const std::time_t instant = static_cast<std::time_t>(seconds);
    std::tm parts{};
    if (::localtime_r(&instant, &parts) == nullptr) return std::nullopt;
    // A file system may hold an instant billions of years away; its year does not
    // even fit an int once 1900 is added.
    const std::int64_t year = std::int64_t{parts.tm_year} + 1900;
    if (year < 100 || year > 9999) return std::nullopt;
    CivilTime civil;
    civil.year = static_cast<int>(year);
    civil.month = parts.tm_mon + 1;
    civil.day = parts.tm_mday;
    civil.hour = parts.tm_hour;
    civil.minute = parts.tm_min;
    civil.second = parts.tm_sec > 59 ? 59 : parts.tm_sec;  // a leap second of a "right/" zone
    return CivilToOleDate(civil);
}

std::optional<std::int64_t> LocalOleDateToUnixTime(double oleDate) {
    if (!IsOleDateInRange(oleDate)) return std::nullopt;
    const CivilTime civil = OleDateToCivil(oleDate);
    std::tm parts{};
    parts.tm_year = civil.year - 1900;
    parts.tm_mon = civil.month - 1;
    parts.tm_mday = civil.day;
    parts.tm_hour = civil.hour;
    parts.tm_min = civil.minute;
    parts.tm_sec = civil.second;
    parts.tm_isdst = -1;
    parts.tm_yday = -1;  // mktime sets it on success; -1 is also a valid instant
    const std::time_t instant = std::mktime(&parts);
    if (instant == static_cast<std::time_t>(-1) && parts.tm_yday == -1) return std::nullopt;
    return static_cast<std::int64_t>(instant);
}

}  // namespace varnel

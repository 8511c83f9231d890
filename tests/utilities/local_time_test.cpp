#include "utilities/local_time.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "support/time_zone.h"
#include "utilities/ole_date.h"

namespace varnel {
namespace {

using testing::ScopedTimeZone;

double Ole(int year, int month, int day, int hour, int minute, int second) {
    return *CivilToOleDate({year, month, day, hour, minute, second, 0});
}

TEST(LocalTime, FollowsTheZoneIncludingDaylightSaving) {
    // A POSIX rule needs no time zone database: UTC-5, summer time UTC-4 from the
    // second Sunday of March to the first Sunday of November.
    ScopedTimeZone zone("EST5EDT,M3.2.0,M11.1.0");
    struct Case { std::int64_t instant; double local; };
    const Case cases[] = {
        {0, Ole(1969, 12, 31, 19, 0, 0)},
        {1'700'000'000, Ole(2023, 11, 14, 17, 13, 20)},  // winter: UTC-5
        {1'690'000'000, Ole(2023, 7, 22, 0, 26, 40)},    // summer: UTC-4
        {-2'208'988'800, Ole(1899, 12, 31, 19, 0, 0)},   // before day 0 of the day count
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.instant);
        const auto local = UnixTimeToLocalOleDate(c.instant);
        ASSERT_TRUE(local.has_value());
        EXPECT_NEAR(*local, c.local, 1e-9);
        EXPECT_EQ(LocalOleDateToUnixTime(c.local), c.instant);
    }
}

TEST(LocalTime, MillisecondsAreDropped) {
    ScopedTimeZone zone("CST-8");
    const double local = *CivilToOleDate({2010, 5, 6, 7, 8, 9, 750});
    EXPECT_EQ(LocalOleDateToUnixTime(local), 1'273'100'889);  // 2010-05-05 23:08:09 UTC
}

TEST(LocalTime, RefusesValuesOutsideTheCalendarRange) {
    ScopedTimeZone zone("UTC0");
    EXPECT_TRUE(LocalOleDateToUnixTime(Ole(100, 1, 1, 0, 0, 0)));
    EXPECT_TRUE(LocalOleDateToUnixTime(Ole(9999, 12, 31, 23, 59, 59)));
    EXPECT_FALSE(LocalOleDateToUnixTime(Ole(99, 12, 31, 23, 59, 59)));
    EXPECT_FALSE(LocalOleDateToUnixTime(Ole(9999, 12, 31, 23, 59, 59) + 1.0 / 86400));
    EXPECT_FALSE(LocalOleDateToUnixTime(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(LocalOleDateToUnixTime(std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(LocalOleDateToUnixTime(1e300));
}

TEST(LocalTime, InstantsOutsideTheYearRangeHaveNoLocalTime) {
    // File systems hold such times (tmpfs takes a modification time billions of
    // years away); the year must not overflow on the way.
    for (const char* zone : {"UTC0", "CST-8", "EST5EDT,M3.2.0,M11.1.0"}) {
        ScopedTimeZone scoped(zone);
        const std::int64_t instants[] = {
            67'767'987'000'000'000,  // year near 2^31
            67'768'036'191'676'799,  // the last instant whose year fits an int
            -67'768'040'609'740'800,
            std::numeric_limits<std::int64_t>::max(),
            std::numeric_limits<std::int64_t>::min(),
            253'402'300'800 + 86'400,  // 10000-01-02 UTC
            -59'011'632'000,  // 0099-12-30 UTC
        };
        for (std::int64_t instant : instants) {
            SCOPED_TRACE(std::string(zone) + " " + std::to_string(instant));
            EXPECT_FALSE(UnixTimeToLocalOleDate(instant));
        }
        EXPECT_TRUE(UnixTimeToLocalOleDate(253'402'128'000));  // 9999-12-30 UTC
        EXPECT_TRUE(UnixTimeToLocalOleDate(-59'011'372'800));  // 0100-01-02 UTC
    }
}

}  // namespace
}  // namespace varnel

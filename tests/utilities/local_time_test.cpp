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

}  // namespace
}  // namespace varnel

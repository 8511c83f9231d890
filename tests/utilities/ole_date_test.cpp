#include "utilities/ole_date.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace varnel {
namespace {

TEST(OleDate, CalendarRoundTrips) {
    struct Case { CivilTime time; double ole; };
    const Case cases[] = {
        {{1899, 12, 30, 0, 0, 0, 0}, 0.0},
        {{1900, 1, 1, 0, 0, 0, 0}, 2.0},
        {{1899, 12, 29, 6, 0, 0, 0}, -1.25},  // the fraction counts forward before day 0
        {{2000, 2, 29, 12, 0, 0, 0}, 36585.5},
        {{2024, 1, 2, 3, 4, 5, 0}, 45293.0 + (3 * 3600 + 4 * 60 + 5) / 86400.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ole);
        const auto ole = CivilToOleDate(c.time);
        ASSERT_TRUE(ole.has_value());
        EXPECT_NEAR(*ole, c.ole, 1e-9);
        const CivilTime back = OleDateToCivil(c.ole);
        EXPECT_EQ(back.year, c.time.year);
        EXPECT_EQ(back.month, c.time.month);
        EXPECT_EQ(back.day, c.time.day);
        EXPECT_EQ(back.hour, c.time.hour);
        EXPECT_EQ(back.minute, c.time.minute);
        EXPECT_EQ(back.second, c.time.second);
    }
}

TEST(OleDate, RejectsImpossibleDates) {
    EXPECT_FALSE(CivilToOleDate({2023, 2, 29}));
    EXPECT_FALSE(CivilToOleDate({2024, 13, 1}));
    EXPECT_FALSE(CivilToOleDate({2024, 1, 1, 24}));
}

TEST(OleDate, TextForms) {
    const double ole = *CivilToOleDate({2024, 1, 2, 3, 4, 5, 250});
    EXPECT_EQ(OleDateToText(ole), "2024-01-02 03:04:05.250");
    EXPECT_NEAR(*TextToOleDate("2024-01-02 03:04:05.250"), ole, 1e-9);
    EXPECT_NEAR(*TextToOleDate("2024年1月2日3时4分5秒"), *CivilToOleDate({2024, 1, 2, 3, 4, 5}), 1e-9);
    EXPECT_NEAR(*TextToOleDate("45000.5"), 45000.5, 1e-12);
    EXPECT_FALSE(TextToOleDate("not a date"));
    EXPECT_FALSE(TextToOleDate("2023-02-30"));
}

TEST(OleDate, TextOutsideTheYearRangeIsRefused) {
    const char* refused[] = {"1e19",  "-1e19", "1e999",          "-1e999",           "nan",
                             "inf",   "2958466", "-657435",      "0099-12-31 23:59:59", "10000-01-01",
                             "2147483647-1-1", "9999999999-1-1"};
    for (const char* text : refused) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(TextToOleDate(text));
    }
    EXPECT_NEAR(*TextToOleDate("0100-01-01"), -657434.0, 1e-9);
    EXPECT_NEAR(*TextToOleDate("9999-12-31 23:59:59"), *CivilToOleDate({9999, 12, 31, 23, 59, 59}), 1e-9);
    EXPECT_NEAR(*TextToOleDate("2958465.5"), 2958465.5, 1e-9);
}

TEST(OleDate, ShownValuesOutsideTheRangeAreClampedToItsEnds) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    struct Case { double ole; const char* text; };
    const Case cases[] = {
        {1e19, "9999-12-31 23:59:59.999"},
        {kInf, "9999-12-31 23:59:59.999"},
        {2958466.0, "9999-12-31 23:59:59.999"},
        {2958466.0 - 1e-10, "9999-12-31 23:59:59.999"},  // would round up to the year 10000
        {-1e19, "0100-01-01 00:00:00"},
        {-kInf, "0100-01-01 00:00:00"},
        {-657435.0, "0100-01-01 00:00:00"},
        {std::numeric_limits<double>::quiet_NaN(), "1899-12-30 00:00:00"},
        {-657434.5, "0100-01-01 12:00:00"},  // inside the range: unchanged
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ole);
        EXPECT_EQ(OleDateToText(c.ole), c.text);
    }
    const CivilTime last = OleDateToCivil(2958466.0 - 1e-9, CivilRounding::Second);
    EXPECT_EQ(last.year, 9999);
    EXPECT_EQ(last.second, 59);
    EXPECT_FALSE(IsOleDateInRange(std::numeric_limits<double>::quiet_NaN()));
}

}  // namespace
}  // namespace varnel

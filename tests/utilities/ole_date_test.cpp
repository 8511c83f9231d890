#include "utilities/ole_date.h"

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

}  // namespace
}  // namespace varnel

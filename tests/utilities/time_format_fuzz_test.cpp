#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "support/mutation_fuzz.h"
#include "support/time_zone.h"
#include "utilities/local_time.h"
#include "utilities/ole_date.h"
#include "utilities/time_format.h"

namespace varnel {
namespace {

using testing::MutationFuzzer;

template <typename T>
T Take(std::string_view& input) {
    char bytes[sizeof(T)] = {};
    const std::size_t n = std::min(input.size(), sizeof(T));
    std::memcpy(bytes, input.data(), n);
    input.remove_prefix(n);
    return std::bit_cast<T>(bytes);
}

std::string Le(std::int64_t value) { return std::string(reinterpret_cast<const char*>(&value), 8); }
std::string Le(double value) { return Le(std::bit_cast<std::int64_t>(value)); }

// Input layout: a file time in seconds, a date-time as a double, an options byte,
// then the pattern, which is also read as date text.
TEST(TimeFormatFuzz, FileTimesAndDatesOfAnyValueFormatWithinTheRange) {
    testing::ScopedTimeZone zone("CST-8");
    MutationFuzzer fuzzer({
        .seeds = {Le(std::int64_t{1'700'000'000}) + Le(45293.5) + "\x01" + kDefaultTimePattern,
                  Le(std::int64_t{67'767'987'000'000'000}) + Le(1e19) + "\x07#年#星#中星#英星#简星#季#周",
                  Le(std::int64_t{-62'198'755'200}) + Le(-657434.5) + "\x1F" "2024年1月2日3时4分5秒",
                  Le(std::int64_t{253'402'300'799}) + Le(2958465.999999) + std::string(1, '\0') + "9999-12-31 23:59:59.999"},
        .dictionary = {"#年", "#月", "#日", "#时", "#分", "#秒", "#星", "#中星", "#英星", "#简星", "#季", "#周",
                       "9999", "0099", "1e19", "-", ":", ".", "\xFF\xFF\xFF\xFF\xFF\xFF\xEF\x7F", std::string("\0\0\0\0\0\0\xF0\x7F", 8)},
        .maxLength = 200,
    });
    fuzzer.Run([&](std::string_view input) {
        const auto seconds = Take<std::int64_t>(input);
        const auto oleDate = Take<double>(input);
        const auto options = static_cast<unsigned char>(Take<char>(input));
        TimeFormat format{std::string(input), (options & 1) != 0, (options & 2) != 0,
                          (options & 4) != 0, (options & 8) != 0, (options & 16) != 0};

        // A file time either has a local date-time in the range, read back exactly
        // (the zone has no summer time), or none and shows as no data.
        if (const auto local = UnixTimeToLocalOleDate(seconds)) {
            EXPECT_TRUE(IsOleDateInRange(*local));
            EXPECT_EQ(LocalOleDateToUnixTime(*local), seconds);
            (void)FormatDateTimeByRule(*local, format);
        }

        // Any value is shown as a date-time of the range.
        (void)FormatDateTimeByRule(oleDate, format);
        const std::string year = FormatDateTimeByRule(oleDate, TimeFormat{"#年"});
        EXPECT_TRUE(year.size() >= 3 && year.size() <= 4) << year;
        const std::string text = OleDateToText(oleDate);
        if (IsOleDateInRange(oleDate)) {
            const auto back = TextToOleDate(text);
            ASSERT_TRUE(back.has_value()) << text;
            EXPECT_EQ(OleDateToText(*back), text);
        }

        // Text read as a date-time gives one of the range or nothing.
        if (const auto read = TextToOleDate(input)) EXPECT_TRUE(IsOleDateInRange(*read)) << *read;
    });
}

}  // namespace
}  // namespace varnel

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "naming/picture_size.h"
#include "support/mutation_fuzz.h"

namespace varnel {
namespace {

using testing::MutationFuzzer;

std::string Bytes(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) s += static_cast<char>(b);
    return s;
}

TEST(PictureSizeFuzz, AnyHeaderIsReadWithinBounds) {
    const std::string jpeg = Bytes({0xFF, 0xD8, 0xFF, 0xE0, 0, 16}) + std::string("JFIF\0", 5) +
                             Bytes({1, 1, 0, 0, 1, 0, 1, 0, 0}) + Bytes({0xFF, 0xFF, 0xC2, 0, 17, 8, 0, 90, 0, 120}) +
                             std::string(9, '\x11') + Bytes({0xFF, 0xDA, 0, 2, 0xFF, 0xD9});
    MutationFuzzer fuzzer({
        .seeds = {jpeg, std::string("GIF89a\x03\x00\x02\x00\xF7\x00\x00", 13),
                  std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\x02\x80\0\0\x01\xE0\x08\x06\0\0\0", 29),
                  "BM" + std::string(12, '\0') + std::string("\x28\0\0\0\x10\0\0\0\xF7\xFF\xFF\xFF", 12)},
        .dictionary = {Bytes({0xFF, 0xD8}), Bytes({0xFF, 0xC0}), Bytes({0xFF, 0xE1, 0xFF, 0xFF}), Bytes({0xFF, 0xDA}),
                       Bytes({0xFF, 0xFF, 0xFF, 0xFF}), Bytes({0xFF, 0x01}), "GIF87a", "IHDR", "BM"},
    });
    fuzzer.Run([&](std::string_view input) {
        const auto fromBytes = ProbePictureSize(input);
        // Now and then the same data followed by endless fill bytes, as a huge damaged
        // file: the answer for a picture found in the data stays, and the reads stay few.
        const bool endless = input.size() % 16 == 0;
        int reads = 0;
        const auto probe = ProbePictureSize(PictureReader(
            [&](std::uint64_t offset, char* buffer, std::size_t size) -> std::expected<std::size_t, Error> {
                ++reads;
                if (offset >= (endless ? std::uint64_t{1} << 40 : input.size())) return 0;
                if (!endless) size = std::min<std::size_t>(size, input.size() - offset);
                const std::size_t copied = offset < input.size() ? input.copy(buffer, size, offset) : 0;
                std::memset(buffer + copied, 0xFF, size - copied);
                return size;
            }));
        ASSERT_TRUE(probe.has_value());
        EXPECT_LE(reads, 300);
        if (!endless) EXPECT_EQ(*probe, fromBytes);
        if (endless && fromBytes && input.size() >= 26) EXPECT_EQ(*probe, fromBytes);
    });
}

}  // namespace
}  // namespace varnel

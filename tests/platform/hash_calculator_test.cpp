#include "platform/hash_calculator.h"

#include <array>
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "support/faulty_posix.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

using testing::FaultyPosix;
using testing::TempDir;

std::string Whole(HashAlgorithm algorithm, std::string_view bytes) {
    switch (algorithm) {
        case HashAlgorithm::Crc32: return HashCalculator::ComputeCrc32(bytes);
        case HashAlgorithm::Md5: return HashCalculator::ComputeMd5(bytes);
        case HashAlgorithm::Md4: return HashCalculator::ComputeMd4(bytes);
        case HashAlgorithm::Md2: return HashCalculator::ComputeMd2(bytes);
        case HashAlgorithm::Sha1: return HashCalculator::ComputeSha1(bytes);
    }
    return {};
}

const std::string kAlphabet = "abcdefghijklmnopqrstuvwxyz";
const std::string kAlphanumeric =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
const std::string kDigits80 =
    "12345678901234567890123456789012345678901234567890123456789012345678901234567890";

// The test suites of RFC 1319 (MD2), RFC 1320 (MD4), RFC 1321 (MD5) and FIPS 180-1 (SHA1).
TEST(HashCalculator, PublishedTestVectors) {
    struct Case { HashAlgorithm algorithm; std::string input; const char* expected; };
    const Case cases[] = {
        {HashAlgorithm::Md2, "", "8350E5A3E24C153DF2275C9F80692773"},
        {HashAlgorithm::Md2, "a", "32EC01EC4A6DAC72C0AB96FB34C0B5D1"},
        {HashAlgorithm::Md2, "abc", "DA853B0D3F88D99B30283A69E6DED6BB"},
        {HashAlgorithm::Md2, "message digest", "AB4F496BFB2A530B219FF33031FE06B0"},
        {HashAlgorithm::Md2, kAlphabet, "4E8DDFF3650292AB5A4108C3AA47940B"},
        {HashAlgorithm::Md2, kAlphanumeric, "DA33DEF2A42DF13975352846C30338CD"},
        {HashAlgorithm::Md2, kDigits80, "D5976F79D83D3A0DC9806C3C66F3EFD8"},
        {HashAlgorithm::Md4, "", "31D6CFE0D16AE931B73C59D7E0C089C0"},
        {HashAlgorithm::Md4, "a", "BDE52CB31DE33E46245E05FBDBD6FB24"},
        {HashAlgorithm::Md4, "abc", "A448017AAF21D8525FC10AE87AA6729D"},
        {HashAlgorithm::Md4, "message digest", "D9130A8164549FE818874806E1C7014B"},
        {HashAlgorithm::Md4, kAlphabet, "D79E1C308AA5BBCDEEA8ED63DF412DA9"},
        {HashAlgorithm::Md4, kAlphanumeric, "043F8582F241DB351CE627E153E7F0E4"},
        {HashAlgorithm::Md4, kDigits80, "E33B4DDC9C38F2199C3E7B164FCC0536"},
        {HashAlgorithm::Md5, "", "D41D8CD98F00B204E9800998ECF8427E"},
        {HashAlgorithm::Md5, "a", "0CC175B9C0F1B6A831C399E269772661"},
        {HashAlgorithm::Md5, "abc", "900150983CD24FB0D6963F7D28E17F72"},
        {HashAlgorithm::Md5, "message digest", "F96B697D7CB7938D525A2F31AAF161D0"},
        {HashAlgorithm::Md5, kAlphabet, "C3FCD3D76192E4007DFB496CCA67E13B"},
        {HashAlgorithm::Md5, kAlphanumeric, "D174AB98D277D9F5A5611C2C9F419D9F"},
        {HashAlgorithm::Md5, kDigits80, "57EDF4A22BE3C955AC49DA2E2107B67A"},
        {HashAlgorithm::Sha1, "abc", "A9993E364706816ABA3E25717850C26C9CD0D89D"},
        {HashAlgorithm::Sha1, "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "84983E441C3BD26EBAAE4AA1F95129E5E54670F1"},
        {HashAlgorithm::Sha1, std::string(1'000'000, 'a'),
         "34AA973CD4C4DAA4F61EEB2BDBAD27316534016F"},
        {HashAlgorithm::Sha1, "", "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709"},
        {HashAlgorithm::Crc32, "123456789", "CBF43926"},
        {HashAlgorithm::Crc32, "abc", "352441C2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.algorithm));
        SCOPED_TRACE(c.input.substr(0, 20));
        EXPECT_EQ(Whole(c.algorithm, c.input), c.expected);
    }
}

TEST(HashCalculator, Crc32TextDropsLeadingZerosAndIsEmptyForNoBytes) {
    EXPECT_EQ(HashCalculator::ComputeCrc32("33"), "A6216D9");  // 0x0A6216D9
    EXPECT_EQ(HashCalculator::ComputeCrc32("62"), "12D20A");   // 0x0012D20A
    EXPECT_EQ(HashCalculator::ComputeCrc32("62", true), "12d20a");
    EXPECT_EQ(HashCalculator::ComputeCrc32("123456789", true), "cbf43926");
    EXPECT_EQ(HashCalculator::ComputeCrc32(""), "");
}

TEST(HashCalculator, SixteenCharactersAndLowerCase) {
    // MD5("abc") = 900150983CD24FB0D6963F7D28E17F72: characters 9 to 24 are the middle.
    EXPECT_EQ(HashCalculator::ComputeMd5("abc", true), "3CD24FB0D6963F7D");
    EXPECT_EQ(HashCalculator::ComputeMd5("abc", false, true), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(HashCalculator::ComputeMd5("abc", true, true), "3cd24fb0d6963f7d");
    EXPECT_EQ(HashCalculator::ComputeMd4("abc", true, true), "af21d8525fc10ae8");
    EXPECT_EQ(HashCalculator::ComputeMd2("abc", true, false), "3F88D99B30283A69");
    EXPECT_EQ(HashCalculator::ComputeMd5("", true), "8F00B204E9800998");  // the empty message
    EXPECT_EQ(HashCalculator::ComputeSha1("abc", true), "a9993e364706816aba3e25717850c26c9cd0d89d");
}

TEST(HashCalculator, StreamingMatchesWholeSetForAnyChunkSize) {
    std::string data(200'000, '\0');
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>((i * 131 + i / 7) & 0xFF);
    const std::array all = {HashAlgorithm::Crc32, HashAlgorithm::Md5, HashAlgorithm::Md4,
                            HashAlgorithm::Md2, HashAlgorithm::Sha1};
    for (const std::size_t chunk : {std::size_t{1}, std::size_t{7}, std::size_t{65536}}) {
        SCOPED_TRACE(chunk);
        HashCalculator calculator;
        calculator.Begin({all.begin(), all.end()});
        for (std::size_t pos = 0; pos < data.size(); pos += chunk) {
            calculator.Update(std::string_view(data).substr(pos, chunk));
        }
        calculator.Finish();
        for (const HashAlgorithm algorithm : all) {
            EXPECT_EQ(calculator.ResultText(algorithm), Whole(algorithm, data));
        }
        EXPECT_EQ(calculator.ResultText(HashAlgorithm::Md2, true, true),
                  HashCalculator::ComputeMd2(data, true, true));
    }
}

TEST(HashCalculator, OnlyBegunAndFinishedAlgorithmsHaveResults) {
    HashCalculator calculator;
    calculator.Begin({HashAlgorithm::Md5});
    calculator.Update("abc");
    EXPECT_FALSE(calculator.ResultText(HashAlgorithm::Md5));  // not finished yet
    calculator.Finish();
    EXPECT_EQ(calculator.ResultText(HashAlgorithm::Md5), "900150983CD24FB0D6963F7D28E17F72");
    EXPECT_FALSE(calculator.ResultText(HashAlgorithm::Sha1));
    calculator.Begin({HashAlgorithm::Crc32});  // starts over
    calculator.Finish();
    EXPECT_EQ(calculator.ResultText(HashAlgorithm::Crc32), "");
    EXPECT_FALSE(calculator.ResultText(HashAlgorithm::Md5));
}

std::string FirstWordOf(const std::string& command) {
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return {};
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
    ::pclose(pipe);
    return output.substr(0, output.find_first_of(" \n"));
}

TEST(HashCalculator, FileDigestsAgreeWithCommandLineTools) {
    TempDir dir;
    std::string big(300'000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7919 % 251);
    const std::pair<std::string, std::string> files[] = {
        {"empty", ""}, {"text.txt", "文件内容 with a line\n"}, {"big.bin", big}};
    for (const auto& [name, content] : files) {
        SCOPED_TRACE(name);
        dir.Write(name, content);
        const std::string path = dir / name;
        HashCalculator calculator;
        ASSERT_TRUE(calculator.DigestFile(path, {HashAlgorithm::Md5, HashAlgorithm::Md4,
                                                 HashAlgorithm::Sha1, HashAlgorithm::Crc32}));
        EXPECT_EQ(calculator.ResultText(HashAlgorithm::Md5, false, true),
                  FirstWordOf("md5sum '" + path + "'"));
        EXPECT_EQ(calculator.ResultText(HashAlgorithm::Sha1, false, true),
                  FirstWordOf("sha1sum '" + path + "'"));
        EXPECT_EQ(calculator.ResultText(HashAlgorithm::Md4, false, true),
                  FirstWordOf("rhash --printf='%{md4}\\n' '" + path + "'"));
        if (!content.empty()) {
            // rhash writes all eight digits; ours drop the leading zeros.
            std::string crc = FirstWordOf("rhash --printf='%{crc32}\\n' '" + path + "'");
            crc.erase(0, std::min(crc.find_first_not_of('0'), crc.size() - 1));
            EXPECT_EQ(calculator.ResultText(HashAlgorithm::Crc32, false, true), crc);
        }
    }
}

TEST(HashCalculator, UnreadableFileGivesNoDigest) {
    TempDir dir;
    HashCalculator calculator;
    const auto missing = calculator.DigestFile(dir / "missing", {HashAlgorithm::Md5});
    ASSERT_FALSE(missing.has_value());
    EXPECT_EQ(missing.error().code, ENOENT);
    EXPECT_FALSE(calculator.ResultText(HashAlgorithm::Md5));

    // A folder opens but cannot be read.
    const auto folder = calculator.DigestFile(dir.Path(), {HashAlgorithm::Crc32});
    ASSERT_FALSE(folder.has_value());
    EXPECT_EQ(folder.error().code, EISDIR);
    EXPECT_FALSE(calculator.ResultText(HashAlgorithm::Crc32));

    dir.Write("a.bin", "abc");
    FaultyPosix os;
    os.Fail(FaultyPosix::Call::Open, EACCES);
    const auto refused = calculator.DigestFile(dir / "a.bin", {HashAlgorithm::Sha1}, os);
    ASSERT_FALSE(refused.has_value());
    EXPECT_EQ(refused.error().code, EACCES);
    EXPECT_EQ(refused.error().path, dir / "a.bin");
    EXPECT_FALSE(calculator.ResultText(HashAlgorithm::Sha1));
}

}  // namespace
}  // namespace varnel

#include "naming/meta_expansion.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "filelist/list_formatting.h"
#include "support/faulty_posix.h"
#include "support/temp_dir.h"
#include "support/time_zone.h"
#include "platform/hash_calculator.h"
#include "utilities/ole_date.h"

namespace varnel {
namespace {

using testing::FaultyPosix;
using testing::TempDir;

std::string FirstWordOf(const std::string& command) {
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return {};
    std::array<char, 256> buffer{};
    std::string out;
    while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr) out += buffer.data();
    ::pclose(pipe);
    return out.substr(0, out.find_first_of(" \n"));
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// An environment with the section's defaults and a fixed engine.
struct Fixture {
    MetaRandomEngine engine{1234};
    MetaEnvironment env;
    Fixture() {
        env.settings.directoryPath.level = 1;
        env.settings.directoryName.level = 1;
        for (TimeFormat* t : {&env.settings.systemTime, &env.settings.creationTime,
                              &env.settings.modificationTime, &env.settings.accessTime}) {
            t->pattern = "#年/#月/#日 #时:#分:#秒";
            t->zeroPad = true;
        }
        env.random = &engine;
    }
    std::expected<std::string, Error> Expand(const std::string& path, std::string_view text,
                                             std::int64_t row = 1) {
        return ExpandMetaVariables(env, {.path = path, .text = text, .row = row});
    }
    std::string Value(const std::string& path, std::string_view text, std::int64_t row = 1) {
        auto value = Expand(path, text, row);
        EXPECT_TRUE(value) << text << ": " << (value ? "" : value.error().message);
        return value.value_or("<failed>");
    }
};

TEST(MetaTemplate, TakesTheLongestNameAtEachHash) {
    struct Case { const char* text; bool withFileNames; std::vector<std::string> pieces; };
    const Case cases[] = {
        {"#随机数字字母选x", true, {"[#随机数字字母选]", "x"}},
        {"#随机数字字母x", true, {"[#随机数字字母]", "x"}},
        {"#随机数字字x", true, {"[#随机数字]", "字x"}},
        {"a#名称md5#名称MD5", true, {"a#名称md5", "[#名称MD5]"}},
        {"##主名#", true, {"#", "[#主名]", "#"}},
        {"#尺寸#随机数字", false, {"#尺寸", "[#随机数字]"}},
        {"#目录名/#目录路径", true, {"[#目录名]", "/", "[#目录路径]"}},
        {"no names", true, {"no names"}},
        {"", true, {}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> pieces;
        for (const MetaToken& token : SplitMetaTemplate(c.text, c.withFileNames)) {
            pieces.push_back(token.id ? "[" + std::string(token.text) + "]" : std::string(token.text));
        }
        EXPECT_EQ(pieces, c.pieces) << c.text;
    }
}

TEST(MetaExpansion, PathPartsAreNeverReadAgain) {
    TempDir dir;
    dir.Write("a#主名.txt", "x");
    Fixture f;
    const std::string path = dir / "a#主名.txt";
    EXPECT_EQ(f.Value(path, "#文件名"), "a#主名.txt");
    EXPECT_EQ(f.Value(path, "#主名|#扩展名"), "a#主名|txt");
    EXPECT_EQ(f.Value(path, "#完整路径"), path);
    EXPECT_EQ(f.Value(path, "#目录路径"), dir.Path());
    EXPECT_EQ(f.Value(path, "#目录名"), dir.Path().substr(dir.Path().rfind('/') + 1));
    EXPECT_EQ(f.Value(path, "#名称md5 stays"), "#名称md5 stays");
}

TEST(MetaExpansion, SwitchForceAndNoFile) {
    Fixture f;
    std::atomic<bool> enabled{false};
    f.env.symbolsEnabled = &enabled;
    EXPECT_EQ(*ExpandMetaVariables(f.env, {.path = "/x/y.txt", .text = "#文件名"}), "#文件名");
    EXPECT_EQ(*ExpandMetaVariables(f.env, {.path = "/x/y.txt", .text = "#文件名", .force = true}),
              "y.txt");
    enabled = true;
    EXPECT_EQ(*ExpandMetaVariables(f.env, {.path = "/x/y.txt", .text = "#文件名"}), "y.txt");

    // Without a file the names that need one stay; the others are expanded.
    auto noFile = ExpandMetaVariables(f.env, {.path = "", .isFile = false, .text = "#完整路径-#随机数字-#递进",
                                              .row = 5});
    ASSERT_TRUE(noFile);
    ASSERT_EQ(noFile->size(), std::string("#完整路径-").size() + 8 + 2);
    EXPECT_TRUE(noFile->starts_with("#完整路径-"));
    EXPECT_TRUE(noFile->ends_with("-5"));
}

TEST(MetaExpansion, EachNameHasOneValuePerCall) {
    TempDir dir;
    dir.Write("f.bin", std::string(1500, 'z'));
    Fixture f;
    const std::string twice = f.Value(dir / "f.bin", "#随机数字|#随机数字|#尺寸|#尺寸");
    EXPECT_EQ(twice.substr(0, 8), twice.substr(9, 8));
    EXPECT_TRUE(twice.ends_with("|1500|1500"));
    // The next call draws anew.
    EXPECT_NE(f.Value(dir / "f.bin", "#随机数字"), twice.substr(0, 8));
    f.env.settings.sizeAsText = true;
    EXPECT_EQ(f.Value(dir / "f.bin", "#尺寸"), FormatByteSize(1500));
}

TEST(MetaExpansion, CountsOverTheWholeContent) {
    TempDir dir;
    dir.Write("crlf.txt", "one two\r\nthree\r\nfour five six\r\n");
    dir.Write("lf.txt", "one two\nthree\nfour five six\n");
    dir.Write("flat.txt", "one\ttwo\xE3\x80\x80three");
    Fixture f;
    f.env.settings.charCount = {"O", false};
    EXPECT_EQ(f.Value(dir / "crlf.txt", "#字数 #行数 #空格数 #某符数"), "31 4 3 3");
    EXPECT_EQ(f.Value(dir / "lf.txt", "#字数 #行数 #空格数 #某符数"), "28 4 3 3");
    EXPECT_EQ(f.Value(dir / "flat.txt", "#字数 #行数 #空格数"), "13 1 0");
    f.env.settings.charCount = {"O", true};
    EXPECT_EQ(f.Value(dir / "lf.txt", "#某符数"), "0");
    f.env.settings.charCount = {"", false};
    EXPECT_EQ(f.Value(dir / "lf.txt", "#某符数"), "0");
}

TEST(MetaExpansion, CallersFileStaysAtItsPosition) {
    TempDir dir;
    dir.Write("open.txt", "abc def\nghi\n");
    const int fd = ::open((dir / "open.txt").c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::lseek(fd, 5, SEEK_SET), 5);
    Fixture f;
    auto value = ExpandMetaVariables(
        f.env, {.path = dir / "open.txt", .text = "#行数,#尺寸,#内容CRC32", .fileDescriptor = fd});
    ASSERT_TRUE(value);
    EXPECT_EQ(*value, "3,12," + HashCalculator::ComputeCrc32("abc def\nghi\n"));
    EXPECT_EQ(::lseek(fd, 0, SEEK_CUR), 5);
    // The caller's file is the caller's to close.
    EXPECT_EQ(::write(fd, "X", 1), 1);
    ::close(fd);
    EXPECT_EQ(dir.Read("open.txt"), "abc dXf\nghi\n");
}

TEST(MetaExpansion, DigestsMatchTheCommonTools) {
    TempDir dir;
    const std::string name = "名字 with blank.dat";
    std::string content;
    for (int i = 0; i < 200000; ++i) content += static_cast<char>(i * 7 % 251);
    dir.Write(name, content);
    dir.Write("name.txt", name);
    const std::string path = dir / name;
    const std::string quoted = "'" + path + "'";
    const std::string nameFile = "'" + (dir / "name.txt") + "'";

    Fixture f;
    const std::string digests = f.Value(
        path, "#名称MD5 #名称SHA1 #名称MD4 #内容MD5 #内容SHA1 #内容MD4 #内容CRC32 #内容MD2 #名称CRC32");
    std::vector<std::string> parts;
    for (std::size_t start = 0; start <= digests.size();) {
        const std::size_t end = std::min(digests.find(' ', start), digests.size());
        parts.push_back(digests.substr(start, end - start));
        start = end + 1;
    }
    ASSERT_EQ(parts.size(), 9u);
    EXPECT_EQ(parts[0], Upper(FirstWordOf("md5sum " + nameFile)));
    EXPECT_EQ(parts[1], Upper(FirstWordOf("sha1sum " + nameFile)));
    EXPECT_EQ(parts[2], Upper(FirstWordOf("rhash --printf='%{md4}\\n' " + nameFile)));
    EXPECT_EQ(parts[3], Upper(FirstWordOf("md5sum " + quoted)));
    EXPECT_EQ(parts[4], Upper(FirstWordOf("sha1sum " + quoted)));
    EXPECT_EQ(parts[5], Upper(FirstWordOf("rhash --printf='%{md4}\\n' " + quoted)));
    std::string crc = Upper(FirstWordOf("rhash --printf='%{crc32}\\n' " + quoted));
    crc.erase(0, std::min(crc.find_first_not_of('0'), crc.size() - 1));
    EXPECT_EQ(parts[6], crc);
    EXPECT_EQ(parts[7], HashCalculator::ComputeMd2(content));
    EXPECT_EQ(parts[8], HashCalculator::ComputeCrc32(name));

    f.env.settings.contentMd5 = {true, true};
    f.env.settings.nameSha1Lower = true;
    EXPECT_EQ(f.Value(path, "#内容MD5"), FirstWordOf("md5sum " + quoted).substr(8, 16));
    EXPECT_EQ(f.Value(path, "#名称SHA1"), FirstWordOf("sha1sum " + nameFile));
}

TEST(MetaExpansion, ContentOfWhatCannotBeReadFails) {
    TempDir dir;
    std::filesystem::create_directory(dir / "folder");
    dir.Write("f.txt", "text");
    Fixture f;
    for (const char* text : {"#内容MD5", "#字数", "#尺寸", "#图片宽度"}) {
        auto folder = f.Expand(dir / "folder", text);
        ASSERT_FALSE(folder) << text;
        EXPECT_EQ(folder.error().path, dir / "folder");
        EXPECT_FALSE(f.Expand(dir / "missing.txt", text)) << text;
    }
    // The names that need no content still work on a folder.
    EXPECT_EQ(f.Value(dir / "folder", "#文件名"), "folder");

    FaultyPosix faulty;
    f.env.os = &faulty;
    faulty.Fail(FaultyPosix::Call::Pread, EIO);
    auto unreadable = f.Expand(dir / "f.txt", "#内容CRC32");
    ASSERT_FALSE(unreadable);
    EXPECT_EQ(unreadable.error().code, EIO);
    faulty.Fail(FaultyPosix::Call::Open, EACCES);
    auto closed = f.Expand(dir / "f.txt", "#行数");
    ASSERT_FALSE(closed);
    EXPECT_EQ(closed.error().code, EACCES);
    faulty.Fail(FaultyPosix::Call::Statx, EIO);
    EXPECT_FALSE(f.Expand(dir / "f.txt", "#修改时间"));
}

TEST(MetaExpansion, TimesOfFilesFoldersAndReadOnlyFiles) {
    testing::ScopedTimeZone zone("UTC");
    TempDir dir;
    std::filesystem::create_directory(dir / "folder");
    dir.Write("ro.txt", "r");
    ::chmod((dir / "ro.txt").c_str(), 0444);
    // 2001-02-03 04:05:06 UTC modified, 2002-03-04 05:06:07 accessed.
    const struct timespec times[2] = {{1015218367, 0}, {981173106, 0}};
    for (const char* name : {"folder", "ro.txt"}) {
        ASSERT_EQ(::utimensat(AT_FDCWD, (dir / name).c_str(), times, 0), 0);
    }
    Fixture f;
    for (const char* name : {"folder", "ro.txt"}) {
        const std::string value = f.Value(dir / name, "#修改时间|#访问时间|#创建时间");
        EXPECT_TRUE(value.starts_with("2001/02/03 04:05:06|2002/03/04 05:06:07|")) << value;
        EXPECT_EQ(value.find('#'), std::string::npos) << value;
    }
}

TEST(MetaExpansion, AttributesDescriptionPicturesFontAndSequence) {
    TempDir dir;
    dir.Write(".hidden.txt", "h");
    dir.Write("plain.txt", "p");
    dir.Write("p.gif", std::string("GIF89a\x03\x00\x02\x00", 10) + std::string(20, '\0'));
    Fixture f;
    f.env.settings.attributes = {true, ""};
    EXPECT_EQ(f.Value(dir / ".hidden.txt", "#属性"), "隐藏");
    f.env.settings.attributes = {false, ""};
    EXPECT_EQ(f.Value(dir / "plain.txt", "#属性"), "128");
    EXPECT_EQ(f.Value(dir / "plain.txt", "#描述"), GetFileTypeDescription("txt"));

    EXPECT_EQ(f.Value(dir / "p.gif", "#图片宽度x#图片高度"), "3x2");
    EXPECT_EQ(f.Value(dir / "plain.txt", "[#图片宽度]"), "[]");

    // The face name stored in the font; a file that is no font has none.
    EXPECT_EQ(f.Value("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", "<#字体名称>"),
              "<DejaVu Sans>");
    EXPECT_EQ(f.Value(dir / "plain.txt", "<#字体名称>"), "<>");
    std::string asked;
    f.env.fontFaceName = [&asked](const std::string& path) {
        asked = path;
        return std::string("Injected");
    };
    EXPECT_EQ(f.Value(dir / "plain.txt", "<#字体名称>"), "<Injected>");
    EXPECT_EQ(asked, dir / "plain.txt");

    f.env.settings.sequence = {.letters = true};
    EXPECT_EQ(f.Value(dir / "plain.txt", "#递进", 28), "ab");

    f.env.now = [] { return *CivilToOleDate({2012, 3, 4, 5, 6, 7}); };
    f.env.settings.systemTime = {.pattern = "#年年#月月", .toChineseNumerals = true, .singleCharMode = true};
    EXPECT_EQ(f.Value(dir / "plain.txt", "#系统时间"), "二〇一二年三月");
}

TEST(MetaExpansion, RandomNamesUseTheirSettings) {
    Fixture f;
    f.env.settings.randomDigitsLetters.length = 20;
    f.env.settings.randomDigitsLettersChoice = {.length = 30, .noDigits = true, .noLowerCase = true,
                                                .noUpperCase = true};
    f.env.settings.randomHanzi = {.length = 3, .noCommon = true, .noLessCommon = true};
    auto value = ExpandMetaVariables(
        f.env, {.path = "", .isFile = false, .text = "#随机数字字母|#随机数字字母选|#随机汉字|"});
    ASSERT_TRUE(value);
    ASSERT_EQ(value->size(), 20u + 1 + 30 + 1 + 0 + 1);
    EXPECT_EQ(value->substr(0, 20).find_first_not_of(
                  "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"),
              std::string::npos);
    EXPECT_EQ(value->substr(21, 30).find_first_of("0123456789"), std::string::npos);
    EXPECT_TRUE(value->ends_with("||"));
}

}  // namespace
}  // namespace varnel

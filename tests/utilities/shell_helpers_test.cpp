#include <atomic>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "support/command_output.h"
#include "support/faulty_posix.h"
#include "support/temp_dir.h"
#include "platform/font_face_name.h"
#include "utilities/key_state.h"
#include "utilities/worker_thread.h"

namespace varnel {
namespace {

TEST(KeyState, AnswersFromTheModifiersPassedAlong) {
    const ModifierKeys ctrl{.ctrl = true};
    const ModifierKeys altShift{.shift = true, .alt = true};
    EXPECT_TRUE(IsKeyDown(ctrl, kKeyControl));
    EXPECT_FALSE(IsKeyDown(ctrl, kKeyAlt));
    EXPECT_TRUE(IsKeyDown(altShift, kKeyAlt));
    EXPECT_TRUE(IsKeyDown(altShift, kKeyShift));
    EXPECT_FALSE(IsKeyDown(altShift, kKeyControl));
    EXPECT_FALSE(IsKeyDown(ModifierKeys{true, true, true}, 0x41));  // not a modifier
}

using testing::CommandOutput;

TEST(FontFaceName, MatchesFontconfigForDejaVu) {
    for (const char* file : {"DejaVuSans.ttf", "DejaVuSansMono-Bold.ttf", "DejaVuSerif.ttf"}) {
        const std::string path = std::string("/usr/share/fonts/truetype/dejavu/") + file;
        SCOPED_TRACE(path);
        const std::string families =
            CommandOutput("fc-scan --format '%{family}' '" + path + "'");
        ASSERT_FALSE(families.empty()) << "fonts-dejavu-core and fontconfig are needed";
        const std::string name = GetFontFaceName(path);
        ASSERT_FALSE(name.empty());
        // fontconfig lists every family name of the face, separated by commas.
        const std::string listed = "," + families + ",";
        EXPECT_NE(listed.find("," + name + ","), std::string::npos) << name << " / " << families;
    }
}

struct NameEntry {
    std::uint16_t platform;
    std::uint16_t encoding;
    std::uint16_t language;
    std::string utf16be;  // the stored bytes
};

std::string Utf16BigEndian(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) {
        out.push_back(static_cast<char>(c >> 8));
        out.push_back(static_cast<char>(c & 0xFF));
    }
    return out;
}

void PutU16(std::string& out, std::size_t at, std::uint32_t value) {
    out[at] = static_cast<char>(value >> 8);
    out[at + 1] = static_cast<char>(value & 0xFF);
}
void PutU32(std::string& out, std::size_t at, std::uint32_t value) {
    PutU16(out, at, value >> 16);
    PutU16(out, at + 2, value & 0xFFFF);
}
std::uint32_t GetU32(const std::string& in, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(in[at + i]);
    return v;
}

// A real font whose name table is replaced by one holding only `entries` (all of
// them family names): the new table is appended and the directory points to it.
std::string FontWithFamilyNames(const std::vector<NameEntry>& entries) {
    std::ifstream in("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", std::ios::binary);
    std::string font((std::istreambuf_iterator<char>(in)), {});
    std::string table(6 + 12 * entries.size(), '\0');
    PutU16(table, 2, static_cast<std::uint32_t>(entries.size()));
    PutU16(table, 4, static_cast<std::uint32_t>(table.size()));
    std::string strings;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::size_t r = 6 + 12 * i;
        PutU16(table, r, entries[i].platform);
        PutU16(table, r + 2, entries[i].encoding);
        PutU16(table, r + 4, entries[i].language);
        PutU16(table, r + 6, 1);
        PutU16(table, r + 8, static_cast<std::uint32_t>(entries[i].utf16be.size()));
        PutU16(table, r + 10, static_cast<std::uint32_t>(strings.size()));
        strings += entries[i].utf16be;
    }
    table += strings;
    while (font.size() % 4 != 0) font.push_back('\0');
    const std::size_t tableCount = (static_cast<unsigned char>(font[4]) << 8) |
                                   static_cast<unsigned char>(font[5]);
    for (std::size_t i = 0; i < tableCount; ++i) {
        const std::size_t record = 12 + 16 * i;
        if (font.compare(record, 4, "name") == 0) {
            PutU32(font, record + 8, static_cast<std::uint32_t>(font.size()));
            PutU32(font, record + 12, static_cast<std::uint32_t>(table.size()));
        }
    }
    EXPECT_EQ(GetU32(font, 0), 0x00010000u);  // a TrueType font
    return font + table;
}

TEST(FontFaceName, ChineseNameFirstThenEnglishThenAnyOther) {
    const NameEntry english{3, 1, 0x0409, Utf16BigEndian(u"Plain Face")};
    const NameEntry chinese{3, 1, 0x0804, Utf16BigEndian(u"宋体样例")};
    const NameEntry japanese{3, 1, 0x0411, Utf16BigEndian(u"明朝見本")};
    const NameEntry mac{1, 0, 0, "Mac Face"};
    testing::TempDir dir;
    dir.Write("both.ttf", FontWithFamilyNames({english, japanese, chinese}));
    dir.Write("english.ttf", FontWithFamilyNames({japanese, english}));
    dir.Write("mac.ttf", FontWithFamilyNames({mac, japanese}));
    dir.Write("japanese.ttf", FontWithFamilyNames({japanese}));
    EXPECT_EQ(GetFontFaceName(dir / "both.ttf"), "宋体样例");
    EXPECT_EQ(GetFontFaceName(dir / "english.ttf"), "Plain Face");
    EXPECT_EQ(GetFontFaceName(dir / "mac.ttf"), "Mac Face");
    EXPECT_EQ(GetFontFaceName(dir / "japanese.ttf"), "明朝見本");
}

TEST(FontFaceName, NotAFontOrUnreadableGivesEmpty) {
    testing::TempDir dir;
    constexpr char kFake[] = "\x00\x01\x00\x00 not really a font";
    dir.Write("fake.ttf", std::string(kFake, sizeof kFake - 1));
    dir.Write("empty.ttf", "");
    EXPECT_EQ(GetFontFaceName(dir / "fake.ttf"), "");
    EXPECT_EQ(GetFontFaceName(dir / "empty.ttf"), "");
    EXPECT_EQ(GetFontFaceName(dir / "missing.ttf"), "");
    EXPECT_EQ(GetFontFaceName(dir.Path()), "");

    testing::FaultyPosix faulty;
    faulty.Fail(testing::FaultyPosix::Call::Open, EACCES);
    EXPECT_EQ(GetFontFaceName("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", faulty), "");
}

TEST(WorkerThread, RunsWithItsParameterAndIsJoined) {
    std::atomic<int> seen{0};
    std::thread::id worker;
    {
        std::jthread thread = StartWorkerThread(
            [&](std::stop_token, int parameter) {
                worker = std::this_thread::get_id();
                seen = parameter;
            },
            42);
    }  // joined here
    EXPECT_EQ(seen, 42);
    EXPECT_NE(worker, std::this_thread::get_id());

    std::atomic<bool> stopped{false};
    {
        std::jthread thread = StartWorkerThread([&](std::stop_token stop, int) {
            while (!stop.stop_requested()) std::this_thread::yield();
            stopped = true;
        });
    }  // asked to stop, then joined
    EXPECT_TRUE(stopped);
}

}  // namespace
}  // namespace varnel

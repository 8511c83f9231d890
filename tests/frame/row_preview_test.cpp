#include "frame/row_preview.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "filetasks/shortcut_file.h"
#include "id3/genre_names.h"
#include "id3/id3_info_text.h"
#include "id3/id3v1_tag.h"
#include "id3/id3v2_tag.h"
#include "platform/marked_text_editor.h"
#include "support/child_probe.h"
#include "support/temp_dir.h"
#include "utilities/codec.h"

namespace varnel {
namespace {

using testing::TempDir;

TEST(RowPreview, ExtensionsAndKinds) {
    struct Case {
        const char* extension;
        const char* list;
        bool in;
    } const kCases[] = {
        {"TXT", "bat,txt,ini", true}, {"txt", "BAT,TXT", true}, {"tx", "txt", false},
        {"txt", "", false},           {"ini", "txt,", false},    {"h", "bat,h", true},
    };
    for (const Case& c : kCases) EXPECT_EQ(IsExtensionInList(c.extension, c.list), c.in) << c.extension << " " << c.list;

    EXPECT_EQ(ClassifyPreview("JPG", "txt"), PreviewKind::Picture);
    EXPECT_EQ(ClassifyPreview("log", "txt,log"), PreviewKind::Text);
    EXPECT_EQ(ClassifyPreview("log", "txt"), PreviewKind::Other);
    EXPECT_EQ(ClassifyPreview("Mp3", "txt"), PreviewKind::Sound);
    EXPECT_EQ(ClassifyPreview("shtml", "txt"), PreviewKind::Page);
    EXPECT_EQ(ClassifyPreview("lnk", "txt"), PreviewKind::Shortcut);
    EXPECT_EQ(ClassifyPreview("url", "txt"), PreviewKind::InternetLink);
    EXPECT_EQ(ClassifyPreview("ttc", "txt"), PreviewKind::Font);
    EXPECT_EQ(ClassifyPreview("", "txt,"), PreviewKind::Other);
}

TEST(RowPreview, ALongTextShowsItsStartWithoutABrokenCharacter) {
    TempDir dir;
    // UTF-8: three bytes a character, so 10,000 bytes end inside one.
    std::string utf8;
    while (utf8.size() < 20000) utf8 += "汉";
    dir.Write("u.txt", utf8);
    const std::string shownUtf8 = ReadTextPreview(dir / "u.txt");
    EXPECT_EQ(shownUtf8, utf8.substr(0, 9999));
    // GBK: an ASCII letter first, so the limit falls inside a two-byte character.
    const std::string gbk = "a" + *EncodeToCodec(std::string(utf8.substr(0, 30000)), "GBK");
    dir.Write("g.txt", gbk);
    const std::string shownGbk = ReadTextPreview(dir / "g.txt");
    EXPECT_EQ(shownGbk, "a" + utf8.substr(0, 4999 * 3));
    // A short file is shown whole, a BOM dropped.
    dir.Write("s.txt", "\xEF\xBB\xBF短文");
    EXPECT_EQ(ReadTextPreview(dir / "s.txt"), "短文");
    EXPECT_EQ(ReadTextPreview(dir / "missing.txt"), "");
}

TEST(RowPreview, TagSummaryCompletesVersion2FromVersion1) {
    Id3v1Tag v1;
    v1.title = "老歌";
    v1.artist = "歌手一";
    v1.genre = "17";
    Id3v2Tag v2;
    v2.artist = "歌手二";
    v2.genre = "200";
    v2.lyrics = "第一句";
    v2.copyright = "版权人";
    std::string lyrics;
    EXPECT_EQ(FormatId3InfoText(&v1, &v2, ",", lyrics), "歌曲:老歌,歌手:歌手二,流派:" + GenreName("17") + ",版权:版权人");
    EXPECT_EQ(lyrics, "第一句");
    std::string none;
    EXPECT_EQ(FormatId3InfoText(nullptr, nullptr, ",", none), "");
    v2.genre = "300";
    EXPECT_NE(FormatId3InfoText(nullptr, &v2, " ", none).find("流派:0.NO"), std::string::npos);
    // A genre name the table lacks is shown as the tag gives it, and wins over version 1.
    v2.genre = "Indie Pop";
    EXPECT_NE(FormatId3InfoText(&v1, &v2, " ", none).find("流派:Indie Pop"), std::string::npos);
}

TEST(RowPreview, SummaryLinesOfEachKind) {
    TempDir dir;
    // An MP3 with both tags under 互补预览: v1's title fills v2's empty one.
    dir.Write("song.mp3", std::string(4000, '\x55'));
    Id3v1Tag v1;
    v1.title = "Title1";
    ASSERT_TRUE(WriteId3v1Tag(dir / "song.mp3", v1));
    Id3v2Tag v2;
    v2.artist = "Artist2";
    v2.lyrics = "la la";
    ASSERT_TRUE(WriteId3v2Tag(dir / "song.mp3", v2));
    RowSummary song = SummarizeRow(dir / "song.mp3", dir.Path() + "/", "mp3", {true, true});
    EXPECT_EQ(song.status, "信息 >> 歌曲:Title1 歌手:Artist2");
    EXPECT_EQ(song.lyrics, "la la");
    // Only 预览v1: the v2 tag gives its lyrics, not its fields.
    song = SummarizeRow(dir / "song.mp3", dir.Path() + "/", "mp3", {true, false});
    EXPECT_EQ(song.status, "信息 >> 歌曲:Title1");
    EXPECT_EQ(song.lyrics, "la la");

    dir.Write("page.html", "<html><title>网页标题</title></html>");
    EXPECT_EQ(SummarizeRow(dir / "page.html", "", "html", {}).status, "标题 >> 网页标题");
    dir.Write("site.url", "[InternetShortcut]\nURL=https://example.org/\n");
    EXPECT_EQ(SummarizeRow(dir / "site.url", "", "url", {}).status, "网址 >> https://example.org/");
    dir.Write("target.txt", "t");
    ASSERT_TRUE(CreateLnkShortcut(dir / "good.lnk", dir / "target.txt"));
    ASSERT_TRUE(CreateLnkShortcut(dir / "broken.lnk", dir / "gone.txt"));
    EXPECT_EQ(SummarizeRow(dir / "good.lnk", "", "lnk", {}).status, "指向 >> " + dir / "target.txt");
    EXPECT_EQ(SummarizeRow(dir / "broken.lnk", "", "lnk", {}).status, "指向 >> " + dir / "gone.txt" + "【指向路径失效】");
    EXPECT_EQ(SummarizeRow("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", "", "ttf", {}).status, "名称 >> DejaVu Sans");
    EXPECT_EQ(SummarizeRow(dir / "x.bin", "/some/folder/", "bin", {}).status, "位于 >> /some/folder/");
}

// Every reader of a row's file, handed what a folder may hold besides a file: a
// named pipe with no writer, a socket, a folder, and a sparse 3 GB file. Each is run
// in a child so that a reader that blocks ends in the hang guard, and each must
// answer with its peak memory far below the file's size.
TEST(RowReaders, NeverBlockNorReadAHugeFileWhole) {
    TempDir dir;
    std::vector<int> sockets;
    const auto make = [&](const std::string& ext) {
        std::vector<std::string> paths;
        const std::string fifo = dir / ("pipe." + ext);
        ::mkfifo(fifo.c_str(), 0644);
        paths.push_back(fifo);
        const std::string socketPath = dir / ("sock." + ext);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        socketPath.copy(address.sun_path, sizeof(address.sun_path) - 1);
        ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        sockets.push_back(fd);
        paths.push_back(socketPath);
        const std::string folder = dir / ("folder." + ext);
        ::mkdir(folder.c_str(), 0755);
        paths.push_back(folder);
        const std::string huge = dir / ("huge." + ext);
        const int out = ::open(huge.c_str(), O_WRONLY | O_CREAT, 0644);
        EXPECT_EQ(::ftruncate(out, 3LL << 30), 0);
        ::close(out);
        paths.push_back(huge);
        return paths;
    };
    const std::vector<std::pair<std::string, std::function<void(const std::string&)>>> readers = {
        {"txt", [](const std::string& path) { (void)ReadTextPreview(path); }},
        {"htm", [](const std::string& path) { (void)MarkedTextEditor().GetPageTitle(path); }},
        {"html", [&dir](const std::string& path) { (void)SummarizeRow(path, dir.Path() + "/", "html", {}); }},
        {"lnk", [](const std::string& path) {
             std::string link = path;
             ShortcutProperties properties;
             (void)ReadShortcutProperties(link, properties);
         }},
        {"url", [](const std::string& path) { (void)GetInternetShortcutUrl(path); }},
        {"ttf", [&dir](const std::string& path) { (void)SummarizeRow(path, dir.Path() + "/", "ttf", {}); }},
    };
    for (const auto& [ext, read] : readers) {
        for (const std::string& path : make(ext)) {
            SCOPED_TRACE(path);
            const auto outcome = testing::RunInChild([&] {
                read(path);
                return 0;
            });
            EXPECT_TRUE(outcome.exited) << "the reader blocked or ended abnormally";
            EXPECT_EQ(outcome.exitCode, 0);
            EXPECT_LT(outcome.peakKilobytes, outcome.startKilobytes + 64 * 1024);
        }
    }
    for (const int fd : sockets) ::close(fd);
}

// The title of a page is found in its head however large the page.
TEST(RowReaders, PageTitleComesFromTheHeadOfALargePage) {
    TempDir dir;
    std::string page = "<html><head><title>标题</title></head><body>";
    page += std::string(1 << 20, 'x');
    dir.Write("big.html", page);
    EXPECT_EQ(MarkedTextEditor().GetPageTitle(dir / "big.html"), "标题");
}

}  // namespace
}  // namespace varnel

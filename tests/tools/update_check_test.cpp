#include "tools/update_check.h"

#include <gtest/gtest.h>

#include "support/child_probe.h"
#include "support/http_test_server.h"
#include "tools/http_request.h"

namespace varnel {
namespace {

std::string PercentEncoded(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) != 0 || c == '.' || c == '-' || c == '_') {
            out += c;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        }
    }
    return out;
}

// The address of a page with this text, sent in `charset` (declared in the header
// when asked).
std::string PageUrl(const testing::HttpTestServer& server, std::string_view text, const char* charset = "utf-8",
                    bool declare = false) {
    return server.Url("/page?charset=" + std::string(charset) + (declare ? "&declare=1" : "") +
                      "&body=" + PercentEncoded(text));
}

TEST(GetTextBetweenMarkers, FindsTheTextBetweenTheFirstPair) {
    struct Case {
        const char* text;
        const char* left;
        const char* right;
        const char* between;
    };
    const Case cases[] = {
        {"a[版本]5.0.4[版本]b", "[版本]", "", "5.0.4"},
        {"x<TITLE>t</title>", "<title>", "</TITLE>", "t"},
        {"[v]1[v]2[v]", "", "[v]", "1"},
        {"[v]no end", "[v]", "", ""},
        {"nothing", "[v]", "", ""},
        {"[v][v]", "[v]", "", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(GetTextBetweenMarkers(c.text, c.left, c.right), c.between) << c.text;
}

class ReleasePage : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.Running()); }
    testing::HttpTestServer& server = testing::SharedHttpTestServer();
};

TEST_F(ReleasePage, VersionsAndFieldsOfThePage) {
    struct Case {
        const char* what;
        std::string page;
        const char* charset;
        bool declare;
        int code;
    };
    const Case cases[] = {
        {"third part decides", "[版本]5.0.10[版本]", "utf-8", false, kReleaseNewer},
        {"first part decides", "[版本]4.9.9[版本]", "utf-8", false, kReleaseNotNewer},
        {"padded with an empty part", "[版本]5.0[版本]", "utf-8", false, kReleaseNotNewer},
        {"equal", "[版本]5.0.3[版本]", "utf-8", false, kReleaseNotNewer},
        {"no version", "<html>moved</html>", "utf-8", false, kReleaseVersionMissing},
        {"GBK page, undeclared", "[版本]5.1[版本][大小]2 MB[大小]", "gbk", false, kReleaseNewer},
        {"GBK page, declared", "[版本]5.1[版本][大小]2 MB[大小]", "gbk", true, kReleaseNewer},
        {"UTF-8 page, declared", "[版本]5.1[版本][大小]2 MB[大小]", "utf-8", true, kReleaseNewer},
    };
    for (const Case& c : cases) {
        ReleaseInfo info;
        EXPECT_EQ(FetchReleaseInfo("5.0.3", PageUrl(server, c.page, c.charset, c.declare), info), c.code) << c.what;
        EXPECT_EQ(info.localVersion, "5.0.3") << c.what;
        if (c.page.find("[大小]") != std::string::npos) EXPECT_EQ(info.size, "2 MB") << c.what;
    }
}

TEST_F(ReleasePage, ListsAndLineFields) {
    const std::string page =
        "<p>[日期]2026-12-01[日期][内容]一[分隔]二[内容][版本]5.0.4[版本]"
        "[地址]网盘；https://d.example/a[分隔]没有分号[分隔]；http://d.example/b[地址]"
        "[截图]http://s.example/1.png[分隔]ftp://s.example/2.png[截图][备注]注意[分隔]重启[备注]</p>";
    ReleaseInfo info;
    ASSERT_EQ(FetchReleaseInfo("5.0.3", PageUrl(server, page), info), kReleaseNewer);
    EXPECT_EQ(info.version, "5.0.4");
    EXPECT_EQ(info.date, "2026-12-01");
    EXPECT_EQ(info.content, "一\n二");
    EXPECT_EQ(info.remark, "注意\n重启");
    ASSERT_EQ(info.downloads.size(), 3u);
    EXPECT_EQ(info.downloads[0].name, "网盘");
    EXPECT_EQ(info.downloads[0].url, "https://d.example/a");
    EXPECT_EQ(info.downloads[1].name, "没有分号");
    EXPECT_EQ(info.downloads[1].url, "");
    EXPECT_EQ(info.downloads[2].name, "");
    EXPECT_EQ(info.screenshots, (std::vector<std::string>{"http://s.example/1.png", "ftp://s.example/2.png"}));

    // Only web links are offered; an unnamed download is numbered.
    const NoticePopupParams notice = ReleaseNotice(info, "http://r.example/release");
    EXPECT_EQ(notice.title, "Varnel更名 已有发布新版本，详细情况：");
    EXPECT_EQ(notice.message,
              "本地版本：5.0.3\n\n远端版本：5.0.4\n\n发布日期：2026-12-01\n\n更新信息：\n一\n二\n\n备注：\n注意\n重启");
    EXPECT_EQ(notice.autoCloseMs, -1);
    EXPECT_FALSE(notice.closeOnLinkClick);
    std::vector<std::string> links;
    for (const NoticeLink& link : notice.links) links.push_back(link.caption + "=" + link.hint);
    EXPECT_EQ(links, (std::vector<std::string>{"官方发布页=http://r.example/release", "网盘=https://d.example/a",
                                               "下载3=http://d.example/b", "截图1=http://s.example/1.png"}));
}

TEST_F(ReleasePage, AnErrorStatusOrNoServerIsUnreadable) {
    ReleaseInfo info;
    EXPECT_EQ(FetchReleaseInfo("5.0.3", server.Url("/status/404"), info), kReleasePageUnreadable);
    EXPECT_EQ(FetchReleaseInfo("5.0.3", server.Url("/status/500"), info), kReleasePageUnreadable);
    EXPECT_EQ(FetchReleaseInfo("5.0.3", "http://127.0.0.1:" + std::to_string(testing::ClosedLocalPort()) + "/", info),
              kReleasePageUnreadable);
    EXPECT_EQ(UpdateCheckNoticeText(kReleaseNotNewer), "无新版本！建议您偶尔到官方博客查看最新更新和使用教程！");
    EXPECT_EQ(UpdateCheckNoticeText(7), "出现未知错误！");
}

TEST_F(ReleasePage, RequestsNameTheProgramAndFollowRedirects) {
    const HttpTextResult headers = HttpRequest(server.Url("/headers"));
    ASSERT_TRUE(headers.ok) << headers.error;
    EXPECT_NE(headers.text.find("User-Agent: Varnel/5.0.3"), std::string::npos) << headers.text;
    const HttpTextResult moved = HttpRequest(server.Url("/redirect/2"));
    EXPECT_TRUE(moved.ok);
    EXPECT_EQ(moved.text, "arrived");
}

TEST(DecodeWebText, CharsetOfTheHeaderElseUtf8ElseGbk) {
    const std::string gbk = "\xC4\xE3\xBA\xC3";  // 你好
    EXPECT_EQ(DecodeWebText(gbk, "text/html; charset=GB2312"), "你好");
    EXPECT_EQ(DecodeWebText(gbk, "text/html"), "你好");
    EXPECT_EQ(DecodeWebText("你好", "text/html"), "你好");
    EXPECT_EQ(DecodeWebText("\xE9", "text/html; charset=\"iso-8859-1\""), "é");
    EXPECT_EQ(DecodeWebText("你好", "text/html; charset=no-such-charset"), "你好");
}

TEST(VersionCompare, PartsAreNumbers) {
    EXPECT_TRUE(IsNewerVersion("5.0.10", "5.0.3"));
    EXPECT_FALSE(IsNewerVersion("5.0.3", "5.0.10"));
    EXPECT_TRUE(IsNewerVersion("6", "5.9.9"));
    EXPECT_FALSE(IsNewerVersion("abc", "0"));
    EXPECT_FALSE(IsNewerVersion("5.0.3.0", "5.0.3"));
}

// A page far larger than any release page: the check ends unreadable with its
// reason, without holding the page (the child's peak memory stays far below it).
TEST_F(ReleasePage, AHugePageFailsWithItsReasonInBoundedMemory) {
    const std::string url = server.Url("/big?size=" + std::to_string(200 * 1024 * 1024));
    const auto outcome = testing::RunInChild([&] {
        ReleaseInfo info;
        const int code = FetchReleaseInfo("5.0.3", url, info);
        return code == kReleasePageUnreadable && info.failure.find("网页过大") != std::string::npos ? 0 : 1;
    });
    EXPECT_TRUE(outcome.exited);
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_LT(outcome.peakKilobytes, outcome.startKilobytes + 64 * 1024);
    EXPECT_NE(UpdateCheckNoticeText(kReleasePageUnreadable, "网页过大").find("\n原因：网页过大"), std::string::npos);
    // A page within the bound is read whole.
    EXPECT_TRUE(HttpRequest(server.Url("/big?size=" + std::to_string(kMaxWebPageBytes))).ok);
}

// A page with a flood of items and control characters in its texts: the notice
// offers a bounded number of links and shows no control character.
TEST_F(ReleasePage, ItemsAreBoundedAndControlCharactersRemoved) {
    ReleaseInfo info;
    ASSERT_EQ(FetchReleaseInfo("5.0.3", server.Url("/release?items=200000"), info), kReleasePageUnreadable)
        << "200,000 items make a page above the bound";
    ASSERT_EQ(FetchReleaseInfo("5.0.3", server.Url("/release?items=5000"), info), kReleaseNewer) << info.failure;
    EXPECT_EQ(info.downloads.size(), kMaxReleaseLinks);
    EXPECT_EQ(info.downloads[3].name, "下载3[31m");
    EXPECT_EQ(info.downloads[3].url, "http://127.0.0.1/d3.zip");
    EXPECT_EQ(info.size, "1 MB");
    EXPECT_EQ(info.date, "2026-01");
    EXPECT_EQ(info.content, "新]0;title功能");
    const NoticePopupParams notice = ReleaseNotice(info, "http://r.example/release");
    EXPECT_EQ(notice.links.size(), kMaxReleaseLinks + 1);
    const auto clean = [](const std::string& text) {
        for (const char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            if ((byte < 0x20 && c != '\n') || byte == 0x7F) return false;
        }
        return true;
    };
    EXPECT_TRUE(clean(notice.message)) << notice.message;
    for (const NoticeLink& link : notice.links) EXPECT_TRUE(clean(link.caption) && clean(link.hint)) << link.caption;
}

}  // namespace
}  // namespace varnel

#include "tools/ui/update_checker.h"

#include <QSignalSpy>
#include <QTimer>

#include <gtest/gtest.h>

#include "support/http_test_server.h"
#include "support/notice_recorder.h"
#include "support/qt_app.h"
#include "tools/update_check.h"

namespace varnel {
namespace {

constexpr int kWaitMs = 10000;

TEST(UpdateChecker, WithoutAReleasePageNothingIsFetched) {
    testing::TestApplication();
    testing::NoticeRecorder notices;
    UpdateChecker checker("", nullptr);
    QTimer clock;
    clock.start(10000);
    checker.OnUpdateCheckTimer(clock);
    EXPECT_FALSE(clock.isActive());
    EXPECT_FALSE(checker.Checking());
    EXPECT_TRUE(notices.Notices().empty());
    checker.CheckForUpdate(false);
    EXPECT_EQ(notices.Notices(), (std::vector<std::string>{kNoReleasePageNotice}));
}

TEST(UpdateChecker, ANewerReleaseShowsTheNoticeWithItsLinks) {
    testing::TestApplication();
    testing::HttpTestServer server;
    ASSERT_TRUE(server.Running());
    testing::NoticeRecorder notices;
    std::vector<NoticePopupParams> shown;
    const std::string page = server.Url(
        "/page?body=%5B%E7%89%88%E6%9C%AC%5D9.0%5B%E7%89%88%E6%9C%AC%5D");  // [版本]9.0[版本]
    UpdateChecker checker(page, nullptr, [&shown](NoticePopupParams params) { shown.push_back(std::move(params)); });
    QSignalSpy finished(&checker, &UpdateChecker::checkFinished);
    checker.CheckForUpdate(true);
    EXPECT_TRUE(checker.Checking());
    ASSERT_TRUE(finished.wait(kWaitMs));
    EXPECT_EQ(finished.at(0).at(0).toInt(), kReleaseNewer);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].message.find("远端版本：9.0"), std::string::npos);
    ASSERT_EQ(shown[0].links.size(), 1u);
    EXPECT_EQ(shown[0].links[0].hint, page);
    EXPECT_TRUE(notices.Notices().empty());  // silent
}

TEST(UpdateChecker, OnDemandChecksReportEveryOutcome) {
    testing::TestApplication();
    testing::HttpTestServer server;
    ASSERT_TRUE(server.Running());
    testing::NoticeRecorder notices;
    UpdateChecker checker(server.Url("/status/404"), nullptr, [](NoticePopupParams) { ADD_FAILURE(); });
    QSignalSpy finished(&checker, &UpdateChecker::checkFinished);
    checker.CheckForUpdate(false);
    checker.CheckForUpdate(false);  // one check at a time
    ASSERT_TRUE(finished.wait(kWaitMs));
    EXPECT_EQ(finished.at(0).at(0).toInt(), kReleasePageUnreadable);
    EXPECT_EQ(notices.Notices(), (std::vector<std::string>{kUpdateCheckStartNotice, kUpdateCheckBusyNotice,
                                                           UpdateCheckNoticeText(kReleasePageUnreadable,
                                                                                 "服务器返回 HTTP 404")}));
}

}  // namespace
}  // namespace varnel

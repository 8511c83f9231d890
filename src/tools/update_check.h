// The update check's core: reading the release page (the fields between its
// markers), comparing its version with ours, and the notice that announces a newer
// release. The release page's address is a build option; without one there is no
// check. Any thread; the fetch blocks while the page loads.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/notice_layout.h"

namespace varnel {

// The release page the build was given (the VARNEL_RELEASE_PAGE option); "" for none.
std::string_view ReleasePageUrl();

struct ReleaseLink {
    std::string name;
    std::string url;
};

struct ReleaseInfo {
    std::string version;
    std::string localVersion;
    std::string size;
    std::string date;
    std::string content;
    std::vector<ReleaseLink> downloads;
    std::vector<std::string> screenshots;
    std::string remark;
    // Why the page could not be read (a check that ended as unreadable), or "".
    std::string failure;
};

// Bounds of a check: the links a notice offers of each kind (downloads,
// screenshots), and how long the whole fetch may take.
inline constexpr std::size_t kMaxReleaseLinks = 20;
inline constexpr long kUpdateCheckDeadlineMs = 60000;

// The markers of the release page's fields; an empty item separator takes a
// field's text whole.
struct ReleaseMarkers {
    std::string version = "[版本]";
    std::string size = "[大小]";
    std::string date = "[日期]";
    std::string content = "[内容]";
    std::string downloads = "[地址]";
    std::string screenshots = "[截图]";
    std::string remark = "[备注]";
    std::string separator = "[分隔]";
};

// The result codes of FetchReleaseInfo.
enum ReleaseCheckCode : int {
    kReleasePageUnreadable = 0,  // no page (a network failure, a status that is not 2xx)
    kReleaseVersionMissing = 1,  // a page without a version
    kReleaseNotNewer = 2,
    kReleaseNewer = 3,
};

// What lies between the first `left` (ASCII letters in either case) and the next
// `right` after it; "" when either is missing. An empty marker is the other one.
std::string GetTextBetweenMarkers(std::string_view text, std::string_view left, std::string_view right);

// 3 when `remote` is newer than `local`: both split at ".", the shorter padded with
// empty parts, each part compared as a number (empty or not a number: 0).
bool IsNewerVersion(std::string_view remote, std::string_view local);

// Fills `info` from a release page's text and compares the versions. Every text is
// cleared of control characters, and each list keeps its first kMaxReleaseLinks items.
int ReadReleasePage(std::string_view localVersion, std::string_view page, ReleaseInfo& info,
                    const ReleaseMarkers& markers = {});

// Fetches the page at `url` (at most kMaxWebPageBytes of it, within
// kUpdateCheckDeadlineMs) and reads it. keepGoing (may be empty) cancels the fetch.
int FetchReleaseInfo(std::string_view localVersion, const std::string& url, ReleaseInfo& info,
                     const ReleaseMarkers& markers = {}, const std::function<bool()>& keepGoing = {});

// The notice of a newer release: versions and the page's fields, and links to the
// release page, the downloads and the screenshots (http and https links only).
NoticePopupParams ReleaseNotice(const ReleaseInfo& info, const std::string& releasePageUrl);

// The tray notice of a check that found no newer release, by its code; `failure`
// (the page's unreadable reason) follows the text when given.
std::string UpdateCheckNoticeText(int code, const std::string& failure = {});

inline constexpr const char* kUpdateCheckStartNotice = "正在检查远端是否有Varnel更名的更新版本...";
inline constexpr const char* kNoReleasePageNotice = "本程序构建时没有配置发布页地址，无法检查更新。";
inline constexpr const char* kUpdateCheckBusyNotice = "正在检查更新，请稍候...";

}  // namespace varnel

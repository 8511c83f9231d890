#include "tools/update_check.h"

#include <charconv>
#include <cmath>

#include "tools/http_request.h"
#include "utilities/char_forms.h"
#include "utilities/path_routines.h"
#include "utilities/utf8_text.h"

namespace varnel {

namespace {

// Finds `sought` from `from` on, ASCII letters in either case.
std::size_t FindIgnoringCase(std::string_view text, std::string_view sought, std::size_t from) {
    if (sought.empty() || sought.size() > text.size()) return std::string_view::npos;
    for (std::size_t at = from; at + sought.size() <= text.size(); ++at) {
        if (EqualsIgnoringAsciiCase(text.substr(at, sought.size()), sought)) return at;
    }
    return std::string_view::npos;
}

// The parts of `text` between separators, at most `limit` of them.
std::vector<std::string> SplitAt(std::string_view text, std::string_view separator,
                                 std::size_t limit = std::string_view::npos) {
    std::vector<std::string> parts;
    if (separator.empty()) {
        parts.emplace_back(text);
        return parts;
    }
    while (parts.size() < limit) {
        const auto at = text.find(separator);
        parts.emplace_back(text.substr(0, at));
        if (at == std::string_view::npos) break;
        text.remove_prefix(at + separator.size());
    }
    return parts;
}

double VersionPart(std::string_view part) {
    while (!part.empty() && (part.front() == ' ' || part.front() == '\t')) part.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
    return error == std::errc() && std::isfinite(value) ? value : 0;
}

std::string Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

// A one-line field as it may be shown.
std::string TextField(std::string_view page, std::string_view marker) {
    return WithoutControlCharacters(GetTextBetweenMarkers(page, marker, ""), false);
}

// A field whose separators become line breaks.
std::string LinesField(std::string_view page, std::string_view marker, std::string_view separator) {
    std::string text = GetTextBetweenMarkers(page, marker, "");
    if (!separator.empty() && !text.empty()) text = ReplaceOccurrences(text, separator, "\n", 0, true);
    return WithoutControlCharacters(text, true);
}

bool IsWebAddress(std::string_view url) {
    return (url.size() > 7 && EqualsIgnoringAsciiCase(url.substr(0, 7), "http://")) ||
           (url.size() > 8 && EqualsIgnoringAsciiCase(url.substr(0, 8), "https://"));
}

}  // namespace

std::string_view ReleasePageUrl() { return VARNEL_RELEASE_PAGE_URL; }

std::string GetTextBetweenMarkers(std::string_view text, std::string_view left, std::string_view right) {
    if (left.empty()) left = right;
    if (right.empty()) right = left;
    const auto start = FindIgnoringCase(text, left, 0);
    if (start == std::string_view::npos) return {};
    const auto from = start + left.size();
    const auto end = FindIgnoringCase(text, right, from);
    if (end == std::string_view::npos) return {};
    return std::string(text.substr(from, end - from));
}

bool IsNewerVersion(std::string_view remote, std::string_view local) {
    std::vector<std::string> theirs = SplitAt(remote, ".");
    std::vector<std::string> ours = SplitAt(local, ".");
    const std::size_t count = std::max(theirs.size(), ours.size());
    theirs.resize(count);
    ours.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double difference = VersionPart(theirs[i]) - VersionPart(ours[i]);
        if (difference > 0.0000001) return true;
        if (difference < -0.0000001) return false;
    }
    return false;
}

int ReadReleasePage(std::string_view localVersion, std::string_view page, ReleaseInfo& info,
                    const ReleaseMarkers& markers) {
    info = ReleaseInfo{};
    info.localVersion = std::string(localVersion);
    info.version = Trimmed(TextField(page, markers.version));
    info.size = TextField(page, markers.size);
    info.date = TextField(page, markers.date);
    info.content = LinesField(page, markers.content, markers.separator);
    if (const std::string raw = TextField(page, markers.downloads); !raw.empty()) {
        for (const std::string& item : SplitAt(raw, markers.separator, kMaxReleaseLinks)) {
            const auto semicolon = item.find("；");
            if (semicolon == std::string::npos) {
                info.downloads.push_back({item, {}});
                continue;
            }
            const std::string_view rest = std::string_view(item).substr(semicolon + std::string_view("；").size());
            info.downloads.push_back({item.substr(0, semicolon), Trimmed(rest.substr(0, rest.find("；")))});
        }
    }
    if (const std::string raw = TextField(page, markers.screenshots); !raw.empty()) {
        for (const std::string& item : SplitAt(raw, markers.separator, kMaxReleaseLinks)) {
            info.screenshots.push_back(Trimmed(item));
        }
    }
    info.remark = LinesField(page, markers.remark, markers.separator);
    // A page that names no version is not a release page (or is being edited).
    if (info.version.empty()) return kReleaseVersionMissing;
    return IsNewerVersion(info.version, info.localVersion) ? kReleaseNewer : kReleaseNotNewer;
}

int FetchReleaseInfo(std::string_view localVersion, const std::string& url, ReleaseInfo& info,
                     const ReleaseMarkers& markers, const std::function<bool()>& keepGoing) {
    info = ReleaseInfo{};
    info.localVersion = std::string(localVersion);
    HttpOptions options;
    options.keepGoing = keepGoing;
    options.totalTimeoutMs = kUpdateCheckDeadlineMs;
    const HttpTextResult page = HttpRequest(url, options);
    if (!page.ok || page.text.empty()) {
        info.failure = page.ok ? "网页是空的" : page.error;
        return kReleasePageUnreadable;
    }
    return ReadReleasePage(localVersion, page.text, info, markers);
}

NoticePopupParams ReleaseNotice(const ReleaseInfo& info, const std::string& releasePageUrl) {
    NoticePopupParams params;
    params.title = "Varnel更名 已有发布新版本，详细情况：";
    std::string message = "本地版本：" + info.localVersion + "\n\n远端版本：" + info.version;
    if (!info.size.empty()) message += "\n\n新版体积：" + info.size;
    if (!info.date.empty()) message += "\n\n发布日期：" + info.date;
    if (!info.content.empty()) message += "\n\n更新信息：\n" + info.content;
    if (!info.remark.empty()) message += "\n\n备注：\n" + info.remark;
    params.message = std::move(message);
    params.modal = false;
    params.autoCloseMs = -1;
    params.closeOnLinkClick = false;
    const auto addLink = [&params](std::string caption, const std::string& url) {
        // Whatever else the page names is never opened from here.
        if (!IsWebAddress(url)) return;
        NoticeLink link;
        link.caption = std::move(caption);
        link.hint = url;
        params.links.push_back(std::move(link));
    };
    addLink("官方发布页", releasePageUrl);
    for (std::size_t i = 0; i < info.downloads.size(); ++i) {
        const ReleaseLink& download = info.downloads[i];
        addLink(download.name.empty() ? "下载" + std::to_string(i + 1) : download.name, download.url);
    }
    for (std::size_t i = 0; i < info.screenshots.size(); ++i) {
        addLink("截图" + std::to_string(i + 1), info.screenshots[i]);
    }
    return params;
}

std::string UpdateCheckNoticeText(int code, const std::string& failure) {
    if (!failure.empty()) return UpdateCheckNoticeText(code) + "\n原因：" + failure;
    switch (code) {
        case kReleasePageUnreadable:
            return "访问失败！可能的原因是：读网络操作被防火墙之类的截阻，或远程网页已失效（可能发布博客已失效，"
                   "建议您输入【Varnel软件官方博客】搜索官方网站！）";
        case kReleaseVersionMissing: return "读取版本失败！可能的原因是：远程正在修改版本信息中，或读网络错误！";
        case kReleaseNotNewer: return "无新版本！建议您偶尔到官方博客查看最新更新和使用教程！";
        default: return "出现未知错误！";
    }
}

}  // namespace varnel

// The batch download task (批量下载): a series of web addresses, counted from a
// template whose "*" becomes a running number or letter, or given as a fixed list,
// saved into one folder. It does not work on the listed rows: a preview lists the
// addresses, an execute run lists the files it saved. A file appears under its
// name only once it is complete and the server answered 2xx; it never replaces an
// existing file (" (n)" is added instead). Runs on the run's own thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/http_client.h"
#include "platform/posix_api.h"
#include "runs/run_context.h"
#include "runs/run_rows.h"
#include "utilities/error.h"

namespace varnel {

// How many addresses a counter-mode run makes unless the user agreed to more: a
// run of millions would hold millions of rows (and fetch for days).
inline constexpr std::int64_t kDownloadAddressCap = 10000;

struct DownloadParams {
    // 递进地址 (a template with "*") or 固定地址 (one address a line).
    bool counterMode = true;
    std::string urlTemplate;
    std::int32_t startValue = 1;
    std::int32_t endValue = 50;
    std::int32_t step = 1;
    bool zeroPad = true;
    bool useLetters = false;
    std::string fixedAddresses;
    // Wait this long after each saved file (延迟策略).
    bool delay = false;
    std::int64_t delayMs = 0;
    // The save folder, a folder path.
    std::string folder;
    // The most addresses the counter mode makes in a run; the panel raises it to
    // the count once the user agreed to more than kDownloadAddressCap.
    std::int64_t addressCap = kDownloadAddressCap;
};

// The question above the cap, and the notice when a run went above it unasked.
std::string DownloadCountQuestion(std::int64_t count);
std::string DownloadCountRefusal(std::int64_t cap);
// Whether a run of `mode` asks before making `count` addresses (an automatic
// preview lists only its first rows and never asks).
bool DownloadNeedsConsent(const DownloadParams& params, bool autoPreview);

// Why the parameters cannot run (no save folder, a relative one), or "".
std::string DownloadProblem(const DownloadParams& params);

// The counter mode's text for one value: letters (A, B, ... Z, AA) or the decimal
// number, zero-padded to the width of the end value when asked.
std::string CounterText(std::int64_t value, const DownloadParams& params);
// The addresses of a run, in order: the counter mode's end - start + 1 values
// (whatever the step: start 1, end 3, step 5 gives 1, 6 and 11), or the lines of the
// fixed list as they stand; a blank line (a list ending in a line break, a gap
// between groups) is no address.
class AddressSeries {
public:
    explicit AddressSeries(const DownloadParams& params);
    std::int64_t Count() const;
    // Address `index` (0-based).
    std::string At(std::int64_t index) const;

private:
    const DownloadParams& m_params;
    std::vector<std::string_view> m_lines;
};

// The text after the address's last "/" (the whole address when it has none).
std::string UrlFileName(std::string_view url);
// The name a download is saved under: UrlFileName with its %XX escapes decoded,
// made safe for a file name; an empty name, ".", "..", one holding "/", "\" or NUL,
// or one no file can have, gives the numbered default name instead.
std::string DownloadFileName(std::string_view url, std::int64_t number);
inline constexpr const char* kDefaultDownloadName = "下载文件";

// Waits `ms` milliseconds, asking keepGoing every 10 ms. False at once for a
// negative wait, and as soon as keepGoing says no.
bool WaitMilliseconds(std::int64_t ms, const std::function<bool()>& keepGoing);

// Fetches one address into `folder` under `name` (or its " (n)" form): the body
// goes to a temporary file beside it that is synced and renamed into place only
// when the transfer is complete and the status is 2xx. The saved path, or why nothing was
// saved (the temporary file is removed either way).
struct DownloadFailure {
    std::string reason;
    bool cancelled = false;
};
std::expected<std::string, DownloadFailure> DownloadUrlToFolder(HttpClient& client, const std::string& url,
                                                                const std::string& folder, const std::string& name,
                                                                const std::function<bool()>& keepGoing,
                                                                PosixApi& os = SystemPosix());

// What the run leaves for the list: the addresses (previews) or the saved files.
struct DownloadListing {
    bool addresses = false;
    std::vector<std::string> items;
};

// The runner. Execute runs make the save folder, download, record each saved file
// and each made folder for undo, and log a failed address with its reason.
void RunDownloadTask(RunContext& run, RunRows& rows, const DownloadParams& params, DownloadListing* listing,
                     PosixApi& os = SystemPosix());

}  // namespace varnel

#include "filetasks/download_task.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

#include "fileops/copy_move.h"
#include "platform/file_io.h"
#include "platform/owned_fd.h"
#include "runs/rename_step.h"
#include "utilities/codec.h"
#include "utilities/path_routines.h"
#include "utilities/user_notifier.h"

namespace varnel {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string DecodePercentEscapes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int high = HexValue(text[i + 1]);
            const int low = HexValue(text[i + 2]);
            if (high >= 0 && low >= 0) {
                out += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

bool IsBlank(std::string_view line) { return line.find_first_not_of(" \t\r") == std::string_view::npos; }

// The addresses of the fixed list; "\r\n" and "\n" both end a line, and a blank
// line is none.
std::vector<std::string_view> FixedLines(std::string_view text) {
    std::vector<std::string_view> lines;
    if (text.empty()) return lines;
    for (;;) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (end != std::string_view::npos && line.ends_with('\r')) line.remove_suffix(1);
        if (!IsBlank(line)) lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

}  // namespace

std::string DownloadProblem(const DownloadParams& params) {
    if (params.folder.empty()) return "请指定保存文件夹";
    if (params.folder.front() != '/') return "保存文件夹必须是完整路径：" + params.folder;
    return {};
}

std::string DownloadCountQuestion(std::int64_t count) {
    return "将生成 " + std::to_string(count) + " 个地址，超过了 " + std::to_string(kDownloadAddressCap) +
           " 。确定要下载这么多地址吗？";
}

std::string DownloadCountRefusal(std::int64_t cap) {
    return "递进地址的数目超过了 " + std::to_string(cap) + " ，未下载任何地址。";
}

bool DownloadNeedsConsent(const DownloadParams& params, bool autoPreview) {
    return !autoPreview && params.counterMode && AddressSeries(params).Count() > params.addressCap;
}

std::string CounterText(std::int64_t value, const DownloadParams& params) {
    if (params.useLetters) return NumberToLetters(value);
    std::string number = std::to_string(value);
    if (!params.zeroPad) return number;
    const std::size_t width = std::to_string(params.endValue).size();
    if (number.size() < width) number.insert(0, width - number.size(), '0');
    return number;
}

AddressSeries::AddressSeries(const DownloadParams& params) : m_params(params) {
    if (!params.counterMode) m_lines = FixedLines(m_params.fixedAddresses);
}

std::int64_t AddressSeries::Count() const {
    if (!m_params.counterMode) return static_cast<std::int64_t>(m_lines.size());
    return std::max<std::int64_t>(0, std::int64_t{m_params.endValue} - m_params.startValue + 1);
}

std::string AddressSeries::At(std::int64_t index) const {
    if (!m_params.counterMode) {
        return index >= 0 && index < Count() ? std::string(m_lines[static_cast<std::size_t>(index)]) : std::string();
    }
    const std::int64_t value = std::int64_t{m_params.startValue} + index * std::int64_t{m_params.step};
    return ReplaceOccurrences(m_params.urlTemplate, "*", CounterText(value, m_params), 0, true);
}

std::string UrlFileName(std::string_view url) {
    const auto slash = url.rfind('/');
    return std::string(slash == std::string_view::npos ? url : url.substr(slash + 1));
}

std::string DownloadFileName(std::string_view url, std::int64_t number) {
    std::string name = DecodePercentEscapes(UrlFileName(url));
    const bool refused = name.empty() || name == "." || name == ".." ||
                         name.find_first_of(std::string_view("/\\\0", 3)) != std::string::npos;
    if (!refused) {
        // Escapes of another code page than UTF-8 are read as GBK, as web pages are.
        name = DecodeTextFile(name);
        SanitizeFileName(name);
        if (!name.empty() && !FileNameProblem(name)) return name;
    }
    return kDefaultDownloadName + std::to_string(number);
}

bool WaitMilliseconds(std::int64_t ms, const std::function<bool()>& keepGoing) {
    if (ms < 0) return false;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        if (keepGoing && !keepGoing()) return false;
        const auto now = std::chrono::steady_clock::now();
        if (now >= end) return true;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(end - now, std::chrono::milliseconds(10)));
    }
}

std::expected<std::string, DownloadFailure> DownloadUrlToFolder(HttpClient& client, const std::string& url,
                                                                const std::string& folder, const std::string& name,
                                                                const std::function<bool()>& keepGoing,
                                                                PosixApi& os) {
    OwnedFd fd;
    const auto made = MakeAtTemporaryPath(folder + name, [&](const std::string& candidate) {
        fd = OwnedFd(os.Open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666), os);
        return fd.IsOpen() ? 0 : -1;
    });
    if (!made) return std::unexpected(DownloadFailure{FailureReason(MakeSystemError(made.error(), folder))});
    const std::string& temporary = *made;
    const auto fail = [&](std::string reason, bool cancelled = false) -> std::expected<std::string, DownloadFailure> {
        fd = OwnedFd();
        os.Unlink(temporary.c_str());
        return std::unexpected(DownloadFailure{std::move(reason), cancelled});
    };

    HttpOptions options;
    options.keepGoing = keepGoing;
    const HttpResult result =
        client.SendRequest(url, options, [&](std::string_view piece, std::string& error) {
            auto written = WriteToDescriptor(fd.Get(), piece, temporary, os);
            if (!written) error = FailureReason(written.error());
            return written.has_value();
        });
    if (!result.Succeeded()) return fail(result.FailureText(), result.cancelled);
    // Synced before it takes its name: after a crash a file under the address's name
    // holds the whole download, never an empty or partial one.
    if (os.Fsync(fd.Get()) != 0) return fail(FailureReason(MakeSystemError(errno, temporary)));
    if (auto closed = fd.Close(temporary); !closed) return fail(FailureReason(closed.error()));
    auto placed = PlaceFileUnderFreeName(temporary, folder, name, os);
    if (!placed) return fail(FailureReason(placed.error()));
    return *placed;
}

void RunDownloadTask(RunContext& run, RunRows&, const DownloadParams& params, DownloadListing* listing,
                     PosixApi& os) {
    const bool execute = run.IsExecute();
    if (listing != nullptr) {
        listing->addresses = !execute;
        listing->items.clear();
    }
    const AddressSeries series(params);
    std::int64_t count = series.Count();
    if (count == 0) return;
    if (run.Mode() == RunMode::AutoPreview) {
        // An automatic preview lists only its first rows, however long the series.
        count = std::min<std::int64_t>(count, std::max(run.Settings().autoPreviewLimit, 1));
    } else if (params.counterMode && count > params.addressCap) {
        ShowTrayNotice(DownloadCountRefusal(params.addressCap));
        return;
    }
    const std::string folder = WithTrailingSlash(params.folder);
    UndoRecord& record = run.Record();
    if (execute) {
        record.copyFlag = true;
        if (const std::string problem = DownloadProblem(params); !problem.empty()) {
            run.LogFailure(params.folder, problem);
            return;
        }
        std::vector<std::string> created;
        // A folder that cannot be made fails every address with its reason below.
        EnsureFolderChain(folder, created, os);
        AppendCreatedPaths(record.createdFolders, created, os);
    }
    const std::function<bool()> keepGoing = [&run] { return run.PollTaskContinue(); };
    // One client for the run: its connections are reused and the cookies one answer
    // sets go with the next request.
    std::unique_ptr<HttpClient> client;
    if (execute) client = std::make_unique<HttpClient>();

    for (std::int64_t index = 0; index < count; ++index) {
        run.SetCurrentRow(index + 1);
        const std::string url = series.At(index);
        if (!execute) {
            if (listing != nullptr) listing->items.push_back(url);
        } else {
            auto saved = DownloadUrlToFolder(*client, url, folder, DownloadFileName(url, index + 1), keepGoing, os);
            if (!saved) {
                if (saved.error().cancelled) break;
                run.LogFailure(url, saved.error().reason);
            } else {
                TransferEntry entry;
                entry.newPath = *saved;
                if (auto identity = ReadPathIdentity(*saved, os)) entry.newIdentity = *identity;
                record.transfers.push_back(std::move(entry));
                if (listing != nullptr) listing->items.push_back(*saved);
                if (params.delay && params.delayMs > 0 && !WaitMilliseconds(params.delayMs, keepGoing)) break;
            }
        }
        if (run.ShouldStopRun()) break;
    }
}

}  // namespace varnel

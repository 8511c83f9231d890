#include "filetasks/download_task.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include <gtest/gtest.h>

#include "runs/run_dispatcher.h"
#include "runs/undo_replay.h"
#include "support/http_test_server.h"
#include "support/notice_recorder.h"
#include "support/pumping_run_host.h"
#include "support/temp_dir.h"
#include "support/tree_state.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

std::set<std::string> NamesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

DownloadParams CounterParams(std::string urlTemplate, int start, int end) {
    DownloadParams p;
    p.urlTemplate = std::move(urlTemplate);
    p.startValue = start;
    p.endValue = end;
    return p;
}

std::vector<std::string> Addresses(const DownloadParams& p) {
    const AddressSeries series(p);
    std::vector<std::string> all;
    for (std::int64_t i = 0; i < series.Count(); ++i) all.push_back(series.At(i));
    return all;
}

TEST(DownloadAddresses, CounterAndFixedModes) {
    DownloadParams padded = CounterParams("http://h/*.jpg", 8, 12);
    EXPECT_EQ(Addresses(padded), (std::vector<std::string>{"http://h/08.jpg", "http://h/09.jpg", "http://h/10.jpg",
                                                           "http://h/11.jpg", "http://h/12.jpg"}));
    DownloadParams letters = CounterParams("http://h/*-*", 1, 3);
    letters.useLetters = true;
    EXPECT_EQ(Addresses(letters), (std::vector<std::string>{"http://h/A-A", "http://h/B-B", "http://h/C-C"}));
    DownloadParams zeroLetter = CounterParams("http://h/x*", 0, 1);
    zeroLetter.useLetters = true;
    EXPECT_EQ(Addresses(zeroLetter), (std::vector<std::string>{"http://h/x", "http://h/xA"}));
    DownloadParams stepped = CounterParams("*", 1, 3);
    stepped.step = 5;
    stepped.zeroPad = false;
    EXPECT_EQ(Addresses(stepped), (std::vector<std::string>{"1", "6", "11"}));
    EXPECT_TRUE(Addresses(CounterParams("*", 5, 4)).empty());
    DownloadParams fixed;
    fixed.counterMode = false;
    fixed.fixedAddresses = "http://a/1\r\n\r\n http://a/2";
    EXPECT_EQ(Addresses(fixed), (std::vector<std::string>{"http://a/1", " http://a/2"}));
    // Blank lines, a list ending in a line break, a list of nothing but breaks: no address.
    fixed.fixedAddresses = "\nhttp://a/1\n \t\r\n\r\nhttp://a/2\r\n";
    EXPECT_EQ(Addresses(fixed), (std::vector<std::string>{"http://a/1", "http://a/2"}));
    fixed.fixedAddresses = "\r\n\n";
    EXPECT_TRUE(Addresses(fixed).empty());
}

// A counter series above the cap asks first (never in an automatic preview, which
// lists only its first rows); a run that was not given consent lists and fetches
// nothing and says why.
TEST(DownloadAddresses, ALongCounterSeriesIsBoundedUnlessAgreedTo) {
    testing::NoticeRecorder notices;
    DownloadParams p = CounterParams("http://h/*", 1, 2147483647);
    p.folder = "/nonexistent-download-folder/";
    EXPECT_TRUE(DownloadNeedsConsent(p, false));
    EXPECT_FALSE(DownloadNeedsConsent(p, true));
    EXPECT_FALSE(DownloadNeedsConsent(CounterParams("*", 1, kDownloadAddressCap), false));
    EXPECT_TRUE(DownloadNeedsConsent(CounterParams("*", 0, kDownloadAddressCap), false));
    EXPECT_NE(DownloadCountQuestion(2147483647).find("2147483647"), std::string::npos);

    RunControl control;
    RowStore store;
    RunRows rows(store, {});
    for (const RunMode mode : {RunMode::FullPreview, RunMode::Execute}) {
        RunContext run(mode, kTaskDownload, RunSettings{}, control);
        DownloadListing listing;
        RunDownloadTask(run, rows, p, &listing);
        EXPECT_TRUE(listing.items.empty());
    }
    EXPECT_EQ(notices.Notices(), (std::vector<std::string>{DownloadCountRefusal(kDownloadAddressCap),
                                                           DownloadCountRefusal(kDownloadAddressCap)}));
    EXPECT_FALSE(fs::exists(p.folder));

    RunSettings settings;
    settings.autoPreviewLimit = 2;
    RunContext automatic(RunMode::AutoPreview, kTaskDownload, settings, control);
    DownloadListing listing;
    RunDownloadTask(automatic, rows, p, &listing);
    EXPECT_EQ(listing.items, (std::vector<std::string>{"http://h/0000000001", "http://h/0000000002"}));

    // Agreed to: the cap is the count, and a preview lists them all.
    p = CounterParams("http://h/*", 1, static_cast<int>(kDownloadAddressCap) + 5);
    p.addressCap = kDownloadAddressCap + 5;
    RunContext preview(RunMode::FullPreview, kTaskDownload, RunSettings{}, control);
    RunDownloadTask(preview, rows, p, &listing);
    EXPECT_EQ(listing.items.size(), static_cast<std::size_t>(kDownloadAddressCap + 5));
}

TEST(DownloadNames, UrlNamesAreDecodedAndRefusedWhenUnsafe) {
    struct Case {
        const char* url;
        const char* name;
    };
    const Case cases[] = {
        {"http://h/a/b.jpg", "b.jpg"},
        {"http://h/%E4%B8%8B%E8%BD%BD.txt", "下载.txt"},
        {"http://h/%C4%E3%BA%C3.txt", "你好.txt"},  // GBK escapes
        {"http://h/q.php?a=1", "q.php？a=1"},
        {"http://h/dir/", "下载文件7"},
        {"http://h/..", "下载文件7"},
        {"http://h/%2E%2E", "下载文件7"},
        {"http://h/a%2Fb", "下载文件7"},
        {"http://h/a%5Cb", "下载文件7"},
        {"http://h/a%00b", "下载文件7"},
        {"http://h/a%0Ab", "下载文件7"},
        {"nothing-to-split", "nothing-to-split"},
    };
    for (const Case& c : cases) EXPECT_EQ(DownloadFileName(c.url, 7), c.name) << c.url;
    EXPECT_EQ(UrlFileName("http://h/a/b"), "b");
    EXPECT_EQ(UrlFileName("abc"), "abc");
}

TEST(DownloadWait, StopEndsTheWaitAtOnce) {
    EXPECT_FALSE(WaitMilliseconds(-1, {}));
    EXPECT_TRUE(WaitMilliseconds(0, {}));
    std::atomic<bool> go{true};
    std::thread stopper([&go] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        go = false;
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(WaitMilliseconds(60000, [&go] { return go.load(); }));
    stopper.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

// The runner against a local server, in a temporary folder.
struct DownloadRun : ::testing::Test {
    void SetUp() override { ASSERT_TRUE(server.Running()); }

    DownloadParams Fixed(const std::vector<std::string>& paths) {
        DownloadParams p;
        p.counterMode = false;
        for (std::size_t i = 0; i < paths.size(); ++i) {
            if (i > 0) p.fixedAddresses += "\r\n";
            p.fixedAddresses += paths[i].starts_with("/") ? server.Url(paths[i]) : paths[i];
        }
        p.folder = target + "/";
        return p;
    }
    DownloadListing Execute(const DownloadParams& p, RunControl& control) {
        control.TryBegin(TaskKind::Execute);
        run = std::make_unique<RunContext>(RunMode::Execute, kTaskDownload, RunSettings{}, control);
        RunRows rows(store, {});
        DownloadListing listing;
        RunDownloadTask(*run, rows, p, &listing);
        control.End();
        return listing;
    }

    testing::HttpTestServer& server = testing::SharedHttpTestServer();
    testing::TempDir dir;
    const std::string target = dir / "saved";
    RowStore store;
    RunControl control;
    std::unique_ptr<RunContext> run;
};

TEST_F(DownloadRun, OnlyCompleteTwoHundredAnswersBecomeFiles) {
    const DownloadParams p = Fixed({"/files/one.bin", "/status/404", "/status/500", "/redirect/3",
                                    "/loop", "/short",
                                    "http://127.0.0.1:" + std::to_string(testing::ClosedLocalPort()) + "/gone.txt",
                                    "/disposition"});
    const DownloadListing listing = Execute(p, control);
    EXPECT_EQ(NamesIn(target), (std::set<std::string>{"one.bin", "3", "disposition"}));
    EXPECT_EQ(Contents(target + "/one.bin").size(), 100u);
    EXPECT_EQ(Contents(target + "/3"), "arrived");
    // The server's own name is not taken: the file stays where its address puts it.
    EXPECT_EQ(Contents(target + "/disposition"), "named by the server");
    EXPECT_FALSE(fs::exists(dir / "escape.txt"));
    EXPECT_FALSE(listing.addresses);
    EXPECT_EQ(listing.items, (std::vector<std::string>{target + "/one.bin", target + "/3", target + "/disposition"}));

    const auto& failed = run->FailedPaths();
    const auto& reasons = run->FailureReasons();
    ASSERT_EQ(failed.size(), 5u);
    EXPECT_EQ(failed[0], server.Url("/status/404"));
    EXPECT_EQ(reasons[0], "服务器返回 HTTP 404");
    EXPECT_EQ(reasons[1], "服务器返回 HTTP 500");
    EXPECT_NE(reasons[2].find("重定向次数过多"), std::string::npos);
    EXPECT_NE(reasons[3].find("内容不完整"), std::string::npos);
    EXPECT_NE(reasons[4].find("无法连接服务器"), std::string::npos);
    EXPECT_EQ(run->Record().transfers.size(), 3u);
    EXPECT_TRUE(run->Record().copyFlag);
}

// A compressed answer is saved as the resource, not in its compressed form.
TEST_F(DownloadRun, CompressedBodiesAreSavedDecoded) {
    const DownloadParams p = Fixed({"/gzip/packed.bin", "/files/after.txt"});
    Execute(p, control);
    EXPECT_EQ(NamesIn(target), (std::set<std::string>{"packed.bin", "after.txt"}));
    std::string expected;
    while (expected.size() < 100) expected += "/files/gzip";
    expected.resize(100);
    EXPECT_EQ(Contents(target + "/packed.bin"), expected);
    EXPECT_TRUE(run->FailedPaths().empty());
}

TEST_F(DownloadRun, ExistingNamesAreNeverReplaced) {
    fs::create_directories(target);
    std::ofstream(target + "/a.txt") << "mine";
    std::ofstream(target + "/a (1).txt") << "mine too";
    const DownloadParams p = Fixed({"/files/a.txt", "/files/a.txt", "/files/..", "/files/dir/"});
    Execute(p, control);
    EXPECT_EQ(NamesIn(target),
              (std::set<std::string>{"a.txt", "a (1).txt", "a (2).txt", "a (3).txt", "下载文件3", "下载文件4"}));
    EXPECT_EQ(Contents(target + "/a.txt"), "mine");
    EXPECT_EQ(Contents(target + "/a (1).txt"), "mine too");
    EXPECT_EQ(Contents(target + "/a (2).txt").size(), 100u);
    EXPECT_TRUE(run->FailedPaths().empty());
}

TEST_F(DownloadRun, StopDuringASlowBodyLeavesNothing) {
    const DownloadParams p = Fixed({"/files/first.txt", "/slow", "/files/never.txt"});
    std::thread stopper([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        control.RequestStop();
    });
    const auto start = std::chrono::steady_clock::now();
    Execute(p, control);
    stopper.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(NamesIn(target), (std::set<std::string>{"first.txt"}));
    EXPECT_TRUE(run->FailedPaths().empty());
}

TEST_F(DownloadRun, StopDuringTheDelayEndsTheRun) {
    DownloadParams p = Fixed({"/files/first.txt", "/files/second.txt"});
    p.delay = true;
    p.delayMs = 60000;
    std::thread stopper([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        control.RequestStop();
    });
    const auto start = std::chrono::steady_clock::now();
    Execute(p, control);
    stopper.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(NamesIn(target), (std::set<std::string>{"first.txt"}));
}

TEST_F(DownloadRun, PreviewListsTheAddressesAndFetchesNothing) {
    DownloadParams p = CounterParams(server.Url("/files/*.txt"), 100, 200);
    p.folder = target + "/";
    RunSettings settings;
    settings.autoPreviewLimit = 3;
    RunContext preview(RunMode::AutoPreview, kTaskDownload, settings, control);
    RunRows rows(store, {});
    DownloadListing listing;
    RunDownloadTask(preview, rows, p, &listing);
    EXPECT_TRUE(listing.addresses);
    EXPECT_EQ(listing.items, (std::vector<std::string>{server.Url("/files/100.txt"), server.Url("/files/101.txt"),
                                                       server.Url("/files/102.txt")}));
    EXPECT_FALSE(fs::exists(target));
}

// Through the dispatcher: a preview touches nothing, the execute run saves the
// files and makes the folders, and undo leaves the folder as it was.
TEST_F(DownloadRun, RoundTripThroughTheDispatcher) {
    testing::NoticeRecorder notices;
    const std::string work = dir / "work";
    fs::create_directories(work);
    std::ofstream(work + "/a.txt") << "kept";
    testing::CopyTreeAside(work, dir / "before");

    TaskRegistry tasks;
    DownloadListing listing;
    tasks.RegisterRunner<DownloadParams>(kTaskDownload,
                                         [&listing](RunContext& r, RunRows& rows, const DownloadParams& p) {
                                             RunDownloadTask(r, rows, p, &listing);
                                         });
    UndoRecord current;
    std::vector<UndoRecord> history;
    testing::PumpingRunHost host;
    RunDispatcher dispatcher{{control, store, tasks, nullptr, current, history}, host};

    DownloadParams p = CounterParams(server.Url("/files/*.txt?size=2000"), 1, 3);
    p.useLetters = true;
    p.folder = work + "/new/deeper/";
    host.Run(dispatcher, kTaskDownload, TaskParameters::Of(p), false);
    testing::ExpectSameTree(dir / "before", work);
    EXPECT_EQ(listing.items.size(), 3u);

    DownloadParams same = p;
    same.folder = work + "/";
    host.Run(dispatcher, kTaskDownload, TaskParameters::Of(same), true);
    host.Run(dispatcher, kTaskDownload, TaskParameters::Of(p), true);
    EXPECT_TRUE(dispatcher.LastFailures().empty());
    EXPECT_EQ(NamesIn(work + "/new/deeper"), (std::set<std::string>{"A.txt？size=2000", "B.txt？size=2000",
                                                                     "C.txt？size=2000"}));
    ASSERT_EQ(history.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        auto record = TakeUndoRecord(history);
        ASSERT_TRUE(record.has_value());
        EXPECT_TRUE(ReplayUndoRecord(*record, {}).failedPaths.empty());
    }
    testing::ExpectSameTree(dir / "before", work);
}

}  // namespace
}  // namespace varnel

// The batch download: 1,000 files of 100 KB from a local server (Python's
// http.server on 127.0.0.1, keeping connections open), delay 0, saved into a fresh
// folder by an execute run started as the window starts it (through the run
// dispatcher and its worker, the list listener attached, timed until the result
// is published), against one curl process fetching the same addresses one after the other
// (curl -K with a config that lists each address and its output file). Both sides
// talk to the same server. The figure is the median of paired runs
// (VARNEL_BENCH_RUNS, at least 7), sides alternating.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "../tests/support/http_test_server.h"
#include "dispatcher_window.h"
#include "filetasks/download_task.h"
#include "runs/task_table.h"
#include "peer_timing.h"
#include "scratch_folder.h"

namespace {

using varnel::bench::Goal;
using varnel::bench::Samples;
using varnel::bench::Seconds;
using varnel::bench::Shell;

constexpr int kFiles = 1000;
constexpr int kBytes = 100 * 1024;

std::string Address(const varnel::testing::HttpTestServer& server, int i) {
    return server.Url("/sized/" + std::to_string(kBytes) + "/f" + std::to_string(i) + ".bin");
}

}  // namespace

int main() {
    varnel::testing::HttpTestServer server;
    if (!server.Running()) {
        std::printf("the local server did not start\n");
        return 1;
    }
    const std::string root = varnel::bench::ScratchFolder() + "/bench-download";
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root);

    varnel::DownloadParams params;
    params.counterMode = false;
    std::ofstream config(root + "/curl.cfg");
    for (int i = 0; i < kFiles; ++i) {
        if (i > 0) params.fixedAddresses += "\r\n";
        params.fixedAddresses += Address(server, i);
        config << "url = \"" << Address(server, i) << "\"\noutput = \"" << root << "/peer/f" << i << ".bin\"\n";
    }
    config.close();

    // The listing is kept as the window's registration keeps it for the list.
    std::size_t listed = 0;
    varnel::bench::Window window(varnel::kTaskDownload, [&listed](varnel::TaskRegistry& tasks) {
        tasks.RegisterRunner<varnel::DownloadParams>(
            varnel::kTaskDownload,
            [&listed](varnel::RunContext& run, varnel::RunRows& rows, const varnel::DownloadParams& params) {
                varnel::DownloadListing listing;
                varnel::RunDownloadTask(run, rows, params, &listing);
                listed = listing.items.size();
            });
    });
    const auto ours = [&]() -> double {
        std::filesystem::remove_all(root + "/ours");
        params.folder = root + "/ours/";
        window.host.parameters = varnel::TaskParameters::Of(params);
        const double seconds = window.Run(varnel::RunMode::Execute);
        if (listed != kFiles || window.host.failures != 0) {
            std::printf("ours saved %zu files, %zu failed\n", listed, window.host.failures);
            std::exit(1);
        }
        return seconds;
    };
    const auto peer = [&]() -> double {
        std::filesystem::remove_all(root + "/peer");
        std::filesystem::create_directories(root + "/peer");
        return Seconds([&] { Shell("curl -s -S -K '" + root + "/curl.cfg'"); });
    };
    Samples oursTimes;
    Samples peerTimes;
    varnel::bench::Paired(varnel::bench::PairedRuns(), ours, peer, oursTimes, peerTimes);
    Goal("download 1,000 files of 100 KB from a local server", oursTimes, peerTimes, 1.3);
    std::filesystem::remove_all(root);
    return 0;
}

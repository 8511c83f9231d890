// The rename road at scale, as a user waits for it: every run of ours goes through
// the run dispatcher and its worker thread, with the list listener attached (the
// window model's batching and its reads), and ends when the run's result has been
// published on the UI thread. Executing 100,000 renames in one folder is set
// against a bare loop of renameat2 calls (in-process, like ours) and against
// Debian's perl rename(1); undoing them (replay and the rows back into the list,
// with the runner's 100 ms sync) against the execute itself; previewing 1,000,000
// rows with the common panel against awk writing the same names. Each figure is
// the median of paired runs (VARNEL_BENCH_RUNS, at least 7), sides alternating.
// Sizes: VARNEL_BENCH_RENAMES (100,000) and VARNEL_BENCH_PREVIEW_ROWS (1,000,000).
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <ranges>
#include <string>
#include <vector>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "dispatcher_window.h"
#include "filelist/list_load.h"
#include "filelist/row_store.h"
#include "list_listener.h"
#include "naming/common_name.h"
#include "peer_timing.h"
#include "renames/rename_task.h"
#include "runs/run_dispatcher.h"
#include "runs/undo_replay.h"
#include "scratch_folder.h"
#include "utilities/run_control.h"

namespace {

using varnel::bench::Goal;
using varnel::bench::Samples;
using varnel::bench::Seconds;
using varnel::bench::Shell;
using varnel::bench::Window;

constexpr int kCommonTask = 1;

// The common panel's task, with its runner.
Window CommonRenameWindow() {
    return Window(kCommonTask, [](varnel::TaskRegistry& tasks) {
        tasks.RegisterRunner<varnel::CommonRenameParams>(kCommonTask, varnel::RunCommonRenameTask);
    });
}


std::string Digits(int i) {
    char text[16];
    std::snprintf(text, sizeof text, "%06d", i);
    return text;
}

// The common panel's settings for both figures: "photo" and the row's number.
varnel::CommonRenameParams PhotoNumbers(int zeros) {
    varnel::CommonRenameParams params;
    params.type = varnel::CommonMainNameType::NumberNewMain;
    params.newMainName = "photo";
    params.zeroCount = zeros;
    params.uniform = true;
    return params;
}

// A bare loop of renameat2 calls, with the names made beforehand.
void BareRenames(const std::vector<std::string>& from, const std::vector<std::string>& to) {
    for (std::size_t i = 0; i < from.size(); ++i) {
        if (::syscall(SYS_renameat2, AT_FDCWD, from[i].c_str(), AT_FDCWD, to[i].c_str(), RENAME_NOREPLACE) != 0) {
            std::perror(from[i].c_str());
            std::exit(1);
        }
    }
}

void RenameBenchmarks(const std::string& folder, int count, int runs) {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::vector<std::string> plain;
    std::vector<std::string> photo;
    std::string nulNames;
    for (int i = 1; i <= count; ++i) {
        const std::string name = "f" + Digits(i) + ".dat";
        plain.push_back(folder + "/" + name);
        photo.push_back(folder + "/photo" + Digits(i) + ".dat");
        nulNames += name;
        nulNames += '\0';
        const int fd = ::open(plain.back().c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
        if (fd < 0 || ::close(fd) != 0) {
            std::perror(plain.back().c_str());
            std::exit(1);
        }
    }
    const std::string namesFile = folder + ".names";
    std::ofstream(namesFile, std::ios::binary) << nulNames;

    // Warm the folder for every side alike.
    BareRenames(plain, photo);
    BareRenames(photo, plain);

    Window window = CommonRenameWindow();
    window.host.parameters = varnel::TaskParameters::Of(PhotoNumbers(5));
    Samples bare;
    Samples perl;
    Samples ours;
    Samples undo;
    const auto runBare = [&] {
        bare.Add(Seconds([&] { BareRenames(plain, photo); }));
        BareRenames(photo, plain);
    };
    const auto runPerl = [&] {
        perl.Add(Seconds([&] { Shell("cd '" + folder + "' && rename -0 's/^f/photo/' < '" + namesFile + "'"); }));
        BareRenames(photo, plain);
    };
    const auto runOurs = [&] {
        // The list as a load leaves it: one row per plain name (not timed).
        window.listener.Call([&] { window.store.Clear(); });
        for (int i = 1; i <= count; ++i) window.store.AppendRow(folder, "f" + Digits(i) + ".dat", {}, 0);
        window.listener.Call([&] { window.listener.Sync(); });
        ours.Add(window.Run(varnel::RunMode::Execute));
        if (window.host.failures != 0) {
            std::printf("%zu renames failed\n", window.host.failures);
            std::exit(1);
        }
        undo.Add(window.Undo());  // puts the plain names back
    };
    // Every side starts from the plain names; the order alternates run by run.
    for (int run = 0; run < runs; ++run) {
        if (run % 2 == 0) {
            runBare();
            runPerl();
            runOurs();
        } else {
            runOurs();
            runPerl();
            runBare();
        }
    }

    std::printf("(%d renames in one folder, %zu view batches in the last run)\n", count, window.listener.Batches());
    Goal("execute renames vs a bare renameat2 loop", ours, bare, 1.15);
    Goal("execute renames vs perl rename(1) (15% faster)", ours, perl, 0.85);
    Goal("undo of those renames vs their execute", undo, ours, 1.0);
    std::filesystem::remove_all(folder);
    std::filesystem::remove(namesFile);
}

void PreviewBenchmark(const std::string& scratch, int count, int runs) {
    const std::string namesFile = scratch + "/bench-preview-names.txt";
    std::vector<std::string> names;
    {
        std::ofstream out(namesFile);
        for (int i = 1; i <= count; ++i) {
            names.push_back("IMG_" + std::to_string(i) + ".jpg");
            out << names.back() << '\n';
        }
    }
    Window window = CommonRenameWindow();
    window.host.parameters = varnel::TaskParameters::Of(PhotoNumbers(2));
    Samples ours;
    Samples awk;
    varnel::bench::Paired(
        runs,
        [&] {
            // A freshly loaded list each time: no preview texts yet (not timed).
            window.listener.Call([&] { window.store.Clear(); });
            for (const std::string& name : names) window.store.AppendRow("/home/用户/照片/", name, {}, 0);
            window.listener.Call([&] { window.listener.Sync(); });
            return window.Run(varnel::RunMode::FullPreview);
        },
        [&] {
            return Seconds([&] {
                Shell("awk '{printf \"photo%03d.jpg\\n\", NR}' '" + namesFile + "' > '" + namesFile + ".out'");
            });
        },
        ours, awk);
    if (window.store.GetCellText(0, 1) != "photo001.jpg") {
        std::printf("unexpected preview %s\n", window.store.GetCellText(0, 1).c_str());
        std::exit(1);
    }
    std::printf("(%d rows previewed)\n", count);
    Goal("common panel preview vs awk", ours, awk, 1.5);
    std::filesystem::remove(namesFile);
    std::filesystem::remove(namesFile + ".out");
}

}  // namespace

int main() {
    const std::string scratch = varnel::bench::ScratchFolder();
    const char* renames = std::getenv("VARNEL_BENCH_RENAMES");
    const char* rows = std::getenv("VARNEL_BENCH_PREVIEW_ROWS");
    const int runs = varnel::bench::PairedRuns();
    RenameBenchmarks(scratch + "/bench-rename", renames ? std::atoi(renames) : 100'000, runs);
    PreviewBenchmark(scratch, rows ? std::atoi(rows) : 1'000'000, runs);
    return 0;
}

// The file times task at scale: setting the modification time of 100,000 files
// (every unit given, so each file gets the same date-time) against touch -m -d
// over the same files through xargs. Ours is an execute run over a list of the
// files started as the window starts it: through the run dispatcher and its
// worker, the list listener attached, timed until the result is published, with
// its undo record. Each figure is the median of
// paired runs (VARNEL_BENCH_RUNS, at least 7), sides alternating; every run sets a
// date other than the one the files hold. Size: VARNEL_BENCH_TIMES_FILES (100,000).
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "filelist/row_store.h"
#include "dispatcher_window.h"
#include "filetasks/file_times_task.h"
#include "peer_timing.h"
#include "runs/task_table.h"
#include "scratch_folder.h"

namespace {

using varnel::bench::Goal;
using varnel::bench::Samples;
using varnel::bench::Seconds;
using varnel::bench::Shell;

std::string Digits(int i) {
    char text[16];
    std::snprintf(text, sizeof text, "%06d", i);
    return text;
}

// The modification year of the first file, to check that a run did its work.
int YearOfFirst(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return 0;
    std::tm parts{};
    ::localtime_r(&info.st_mtime, &parts);
    return parts.tm_year + 1900;
}

void TimesBenchmark(const std::string& folder, int count, int runs) {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::string nulNames;
    varnel::bench::Window window(varnel::kTaskFileTimes, [](varnel::TaskRegistry& tasks) {
        tasks.RegisterRunner<varnel::FileTimesParams>(
            varnel::kTaskFileTimes, [](varnel::RunContext& run, varnel::RunRows& rows,
                                       const varnel::FileTimesParams& params) { varnel::RunFileTimesTask(run, rows, params); });
    });
    varnel::RowStore& store = window.store;
    for (int i = 1; i <= count; ++i) {
        const std::string name = "f" + Digits(i) + ".dat";
        const std::string path = folder + "/" + name;
        const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
        if (fd < 0 || ::close(fd) != 0) {
            std::perror(path.c_str());
            std::exit(1);
        }
        nulNames += name;
        nulNames += '\0';
        store.AppendRow(folder, name, {}, 0);
    }
    const std::string namesFile = folder + ".names";
    std::ofstream(namesFile, std::ios::binary) << nulNames;
    const std::string first = folder + "/f000001.dat";

    int year = 2000;
    Samples ours;
    Samples touch;
    varnel::bench::Paired(
        runs,
        [&] {
            ++year;
            varnel::FileTimesParams params;
            params.groups[static_cast<std::size_t>(varnel::TimeGroup::Modified)] = {true, {year, 1, 2, 3, 4, 5}};
            window.host.parameters = varnel::TaskParameters::Of(params);
            const double seconds = window.Run(varnel::RunMode::Execute);
            if (window.host.failures != 0 || YearOfFirst(first) != year) {
                std::printf("the times run failed (%zu rows)\n", window.host.failures);
                std::exit(1);
            }
            return seconds;
        },
        [&] {
            ++year;
            const std::string date = std::to_string(year) + "-01-02 03:04:05";
            const double seconds = Seconds([&] {
                Shell("cd '" + folder + "' && xargs -0 touch -m -d '" + date + "' < '" + namesFile + "'");
            });
            if (YearOfFirst(first) != year) {
                std::printf("touch did not set the time\n");
                std::exit(1);
            }
            return seconds;
        },
        ours, touch);
    std::printf("(%d files in one folder)\n", count);
    Goal("set the modification time vs touch -m -d through xargs", ours, touch, 1.5);
    std::filesystem::remove_all(folder);
    std::filesystem::remove(namesFile);
}

}  // namespace

int main() {
    const char* files = std::getenv("VARNEL_BENCH_TIMES_FILES");
    TimesBenchmark(varnel::bench::ScratchFolder() + "/bench-times", files ? std::atoi(files) : 100'000,
                   varnel::bench::PairedRuns());
    return 0;
}

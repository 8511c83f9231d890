// The create task at scale: 100,000 empty files made by its dynamic method (the
// template numbered and expanded per path, each file made with O_CREAT|O_EXCL, its
// identity read for undo, the list's rows collected), started as the window starts
// it (through the run dispatcher and its worker, the list listener attached, timed
// until the result is published), set against touch(1) through
// xargs making the same names in the same empty folder. Each figure is the median
// of paired runs (VARNEL_BENCH_RUNS, at least 7), sides alternating; the folder is
// emptied and the disk synced before every run, untimed. Size: VARNEL_BENCH_CREATES (100,000).
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "dispatcher_window.h"
#include "filetasks/create_task.h"
#include "peer_timing.h"
#include "runs/task_table.h"
#include "scratch_folder.h"

namespace {

using varnel::bench::Goal;
using varnel::bench::Samples;
using varnel::bench::Seconds;
using varnel::bench::Shell;

// The removal's writes are flushed before the timed part, so that neither side
// pays for the other's cleaning up.
void EmptyFolder(const std::string& folder) {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    ::sync();
}

// One execute run of the create task, as the window runs it; the rows the run
// made are kept as the window's registration keeps them for the list.
double CreateWithTask(varnel::bench::Window& window, const std::size_t& made, const std::string& folder, int count) {
    EmptyFolder(folder);
    varnel::CreateTaskParams params;
    params.method = varnel::CreateMethod::DynamicPaths;
    params.dynamicTemplate = folder + "/f_*.dat";
    params.dynamicLimit = count;
    params.dynamicCap = count;  // the user agreed
    window.host.parameters = varnel::TaskParameters::Of(params);
    const double seconds = window.Run(varnel::RunMode::Execute);
    if (made != static_cast<std::size_t>(count) || window.host.failures != 0) {
        std::printf("the create run made %zu of %d files\n", made, count);
        std::exit(1);
    }
    return seconds;
}

void CreateBenchmark(const std::string& folder, int count, int runs) {
    const std::string namesFile = folder + ".names";
    {
        std::ofstream names(namesFile, std::ios::binary);
        for (int i = 1; i <= count; ++i) names << "f_" << i << ".dat" << '\0';
    }
    const std::string touch = "cd '" + folder + "' && xargs -0 touch < '" + namesFile + "'";
    std::size_t made = 0;
    varnel::bench::Window window(varnel::kTaskCreate, [&made](varnel::TaskRegistry& tasks) {
        tasks.RegisterRunner<varnel::CreateTaskParams>(
            varnel::kTaskCreate,
            [&made](varnel::RunContext& run, varnel::RunRows& rows, const varnel::CreateTaskParams& params) {
                varnel::CreateOutcome outcome;
                varnel::RunCreateTask(run, rows, params, &outcome);
                made = outcome.rows.size();
            });
    });
    Samples ours;
    Samples peer;
    varnel::bench::Paired(
        runs, [&] { return CreateWithTask(window, made, folder, count); },
        [&] {
            EmptyFolder(folder);
            return Seconds([&] {
                if (!Shell(touch)) std::exit(1);
            });
        },
        ours, peer);
    Goal(("create " + std::to_string(count) + " empty files, dynamic paths vs xargs touch").c_str(), ours, peer,
         1.5);
    std::filesystem::remove_all(folder);
    std::filesystem::remove(namesFile);
}

}  // namespace

int main() {
    const char* creates = std::getenv("VARNEL_BENCH_CREATES");
    CreateBenchmark(varnel::bench::ScratchFolder() + "/bench-create", creates ? std::atoi(creates) : 100'000,
                    varnel::bench::PairedRuns());
    return 0;
}

// The create task at scale: 100,000 empty files made by its dynamic method (the
// template numbered and expanded per path, each file made with O_CREAT|O_EXCL, its
// identity read for undo, the list's rows collected) set against touch(1) through
// xargs making the same names in the same empty folder. Each figure is the median
// of paired runs (VARNEL_BENCH_RUNS, at least 5), sides alternating; the folder is
// emptied and the disk synced before every run, untimed. Size: VARNEL_BENCH_CREATES (100,000).
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "filelist/row_store.h"
#include "filetasks/create_task.h"
#include "peer_timing.h"
#include "runs/run_context.h"
#include "runs/task_table.h"
#include "scratch_folder.h"
#include "utilities/run_control.h"

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

// One execute run of the create task, as the dispatcher runs it.
double CreateWithTask(const std::string& folder, int count) {
    EmptyFolder(folder);
    varnel::CreateTaskParams params;
    params.method = varnel::CreateMethod::DynamicPaths;
    params.dynamicTemplate = folder + "/f_*.dat";
    params.dynamicLimit = count;
    params.dynamicCap = count;  // the user agreed
    varnel::RunControl control;
    control.TryBegin(varnel::TaskKind::Execute);
    varnel::RunContext run(varnel::RunMode::Execute, varnel::kTaskCreate, {}, control);
    varnel::RowStore store;
    varnel::RunRows rows(store, {});
    varnel::CreateOutcome outcome;
    const double seconds = Seconds([&] { varnel::RunCreateTask(run, rows, params, &outcome); });
    control.End();
    if (outcome.rows.size() != static_cast<std::size_t>(count) || !run.FailedPaths().empty()) {
        std::printf("the create run made %zu of %d files\n", outcome.rows.size(), count);
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
    Samples ours;
    Samples peer;
    varnel::bench::Paired(
        runs, [&] { return CreateWithTask(folder, count); },
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

// The rename road at scale, each figure beside its peer measured in the same run:
// executing 100,000 renames in one folder against a bare loop of renameat2 calls and
// against Debian's rename(1) doing the same renames; undoing them against the execute
// itself; previewing a million rows with the common panel against awk writing the
// same names.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "filelist/list_load.h"
#include "filelist/row_store.h"
#include "naming/common_name.h"
#include "peer_timing.h"
#include "runs/rename_task.h"
#include "runs/run_context.h"
#include "runs/undo_replay.h"
#include "scratch_folder.h"
#include "utilities/run_control.h"

namespace {

using varnel::bench::Report;
using varnel::bench::Seconds;

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

// The list as a load leaves it: one row per plain name.
void ListPlainNames(varnel::RowStore& store, const std::string& folder, int count) {
    store.Clear();
    for (int i = 1; i <= count; ++i) store.AppendRow(folder, "f" + Digits(i) + ".dat", {}, 0);
}

varnel::UndoRecord ExecuteRenames(varnel::RowStore& store) {
    varnel::RunControl control;
    control.TryBegin(varnel::TaskKind::Execute);
    varnel::RunContext run(varnel::RunMode::Execute, 1, {}, control);
    varnel::RunRows rows(store, store.RowIds());
    varnel::RunCommonRenameTask(run, rows, PhotoNumbers(5));
    if (!run.FailedPaths().empty()) {
        std::printf("%zu renames failed\n", run.FailedPaths().size());
        std::exit(1);
    }
    return run.TakeRecord();
}

// As the undo task does it: the replay, then the restored paths into a fresh list.
void Undo(varnel::UndoRecord& record, varnel::RowStore& store) {
    varnel::RunControl control;
    control.TryBegin(varnel::TaskKind::Undo);
    std::vector<std::pair<std::string, std::optional<bool>>> restored;
    varnel::UndoHooks hooks;
    hooks.readd = [&restored](const std::string& path, std::optional<bool> isFolder) {
        restored.emplace_back(path, isFolder);
    };
    const varnel::UndoOutcome outcome = varnel::ReplayUndoRecord(record, hooks);
    if (!outcome.failedPaths.empty()) {
        std::printf("%zu undos failed\n", outcome.failedPaths.size());
        std::exit(1);
    }
    store.Clear();
    varnel::ListLoad load(store, {}, control);
    for (auto path = restored.rbegin(); path != restored.rend(); ++path) {
        load.AddPathToFileList(path->first, {}, false, path->second);
    }
}

void RenameBenchmarks(const std::string& folder, int count) {
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

    // Each side's best of a few rounds, taken in turns, so that neither the order nor
    // a slow moment of the disk favours one of them. Every side starts from the plain
    // names; ours is put back by its own undo.
    const char* roundsText = std::getenv("VARNEL_BENCH_ROUNDS");
    const int rounds = roundsText ? std::max(1, std::atoi(roundsText)) : 3;
    double bare = 1e9;
    double ours = 1e9;
    double undo = 1e9;
    double perl = 1e9;
    varnel::RowStore store;
    for (int round = 0; round < rounds; ++round) {
        for (int turn = 0; turn < 3; ++turn) {
            switch ((round + turn) % 3) {
                case 0:
                    bare = std::min(bare, Seconds([&] { BareRenames(plain, photo); }));
                    BareRenames(photo, plain);
                    break;
                case 1: {
                    varnel::UndoRecord record;
                    ListPlainNames(store, folder, count);
                    ours = std::min(ours, Seconds([&] { record = ExecuteRenames(store); }));
                    undo = std::min(undo, Seconds([&] { Undo(record, store); }));
                    break;
                }
                default:
                    perl = std::min(perl, Seconds([&] {
                        const std::string command =
                            "cd '" + folder + "' && rename -0 's/^f/photo/' < '" + namesFile + "'";
                        if (std::system(command.c_str()) != 0) std::printf("rename(1) failed\n");
                    }));
                    BareRenames(photo, plain);
                    break;
            }
        }
    }

    std::printf("(%d renames in one folder)\n", count);
    Report("execute renames vs a bare renameat2 loop", ours, bare, 1.3);
    Report("execute renames vs rename(1)", ours, perl, 1.0);
    Report("undo of those renames vs their execute", undo, ours, 1.3);
    std::filesystem::remove_all(folder);
    std::filesystem::remove(namesFile);
}

void PreviewBenchmark(const std::string& scratch, int count) {
    const std::string namesFile = scratch + "/names.txt";
    std::vector<std::string> names;
    {
        std::ofstream out(namesFile);
        for (int i = 1; i <= count; ++i) {
            names.push_back("IMG_" + std::to_string(i) + ".jpg");
            out << names.back() << '\n';
        }
    }
    varnel::RowStore store;
    // The best of a few rounds each, in turns.
    double ours = 1e9;
    double awk = 1e9;
    for (int round = 0; round < 3; ++round) {
        // A freshly loaded list each time: no preview texts yet.
        store.Clear();
        for (const std::string& name : names) store.AppendRow("/home/用户/照片/", name, {}, 0);
        varnel::RunControl control;
        control.TryBegin(varnel::TaskKind::Preview);
        ours = std::min(ours, Seconds([&] {
            varnel::RunContext run(varnel::RunMode::FullPreview, 1, {}, control);
            varnel::RunRows rows(store, store.RowIds());
            varnel::RunCommonRenameTask(run, rows, PhotoNumbers(2));
        }));
        awk = std::min(awk, Seconds([&] {
            const std::string command =
                "awk '{printf \"photo%03d.jpg\\n\", NR}' '" + namesFile + "' > '" + namesFile + ".out'";
            if (std::system(command.c_str()) != 0) std::printf("awk failed\n");
        }));
    }
    if (store.GetCellText(0, ListColumn::Preview) != "photo001.jpg") {
        std::printf("unexpected preview %s\n", store.GetCellText(0, ListColumn::Preview).c_str());
    }
    std::printf("(%d rows previewed)\n", count);
    Report("common panel preview vs awk", ours, awk, 1.5);
    std::filesystem::remove(namesFile);
    std::filesystem::remove(namesFile + ".out");
}

}  // namespace

int main() {
    const std::string scratch = varnel::bench::ScratchFolder();
    const char* renames = std::getenv("VARNEL_BENCH_RENAMES");
    const char* rows = std::getenv("VARNEL_BENCH_PREVIEW_ROWS");
    RenameBenchmarks(scratch + "/bench-rename", renames ? std::atoi(renames) : 100'000);
    PreviewBenchmark(scratch, rows ? std::atoi(rows) : 1'000'000);
    return 0;
}

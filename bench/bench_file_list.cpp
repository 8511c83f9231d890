// The file list at a million rows, each figure beside its peer measured in the same
// run as the median of paired runs (VARNEL_BENCH_RUNS, at least 7), sides
// alternating: a walk of 1000 folders of 1000 files loaded as the window loads it
// (the list emptied, the walk on a worker, the list listener attached with the
// model's 100 ms sync, timed until the result is on the UI thread) against find(1)
// counting the same entries (and with size and times against find -printf), the
// peak resident memory a loaded row costs, and the regular-expression filter over
// every name against grep -cP, both reading the names from the same file a chunk
// at a time (ours through the program's own chunked read).
// VARNEL_BENCH_FOLDERS (1000) scales the tree.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <cstdio>
#include <memory>

#include <unistd.h>

#include "filelist/file_filter.h"
#include "filelist/list_load.h"
#include "filelist/row_store.h"
#include "platform/file_io.h"
#include "list_listener.h"
#include "peer_timing.h"
#include "scratch_folder.h"
#include "utilities/run_control.h"

namespace {

using varnel::bench::Goal;
using varnel::bench::Samples;
using varnel::bench::Seconds;
using varnel::bench::Shell;

std::string MakeTree(const std::string& root, int folders, int files) {
    const std::string done = root + "/.complete";
    std::string made;
    std::getline(std::ifstream(done), made);
    if (made == std::to_string(folders)) return root;
    std::filesystem::remove_all(root);
    std::printf("making %d x %d files under %s ...\n", folders, files, root.c_str());
    for (int f = 0; f < folders; ++f) {
        const std::string folder = root + "/folder" + std::to_string(f);
        std::filesystem::create_directories(folder);
        for (int i = 0; i < files; ++i) {
            std::ofstream(folder + "/file" + std::to_string(i) + ".txt") << i;
        }
    }
    std::ofstream(done) << folders;
    return root;
}

// A load as the window's load runner does it: on the UI thread the list emptied
// and the sync started, the walk on a worker, the row count synced every 100 ms,
// and the status text made on the UI thread when the worker is done.
double Load(varnel::RowStore& store, varnel::bench::ListListener& ui, const std::string& root,
            varnel::ColumnMask columns) {
    varnel::RunControl control;
    varnel::ListLoadSettings settings;
    settings.columns = columns;
    settings.walk.depth = -1;
    std::string status;
    const double seconds = Seconds([&] {
        ui.Call([&] {
            control.TryBegin(varnel::TaskKind::ListLoad);
            store.Clear();
            ui.SetTicking(true);
        });
        std::jthread worker([&] {
            varnel::ListLoad load(store, settings, control);
            load.TraverseFolders({root});
            control.End();
        });
        worker.join();
        ui.Call([&] {
            ui.SetTicking(false);
            ui.Sync();
            status = varnel::LoadStatusText(1, store.RowCount());
        });
    });
    if (status.empty()) std::exit(1);
    return seconds;
}

// The entries find(1) lists below root.
std::size_t FindCount(const std::string& root) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(("find '" + root + "' -mindepth 1 | wc -l").c_str(), "r"),
                                               ::pclose);
    unsigned long long count = 0;
    if (!pipe || std::fscanf(pipe.get(), "%llu", &count) != 1) return 0;
    return static_cast<std::size_t>(count);
}

}  // namespace

int main() {
    const char* sizeText = std::getenv("VARNEL_BENCH_FOLDERS");
    const int folders = sizeText ? std::atoi(sizeText) : 1000;
    const int runs = varnel::bench::PairedRuns();
    const std::string root = MakeTree(varnel::bench::ScratchFolder() + "/bench-tree", folders, 1000);

    // Warm the page cache for both sides alike.
    Shell("find '" + root + "' -mindepth 1 > /dev/null");

    varnel::RowStore store;
    varnel::bench::ListListener ui(store);
    // The first load into an empty list: what a loaded row costs at the peak.
    const double peakGrowth = varnel::bench::PeakResidentGrowth([&] { Load(store, ui, root, 0); });
    const std::size_t loaded = store.RowCount();

    Samples plain;
    Samples find;
    varnel::bench::Paired(
        runs, [&] { return Load(store, ui, root, 0); },
        [&] {
            std::size_t counted = 0;
            const double seconds = Seconds([&] { counted = FindCount(root); });
            if (counted != loaded) {
                std::printf("error: find lists %zu entries, the list loaded %zu rows\n", counted, loaded);
                std::exit(1);
            }
            return seconds;
        },
        plain, find);
    std::printf("(%zu rows walked, as many as find lists)\n", loaded);
    Goal("walk into the list vs find -mindepth 1 | wc -l", plain, find, 1.0);

    const varnel::ColumnMask timed = varnel::ColumnBit(varnel::ListColumn::Size) |
                                     varnel::ColumnBit(varnel::ListColumn::Created) |
                                     varnel::ColumnBit(varnel::ListColumn::Modified) |
                                     varnel::ColumnBit(varnel::ListColumn::Accessed);
    Samples withTimes;
    Samples findTimes;
    varnel::bench::Paired(
        runs, [&] { return Load(store, ui, root, timed); },
        [&] {
            return Seconds(
                [&] { Shell("find '" + root + "' -mindepth 1 -printf '%s %T@ %A@\\n' > /dev/null"); });
        },
        withTimes, findTimes);
    Goal("walk with size and times vs find -printf", withTimes, findTimes, 1.05);

    std::size_t nameBytes = 0;
    for (std::size_t i = 0; i < store.RowCount(); ++i) nameBytes += store.Name(i).size();
    const double rows = static_cast<double>(loaded);
    std::printf("(row store: %.0f rows, names %.1f bytes a row, records %.1f bytes a row with size and times)\n", rows,
                static_cast<double>(nameBytes) / rows, static_cast<double>(store.OverheadBytes()) / rows);
    varnel::bench::Budget("peak resident growth of a load, per row", peakGrowth / rows, "B", 64);

    // The regular-expression filter over every name, against grep -cP over the same
    // names; both read them from the file.
    const std::string namesFile = root + "/../bench-names.txt";
    {
        std::ofstream out(namesFile);
        for (std::size_t i = 0; i < store.RowCount(); ++i) out << store.Name(i) << '\n';
    }
    const char* pattern = "file[0-9]*7\\.txt$";
    std::size_t matched = 0;
    Samples ours;
    Samples grep;
    varnel::bench::Paired(
        runs,
        [&] {
            return Seconds([&] {
                varnel::FileFilter filter;
                const varnel::NameFilter regex{true, 2, pattern, false, false, false};
                matched = 0;
                const auto matchLine = [&](std::string_view line) {
                    const auto match = filter.MatchText(line, regex);
                    if (match && *match) ++matched;
                };
                // Read a chunk at a time, as grep reads; a line cut by a chunk's end
                // is carried to the next.
                std::string carried;
                const auto read = varnel::ReadFileInChunks(namesFile, [&](std::string_view chunk) {
                    std::size_t start = 0;
                    for (std::size_t end; (end = chunk.find('\n', start)) != std::string_view::npos; start = end + 1) {
                        if (carried.empty()) {
                            matchLine(chunk.substr(start, end - start));
                        } else {
                            carried.append(chunk.substr(start, end - start));
                            matchLine(carried);
                            carried.clear();
                        }
                    }
                    carried.append(chunk.substr(start));
                });
                if (!read) {
                    std::printf("cannot read %s: %s\n", namesFile.c_str(), read.error().message.c_str());
                    std::exit(1);
                }
                if (!carried.empty()) matchLine(carried);
            });
        },
        [&] {
            return Seconds([&] {
                // Not to /dev/null: grep notices that and stops at the first match.
                Shell("grep -cP '" + std::string(pattern) + "' '" + namesFile + "' > '" + namesFile + ".count'");
            });
        },
        ours, grep);
    std::printf("(%zu names matched)\n", matched);
    Goal("regex filter vs grep -cP", ours, grep, 1.2);
    std::filesystem::remove(namesFile);
    std::filesystem::remove(namesFile + ".count");
    return 0;
}

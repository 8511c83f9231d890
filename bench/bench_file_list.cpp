// The file list at a million rows, each figure beside its peer measured in the same
// run as the median of paired runs (VARNEL_BENCH_RUNS, at least 5), sides
// alternating: a walk of 1000 folders of 1000 files into the row store, with the
// load runner's 100 ms sync, against find(1) (and with size and times against
// find -printf), the row store's memory per row, and the regular-expression filter
// over every name against grep -cP, both reading the names from the same file.
// VARNEL_BENCH_FOLDERS (1000) scales the tree.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "filelist/file_filter.h"
#include "filelist/list_load.h"
#include "filelist/row_store.h"
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

std::size_t ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0;
    std::size_t resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

// A load as the load runner does it: the walk on a worker, the count synced every 100 ms.
double Load(varnel::RowStore& store, varnel::bench::ListListener& ui, const std::string& root,
            varnel::ColumnMask columns) {
    store.Clear();
    varnel::RunControl control;
    control.TryBegin(varnel::TaskKind::ListLoad);
    varnel::ListLoadSettings settings;
    settings.columns = columns;
    settings.walk.depth = -1;
    return Seconds([&] {
        ui.Call([&] { ui.SetTicking(true); });
        std::jthread worker([&] {
            varnel::ListLoad load(store, settings, control);
            load.TraverseFolders({root});
        });
        worker.join();
        ui.Call([&] {
            ui.SetTicking(false);
            ui.Sync();
        });
    });
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
    const std::size_t before = ResidentBytes();
    Load(store, ui, root, 0);
    const std::size_t after = ResidentBytes();
    const std::size_t loaded = store.RowCount();

    Samples plain;
    Samples find;
    varnel::bench::Paired(
        runs, [&] { return Load(store, ui, root, 0); },
        [&] { return Seconds([&] { Shell("find '" + root + "' -mindepth 1 > /dev/null"); }); }, plain, find);
    std::printf("(%zu rows walked)\n", loaded);
    Goal("walk into the list vs find -mindepth 1", plain, find, 1.2);

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
    const double rows = static_cast<double>(store.RowCount());
    std::printf("row store: %.0f rows, %.1f bytes of record per row (goal <= 120), resident growth %.1f MB "
                "(%.1f bytes per row, names %.1f)\n",
                rows, static_cast<double>(store.OverheadBytes()) / rows, (after - before) / 1e6,
                static_cast<double>(after - before) / rows, static_cast<double>(nameBytes) / rows);

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
                std::ifstream in(namesFile, std::ios::binary);
                const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
                matched = 0;
                std::size_t start = 0;
                while (start < text.size()) {
                    std::size_t end = text.find('\n', start);
                    if (end == std::string::npos) end = text.size();
                    const auto match = filter.MatchText(std::string_view(text).substr(start, end - start), regex);
                    if (match && *match) ++matched;
                    start = end + 1;
                }
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

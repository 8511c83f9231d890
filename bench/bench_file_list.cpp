// The file list at a million rows, each figure beside its peer measured in the same
// run: a walk into the row store against find(1), the row store's memory per row,
// and the regular-expression filter against grep -cP.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <unistd.h>

#include "filelist/file_filter.h"
#include "filelist/list_load.h"
#include "filelist/row_store.h"
#include "peer_timing.h"
#include "scratch_folder.h"
#include "utilities/run_control.h"

namespace {

using varnel::bench::Report;
using varnel::bench::Seconds;

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

double Load(varnel::RowStore& store, const std::string& root, varnel::ColumnMask columns) {
    store.Clear();
    varnel::RunControl control;
    control.TryBegin(varnel::TaskKind::ListLoad);
    varnel::ListLoadSettings settings;
    settings.columns = columns;
    settings.walk.depth = -1;
    varnel::ListLoad load(store, settings, control);
    return Seconds([&] { load.TraverseFolders({root}); });
}

}  // namespace

int main() {
    const char* sizeText = std::getenv("VARNEL_BENCH_FOLDERS");
    const int folders = sizeText ? std::atoi(sizeText) : 1000;
    const std::string root = MakeTree(varnel::bench::ScratchFolder() + "/bench-tree", folders, 1000);

    // Warm the page cache for both sides alike.
    (void)std::system(("find '" + root + "' -mindepth 1 > /dev/null").c_str());

    varnel::RowStore store;
    const std::size_t before = ResidentBytes();
    const double plain = Load(store, root, 0);
    const std::size_t after = ResidentBytes();
    const double findPlain = Seconds([&] { (void)std::system(("find '" + root + "' -mindepth 1 > /dev/null").c_str()); });
    Report("walk, default columns vs find", plain, findPlain, 1.5);

    const varnel::ColumnMask timed = varnel::ColumnBit(varnel::ListColumn::Size) |
                                     varnel::ColumnBit(varnel::ListColumn::Created) |
                                     varnel::ColumnBit(varnel::ListColumn::Modified) |
                                     varnel::ColumnBit(varnel::ListColumn::Accessed);
    const double withTimes = Load(store, root, timed);
    const double findTimes = Seconds([&] {
        (void)std::system(("find '" + root + "' -mindepth 1 -printf '%s %T@ %A@\\n' > /dev/null").c_str());
    });
    Report("walk, size and times vs find -printf", withTimes, findTimes, 1.5);

    std::size_t nameBytes = 0;
    for (std::size_t i = 0; i < store.RowCount(); ++i) nameBytes += store.Name(i).size();
    const double rows = static_cast<double>(store.RowCount());
    std::printf("row store: %.0f rows, %.1f bytes of record per row (goal <= 120), resident growth %.1f MB "
                "(%.1f bytes per row, names %.1f)\n",
                rows, static_cast<double>(store.OverheadBytes()) / rows, (after - before) / 1e6,
                static_cast<double>(after - before) / rows, static_cast<double>(nameBytes) / rows);

    // The regular-expression filter over every name, against grep -cP over the same names.
    const std::string namesFile = root + "/../bench-names.txt";
    {
        std::ofstream out(namesFile);
        for (std::size_t i = 0; i < store.RowCount(); ++i) out << store.Name(i) << '\n';
    }
    const char* pattern = "file[0-9]*7\\.txt$";
    std::size_t matched = 0;
    varnel::FileFilter filter;
    const varnel::NameFilter regex{true, 2, pattern, false, false, false};
    std::vector<std::string> names;
    for (std::size_t i = 0; i < store.RowCount(); ++i) names.push_back(store.Name(i));
    const double ours = Seconds([&] {
        for (const std::string& name : names) matched += filter.MatchText(name, regex);
    });
    const double grep = Seconds([&] {
        // Not to /dev/null: grep notices that and stops at the first match.
        const int rc = std::system(
            ("grep -cP '" + std::string(pattern) + "' '" + namesFile + "' > '" + namesFile + ".count'").c_str());
        if (rc != 0) std::printf("grep failed: %d\n", rc);
    });
    std::printf("(%zu names matched)\n", matched);
    Report("regex filter vs grep -cP", ours, grep, 1.5);
    return 0;
}

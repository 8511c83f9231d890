// Ordering and searching a million-row list, each beside its peer in the same run:
// the text sort of names against sort(1) in the byte-order locale, the enhanced
// numeric sort against sort -V, and the plain search of every column against
// grep -c -F over the same rows as text.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "filelist/list_finder.h"
#include "filelist/list_sorter.h"
#include "filelist/row_store.h"
#include "peer_timing.h"
#include "scratch_folder.h"

namespace {

using varnel::bench::ReportPaired;

constexpr int kPairs = 5;

void Fill(varnel::RowStore& store, const std::vector<std::string>& names) {
    store.Clear();
    for (const std::string& name : names) store.AppendRow("/bench/folder/", name, varnel::RowFacts{}, 0);
}

void WriteLines(const std::string& path, const std::vector<std::string>& lines) {
    std::ofstream out(path);
    for (const std::string& line : lines) out << line << '\n';
}

void Run(const std::string& command) {
    if (std::system(command.c_str()) != 0) std::printf("failed: %s\n", command.c_str());
}

}  // namespace

int main() {
    const char* sizeText = std::getenv("VARNEL_BENCH_ROWS");
    const std::size_t rows = sizeText ? static_cast<std::size_t>(std::atol(sizeText)) : 1'000'000;
    const std::string scratch = varnel::bench::ScratchFolder();
    std::mt19937_64 random(42);
    varnel::RowStore store;

    // Names as a folder of mixed files holds them, in no order.
    std::vector<std::string> names;
    names.reserve(rows);
    const char* kWords[] = {"photo", "IMG_", "report", "song", "Backup", "notes", "video", "scan"};
    const char* kExtensions[] = {".jpg", ".txt", ".mp3", ".pdf", ".mp4"};
    for (std::size_t i = 0; i < rows; ++i) {
        names.push_back(std::string(kWords[random() % 8]) + std::to_string(random() % 100'000'000) +
                        kExtensions[random() % 5]);
    }
    const std::string namesFile = scratch + "/bench-sort-names.txt";
    WriteLines(namesFile, names);
    ReportPaired(
        "sort 1M names by text vs LC_ALL=C sort", kPairs, [&] { Fill(store, names); },
        [&] { varnel::SortRows(store, 0, true, varnel::SortKind::Text, 0); },
        [&] { Run("LC_ALL=C sort '" + namesFile + "' > '" + namesFile + ".sorted'"); }, 1.5);

    std::vector<std::string> episodes;
    episodes.reserve(rows);
    for (std::size_t i = 0; i < rows; ++i) {
        episodes.push_back("第" + std::to_string(random() % 100'000) + "集-" + std::to_string(random() % 100) + ".mp4");
    }
    const std::string episodesFile = scratch + "/bench-sort-episodes.txt";
    WriteLines(episodesFile, episodes);
    ReportPaired(
        "enhanced numeric sort of 1M names vs sort -V", kPairs, [&] { Fill(store, episodes); },
        [&] { varnel::SortRows(store, 0, true, varnel::SortKind::EnhancedNumber, 1); },
        [&] { Run("LC_ALL=C sort -V '" + episodesFile + "' > '" + episodesFile + ".sorted'"); }, 1.5);
    std::printf("memory of a sort beyond its keys: %.1f bytes per row (index, merge buffer, permutation check)\n",
                4.0 + 4.0 + 1.0 / 8);

    // The keyword only in the last row; every row joined as the search sees it.
    names.back() = "needle-in-the-last-row.txt";
    Fill(store, names);
    const std::string rowsFile = scratch + "/bench-find-rows.txt";
    {
        std::ofstream out(rowsFile);
        for (std::size_t row = 0; row < store.RowCount(); ++row) out << varnel::JoinRowCells(store, row) << '\n';
    }
    varnel::FindOptions options;
    options.keyword = "needle-in-the-last";
    options.column = -1;
    std::size_t found = 0;
    ReportPaired(
        "find in all columns of 1M rows vs grep -c -F", kPairs, nullptr,
        [&] {
            varnel::ListFinder finder;
            found = finder.SearchListForText(store, options, std::nullopt).row;
        },
        // Not to /dev/null: grep notices that and stops at the first match.
        [&] { Run("grep -c -F '" + options.keyword + "' '" + rowsFile + "' > '" + rowsFile + ".count'"); }, 1.5);
    std::printf("(found at row %zu of %zu)\n", found + 1, store.RowCount());
    return 0;
}

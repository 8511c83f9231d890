// Ordering and searching a million-row list, each beside its peer in the same run
// as the median of paired runs (VARNEL_BENCH_RUNS, at least 7), sides alternating:
// the text sort of names against sort(1) in the byte-order locale, the enhanced
// numeric sort against sort -V, both the way the window sorts a large list (the
// order worked out on a worker, the rows moved with the view's kept rows mapped, the visible rows read
// again) with the list listener attached, the peak memory a sort allocates per row, and
// the plain search of every column against grep -c -F over the same rows as text.
// Size: VARNEL_BENCH_ROWS (1,000,000).
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "filelist/list_finder.h"
#include "filelist/list_sorter.h"
#include "allocation_counter.h"
#include "filelist/row_store.h"
#include "list_listener.h"
#include "peer_timing.h"
#include "scratch_folder.h"
#include "utilities/run_control.h"

namespace {

using varnel::bench::Goal;
using varnel::bench::Samples;
using varnel::bench::Seconds;

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

// A click on the name column's title, as the window answers it for a large list:
// the list held on the UI thread, the new order worked out on a worker, then on
// the UI thread where each row goes (for the rows the view keeps: selection,
// current row), the rows moved, and the visible rows painted again.
void SortAsTheWindow(varnel::RowStore& store, varnel::bench::ListListener& ui, varnel::SortKind kind, int group) {
    varnel::RunControl control;
    ui.Call([&] { control.TryBegin(varnel::TaskKind::ListAction); });
    std::vector<std::uint32_t> order;
    std::jthread([&] { order = varnel::ListSorter::SortOrder(store, 0, true, kind, group); }).join();
    ui.Call([&] {
        std::vector<std::uint32_t> newRowOf(order.size());
        for (std::uint32_t to = 0; to < order.size(); ++to) newRowOf[order[to]] = to;
        store.ApplyOrder(std::move(order));
        std::size_t painted = 0;
        for (std::size_t row = 0; row < varnel::bench::ListListener::kVisibleRows && row < store.RowCount(); ++row) {
            for (int column = 0; column < varnel::kListColumnCount; ++column) {
                painted += store.GetCellText(row, column).size();
            }
        }
        if (painted == 0) std::exit(1);
        control.End();
    });
}

// Our sort and the peer's, in alternating pairs, each sort on a freshly filled
// list (not timed).
void SortFigure(const char* what, varnel::RowStore& store, varnel::bench::ListListener& ui,
                const std::vector<std::string>& names, varnel::SortKind kind, int group, const std::string& command,
                int runs) {
    Samples ours;
    Samples peer;
    varnel::bench::Paired(
        runs,
        [&] {
            ui.Call([&] { Fill(store, names); });
            return Seconds([&] { SortAsTheWindow(store, ui, kind, group); });
        },
        [&] { return Seconds([&] { Run(command); }); }, ours, peer);
    Goal(what, ours, peer, 1.5);
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
    varnel::bench::ListListener ui(store);
    const int runs = varnel::bench::PairedRuns();
    SortFigure("sort 1M names by text vs LC_ALL=C sort", store, ui, names, varnel::SortKind::Text, 0,
               "LC_ALL=C sort '" + namesFile + "' > '" + namesFile + ".sorted'", runs);

    std::vector<std::string> episodes;
    episodes.reserve(rows);
    for (std::size_t i = 0; i < rows; ++i) {
        episodes.push_back("第" + std::to_string(random() % 100'000) + "集-" + std::to_string(random() % 100) + ".mp4");
    }
    const std::string episodesFile = scratch + "/bench-sort-episodes.txt";
    WriteLines(episodesFile, episodes);
    SortFigure("enhanced numeric sort of 1M names vs sort -V", store, ui, episodes, varnel::SortKind::EnhancedNumber,
               1, "LC_ALL=C sort -V '" + episodesFile + "' > '" + episodesFile + ".sorted'", runs);

    // What a sort holds at its worst beyond the rows themselves: keys, index, order.
    for (const auto& [what, kind] : {std::pair{"peak memory of a text sort, per row", varnel::SortKind::Text},
                                     std::pair{"peak memory of an enhanced numeric sort, per row",
                                               varnel::SortKind::EnhancedNumber}}) {
        ui.Call([&] { Fill(store, kind == varnel::SortKind::Text ? names : episodes); });
        const double peak = varnel::bench::PeakAllocatedGrowth([&] { SortAsTheWindow(store, ui, kind, 1); });
        varnel::bench::Budget(what, peak / static_cast<double>(store.RowCount()), "B", 16);
    }

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
    Samples ours;
    Samples grep;
    varnel::bench::Paired(
        runs,
        [&] {
            return Seconds([&] {
                varnel::ListFinder finder;
                found = finder.SearchListForText(store, options, std::nullopt).row;
            });
        },
        // Not to /dev/null: grep notices that and stops at the first match.
        [&] { return Seconds([&] { Run("grep -c -F '" + options.keyword + "' '" + rowsFile + "' > '" + rowsFile + ".count'"); }); },
        ours, grep);
    Goal("find in all columns of 1M rows vs grep -c -F", ours, grep, 1.5);
    std::printf("(found at row %zu of %zu)\n", found + 1, store.RowCount());
    return 0;
}

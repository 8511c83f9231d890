// Building and paginating the list report of 100,000 rows and 6 columns, as the
// report's worker does it: the time (median of several runs, as information: no
// other program builds this report) and the memory the table holds per cell,
// against its budget of 300 bytes.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "peer_timing.h"
#include "tools/report_layout.h"
#include "tools/report_table.h"

namespace {

constexpr std::size_t kRows = 100'000;
constexpr int kColumns = 6;
constexpr double kBytesPerCellBudget = 300;

// Cells as a file list shows them: name, size, type, two times and the folder.
std::vector<std::string> MakeCells() {
    std::vector<std::string> cells;
    cells.reserve(kRows * kColumns);
    for (std::size_t r = 0; r < kRows; ++r) {
        const std::string n = std::to_string(r);
        cells.push_back("照片_" + n + ".jpg");
        cells.push_back(std::to_string(r % 9000 + 100) + ".5 KB");
        cells.push_back("JPEG 图像");
        cells.push_back("2024-05-" + std::to_string(r % 28 + 1) + " 12:34:56");
        cells.push_back("2024-06-" + std::to_string(r % 28 + 1) + " 08:00:00");
        cells.push_back("/home/user/图片/相册" + std::to_string(r % 50) + "/");
    }
    return cells;
}

}  // namespace

int main() {
    const std::vector<std::string> cells = MakeCells();
    std::size_t textBytes = 0;
    for (const std::string& cell : cells) textBytes += cell.size();
    varnel::ReportSource source;
    for (int c = 0; c < kColumns; ++c) source.columns.push_back({"列" + std::to_string(c), 120});
    source.rowCount = kRows;
    source.cellText = [&cells](std::size_t row, int column) { return cells[row * kColumns + column]; };
    varnel::ReportRequest request;
    request.printColumns = {0, 1, 2, 3, 4, 5};
    request.summary = {varnel::SummaryMode::Statistics, {"列1"}};

    varnel::bench::Samples times;
    std::size_t bytes = 0;
    std::size_t pages = 0;
    for (int run = 0; run < varnel::bench::PairedRuns(); ++run) {
        times.Add(varnel::bench::Seconds([&] {
            const auto built = varnel::BuildListReport(source, request);
            const varnel::ReportLayout layout = varnel::LayOutReport(built->table, request, false);
            bytes = built->table.MemoryBytes();
            pages = layout.pages.size();
        }));
    }
    const double perCell = double(bytes) / double(kRows * kColumns);
    std::printf("(%zu rows x %d columns, %zu pages; cell text alone %.1f bytes a cell)\n", kRows, kColumns, pages,
                double(textBytes) / double(kRows * kColumns));
    // No other program builds this report: the time is information.
    varnel::bench::Information("list report: build and paginate", times);
    varnel::bench::Budget("list report memory per cell", perCell, "B", kBytesPerCellBudget);
    return perCell < kBytesPerCellBudget ? 0 : 1;
}

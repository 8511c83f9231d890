#include "tools/report_layout.h"

#include <algorithm>
#include <array>

#include "utilities/number_text.h"

namespace varnel {

namespace {

constexpr std::array<PaperSize, 8> kPapers{{
    {"A3纸(297x420毫米)", 297, 420},
    {"A4纸(210x297毫米)", 210, 297},
    {"A5纸(148x210毫米)", 148, 210},
    {"B4纸(250x354毫米)", 250, 354},
    {"B5纸(182x257毫米)", 182, 257},
    {"四开(215x275毫米)", 215, 275},
    {"十六开(146x215毫米)", 146, 215},
    {"三十二开(97x151毫米)", 97, 151},
}};

constexpr int kMinimumRowsPerPage = 2;

}  // namespace

std::span<const PaperSize> ReportPapers() { return kPapers; }

PageSize ReportPageSize(int paper, int orientation) {
    const PaperSize& size = (paper >= 0 && paper < static_cast<int>(kPapers.size())) ? kPapers[paper] : kPapers[1];
    PageSize page{size.widthMm * 10, size.heightMm * 10};
    if (orientation != 0) std::swap(page.width, page.height);
    return page;
}

int PrintableWidth(const PageSize& page) { return page.width - 2 * kUnprintableEdge; }

int LeftMargin(int printableWidth, int tableWidth, bool centring) {
    return centring ? (printableWidth + kCentringAllowance - tableWidth) / 2 : kReportMargin;
}

bool ReportWiderThanPage(const ReportTable& table, int paper, int orientation) {
    return table.TotalWidth() > PrintableWidth(ReportPageSize(paper, orientation));
}

std::vector<ReportPage> PlaceFooters(std::size_t bodyRows, std::size_t perPage) {
    perPage = std::max<std::size_t>(perPage, 1);
    std::vector<ReportPage> pages;
    for (std::size_t first = 0; first < bodyRows; first += perPage) {
        pages.push_back({first, std::min(perPage, bodyRows - first), 1, true, false});
    }
    // The closing footer: after a full last page it is a second footer on that
    // page, otherwise the one of the last (or only) page.
    if (pages.empty()) pages.push_back({0, 0, 1, true, false});
    else if (pages.back().bodyRows == perPage) pages.back().footerRows = 2;
    return pages;
}

ReportLayout LayOutReport(const ReportTable& table, const ReportRequest& request, bool shrink) {
    ReportLayout layout;
    layout.page = ReportPageSize(request.paper, request.orientation);
    layout.pageNumberPosition = request.pageNumberPosition;
    const int width = std::max(table.TotalWidth(), 1);
    if (shrink) {
        layout.scale = std::min(1.0, double(layout.page.width - 2 * kReportMargin) / width);
        layout.left = kReportMargin;
    } else {
        layout.left = std::max(0, LeftMargin(PrintableWidth(layout.page), width, request.centring));
    }
    // Heights on the page, in the table's own (unscaled) lengths.
    const double available = (layout.page.height - 2 * kReportMargin) / layout.scale;
    const int headings = table.RowHeight(ReportPart::Title) + table.RowHeight(ReportPart::Header) +
                         table.RowHeight(ReportPart::ColumnTitles);
    // Room for the closing footer and the summary row, which is taller than a data row.
    double room = available - headings - 2 * table.RowHeight(ReportPart::Footer);
    if (table.HasSummaryRow()) room -= table.RowHeight(ReportPart::Summary) - table.RowHeight(ReportPart::Data);
    const int rowHeight = std::max(table.RowHeight(ReportPart::Data), 1);
    const std::size_t fit = room > 0 ? static_cast<std::size_t>(room / rowHeight) : 0;
    std::size_t perPage = std::max<std::size_t>(fit, kMinimumRowsPerPage);
    if (request.rowsPerPage > 0) perPage = std::min(perPage, static_cast<std::size_t>(request.rowsPerPage));
    layout.bodyRowsPerPage = perPage;
    layout.pages = PlaceFooters(table.BodyRowCount(), perPage);
    if (!table.notes.empty()) {
        // The notes follow an empty row under the last footer, on a page of their own
        // when the last page has no room left.
        ReportPage& last = layout.pages.back();
        const double used = headings + double(last.bodyRows) * rowHeight +
                            last.footerRows * table.RowHeight(ReportPart::Footer);
        const double notes = kDefaultRowHeight + table.RowHeight(ReportPart::Notes);
        if (used + notes <= available) last.notes = true;
        else layout.pages.push_back({table.BodyRowCount(), 0, 0, false, true});
    }
    return layout;
}

bool IsReportNumberText(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
    bool digit = false;
    bool point = false;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c == '.' && !point) {
            point = true;
        } else if (c != ',' || point) {
            return false;
        }
    }
    return digit;
}

std::vector<double> PageColumnWidths(const ReportTable& table, const ReportPage& page, double fillWidth,
                                     const ReportTextMeasure& measure) {
    std::vector<double> widths;
    widths.reserve(table.ColumnCount());
    const bool statistics = table.summaryMode == SummaryMode::Statistics;
    const std::size_t end = page.firstBodyRow + page.bodyRows;
    for (std::size_t c = 0; c < table.ColumnCount(); ++c) {
        double width = std::max(double(table.Columns()[c].width), measure(table.Columns()[c].title, ReportPart::ColumnTitles));
        for (std::size_t r = page.firstBodyRow; r < end; ++r) {
            const bool summary = r >= table.DataRowCount();
            if (summary && !statistics) continue;  // the count row spans the table
            const std::string_view text =
                summary ? (c < table.summaryCells.size() ? std::string_view(table.summaryCells[c]) : std::string_view())
                        : table.Cell(r, c);
            if (IsReportNumberText(text)) {
                width = std::max(width, measure(text, summary ? ReportPart::Summary : ReportPart::Data));
            }
        }
        widths.push_back(width);
    }
    double total = 0;
    for (const double width : widths) total += width;
    if (total > 0 && total < fillWidth) {
        for (double& width : widths) width *= fillWidth / total;
    }
    return widths;
}

std::string PageNumberText(std::size_t page, std::size_t pageCount) {
    return "第 " + NumberToText(static_cast<std::int64_t>(page)) + " 页 共 " +
           NumberToText(static_cast<std::int64_t>(pageCount)) + " 页";
}

}  // namespace varnel

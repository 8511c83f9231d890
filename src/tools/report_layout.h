// The list report on paper: the paper sizes, the margins, the shrink factor of a
// table wider than the paper, and the division of the body rows into pages. Every
// page repeats the title, header line and column titles and ends with a footer
// row; the notes follow the last footer. Lengths in tenths of a millimetre. Safe
// on any thread.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include "tools/report_table.h"

namespace varnel {

struct PaperSize {
    const char* name;
    int widthMm;
    int heightMm;
};
// The papers of the settings window's list, in its order.
std::span<const PaperSize> ReportPapers();

// The paper in the chosen orientation (0 portrait, 1 landscape); an unknown index
// gives A4.
struct PageSize {
    int width = 0;
    int height = 0;
};
PageSize ReportPageSize(int paper, int orientation);

inline constexpr int kReportMargin = 180;
// The strip at each side of the paper that a printer cannot print on: the
// printable width is the paper's less twice this.
inline constexpr int kUnprintableEdge = 100;
inline constexpr int kCentringAllowance = 200;

int PrintableWidth(const PageSize& page);
// The left margin: the table centred on the paper when centring, else the fixed margin.
int LeftMargin(int printableWidth, int tableWidth, bool centring);
// The table is wider than the printable width: it is only printed shrunk.
bool ReportWiderThanPage(const ReportTable& table, int paper, int orientation);

// One page: its body rows, the footer rows after them (two where a full last page
// meets the closing footer), and whether it carries the heading rows and the notes.
struct ReportPage {
    std::size_t firstBodyRow = 0;
    std::size_t bodyRows = 0;
    int footerRows = 1;
    bool headings = true;
    bool notes = false;
    bool operator==(const ReportPage&) const = default;
};

// Pages of `perPage` body rows: a footer after every full page's rows, and one
// more closing the table.
std::vector<ReportPage> PlaceFooters(std::size_t bodyRows, std::size_t perPage);

struct ReportLayout {
    PageSize page;
    double scale = 1.0;  // the table's lengths times this are lengths on paper
    int left = kReportMargin;
    int top = kReportMargin;
    int pageNumberPosition = 0;
    std::size_t bodyRowsPerPage = 0;
    std::vector<ReportPage> pages;
};

// How the report goes on paper. `shrink`: the table is scaled down to the width
// between the margins. Rows per page: the request's number, at most as many as
// fit and at least 2; 0 gives as many as fit.
ReportLayout LayOutReport(const ReportTable& table, const ReportRequest& request, bool shrink);

// A cell text that is a number: digits with an optional sign, grouping commas and
// one decimal point, blanks around. A number is never cut short on paper.
bool IsReportNumberText(std::string_view text);

// The width a text takes drawn in a part's font, padding included, in the table's
// lengths (the painter measures with its fonts; tests give their own).
using ReportTextMeasure = std::function<double(std::string_view text, ReportPart part)>;

// The column widths of one page. Each column is at least its own width, as wide as
// its title and as the widest number among the page's rows (the statistics row
// included), so none of these is ever cut; a table narrower than `fillWidth` then
// grows, every column alike, to use the whole width between the margins.
std::vector<double> PageColumnWidths(const ReportTable& table, const ReportPage& page, double fillWidth,
                                     const ReportTextMeasure& measure);

// The text of a page number: "第 n 页 共 m 页".
std::string PageNumberText(std::size_t page, std::size_t pageCount);

}  // namespace varnel

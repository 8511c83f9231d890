// The list report as a table: title, header line, column titles, one row per
// printed list row (serial column, the printed columns, the formula columns), an
// optional count or statistics row, footer and notes texts, with the sizes,
// alignments, borders and background colours each part is drawn with. Lengths
// and font sizes are in tenths of a millimetre. Cell texts sit in one pool, so a
// large report costs little more than its text. Built on a worker; read-only after.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "tools/formula_columns.h"
#include "tools/print_settings.h"

namespace varnel {

enum class ReportAlign : std::uint8_t { TopLeft, Left, Centre, Right, BottomLeft };

// The title font as the font dialog gives it: face, italic, bold and size.
struct TitleFont {
    std::string face;
    bool italic = false;
    bool bold = true;
    int size = 53;  // 16 points
};

// One column of the list being printed.
struct ReportSourceColumn {
    std::string title;
    int widthPixels = 100;
    ReportAlign alignment = ReportAlign::Left;
    bool visible = true;  // shown in the list: checked for printing at first
};

// The list being printed: its columns and a reader of its cells that is safe on
// the worker that builds the report.
struct ReportSource {
    std::vector<ReportSourceColumn> columns;
    std::size_t rowCount = 0;
    std::function<std::string(std::size_t row, int column)> cellText;
};

// Everything the settings window gathers for a report.
struct ReportRequest {
    std::string title;
    TitleFont titleFont;
    std::vector<std::string> headerParts{""};
    std::vector<std::string> footerParts{""};
    std::vector<int> printColumns;  // list column indexes, in list order
    bool serialColumn = false;
    int rowsPerPage = 0;            // 0: as many as fit
    int lineStyle = 1;              // 1 to 4
    int paper = 1;
    int orientation = 1;
    int fontSize = 30;
    ReportSummary summary;
    int statisticsDecimals = 0;
    bool statisticsSeparators = false;
    int formulaDecimals = 0;
    bool formulaSeparators = false;
    int pageNumberPosition = 0;
    ReportColourScheme colours;
    std::string notes;
    std::vector<FormulaColumn> formulas;
    bool centring = false;
};

struct ReportColumn {
    std::string title;
    int width = 0;
    ReportAlign dataAlign = ReportAlign::Centre;
};

// The parts of a page, top to bottom; body rows are the data rows and the summary row.
enum class ReportPart : std::uint8_t { Title, Header, ColumnTitles, Data, Summary, Footer, Notes };

// Widths of a character of header or footer text, and the fixed sizes.
inline constexpr int kHeaderCharWidth = 17;
inline constexpr int kSmallFontSize = 30;  // header line, footer and notes
inline constexpr int kDefaultRowHeight = 60;
inline constexpr int kNotesExtraHeight = 150;

class ReportTable {
public:
    ReportTable(std::vector<ReportColumn> columns, int fontSize);

    const std::vector<ReportColumn>& Columns() const { return m_columns; }
    std::size_t ColumnCount() const { return m_columns.size(); }
    std::size_t DataRowCount() const { return m_columns.empty() ? 0 : m_cellEnds.size() / m_columns.size(); }
    bool HasSummaryRow() const { return summaryMode != SummaryMode::None; }
    std::size_t BodyRowCount() const { return DataRowCount() + (HasSummaryRow() ? 1 : 0); }

    // Appends a data row; `cells` has one text per column.
    void AppendRow(const std::vector<std::string_view>& cells);
    std::string_view Cell(std::size_t dataRow, std::size_t column) const;
    void Reserve(std::size_t rows, std::size_t textBytes);

    int FontSize() const { return m_fontSize; }
    int TotalWidth() const;
    int RowHeight(ReportPart part) const;
    int FontSizeOf(ReportPart part) const;
    ReportAlign AlignmentOf(ReportPart part, std::size_t column) const;
    // The background of a cell (data rows by their index), none when uncoloured.
    std::optional<ColourNumber> Background(ReportPart part, std::size_t dataRow, std::size_t column) const;
    // The bytes the table holds, for the memory budget.
    std::size_t MemoryBytes() const;

    std::string title;
    TitleFont titleFont;
    std::string headerLine;
    std::string footerText;
    // The parts the two lines are spread from, for a table drawn wider than its
    // own width (SpaceLineParts over that width).
    std::vector<std::string> headerParts;
    std::vector<std::string> footerParts;
    std::string notes;
    int lineStyle = 1;
    ReportColourScheme colours;
    SummaryMode summaryMode = SummaryMode::None;
    // The summary row: one text per column (statistics), or one text across (count).
    std::vector<std::string> summaryCells;

private:
    std::vector<ReportColumn> m_columns;
    int m_fontSize;
    std::string m_pool;
    std::vector<std::uint64_t> m_cellEnds;  // end of each cell's text in the pool, row by row
};

// A header or footer line spread over `capacity` bytes of width: the parts with
// equal runs of blanks between them. A joined text at least as wide as the
// capacity is cut to it (never inside a character) and `cut` is set.
struct SpacedLine {
    std::string text;
    bool cut = false;
};
SpacedLine SpaceLineParts(const std::vector<std::string>& parts, int capacity);

inline constexpr const char* kHeaderTooLongMessage = "页眉长度超过了列宽，页眉将会打印不完全！";
inline constexpr const char* kFooterTooLongMessage = "页脚长度超过了列宽，页脚将会打印不完全！";

// The report built from the list: the table and the warnings to show (header or
// footer cut). Nothing when stopped. `progress` hears the rows done (any thread).
struct BuiltReport {
    ReportTable table;
    std::vector<std::string> warnings;
};
std::optional<BuiltReport> BuildListReport(const ReportSource& source, const ReportRequest& request,
                                           std::stop_token stop = {},
                                           const std::function<void(std::size_t rowsDone)>& progress = {});

}  // namespace varnel

#include "tools/report_table.h"

#include <algorithm>
#include <cmath>

#include "utilities/number_text.h"
#include "utilities/tray_notices.h"
#include "utilities/utf8_text.h"

namespace varnel {

namespace {

constexpr int kSerialColumnWidth = 100;
constexpr int kFormulaColumnWidth = 250;
constexpr const char* kSerialTitle = "序号";

}  // namespace

// Sizes out of the settings' range are held at its ends, so no row height overflows.
ReportTable::ReportTable(std::vector<ReportColumn> columns, int fontSize)
    : m_columns(std::move(columns)), m_fontSize(std::clamp(fontSize, 1, kMaximumReportFontSize)) {}

void ReportTable::Reserve(std::size_t rows, std::size_t textBytes) {
    m_cellEnds.reserve(rows * m_columns.size());
    m_pool.reserve(textBytes);
}

void ReportTable::AppendRow(const std::vector<std::string_view>& cells) {
    for (std::size_t c = 0; c < m_columns.size(); ++c) {
        if (c < cells.size()) m_pool.append(cells[c]);
        m_cellEnds.push_back(m_pool.size());
    }
}

std::string_view ReportTable::Cell(std::size_t dataRow, std::size_t column) const {
    const std::size_t index = dataRow * m_columns.size() + column;
    if (column >= m_columns.size() || index >= m_cellEnds.size()) return {};
    const std::size_t begin = index == 0 ? 0 : m_cellEnds[index - 1];
    return std::string_view(m_pool).substr(begin, m_cellEnds[index] - begin);
}

int ReportTable::TotalWidth() const {
    int width = 0;
    for (const ReportColumn& column : m_columns) width += column.width;
    return width;
}

int ReportTable::RowHeight(ReportPart part) const {
    switch (part) {
        case ReportPart::Title: return 3 * titleFont.size;
        case ReportPart::ColumnTitles:
        case ReportPart::Summary: return m_fontSize * 17 / 10;
        case ReportPart::Data: return m_fontSize * 15 / 10;
        case ReportPart::Notes: return kDefaultRowHeight + kNotesExtraHeight;
        case ReportPart::Header:
        case ReportPart::Footer: return kDefaultRowHeight;
    }
    return kDefaultRowHeight;
}

int ReportTable::FontSizeOf(ReportPart part) const {
    switch (part) {
        case ReportPart::Title: return titleFont.size;
        case ReportPart::ColumnTitles:
        case ReportPart::Data:
        case ReportPart::Summary: return m_fontSize;
        default: return kSmallFontSize;
    }
}

ReportAlign ReportTable::AlignmentOf(ReportPart part, std::size_t column) const {
    switch (part) {
        case ReportPart::Header: return ReportAlign::BottomLeft;
        case ReportPart::Footer:
        case ReportPart::Notes: return ReportAlign::TopLeft;
        case ReportPart::Data: return column < m_columns.size() ? m_columns[column].dataAlign : ReportAlign::Centre;
        default: return ReportAlign::Centre;
    }
}

std::optional<ColourNumber> ReportTable::Background(ReportPart part, std::size_t dataRow,
                                                    std::size_t column) const {
    if (colours.scheme == 0) return std::nullopt;
    switch (part) {
        case ReportPart::ColumnTitles:
        case ReportPart::Summary: return colours.titleColour;
        case ReportPart::Data:
            switch (colours.scheme) {
                case 1: return colours.colour1;
                // Rows and columns are counted from 1: the first is odd.
                case 2: return dataRow % 2 == 0 ? colours.colour1 : colours.colour2;
                case 3: return column % 2 == 0 ? colours.colour1 : colours.colour2;
                default: return std::nullopt;
            }
        default: return std::nullopt;
    }
}

std::size_t ReportTable::MemoryBytes() const {
    std::size_t bytes = sizeof(*this) + m_pool.capacity() + m_cellEnds.capacity() * sizeof(std::uint64_t);
    for (const ReportColumn& column : m_columns) bytes += sizeof(column) + column.title.capacity();
    for (const std::string& cell : summaryCells) bytes += sizeof(cell) + cell.capacity();
    return bytes;
}

SpacedLine SpaceLineParts(const std::vector<std::string>& parts, int capacity) {
    std::string joined;
    for (const std::string& part : parts) joined += part;
    const std::size_t limit = capacity > 0 ? static_cast<std::size_t>(capacity) : 0;
    const std::size_t length = GbkWidth(joined);
    if (length >= limit && !(length == 0 && limit == 0)) return {CutToGbkWidth(joined, limit), true};
    if (parts.size() <= 1) return {joined, false};
    const std::string gap((limit - length) / (parts.size() - 1), ' ');
    std::string line = parts.front();
    for (std::size_t i = 1; i < parts.size(); ++i) line += gap + parts[i];
    return {line, false};
}

std::optional<BuiltReport> BuildListReport(const ReportSource& source, const ReportRequest& request,
                                           std::stop_token stop,
                                           const std::function<void(std::size_t rowsDone)>& progress) {
    std::vector<ReportColumn> columns;
    if (request.serialColumn) columns.push_back({kSerialTitle, kSerialColumnWidth, ReportAlign::Centre});
    std::vector<int> printed;
    for (int index : request.printColumns) {
        if (index < 0 || static_cast<std::size_t>(index) >= source.columns.size()) continue;
        const ReportSourceColumn& column = source.columns[static_cast<std::size_t>(index)];
        columns.push_back({column.title, static_cast<int>(column.widthPixels * 2.5), column.alignment});
        printed.push_back(index);
    }
    // A formula sees the columns before the formula columns, by their titles.
    std::vector<std::string> formulaTitles;
    for (const ReportColumn& column : columns) formulaTitles.push_back(column.title);
    for (const FormulaColumn& formula : request.formulas) {
        columns.push_back({formula.columnName, kFormulaColumnWidth, ReportAlign::Centre});
    }

    BuiltReport built{ReportTable(std::move(columns), request.fontSize), {}};
    ReportTable& table = built.table;
    table.title = request.title;
    table.titleFont = request.titleFont;
    table.notes = request.notes;
    table.lineStyle = request.lineStyle;
    table.colours = request.colours;
    table.summaryMode = request.summary.mode;

    const std::size_t rows = source.rowCount;
    table.Reserve(rows, rows * table.ColumnCount() * 12);
    std::vector<std::string> texts(table.ColumnCount());
    std::vector<std::string_view> cells(table.ColumnCount());
    const std::size_t firstPrinted = request.serialColumn ? 1 : 0;
    const std::size_t firstFormula = firstPrinted + printed.size();
    for (std::size_t r = 0; r < rows; ++r) {
        if (r % 1024 == 0) {
            if (stop.stop_requested()) return std::nullopt;
            if (progress && r > 0) progress(r);
        }
        if (request.serialColumn) texts[0] = NumberToText(static_cast<std::int64_t>(r + 1));
        for (std::size_t c = 0; c < printed.size(); ++c) texts[firstPrinted + c] = source.cellText(r, printed[c]);
        for (std::size_t c = 0; c < firstFormula; ++c) cells[c] = texts[c];
        for (std::size_t j = 0; j < request.formulas.size(); ++j) {
            const double value = EvaluateFormulaForRow(request.formulas[j].formula, formulaTitles, cells);
            texts[firstFormula + j] = NumberToGroupedText(value, request.formulaDecimals, request.formulaSeparators);
        }
        for (std::size_t c = 0; c < texts.size(); ++c) cells[c] = texts[c];
        table.AppendRow(cells);
    }

    if (request.summary.mode == SummaryMode::Count) {
        table.summaryCells = {" 合计共 " + NumberToText(static_cast<std::int64_t>(rows)) + " 条记录"};
    } else if (request.summary.mode == SummaryMode::Statistics) {
        table.summaryCells.assign(table.ColumnCount(), "-----");
        if (!table.summaryCells.empty()) table.summaryCells[0] = "统计";
        for (const std::string& title : request.summary.titles) {
            for (std::size_t c = 0; c < table.ColumnCount(); ++c) {
                if (table.Columns()[c].title != title) continue;
                double sum = 0.0;
                for (std::size_t r = 0; r < rows; ++r) sum += CellNumber(table.Cell(r, c), false).value_or(0.0);
                table.summaryCells[c] =
                    NumberToGroupedText(sum, request.statisticsDecimals, request.statisticsSeparators);
            }
        }
    }

    const int capacity = static_cast<int>(std::lround(table.TotalWidth() / double(kHeaderCharWidth)));
    SpacedLine header = SpaceLineParts(request.headerParts, capacity);
    if (header.cut) built.warnings.push_back(kHeaderTooLongMessage);
    table.headerLine = std::move(header.text);
    SpacedLine footer = SpaceLineParts(request.footerParts, capacity);
    if (footer.cut) built.warnings.push_back(kFooterTooLongMessage);
    table.footerText = std::move(footer.text);
    table.headerParts = request.headerParts;
    table.footerParts = request.footerParts;
    if (progress) progress(rows);
    return built;
}

}  // namespace varnel

#include "tools/ui/report_painter.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

namespace varnel {

namespace {

constexpr double kUnitsPerInch = 254.0;  // tenths of a millimetre
constexpr double kCellPadding = 8.0;

// Pens of the border styles: thin, thick and dotted lines, and the usual line.
QPen BorderPen(int lineStyle, bool titleRow) {
    QPen pen(Qt::black);
    pen.setCosmetic(false);
    switch (lineStyle) {
        case 2:
            pen.setWidthF(titleRow ? 4.0 : 2.0);
            if (!titleRow) pen.setStyle(Qt::DotLine);
            break;
        case 3: pen.setWidthF(4.0); break;
        case 4: pen.setWidthF(1.0); break;
        default: pen.setWidthF(2.0); break;
    }
    return pen;
}

Qt::Alignment ToQtAlignment(ReportAlign align) {
    switch (align) {
        case ReportAlign::TopLeft: return Qt::AlignLeft | Qt::AlignTop;
        case ReportAlign::Left: return Qt::AlignLeft | Qt::AlignVCenter;
        case ReportAlign::Right: return Qt::AlignRight | Qt::AlignVCenter;
        case ReportAlign::BottomLeft: return Qt::AlignLeft | Qt::AlignBottom;
        case ReportAlign::Centre: break;
    }
    return Qt::AlignCenter;
}

const std::vector<std::string> kNoParts;

class PagePainter {
public:
    PagePainter(QPainter& painter, const ReportTable& table) : m_painter(painter), m_table(table) {
        m_family = ReportFontFamily();
        m_titleFamily = ReportFontFamily(table.titleFont.face);
    }

    QFont FontOf(ReportPart part) const {
        QFont font(part == ReportPart::Title ? m_titleFamily : m_family);
        font.setPixelSize(std::max(1, m_table.FontSizeOf(part)));
        if (part == ReportPart::Title) {
            font.setBold(m_table.titleFont.bold);
            font.setItalic(m_table.titleFont.italic);
        } else {
            font.setBold(part == ReportPart::ColumnTitles);
        }
        return font;
    }

    // The width a text takes in a cell of the part, padding included, in table lengths.
    double Measure(std::string_view text, ReportPart part) const {
        if (text.empty()) return 0.0;
        const QFontMetricsF metrics(FontOf(part));
        // One unit more, so rounding on the device never cuts the last character.
        return metrics.horizontalAdvance(QString::fromUtf8(text.data(), qsizetype(text.size()))) +
               2 * kCellPadding + 1.0;
    }

    // The columns of the page being drawn.
    void SetWidths(std::vector<double> widths) {
        m_widths = std::move(widths);
        m_totalWidth = 0;
        for (const double width : m_widths) m_totalWidth += width;
    }

    // A number or a column title is drawn whole (its column was made wide enough);
    // another text that does not fit ends in "…".
    void Text(const QRectF& rect, const std::string& text, ReportAlign align, bool whole) {
        const QRectF inner = rect.adjusted(kCellPadding, 0, -kCellPadding, 0);
        QString shown = QString::fromStdString(text);
        if (!whole) shown = QFontMetricsF(m_painter.font()).elidedText(shown, Qt::ElideRight, inner.width());
        m_painter.drawText(inner, ToQtAlignment(align) | Qt::TextSingleLine | Qt::TextDontClip, shown);
    }

    // A row drawn as one cell over all columns. The parts of the header and footer
    // lines are spread over the width the table is drawn with: the first at the
    // left, the last at the right, equal room between them.
    double Across(double y, ReportPart part, const std::string& text) {
        const double height = m_table.RowHeight(part);
        m_painter.setFont(FontOf(part));
        m_painter.setPen(Qt::black);
        const QRectF row(0, y, m_totalWidth, height);
        const std::vector<std::string>& parts = part == ReportPart::Header   ? m_table.headerParts
                                                : part == ReportPart::Footer ? m_table.footerParts
                                                                             : kNoParts;
        if (parts.size() <= 1 || !SpreadParts(row, parts, m_table.AlignmentOf(part, 0))) {
            Text(row, text, m_table.AlignmentOf(part, 0), false);
        }
        return y + height;
    }

    // False when the parts do not fit side by side.
    bool SpreadParts(const QRectF& row, const std::vector<std::string>& parts, ReportAlign align) {
        const QRectF inner = row.adjusted(kCellPadding, 0, -kCellPadding, 0);
        const QFontMetricsF metrics(m_painter.font());
        std::vector<double> widths;
        double used = 0;
        for (const std::string& part : parts) {
            widths.push_back(metrics.horizontalAdvance(QString::fromStdString(part)));
            used += widths.back();
        }
        const double gap = (inner.width() - used) / double(parts.size() - 1);
        if (gap < metrics.horizontalAdvance(QLatin1Char(' '))) return false;
        double x = inner.left();
        for (std::size_t i = 0; i < parts.size(); ++i) {
            m_painter.drawText(QRectF(x, inner.top(), widths[i] + 1.0, inner.height()),
                               ToQtAlignment(align) | Qt::TextSingleLine | Qt::TextDontClip,
                               QString::fromStdString(parts[i]));
            x += widths[i] + gap;
        }
        return true;
    }

    // A bordered row of cells; `dataRow` is its index among the data rows.
    double Cells(double y, ReportPart part, std::size_t dataRow) {
        const double height = m_table.RowHeight(part);
        m_painter.setFont(FontOf(part));
        const bool merged = part == ReportPart::Summary && m_table.summaryMode == SummaryMode::Count;
        double x = 0;
        for (std::size_t c = 0; c < m_table.ColumnCount() && c < m_widths.size(); ++c) {
            const double width = merged ? m_totalWidth : m_widths[c];
            const QRectF cell(x, y, width, height);
            if (const auto colour = m_table.Background(part, dataRow, c)) m_painter.fillRect(cell, ToQColor(*colour));
            m_painter.setPen(Qt::black);
            std::string text;
            if (part == ReportPart::ColumnTitles) text = m_table.Columns()[c].title;
            else if (part == ReportPart::Data) text = std::string(m_table.Cell(dataRow, c));
            else if (c < m_table.summaryCells.size()) text = m_table.summaryCells[c];
            const bool whole = part == ReportPart::ColumnTitles || (!merged && IsReportNumberText(text));
            Text(cell, text, m_table.AlignmentOf(part, c), whole);
            m_painter.setPen(BorderPen(m_table.lineStyle, part == ReportPart::ColumnTitles));
            m_painter.drawRect(cell);
            x += width;
            if (merged) break;
        }
        return y + height;
    }

private:
    QPainter& m_painter;
    const ReportTable& m_table;
    QString m_family;
    QString m_titleFamily;
    std::vector<double> m_widths;
    double m_totalWidth = 0;
};

void PaintPageNumber(QPainter& painter, const ReportLayout& layout, std::size_t page, std::size_t pageCount,
                     const QString& family) {
    const int position = layout.pageNumberPosition;
    if (position < 1 || position > 6) return;
    QFont font(family);
    font.setPixelSize(kSmallFontSize);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const bool top = position <= 3;
    const QRectF band(kReportMargin, top ? 0 : layout.page.height - kReportMargin,
                      layout.page.width - 2 * kReportMargin, kReportMargin);
    Qt::Alignment align = Qt::AlignVCenter;
    switch ((position - 1) % 3) {
        case 0: align |= Qt::AlignLeft; break;
        case 1: align |= Qt::AlignHCenter; break;
        default: align |= Qt::AlignRight; break;
    }
    painter.drawText(band, align, QString::fromStdString(PageNumberText(page, pageCount)));
}

}  // namespace

QColor ToQColor(ColourNumber colour) {
    return QColor(int(colour & 0xff), int((colour >> 8) & 0xff), int((colour >> 16) & 0xff));
}

ColourNumber ToColourNumber(const QColor& colour) { return MakeColour(colour.red(), colour.green(), colour.blue()); }

QString ReportFontFamily(const std::string& face) {
    const QStringList installed = QFontDatabase::families();
    if (!face.empty() && installed.contains(QString::fromStdString(face))) return QString::fromStdString(face);
    const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    if (!chinese.isEmpty()) return chinese.front();
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

void SetUpReportPrinter(QPrinter& printer, const ReportLayout& layout) {
    // The paper is always given upright; the orientation turns it.
    const bool landscape = layout.page.width > layout.page.height;
    const QSizeF upright(std::min(layout.page.width, layout.page.height) / 10.0,
                         std::max(layout.page.width, layout.page.height) / 10.0);
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(QPageSize(upright, QPageSize::Millimeter),
                                      landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                      QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
}

bool PaintReport(QPrinter& printer, const ReportTable& table, const ReportLayout& layout) {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    painter.setRenderHint(QPainter::Antialiasing, false);
    const double toDevice = printer.resolution() / kUnitsPerInch;
    PagePainter rows(painter, table);
    const QString family = ReportFontFamily();
    const std::size_t pageCount = layout.pages.size();
    const ReportTextMeasure measure = [&rows](std::string_view text, ReportPart part) {
        return rows.Measure(text, part);
    };
    // The width between the margins, in the table's lengths at the layout's scale.
    const double room = (layout.page.width - 2.0 * kReportMargin) / layout.scale;
    for (std::size_t p = 0; p < pageCount; ++p) {
        const ReportPage& page = layout.pages[p];
        if (p > 0 && !printer.newPage()) return false;
        painter.resetTransform();
        painter.scale(toDevice, toDevice);
        PaintPageNumber(painter, layout, p + 1, pageCount, family);
        // The table fills the width between the margins; a page whose numbers made
        // it wider is drawn that much smaller.
        std::vector<double> widths = PageColumnWidths(table, page, room, measure);
        double total = 0;
        for (const double width : widths) total += width;
        const double scale = layout.scale * (total > room ? room / total : 1.0);
        rows.SetWidths(std::move(widths));
        painter.translate(kReportMargin, layout.top);
        painter.scale(scale, scale);
        double y = 0;
        if (page.headings) {
            y = rows.Across(y, ReportPart::Title, table.title);
            y = rows.Across(y, ReportPart::Header, table.headerLine);
            y = rows.Cells(y, ReportPart::ColumnTitles, 0);
        }
        for (std::size_t r = page.firstBodyRow; r < page.firstBodyRow + page.bodyRows; ++r) {
            y = r < table.DataRowCount() ? rows.Cells(y, ReportPart::Data, r) : rows.Cells(y, ReportPart::Summary, 0);
        }
        for (int f = 0; f < page.footerRows; ++f) y = rows.Across(y, ReportPart::Footer, table.footerText);
        if (page.notes) rows.Across(y + kDefaultRowHeight, ReportPart::Notes, table.notes);
    }
    return painter.end();
}

bool PrintReportToPdf(const ReportTable& table, const ReportLayout& layout, const QString& path) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    SetUpReportPrinter(printer, layout);
    return PaintReport(printer, table, layout);
}

}  // namespace varnel

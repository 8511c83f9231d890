// Draws the list report page by page with QPainter on a QPrinter (the preview,
// a real printer or a PDF file), and the few conversions the report needs at the
// Qt edge: colour numbers, the report font, the paper. UI thread only.
#pragma once

#include <QColor>
#include <QString>

#include <string>

#include "tools/report_layout.h"
#include "tools/report_table.h"

class QPrinter;

namespace varnel {

QColor ToQColor(ColourNumber colour);
ColourNumber ToColourNumber(const QColor& colour);

// The report's font family: `face` when it is installed, else a font with Chinese
// characters that fontconfig knows, else the general font.
QString ReportFontFamily(const std::string& face = {});

// Paper, orientation and zero margins of the layout (margins are drawn by us).
void SetUpReportPrinter(QPrinter& printer, const ReportLayout& layout);
// Draws every page on a printer already set up; false when it could not start.
bool PaintReport(QPrinter& printer, const ReportTable& table, const ReportLayout& layout);
// The report as a PDF file; false when it could not be written.
bool PrintReportToPdf(const ReportTable& table, const ReportLayout& layout, const QString& path);

}  // namespace varnel

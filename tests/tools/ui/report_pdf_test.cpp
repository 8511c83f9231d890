#include <gtest/gtest.h>

#include <QString>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "support/command_output.h"
#include "support/temp_dir.h"
#include "tools/report_fixture.h"
#include "tools/report_layout.h"
#include "tools/ui/report_painter.h"

namespace varnel {
namespace {

using testing::CommandOutput;
using testing::SmallList;
using testing::TempDir;

// The page count pdfinfo reads from the file.
int PageCount(const std::string& pdf) {
    const std::string info = CommandOutput("pdfinfo '" + pdf + "'");
    const std::size_t at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 6);
}

// The text pdftotext reads, without blanks (it drops those between Chinese characters).
std::string PdfText(const std::string& pdf) {
    std::string text = CommandOutput("pdftotext -layout '" + pdf + "' -");
    std::erase(text, ' ');
    return text;
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++count;
    return count;
}

TEST(ReportPdfTest, EveryPageCarriesTheHeadingsAndAFooter) {
    ReportRequest request;
    request.title = "文件清单";
    request.printColumns = {0, 1, 2};
    request.serialColumn = true;
    request.headerParts = {"LEFT", "RIGHT"};
    request.footerParts = {"FOOT"};
    request.rowsPerPage = 17;  // 51 body rows: three full pages, the closing footer on the third
    request.summary.mode = SummaryMode::Count;
    request.colours = {2, MakeColour(200, 200, 255), MakeColour(255, 255, 255), MakeColour(230, 230, 230)};
    request.pageNumberPosition = 5;
    request.notes = "NOTES";
    const auto built = BuildListReport(SmallList(50), request);
    ASSERT_TRUE(built);
    const ReportLayout layout = LayOutReport(built->table, request, false);
    ASSERT_EQ(layout.pages.size(), 3u);

    TempDir dir;
    const std::string pdf = dir / "report.pdf";
    ASSERT_TRUE(PrintReportToPdf(built->table, layout, QString::fromStdString(pdf)));
    EXPECT_EQ(PageCount(pdf), 3);
    const std::string text = PdfText(pdf);
    EXPECT_EQ(Count(text, "\f"), 3u);
    EXPECT_EQ(Count(text, "文件清单"), 3u);
    EXPECT_EQ(Count(text, "FOOT"), 4u);  // one a page, and the closing one
    EXPECT_EQ(Count(text, "第2页共3页"), 1u);
    EXPECT_NE(text.find("合计共50条记录"), std::string::npos);
    EXPECT_NE(text.find("f50"), std::string::npos);
    EXPECT_NE(text.find("NOTES"), std::string::npos);
    // The header line spreads its parts apart, on every page.
    std::size_t page = 0;
    for (std::size_t from = 0; page < 3; ++page) {
        const std::size_t end = text.find('\f', from);
        const std::string one = text.substr(from, end - from);
        EXPECT_NE(one.find("LEFT"), std::string::npos) << page;
        EXPECT_NE(one.find("RIGHT"), std::string::npos) << page;
        EXPECT_NE(one.find("序号"), std::string::npos) << page;
        EXPECT_NE(one.find("FOOT"), std::string::npos) << page;
        from = end + 1;
    }
#ifdef VARNEL_REPORT_PICTURE
    // The first page as a picture beside the build, to look at.
    const std::string picture = VARNEL_REPORT_PICTURE;
    CommandOutput("pdftoppm -png -r 60 -f 1 -l 1 -singlefile '" + pdf + "' '" +
                  picture.substr(0, picture.size() - 4) + "'");
#endif
}

// Every serial, every formula value and the statistics sum of a long report come
// out of the PDF whole: a number's column is as wide as its widest text.
TEST(ReportPdfTest, NoNumberIsEverCut) {
    constexpr std::size_t kRows = 10000;
    ReportRequest request;
    request.printColumns = {0, 1, 2};
    request.serialColumn = true;
    request.formulas = {{"公式", "1000000000000"}};
    request.formulaDecimals = 2;
    request.formulaSeparators = true;
    request.summary = {SummaryMode::Statistics, {"公式", "序号"}};
    ReportSource source = SmallList(kRows);
    // Names far too long for their column: they end in "…".
    source.cellText = [list = source.cellText](std::size_t row, int column) {
        return column == 0 ? list(row, column) + std::string(300, 'x') : list(row, column);
    };
    const auto built = BuildListReport(source, request);
    ASSERT_TRUE(built);
    const ReportLayout layout = LayOutReport(built->table, request, false);
    TempDir dir;
    const std::string pdf = dir / "long.pdf";
    ASSERT_TRUE(PrintReportToPdf(built->table, layout, QString::fromStdString(pdf)));

    const std::string text = CommandOutput("pdftotext -layout '" + pdf + "' -");
    std::istringstream lines(text);
    std::vector<bool> serialSeen(kRows + 1, false);
    std::size_t values = 0;
    bool sumSeen = false;
    bool serialSumSeen = false;
    bool elided = false;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::vector<std::string> tokens;
        for (std::string word; words >> word;) tokens.push_back(word);
        if (tokens.empty()) continue;
        if (tokens.back() == "1,000,000,000,000.00") {
            ++values;
            const std::size_t serial = std::strtoul(tokens.front().c_str(), nullptr, 10);
            ASSERT_TRUE(serial >= 1 && serial <= kRows) << line;
            serialSeen[serial] = true;
        }
        sumSeen = sumSeen || tokens.back() == "10000000000000000";
        serialSumSeen = serialSumSeen || tokens.front() == "50005000";  // in place of "统计"
        elided = elided || line.find("…") != std::string::npos;
    }
    EXPECT_EQ(values, kRows);
    EXPECT_EQ(std::count(serialSeen.begin() + 1, serialSeen.end(), true), static_cast<long>(kRows));
    EXPECT_TRUE(sumSeen) << text.substr(text.size() - std::min<std::size_t>(text.size(), 800));
    EXPECT_TRUE(serialSumSeen) << text.substr(text.size() - std::min<std::size_t>(text.size(), 800));
    EXPECT_TRUE(elided) << text.substr(0, 800);
}

TEST(ReportPdfTest, AShrunkWideTableStaysOnThePaper) {
    ReportSource source = SmallList(5);
    source.columns[0].widthPixels = 3000;
    ReportRequest request;
    request.printColumns = {0, 1, 2};
    request.pageNumberPosition = 2;
    const auto built = BuildListReport(source, request);
    const ReportLayout layout = LayOutReport(built->table, request, true);
    TempDir dir;
    const std::string pdf = dir / "wide.pdf";
    ASSERT_TRUE(PrintReportToPdf(built->table, layout, QString::fromStdString(pdf)));
    EXPECT_EQ(PageCount(pdf), 1);
    const std::string text = PdfText(pdf);
    EXPECT_NE(text.find("第1页共1页"), std::string::npos);
    EXPECT_NE(text.find("txt"), std::string::npos);  // the last column is still on the page
}

}  // namespace
}  // namespace varnel

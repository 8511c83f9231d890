#include "tools/report_layout.h"

#include <gtest/gtest.h>

#include "tools/report_fixture.h"

namespace varnel {
namespace {

using testing::SmallList;

TEST(ReportLayoutTest, FootersFollowEveryFullPageAndCloseTheTable) {
    // Two rows a page, four rows: footers after rows 2 and 4, and the closing one.
    EXPECT_EQ(PlaceFooters(4, 2), (std::vector<ReportPage>{{0, 2, 1, true, false}, {2, 2, 2, true, false}}));
    EXPECT_EQ(PlaceFooters(5, 2), (std::vector<ReportPage>{{0, 2, 1, true, false}, {2, 2, 1, true, false},
                                                           {4, 1, 1, true, false}}));
    EXPECT_EQ(PlaceFooters(0, 2), (std::vector<ReportPage>{{0, 0, 1, true, false}}));
}

TEST(ReportLayoutTest, Margins) {
    EXPECT_EQ(LeftMargin(2000, 1000, true), 600);
    EXPECT_EQ(LeftMargin(2000, 1000, false), 180);
    EXPECT_EQ(ReportPageSize(1, 0).width, 2100);
    EXPECT_EQ(ReportPageSize(1, 1).width, 2970);
    EXPECT_EQ(ReportPageSize(7, 0).height, 1510);
    EXPECT_EQ(ReportPapers().size(), 8u);
}

TEST(ReportLayoutTest, PagesHoldWhatFits) {
    ReportRequest request;
    request.printColumns = {0, 1, 2};
    request.paper = 1;
    request.orientation = 0;
    const auto built = BuildListReport(SmallList(1000), request);
    ASSERT_TRUE(built);
    ReportLayout layout = LayOutReport(built->table, request, false);
    ASSERT_GT(layout.bodyRowsPerPage, 10u);
    // Every page fits on the paper.
    const ReportTable& table = built->table;
    const int headings = table.RowHeight(ReportPart::Title) + table.RowHeight(ReportPart::Header) +
                         table.RowHeight(ReportPart::ColumnTitles);
    const int fullPage = headings + int(layout.bodyRowsPerPage) * table.RowHeight(ReportPart::Data) +
                         2 * table.RowHeight(ReportPart::Footer);
    EXPECT_LE(fullPage, layout.page.height - 2 * kReportMargin);
    std::size_t rows = 0;
    for (const ReportPage& page : layout.pages) rows += page.bodyRows;
    EXPECT_EQ(rows, 1000u);

    // The user's number of rows when it fits; never fewer than 2.
    request.rowsPerPage = 7;
    EXPECT_EQ(LayOutReport(table, request, false).bodyRowsPerPage, 7u);
    request.rowsPerPage = 100000;
    EXPECT_EQ(LayOutReport(table, request, false).bodyRowsPerPage, layout.bodyRowsPerPage);
    request.rowsPerPage = 1;
    EXPECT_EQ(LayOutReport(table, request, false).bodyRowsPerPage, 1u);
}

TEST(ReportLayoutTest, WideTablesShrinkAndKeepTheirPageNumbers) {
    ReportSource source = SmallList(3);
    source.columns[0].widthPixels = 2000;  // 5000 wide
    ReportRequest request;
    request.printColumns = {0, 1, 2};
    request.pageNumberPosition = 5;
    request.notes = "备注";
    const auto built = BuildListReport(source, request);
    ASSERT_TRUE(ReportWiderThanPage(built->table, request.paper, request.orientation));
    const ReportLayout layout = LayOutReport(built->table, request, true);
    EXPECT_LT(layout.scale, 1.0);
    EXPECT_EQ(layout.left, kReportMargin);
    EXPECT_EQ(layout.pageNumberPosition, 5);
    ASSERT_EQ(layout.pages.size(), 1u);
    EXPECT_TRUE(layout.pages[0].notes);
}

TEST(ReportLayoutTest, NumberTexts) {
    struct Case {
        const char* text;
        bool number;
    };
    const Case cases[] = {
        {"10000", true},  {"1,000,000,000,000.00", true}, {"-3.5", true},    {" +7 ", true},
        {"", false},      {"-", false},                   {"1.2.3", false},  {"1.000,5", false},
        {"12 KB", false}, {"f10", false},                 {"1e12", false},   {"合计共 3 条记录", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsReportNumberText(c.text), c.number) << c.text;
}

// Each byte measures 10 table units: numbers and titles widen their columns on
// the page that holds them, other texts never do, and a narrow table fills the room.
TEST(ReportLayoutTest, PageColumnsHoldTheirWidestNumberAndTitle) {
    ReportTable table({{"序号", 30, ReportAlign::Centre}, {"name", 30, ReportAlign::Left}, {"sum", 30, ReportAlign::Right}},
                      30);
    table.AppendRow({"9", "a long name that is cut", "1,000"});
    table.AppendRow({"10", "b", "1,000,000,000,000.00"});
    table.summaryMode = SummaryMode::Statistics;
    table.summaryCells = {"统计", "-----", "15000000000000000"};
    const ReportTextMeasure measure = [](std::string_view text, ReportPart) { return 10.0 * text.size(); };

    const std::vector<double> first = PageColumnWidths(table, {0, 1, 1, true, false}, 0, measure);
    EXPECT_EQ(first, (std::vector<double>{60, 40, 50}));  // "序号" is 6 bytes, "name" 4, "1,000" 5
    const std::vector<double> second = PageColumnWidths(table, {1, 2, 1, true, false}, 0, measure);
    EXPECT_EQ(second, (std::vector<double>{60, 40, 200}));  // the number row and the statistics row
    // The room left over goes to every column alike.
    const std::vector<double> filled = PageColumnWidths(table, {0, 1, 1, true, false}, 300, measure);
    EXPECT_EQ(filled, (std::vector<double>{120, 80, 100}));

    table.summaryMode = SummaryMode::Count;  // a count row spans the table and widens nothing
    table.summaryCells = {"12345678901234567890"};
    EXPECT_EQ(PageColumnWidths(table, {2, 1, 1, true, false}, 0, measure), (std::vector<double>{60, 40, 30}));
}

TEST(ReportLayoutTest, PageNumberText) { EXPECT_EQ(PageNumberText(2, 10), "第 2 页 共 10 页"); }

}  // namespace
}  // namespace varnel

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

TEST(ReportLayoutTest, PageNumberText) { EXPECT_EQ(PageNumberText(2, 10), "第 2 页 共 10 页"); }

}  // namespace
}  // namespace varnel

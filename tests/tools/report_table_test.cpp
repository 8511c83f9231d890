#include "tools/report_table.h"

#include <gtest/gtest.h>

#include "tools/report_fixture.h"

namespace varnel {
namespace {

using testing::SmallList;

ReportRequest AllColumns() {
    ReportRequest request;
    request.printColumns = {0, 1, 2};
    return request;
}

TEST(ReportTableTest, ZeroRowsKeepTheHeadingsAndTheCount) {
    ReportRequest request = AllColumns();
    request.summary.mode = SummaryMode::Count;
    const auto built = BuildListReport(SmallList(0), request);
    ASSERT_TRUE(built);
    EXPECT_EQ(built->table.DataRowCount(), 0u);
    EXPECT_EQ(built->table.BodyRowCount(), 1u);
    EXPECT_EQ(built->table.summaryCells, std::vector<std::string>{" 合计共 0 条记录"});
    EXPECT_EQ(built->table.ColumnCount(), 3u);
}

TEST(ReportTableTest, SerialAndFormulaColumns) {
    ReportRequest request = AllColumns();
    request.serialColumn = true;
    request.formulas = {{"两倍", "[大小]*2+[序号]"}};
    request.formulaDecimals = 1;
    request.formulaSeparators = true;
    const auto built = BuildListReport(SmallList(3), request);
    ASSERT_TRUE(built);
    const ReportTable& table = built->table;
    ASSERT_EQ(table.ColumnCount(), 5u);
    std::vector<std::string> titles;
    for (const ReportColumn& column : table.Columns()) titles.push_back(column.title);
    EXPECT_EQ(titles, (std::vector<std::string>{"序号", "名称", "大小", "类型", "两倍"}));
    EXPECT_EQ(table.Cell(0, 0), "1");
    EXPECT_EQ(table.Cell(2, 0), "3");
    EXPECT_EQ(table.Cell(1, 1), "f2");
    EXPECT_EQ(table.Cell(1, 2), "2,000");
    EXPECT_EQ(table.Cell(1, 4), "4,002.0");
    // Widths: serial 100, list columns pixels x 2.5, formula column its own.
    EXPECT_EQ(table.Columns()[0].width, 100);
    EXPECT_EQ(table.Columns()[1].width, 250);
    EXPECT_EQ(table.Columns()[2].width, 200);
    EXPECT_EQ(table.AlignmentOf(ReportPart::Data, 2), ReportAlign::Right);
    EXPECT_EQ(table.AlignmentOf(ReportPart::Data, 0), ReportAlign::Centre);
    EXPECT_EQ(table.AlignmentOf(ReportPart::Data, 4), ReportAlign::Centre);
    EXPECT_EQ(table.AlignmentOf(ReportPart::ColumnTitles, 1), ReportAlign::Centre);
}

TEST(ReportTableTest, StatisticsSumNumbersWithTheirOwnDecimals) {
    ReportRequest request = AllColumns();
    request.formulas = {{"一半", "[大小]/3"}};
    request.formulaDecimals = 2;
    request.statisticsDecimals = 1;
    request.statisticsSeparators = true;
    request.summary = {SummaryMode::Statistics, {"大小", "一半", "名称", "不存在"}};
    const auto built = BuildListReport(SmallList(4), request);
    ASSERT_TRUE(built);
    const ReportTable& table = built->table;
    EXPECT_EQ(table.Cell(0, 3), "333.33");
    // 1,000 + 2,000 + 3,000 + 4,000 read as numbers; the formula column sums its
    // rounded cells; a name column sums to 0 and overwrites "统计".
    EXPECT_EQ(table.summaryCells, (std::vector<std::string>{"0.0", "10,000.0", "-----", "3,333.3"}));
}

TEST(ReportTableTest, ColourSchemes) {
    ReportRequest request = AllColumns();
    request.summary.mode = SummaryMode::Count;
    request.colours = {2, 10, 11, 12};
    auto built = BuildListReport(SmallList(5), request);
    ASSERT_TRUE(built);
    const ReportTable& rows = built->table;
    EXPECT_EQ(rows.Background(ReportPart::ColumnTitles, 0, 0), 10u);
    for (std::size_t r = 0; r < 5; ++r) {
        EXPECT_EQ(rows.Background(ReportPart::Data, r, 1), r % 2 == 0 ? 11u : 12u) << r;
    }
    EXPECT_EQ(rows.Background(ReportPart::Summary, 0, 0), 10u);

    request.colours = {3, 10, 11, 12};
    built = BuildListReport(SmallList(5), request);
    const ReportTable& columns = built->table;
    for (std::size_t c = 0; c < 3; ++c) {
        EXPECT_EQ(columns.Background(ReportPart::Data, 3, c), c % 2 == 0 ? 11u : 12u) << c;
    }

    // Mode 零: no summary row, so nothing takes the title colour below the data.
    request.summary.mode = SummaryMode::None;
    built = BuildListReport(SmallList(5), request);
    EXPECT_FALSE(built->table.HasSummaryRow());
    EXPECT_EQ(built->table.BodyRowCount(), 5u);
    request.colours = {};
    built = BuildListReport(SmallList(5), request);
    EXPECT_EQ(built->table.Background(ReportPart::Data, 0, 0), std::nullopt);
    EXPECT_EQ(built->table.Background(ReportPart::ColumnTitles, 0, 0), std::nullopt);
}

TEST(ReportTableTest, HeaderAndFooterLines) {
    EXPECT_EQ(SpaceLineParts({"0123456789", "abcdef"}, 40).text, "0123456789" + std::string(24, ' ') + "abcdef");
    EXPECT_EQ(SpaceLineParts({"abcd", "efgh", "ijkl"}, 40).text,
              "abcd" + std::string(14, ' ') + "efgh" + std::string(14, ' ') + "ijkl");
    const SpacedLine exact = SpaceLineParts({"0123456789", "0123456789"}, 20);
    EXPECT_TRUE(exact.cut);
    EXPECT_EQ(exact.text, "01234567890123456789");
    // A cut never splits a character: 中 is two wide.
    EXPECT_EQ(SpaceLineParts({"a中文"}, 4).text, "a中");
    EXPECT_EQ(SpaceLineParts({"单独"}, 40).text, "单独");
    EXPECT_FALSE(SpaceLineParts({""}, 40).cut);

    ReportRequest request = AllColumns();  // width 250 + 200 + 150 = 600: 35 bytes
    request.headerParts = {std::string(40, 'h')};
    request.footerParts = {"a", "b"};
    const auto built = BuildListReport(SmallList(1), request);
    EXPECT_EQ(built->warnings, std::vector<std::string>{kHeaderTooLongMessage});
    EXPECT_EQ(built->table.headerLine, std::string(35, 'h'));
    EXPECT_EQ(built->table.footerText, "a" + std::string(33, ' ') + "b");
}

TEST(ReportTableTest, StopsWhenAsked) {
    std::stop_source stop;
    stop.request_stop();
    EXPECT_FALSE(BuildListReport(SmallList(10), AllColumns(), stop.get_token()));
}

}  // namespace
}  // namespace varnel

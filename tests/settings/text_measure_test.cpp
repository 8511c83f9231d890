#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "settings/notice_layout.h"
#include "settings/text_block.h"
#include "utilities/path_routines.h"

namespace varnel {
namespace {

TEST(FindAllOccurrences, NonOverlappingOneBasedPositions) {
    struct Case {
        std::string sought;
        std::string text;
        bool caseSensitive;
        std::vector<std::size_t> positions;
    };
    const std::vector<Case> cases = {
        {"\r\n", "a\r\nbc\r\n\r\n", false, {2, 6, 8}},
        {"aa", "aaaaa", false, {1, 3}},
        {"Ab", "ab AB aB", false, {1, 4, 7}},
        {"Ab", "ab AB aB Ab", true, {10}},
        {"中", "中文中", true, {1, 7}},
        {"", "abc", false, {}},
        {"x", "", false, {}},
        {"abcd", "abc", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sought + " in " + c.text);
        EXPECT_EQ(FindAllOccurrences(c.sought, c.text, c.caseSensitive), c.positions);
        EXPECT_EQ(CountOccurrences(c.sought, c.text, c.caseSensitive),
                  static_cast<std::int64_t>(c.positions.size()));
    }
}

TEST(MeasureTextBlock, LinesWidthsAndWrapping) {
    struct Case {
        std::string text;
        int wrapWidth;
        bool wrap;
        TextBlockSize size;
    };
    const std::vector<Case> cases = {
        {"", 100, true, {0, 12}},
        {"abc", 100, true, {18, 12}},
        {"中文", 100, false, {24, 12}},
        {"ab\r\nabcd\r\n", 100, false, {24, 36}},  // the empty last line counts
        {"ab\nabcd", 100, false, {24, 24}},         // a bare line feed breaks too
        // 20 units = 120 px at wrap width 50: three lines, width capped.
        {std::string(20, 'x'), 50, true, {50, 36}},
        {std::string(20, 'x'), 60, true, {60, 24}},   // exactly two widths
        {std::string(20, 'x'), 50, false, {120, 12}},
        {std::string(20, 'x'), 0, true, {120, 12}},   // no wrap width: no wrapping
        {std::string(20, 'x'), -5, true, {120, 12}},
        {"ab\r\n" + std::string(20, 'x'), 50, true, {50, 48}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text + " @" + std::to_string(c.wrapWidth));
        EXPECT_EQ(MeasureTextBlock(c.text, c.wrapWidth, c.wrap), c.size);
    }
    EXPECT_EQ(MeasureTextBlock("中\r\nab", 0, false, TextMetrics{8, 20}), (TextBlockSize{16, 40}));
}

TEST(NoticeLayout, AutoCloseInterval) {
    struct Case {
        int autoCloseMs;
        std::string text;
        std::optional<int> interval;
    };
    const std::vector<Case> cases = {
        {0, "abc", 600},
        {0, " 中 ", 400},
        {0, "\u3000中\u3000", 400},
        {0, "   ", std::nullopt},  // a blank text: stays until closed
        {0, "", std::nullopt},
        {-1, "abc", std::nullopt},
        {1500, "abc", 1500},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("[" + c.text + "] " + std::to_string(c.autoCloseMs));
        EXPECT_EQ(NoticeAutoCloseInterval(c.autoCloseMs, c.text), c.interval);
    }
}

TEST(NoticeLayout, ParameterCorrections) {
    NoticePopupParams p;
    p.autoCloseMs = -7;
    p.slideInStep = 0;
    p.slideOutStep = -3;
    p.slideMode = 9;
    NormaliseNoticeParams(p);
    EXPECT_EQ(p.autoCloseMs, 0);
    EXPECT_EQ(p.slideInStep, 10);
    EXPECT_EQ(p.slideOutStep, 20);
    EXPECT_EQ(p.slideMode, 2);
    p.autoCloseMs = -1;
    p.slideMode = 3;
    NormaliseNoticeParams(p);
    EXPECT_EQ(p.autoCloseMs, -1);
    EXPECT_EQ(p.slideMode, 3);
}

TEST(NoticeLayout, TextSizeIsCappedAndFitsTheTitle) {
    // Wrapped at the width the screen leaves.
    EXPECT_EQ(MeasureNoticeText(std::string(100, 'x'), "t", 240, {}), (TextBlockSize{240, 36}));
    // A short message is widened to the title: 4 units x 6 + 30.
    EXPECT_EQ(MeasureNoticeText("a", "失败", 240, {}), (TextBlockSize{54, 12}));
}

TEST(NoticeLayout, LinksWrapIntoRowsAndWidenTheTextBox) {
    const NoticeLinkPlacement p = LayOutNoticeLinks({60, 60, 60, 200}, 14, 150);
    ASSERT_EQ(p.labels.size(), 4u);
    EXPECT_EQ(p.labels[0], (WindowRect{10, 10, 60, 14}));
    EXPECT_EQ(p.labels[1], (WindowRect{80, 10, 60, 14}));
    EXPECT_EQ(p.labels[2], (WindowRect{10, 34, 60, 14}));  // no room left in the first row
    EXPECT_EQ(p.labels[3], (WindowRect{10, 58, 200, 14}));  // a row of its own, wider than the box
    EXPECT_EQ(p.textWidth, 220);
    EXPECT_EQ(p.stripHeight, 82);

    const NoticeLinkPlacement none = LayOutNoticeLinks({}, 14, 150);
    EXPECT_TRUE(none.labels.empty());
    EXPECT_EQ(none.textWidth, 150);
    EXPECT_EQ(none.stripHeight, 0);
}

TEST(NoticeLayout, SlidesIntoTheBottomRightCornerAndOut) {
    const WindowRect area{0, 0, 800, 560};  // a panel below the area
    for (bool horizontal : {false, true}) {
        SCOPED_TRACE(horizontal);
        WindowRect place = NoticeSlideStart(area, 200, 100, horizontal);
        EXPECT_EQ(place, horizontal ? (WindowRect{800, 460, 200, 100})
                                    : (WindowRect{600, 560, 200, 100}));
        int steps = 0;
        NoticeSlideStep step{place, false};
        while (!step.done) {
            step = NoticeSlideIn(area, step.place, 30, horizontal);
            ++steps;
        }
        EXPECT_EQ(steps, horizontal ? 7 : 4);
        EXPECT_EQ(step.place, NoticeRestingPlace(area, 200, 100));
        EXPECT_EQ(step.place, (WindowRect{600, 460, 200, 100}));

        step = {step.place, false};
        steps = 0;
        while (!step.done) {
            step = NoticeSlideOut(area, step.place, 20, horizontal);
            ++steps;
        }
        EXPECT_EQ(steps, horizontal ? 10 : 5);
    }
}

TEST(NoticeLayout, SlideAxisByMode) {
    EXPECT_TRUE(NextNoticeSlideAxis(false, 2, false));
    EXPECT_FALSE(NextNoticeSlideAxis(true, 2, true));
    EXPECT_TRUE(NextNoticeSlideAxis(false, 3, true));
    EXPECT_FALSE(NextNoticeSlideAxis(true, 3, false));
    EXPECT_TRUE(NextNoticeSlideAxis(true, 0, false));
    EXPECT_FALSE(NextNoticeSlideAxis(false, 1, true));
}

}  // namespace
}  // namespace varnel

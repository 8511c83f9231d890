#include "frame/main_layout.h"

#include <gtest/gtest.h>

namespace varnel {
namespace {

// A 1000 x 700 client: filter row 30 (navigation 90), tree 220 + splitter 4,
// toolbar 28, status bar 22, task box 190 + splitter 4, batch area 150, control
// panel 120 x 40.
MainLayoutInput Designed() {
    MainLayoutInput in;
    in.clientWidth = 1000;
    in.clientHeight = 700;
    in.filterBarHeight = 30;
    in.navigationWidth = 90;
    in.treeWidth = 220;
    in.treeSplitterWidth = 4;
    in.toolbarHeight = 28;
    in.statusBarHeight = 22;
    in.taskBoxWidth = 190;
    in.taskSplitterWidth = 4;
    in.batchAreaHeight = 150;
    in.controlPanelWidth = 120;
    in.controlPanelHeight = 40;
    return in;
}

struct LayoutCase {
    const char* name;
    bool tree;
    bool toolbar;
    bool status;
    bool taskArea;
    int width;
    int height;
    WindowRect list;
    WindowRect toolbarRect;
    WindowRect batchArea;  // zero when the area is hidden
};

TEST(MainLayout, PlacesTheListByTheVisibilityChecksAndWindowSize) {
    const LayoutCase cases[] = {
        {"everything", true, true, true, true, 1000, 700,
         {224, 58, 582, 470}, {224, 30, 776, 28}, {224, 528, 582, 150}},
        {"hidden tree: toolbar and list go to the left edge", false, true, true, true, 1000, 700,
         {0, 58, 806, 470}, {0, 30, 1000, 28}, {0, 528, 806, 150}},
        {"hidden toolbar: the list moves up to the filter row", true, false, true, true, 1000, 700,
         {224, 30, 582, 498}, {224, 30, 776, 0}, {224, 528, 582, 150}},
        {"hidden status bar: the list gets its height", true, true, false, true, 1000, 700,
         {224, 58, 582, 492}, {224, 30, 776, 28}, {224, 550, 582, 150}},
        {"no batch task area: the list spans to the right edge", true, true, true, false, 1000, 700,
         {224, 58, 776, 620}, {224, 30, 776, 28}, {}},
        {"only the list", false, false, false, false, 1000, 700, {0, 30, 1000, 670}, {0, 30, 1000, 0}, {}},
        {"too narrow for tree and task box: widths stop at 0", true, true, true, true, 300, 700,
         {224, 58, 0, 470}, {224, 30, 76, 28}, {224, 528, 0, 150}},
        {"too low: the area keeps what room there is, the list none", true, true, true, true, 1000, 120,
         {224, 58, 582, 0}, {224, 30, 776, 28}, {224, 58, 582, 40}},
        {"smaller than the fixed rows", true, true, true, true, 100, 50,
         {224, 58, 0, 0}, {224, 30, 0, 28}, {224, 58, 0, 0}},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        MainLayoutInput in = Designed();
        in.showTree = c.tree;
        in.showToolbar = c.toolbar;
        in.showStatusBar = c.status;
        in.showBatchTaskArea = c.taskArea;
        in.clientWidth = c.width;
        in.clientHeight = c.height;
        const MainLayout out = LayOutMainWindow(in);
        EXPECT_EQ(out.list, c.list);
        EXPECT_EQ(out.treeShown, c.tree);
        EXPECT_EQ(out.toolbarShown, c.toolbar);
        EXPECT_EQ(out.statusBarShown, c.status);
        EXPECT_EQ(out.taskAreaShown, c.taskArea);
        if (c.toolbar) {
            EXPECT_EQ(out.toolbar, c.toolbarRect);
        }
        if (c.taskArea) {
            EXPECT_EQ(out.batchArea, c.batchArea);
        }
        for (const WindowRect& r : {out.navigation, out.filterBar, out.tree, out.treeSplitter, out.toolbar, out.list,
                                    out.taskBox, out.taskSplitter, out.batchArea, out.statusBar, out.controlPanel}) {
            EXPECT_GE(r.width, 0);
            EXPECT_GE(r.height, 0);
        }
    }
}

TEST(MainLayout, PlacesTheColumnsBesideTheList) {
    const MainLayout out = LayOutMainWindow(Designed());
    EXPECT_EQ(out.navigation, (WindowRect{0, 0, 90, 30}));
    EXPECT_EQ(out.filterBar, (WindowRect{90, 0, 910, 30}));
    EXPECT_EQ(out.tree, (WindowRect{0, 30, 220, 648}));
    EXPECT_EQ(out.treeSplitter, (WindowRect{220, 30, 4, 648}));
    EXPECT_EQ(out.taskBox, (WindowRect{810, 58, 190, 620}));
    EXPECT_EQ(out.taskSplitter, (WindowRect{806, 58, 4, 620}));
    EXPECT_EQ(out.statusBar, (WindowRect{0, 678, 1000, 22}));
    // Centred in the list, in the list's own coordinates.
    EXPECT_EQ(out.controlPanel, (WindowRect{231, 215, 120, 40}));
}

TEST(MainLayout, StatusPartsGrowWithTheirText) {
    EXPECT_EQ(StatusPartWidth(""), 30);
    EXPECT_EQ(StatusPartWidth("12"), 42);
    EXPECT_EQ(StatusPartWidth("1,234"), 60);
    EXPECT_EQ(StatusPartWidth("共计"), 54);  // a Chinese character counts 2
}

}  // namespace
}  // namespace varnel

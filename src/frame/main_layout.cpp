#include "frame/main_layout.h"

#include <algorithm>
#include <climits>

#include "utilities/utf8_text.h"

namespace varnel {

namespace {

int Size(long long value) { return static_cast<int>(std::clamp<long long>(value, 0, INT_MAX)); }

}  // namespace

MainLayout LayOutMainWindow(const MainLayoutInput& in) {
    MainLayout out;
    const long long w = in.clientWidth;
    const long long h = in.clientHeight;
    const long long f = in.filterBarHeight;
    const long long s = in.showStatusBar ? std::max(0, in.statusBarHeight) : 0;
    const long long t = in.showToolbar ? std::max(0, in.toolbarHeight) : 0;
    const long long treeWidth = std::max(0, in.treeWidth);
    const long long r = in.showTree ? treeWidth + std::max(0, in.treeSplitterWidth) : 0;

    const int navigation = std::min(Size(in.navigationWidth), Size(w));
    out.navigation = {0, 0, navigation, Size(f)};
    out.filterBar = {navigation, 0, Size(w - navigation), Size(f)};

    const int columnHeight = Size(h - f - s);
    out.treeShown = in.showTree;
    out.tree = {0, Size(f), Size(treeWidth), columnHeight};
    out.treeSplitter = {Size(treeWidth), Size(f), Size(in.treeSplitterWidth), columnHeight};

    out.toolbarShown = in.showToolbar;
    out.toolbar = {Size(r), Size(f), Size(w - r), Size(t)};

    const int top = Size(f + t);
    const long long bodyHeight = h - f - t - s;
    out.taskAreaShown = in.showBatchTaskArea;
    if (in.showBatchTaskArea) {
        const long long taskLeft = w - std::max(0, in.taskBoxWidth);
        const long long splitterLeft = taskLeft - std::max(0, in.taskSplitterWidth);
        out.taskBox = {static_cast<int>(taskLeft), top, Size(in.taskBoxWidth), Size(bodyHeight)};
        out.taskSplitter = {static_cast<int>(splitterLeft), top, Size(in.taskSplitterWidth), Size(bodyHeight)};
        // The area keeps its height while there is room; the list takes the rest.
        const int areaHeight = std::min(Size(in.batchAreaHeight), Size(bodyHeight));
        out.list = {Size(r), top, Size(splitterLeft - r), Size(bodyHeight - areaHeight)};
        out.batchArea = {out.list.x, out.list.y + out.list.height, out.list.width, areaHeight};
    } else {
        out.list = {Size(r), top, Size(w - r), Size(bodyHeight)};
    }

    out.statusBarShown = in.showStatusBar;
    out.statusBar = {0, static_cast<int>(h - s), Size(w), Size(s)};

    out.controlPanel = {out.list.width / 2 - in.controlPanelWidth / 2, out.list.height / 2 - in.controlPanelHeight / 2,
                        Size(in.controlPanelWidth), Size(in.controlPanelHeight)};
    return out;
}

int StatusPartWidth(std::string_view text) {
    return static_cast<int>(std::min<std::size_t>(GbkWidth(text), (INT_MAX - 30) / 6)) * 6 + 30;
}

}  // namespace varnel

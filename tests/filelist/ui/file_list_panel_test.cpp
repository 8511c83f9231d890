#include "filelist/ui/file_list_panel.h"

#include <QSignalSpy>

#include <filesystem>

#include <gtest/gtest.h>

#include "app/app_globals.h"
#include "support/qt_app.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

using testing::TempDir;

struct PanelFixture : ::testing::Test {
    PanelFixture() : panel(app, filterBar) {
        std::filesystem::create_directories(dir / "F/sub");
        for (const char* name : {"a.txt", "b.txt", "c.rar", "F/inner.txt", "F/sub/deep.txt"}) dir.Write(name, "x");
        panel.SetModifierSource([this] { return modifiers; });
    }

    // Waits for the load to finish and returns the names listed.
    std::vector<std::string> Rows() {
        QSignalSpy finished(&panel.Runner(), &ListLoadRunner::finished);
        if (panel.Runner().IsRunning()) {
            EXPECT_TRUE(finished.wait(10000));
        }
        std::vector<std::string> names;
        for (int row = 0; row < panel.Model().rowCount(); ++row) {
            names.push_back(panel.Model().data(panel.Model().index(row, 0)).toString().toStdString());
        }
        return names;
    }

    AppGlobals app;
    FilterBar filterBar;
    FileListPanel panel;
    TempDir dir;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

TEST_F(PanelFixture, ADropOfThreePathsListsThreeRows) {
    panel.OnPathDropped(dir.Path() + "/", "a.txt", 0, 3);
    panel.OnPathDropped(dir.Path() + "/", "b.txt", 0, 3);
    EXPECT_FALSE(panel.Runner().IsRunning());  // waits for the last path
    panel.OnPathDropped(dir.Path() + "/", "F", 0, 3);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a.txt", "b.txt", "F"}));

    app.gMainSettings.dropByWalkSettings = true;  // walk mode: files last to first, then folders
    for (const char* name : {"a.txt", "b.txt", "F"}) panel.OnPathDropped(dir.Path() + "/", name, 0, 3);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"b.txt", "a.txt", "inner.txt", "sub"}));
}

TEST_F(PanelFixture, CtrlAppendsInBothIconModes) {
    for (bool builtIn : {true, false}) {
        SCOPED_TRACE(builtIn);
        app.gMainSettings.builtInIcons = builtIn;
        panel.ApplyColumnChecks();
        modifiers = Qt::NoModifier;
        ASSERT_TRUE(panel.LoadPathsIntoList({dir / "a.txt"}, true));
        EXPECT_EQ(Rows().size(), 1u);
        modifiers = Qt::ControlModifier;
        ASSERT_TRUE(panel.LoadPathsIntoList({dir / "b.txt"}, true));
        EXPECT_EQ(Rows(), (std::vector<std::string>{"a.txt", "b.txt"}));
        EXPECT_FALSE(panel.Model().data(panel.Model().index(0, 0), Qt::DecorationRole).isNull());
    }
}

TEST_F(PanelFixture, LoadsAreRefusedWhileABatchTaskRuns) {
    ASSERT_TRUE(app.gRunControl.TryBegin(TaskKind::Execute));
    EXPECT_FALSE(panel.LoadPathsIntoList({dir / "a.txt"}, true));
    EXPECT_FALSE(panel.LastRefusal().isEmpty());
    app.gRunControl.End();
    EXPECT_TRUE(panel.LoadPathsIntoList({dir / "a.txt"}, true));
    Rows();
}

TEST_F(PanelFixture, WalksUseTheFilterBar) {
    MainSettings settings;
    settings.filterEnabled = true;
    settings.filterText = "*.txt";
    settings.walkDepth = "-1";
    filterBar.ShowSettings(settings);
    ASSERT_TRUE(panel.TraverseFoldersIntoList({dir.Path()}));
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a.txt", "b.txt", "inner.txt", "deep.txt"}));
}

}  // namespace
}  // namespace varnel

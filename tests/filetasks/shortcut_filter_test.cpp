#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "filelist/list_load.h"
#include "filetasks/shortcut_file.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

using testing::TempDir;

// The broken-shortcut filter of a load, with the shortcut reader plugged in as the
// application does: only a local target that does not exist makes a link broken.
TEST(ShortcutFilter, LoadKeepsOnlyTheRightLinks) {
    TempDir dir;
    dir.Write("target.txt", "x");
    ASSERT_TRUE(CreateLnkShortcut(dir / "good.lnk", dir / "target.txt"));
    ASSERT_TRUE(CreateLnkShortcut(dir / "broken.lnk", dir / "gone.txt"));
    ASSERT_TRUE(CreateLnkShortcut(dir / "windows.lnk", "C:\\Windows\\notepad.exe"));
    dir.Write("garbage.lnk", "not a link");
    dir.Write("plain.txt", "y");

    for (bool invert : {false, true}) {
        RowStore store;
        RunControl control;
        ASSERT_TRUE(control.TryBegin(TaskKind::ListLoad));
        ListLoadSettings settings;
        settings.extended.active = true;
        settings.extended.shortcutEnabled = true;
        settings.extended.shortcutInvert = invert;
        settings.shortcutTargetExists = [](std::string_view path) { return ShortcutTargetExists(path); };
        ListLoad load(store, settings, control);
        ASSERT_TRUE(load.LoadPaths({dir / "good.lnk", dir / "broken.lnk", dir / "windows.lnk", dir / "garbage.lnk",
                                    dir / "plain.txt"},
                                   false));
        std::vector<std::string> names;
        for (std::size_t row = 0; row < store.RowCount(); ++row) names.push_back(store.Name(row));
        // The test passes broken links (an unreadable one counts as broken); inverted, the others.
        const std::vector<std::string> expected =
            invert ? std::vector<std::string>{"good.lnk", "windows.lnk", "plain.txt"}
                   : std::vector<std::string>{"broken.lnk", "garbage.lnk"};
        EXPECT_EQ(names, expected) << "invert " << invert;
    }
}

}  // namespace
}  // namespace varnel

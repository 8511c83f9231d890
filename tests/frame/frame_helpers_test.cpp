#include <filesystem>

#include <gtest/gtest.h>

#include "settings/registry_store.h"
#include "settings/window_geometry.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

using testing::TempDir;

TEST(WindowGeometry, FitsTheAvailableScreen) {
    const WindowRect screen{0, 0, 1920, 1040};
    struct Case { WindowRect stored; WindowRect expected; };
    const Case cases[] = {
        {{50, 50, 1000, 700}, {50, 50, 1000, 700}},
        {{3000, 2000, 1000, 700}, {920, 340, 1000, 700}},  // from a larger screen
        {{-500, -20, 800, 600}, {0, 0, 800, 600}},
        {{0, 0, 5000, 4000}, {0, 0, 1920, 1040}},
        {{10, 10, 20, 10}, {10, 10, 480, 320}},            // below the minimum size
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClampWindowGeometry(c.stored, screen, 480, 320), c.expected);
    }
    EXPECT_EQ(ClampWindowGeometry({-5, -5, 10, 10}, {}, 480, 320), (WindowRect{-5, -5, 480, 320}));
}

TEST(RegistryStore, KeyPathSplitsIntoSectionAndKey) {
    TempDir dir;
    {
        RegistryStore registry(dir / "Varnel注册表.ini");
        EXPECT_TRUE(registry.WriteValue(kProgramPathKey, "/usr/bin/varnel"));
        EXPECT_FALSE(registry.WriteValue("no-separator", "x"));
    }
    EXPECT_EQ(dir.Read("Varnel注册表.ini"), "[Varnel软件\\Varnel更名]\n运行目录=/usr/bin/varnel\n");
    RegistryStore again(dir / "Varnel注册表.ini");
    EXPECT_EQ(again.ReadValue(kProgramPathKey), "/usr/bin/varnel");
}

}  // namespace
}  // namespace varnel

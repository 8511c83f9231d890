#include "frame/ui/menu_checks.h"

#include <gtest/gtest.h>

#include "support/qt_app.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

TEST(MenuChecks, KeyedByCaptionWithOppositeItem) {
    testing::TestApplication();

    testing::TempDir dir;
    dir.Write("s.ini", "[列定义]\n内置图标=假\n");
    SettingsStore store;
    store.SetFile(dir / "s.ini");
    store.SelectSection("列定义");

    QAction builtIn(QString::fromUtf8("内置图标(&B)"));
    QAction system(QString::fromUtf8("系统图标"));
    QAction autoFit(QString::fromUtf8("自动调节"));
    for (QAction* a : {&builtIn, &system, &autoFit}) a->setCheckable(true);
    builtIn.setChecked(true);
    autoFit.setChecked(true);

    EXPECT_EQ(MenuCheckKey(builtIn), "内置图标(B)");
    QAction plain(QString::fromUtf8("内置图标"));
    EXPECT_EQ(MenuCheckKey(plain), "内置图标");

    LoadMenuCheck(store, &plain, &system);
    EXPECT_FALSE(plain.isChecked());
    EXPECT_TRUE(system.isChecked());
    LoadMenuCheck(store, &autoFit);  // missing key: keeps its state
    EXPECT_TRUE(autoFit.isChecked());

    SaveMenuChecks(store, &plain, {&autoFit});
    ASSERT_TRUE(store.Flush());
    EXPECT_EQ(dir.Read("s.ini"), "[列定义]\n内置图标=假\n自动调节=真\n");
}

}  // namespace
}  // namespace varnel

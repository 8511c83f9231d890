#include "filelist/ui/extended_filter_window.h"

#include <QCloseEvent>

#include <gtest/gtest.h>

#include "support/qt_app.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

template <typename T>
T* Find(QWidget& window, const char* name) {
    return window.findChild<T*>(QString::fromUtf8(name));
}

TEST(ExtendedFilterWindow, EnablingRulesFollowTheTestBoxes) {
    testing::TempDir dir;
    SettingsStore store;
    store.SetFile(dir / "s.ini");
    ExtendedFilterWindow window(store);
    auto* type = Find<QCheckBox>(window, "选择框类型");
    auto* folder = Find<QRadioButton>(window, "单选框文件夹");
    auto* noExtension = Find<QCheckBox>(window, "选择框无格式");
    auto* pureFolder = Find<QCheckBox>(window, "选择框纯目录");
    auto* invert = Find<QCheckBox>(window, "选择框取反类型");
    ASSERT_TRUE(type && folder && noExtension && pureFolder && invert);
    EXPECT_FALSE(noExtension->isEnabled());
    type->setChecked(true);
    EXPECT_TRUE(noExtension->isEnabled());
    EXPECT_FALSE(pureFolder->isEnabled());
    EXPECT_FALSE(invert->isEnabled());  // only with the strict box checked
    noExtension->setChecked(true);
    EXPECT_TRUE(invert->isEnabled());
    folder->setChecked(true);
    EXPECT_TRUE(pureFolder->isEnabled());
    EXPECT_FALSE(noExtension->isEnabled());
    EXPECT_FALSE(invert->isEnabled());
    EXPECT_FALSE(Find<QLineEdit>(window, "编辑框关键字")->isEnabled());
}

TEST(ExtendedFilterWindow, CloseBoxSavesAndOnlyHides) {
    testing::TempDir dir;
    SettingsStore store;
    store.SetFile(dir / "s.ini");
    {
        ExtendedFilterWindow window(store);
        window.show();
        Find<QCheckBox>(window, "选择框大小")->setChecked(true);
        Find<QLineEdit>(window, "编辑框大小数值")->setText("5");
        Find<QComboBox>(window, "组合框大小单位")->setCurrentIndex(1);
        EXPECT_TRUE(window.CurrentState().active);
        QCloseEvent close;
        QCoreApplication::sendEvent(&window, &close);
        EXPECT_FALSE(close.isAccepted());
        EXPECT_FALSE(window.isVisible());
        EXPECT_FALSE(window.CurrentState().active);  // hidden: no test applies
    }
    ExtendedFilterWindow again(store);
    const ExtendedFilterState state = again.CurrentState();
    EXPECT_TRUE(state.sizeEnabled);
    EXPECT_EQ(state.SizeValue(), 5);
    EXPECT_EQ(state.sizeUnit, 1);
}

}  // namespace
}  // namespace varnel

#include "naming/ui/result_template_controls.h"

#include <QWidget>

#include <gtest/gtest.h>

#include "renames/rename_task.h"
#include "support/qt_app.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

TEST(ResultTemplateControls, PatternFollowsItsBoxAndRoundTrips) {
    testing::TestApplication();
    testing::TempDir dir;
    QWidget panel;
    ResultTemplateControls pair(&panel, nullptr, true);
    EXPECT_EQ(panel.findChild<QCheckBox*>(QString::fromUtf8("选择框扩展组合")), pair.Check());
    EXPECT_EQ(panel.findChild<QLineEdit*>(QString::fromUtf8("编辑框组合式")), pair.Pattern());
    EXPECT_FALSE(pair.Pattern()->isEnabled());
    EXPECT_FALSE(pair.Template().has_value());
    pair.Check()->setChecked(true);
    EXPECT_TRUE(pair.Pattern()->isEnabled());
    pair.Pattern()->setText("[?]-?");
    ASSERT_TRUE(pair.Template().has_value());
    EXPECT_EQ(ApplyResultTemplate(*pair.Template(), "ab"), "[ab]-ab");

    SettingsStore store;
    store.SetFile(dir / "s.ini");
    store.SelectSection("批量拼音");
    {
        PanelSettings save(store, true);
        pair.LoadOrSave(save);
    }
    QWidget other;
    ResultTemplateControls loaded(&other, nullptr, false);
    PanelSettings load(store, false);
    loaded.LoadOrSave(load);
    EXPECT_TRUE(loaded.Check()->isChecked());
    EXPECT_TRUE(loaded.Pattern()->isEnabled());
    EXPECT_EQ(loaded.Pattern()->text(), "[?]-?");
}

}  // namespace
}  // namespace varnel

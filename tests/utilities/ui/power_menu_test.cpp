#include "utilities/ui/power_menu.h"

#include <QMenu>

#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/qt_app.h"
#include "support/recording_notifier.h"
#include "utilities/user_notifier.h"

namespace varnel {
namespace {

using testing::RecordingNotifier;

struct MenuBackend : PowerBackend {
    bool CanPerform(PowerAction action) override { return offered.contains(action); }
    void Perform(PowerAction action, bool force, Done done) override {
        performed.push_back({action, force});
        done({});
    }
    bool CanTurnMonitorOff() override { return monitor; }
    std::expected<void, Error> TurnMonitorOff() override {
        ++monitorOffs;
        return {};
    }
    std::set<PowerAction> offered;
    bool monitor = false;
    std::vector<std::pair<PowerAction, bool>> performed;
    int monitorOffs = 0;
};

struct MenuFixture : ::testing::Test {
    MenuFixture() {
        auto owned = std::make_unique<MenuBackend>();
        backend = owned.get();
        power = std::make_unique<PowerMenu>(menu, std::move(owned));
        power->SetKeySource([this] { return ModifierKeys{.ctrl = ctrl}; });
    }

    QApplication& application = testing::TestApplication();
    QMenu menu;
    MenuBackend* backend = nullptr;
    std::unique_ptr<PowerMenu> power;
    RecordingNotifier answerer;
    bool ctrl = false;
};

TEST_F(MenuFixture, OpeningTheMenuDisablesWhatTheMachineCannotDo) {
    for (const char* caption : {"关机...", "重启...", "注销...", "休眠...", "冬眠...", "以上操作强制执行", "熄灯..."}) {
        EXPECT_NE(menu.findChild<QAction*>(QString::fromUtf8(caption)), nullptr) << caption;
    }
    backend->offered = {PowerAction::PowerOff, PowerAction::Reboot, PowerAction::Suspend};
    emit menu.aboutToShow();
    const std::vector<bool> expected = {true, true, false, true, false};
    for (int action = 1; action <= 5; ++action) {
        EXPECT_EQ(power->ActionItem(action)->isEnabled(), expected[static_cast<std::size_t>(action - 1)]) << action;
    }
    EXPECT_FALSE(power->MonitorItem()->isEnabled());
    EXPECT_TRUE(power->ForceItem()->isCheckable());

    backend->monitor = true;
    backend->offered.insert(PowerAction::LogOff);
    emit menu.aboutToShow();
    EXPECT_TRUE(power->ActionItem(3)->isEnabled());
    EXPECT_TRUE(power->MonitorItem()->isEnabled());
}

TEST_F(MenuFixture, ItemsAskThenActForcedByTheCheckOrCtrl) {
    int saves = 0;
    power->SetSaveSettings([&saves] { ++saves; });
    power->SetRunWarning([] { return std::string("任务在执行"); });

    answerer.answer = kAnswerCancel;
    power->ActionItem(1)->trigger();
    EXPECT_TRUE(backend->performed.empty());
    EXPECT_EQ(saves, 0);
    ASSERT_EQ(answerer.messages.size(), 1u);
    EXPECT_EQ(answerer.messages[0].rfind("任务在执行\r\n\r\n您确定要执行“关机”动作吗？", 0), 0u);

    answerer.answer = kAnswerOk;
    power->ActionItem(5)->trigger();
    power->ForceItem()->trigger();  // a plain check: choosing it flips it
    EXPECT_TRUE(power->ForceItem()->isChecked());
    power->ActionItem(3)->trigger();
    power->ForceItem()->trigger();
    ctrl = true;
    power->ActionItem(2)->trigger();
    EXPECT_EQ(backend->performed, (std::vector<std::pair<PowerAction, bool>>{
                                      {PowerAction::Hibernate, false},
                                      {PowerAction::LogOff, true},
                                      {PowerAction::Reboot, true}}));
    EXPECT_EQ(saves, 2);  // log off and restart, not hibernate

    const std::size_t asked = answerer.messages.size();
    power->MonitorItem()->trigger();
    EXPECT_EQ(backend->monitorOffs, 1);
    EXPECT_EQ(answerer.messages.size(), asked);
    EXPECT_TRUE(answerer.notices.empty());
}

}  // namespace
}  // namespace varnel

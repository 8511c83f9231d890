#include "utilities/power_actions.h"

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/recording_notifier.h"
#include "utilities/user_notifier.h"

namespace varnel {
namespace {

using testing::RecordingNotifier;

struct FakeBackend : PowerBackend {
    bool CanPerform(PowerAction) override { return true; }
    void Perform(PowerAction action, bool force, Done done) override {
        performed.push_back({action, force});
        if (failure) {
            done(std::unexpected(Error{Error::kInvalidInput, *failure, {}}));
        } else {
            done({});
        }
    }
    bool CanTurnMonitorOff() override { return true; }
    std::expected<void, Error> TurnMonitorOff() override {
        ++monitorOffs;
        if (failure) return std::unexpected(Error{Error::kInvalidInput, *failure, {}});
        return {};
    }
    std::vector<std::pair<PowerAction, bool>> performed;
    std::optional<std::string> failure;
    int monitorOffs = 0;
};

struct PowerFixture : ::testing::Test {
    PowerActionContext Context(bool checked, bool ctrl) {
        PowerActionContext context;
        context.forceChecked = checked;
        context.keysNow = [ctrl] { return ModifierKeys{.ctrl = ctrl}; };
        context.saveSettings = [this] { ++saves; };
        return context;
    }

    RecordingNotifier recorder;
    FakeBackend backend;
    int saves = 0;
};

TEST_F(PowerFixture, CancelDoesNothing) {
    recorder.answer = kAnswerCancel;
    ConfirmPowerAction(1, Context(true, true), backend);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.styles[0], kBoxOkCancel);
    EXPECT_TRUE(backend.performed.empty());
    EXPECT_EQ(saves, 0);
    EXPECT_TRUE(recorder.notices.empty());
}

TEST_F(PowerFixture, ForcedByTheCheckItemOrCtrl) {
    struct Case {
        bool checked;
        bool ctrl;
        bool force;
    };
    for (const Case& c : {Case{false, false, false}, Case{true, false, true}, Case{false, true, true},
                          Case{true, true, true}}) {
        SCOPED_TRACE(std::to_string(c.checked) + std::to_string(c.ctrl));
        backend.performed.clear();
        ConfirmPowerAction(2, Context(c.checked, c.ctrl), backend);
        ASSERT_EQ(backend.performed.size(), 1u);
        EXPECT_EQ(backend.performed[0], std::make_pair(PowerAction::Reboot, c.force));
    }
}

TEST_F(PowerFixture, EachNumberAsksByNameAndSavesOnlyBeforeTheSessionEnds) {
    struct Case {
        int action;
        const char* name;
        PowerAction kind;
        bool saves;
    };
    const std::vector<Case> cases = {
        {1, "关机", PowerAction::PowerOff, true},  {2, "重启", PowerAction::Reboot, true},
        {3, "注销", PowerAction::LogOff, true},    {4, "休眠", PowerAction::Suspend, false},
        {5, "冬眠", PowerAction::Hibernate, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        recorder.messages.clear();
        backend.performed.clear();
        saves = 0;
        ConfirmPowerAction(c.action, Context(false, false), backend);
        ASSERT_EQ(recorder.messages.size(), 1u);
        EXPECT_EQ(recorder.messages[0].rfind(std::string("您确定要执行“") + c.name + "”动作吗？\r\n\r\n", 0), 0u);
        ASSERT_EQ(backend.performed.size(), 1u);
        EXPECT_EQ(backend.performed[0].first, c.kind);
        EXPECT_EQ(saves, c.saves ? 1 : 0);
    }
}

TEST_F(PowerFixture, AFailureShowsANotice) {
    backend.failure = "Interactive authentication required.";
    ConfirmPowerAction(1, Context(false, false), backend);
    ASSERT_EQ(recorder.notices.size(), 1u);
    EXPECT_EQ(recorder.notices[0], "“关机”失败：Interactive authentication required.");

    TurnMonitorOff(backend);
    EXPECT_EQ(backend.monitorOffs, 1);
    EXPECT_EQ(recorder.messages.size(), 1u);  // the monitor is not asked about
    ASSERT_EQ(recorder.notices.size(), 2u);
    EXPECT_EQ(recorder.notices[1], "熄灯失败：Interactive authentication required.");
}

TEST_F(PowerFixture, ARunningTaskIsWarnedAboutFirst) {
    PowerActionContext context = Context(false, false);
    context.runWarning = "当前有任务在执行";
    recorder.answer = kAnswerCancel;
    ConfirmPowerAction(4, context, backend);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0], "当前有任务在执行\r\n\r\n" + PowerActionQuestion(4));
}

TEST_F(PowerFixture, NumbersOutsideTheTableAreRefused) {
    for (int action : {0, 6, -1}) {
        std::optional<bool> succeeded;
        PerformPowerAction(action, true, backend, [&](std::expected<void, Error> r) { succeeded = r.has_value(); });
        EXPECT_EQ(succeeded, false);
        ConfirmPowerAction(action, Context(false, false), backend);
    }
    EXPECT_TRUE(backend.performed.empty());
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(PowerActionName(6), "");
}

}  // namespace
}  // namespace varnel

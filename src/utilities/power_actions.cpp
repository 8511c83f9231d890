#include "utilities/power_actions.h"

#include "utilities/user_notifier.h"

namespace varnel {

namespace {

bool IsPowerAction(int action) { return action >= 1 && action <= 5; }

void NoticeFailure(const std::string& what, const Error& error) {
    ShowTrayNotice(what + "失败：" + error.message);
}

}  // namespace

std::string PowerActionName(int action) {
    switch (action) {
        case 1: return "关机";
        case 2: return "重启";
        case 3: return "注销";
        case 4: return "休眠";
        case 5: return "冬眠";
        default: return {};
    }
}

std::string PowerActionQuestion(int action) {
    return "您确定要执行“" + PowerActionName(action) +
           "”动作吗？\r\n\r\n在执行之前，请确保你的系统已经准备就绪，如保存好文件等。\r\n\r\n"
           "（如果本动作执行后无响应，请先选中“以上操作强制执行”菜单项或在执行时按下Ctrl键。）";
}

void PerformPowerAction(int action, bool force, PowerBackend& backend, PowerBackend::Done done) {
    if (!IsPowerAction(action)) {
        done(std::unexpected(Error{Error::kInvalidInput, "未知的电源动作", {}}));
        return;
    }
    backend.Perform(static_cast<PowerAction>(action), force, std::move(done));
}

void ConfirmPowerAction(int action, const PowerActionContext& context, PowerBackend& backend) {
    if (!IsPowerAction(action)) return;
    std::string question = PowerActionQuestion(action);
    if (!context.runWarning.empty()) question = context.runWarning + "\r\n\r\n" + question;
    if (ShowMessageBox(question, kBoxOkCancel) != kAnswerOk) return;

    const ModifierKeys held = context.keysNow ? context.keysNow() : ModifierKeys{};
    const bool force = context.forceChecked || IsKeyDown(held, kKeyControl);
    const auto kind = static_cast<PowerAction>(action);
    const bool endsSession =
        kind == PowerAction::PowerOff || kind == PowerAction::Reboot || kind == PowerAction::LogOff;
    if (endsSession && context.saveSettings) context.saveSettings();

    const std::string what = "“" + PowerActionName(action) + "”";
    PerformPowerAction(action, force, backend, [what](std::expected<void, Error> outcome) {
        if (!outcome) NoticeFailure(what, outcome.error());
    });
}

void TurnMonitorOff(PowerBackend& backend) {
    if (auto outcome = backend.TurnMonitorOff(); !outcome) NoticeFailure("熄灯", outcome.error());
}

}  // namespace varnel

// The start-up decision between instances: hand the command-line paths to the
// instance already running, or ask whether to switch to it, end it, or run beside
// it. Talks to the other instance through a small interface (the instance channel
// in the program, a fake in tests). UI thread; the question goes through the
// user notifier.
#pragma once

#include <expected>
#include <string>
#include <string_view>
#include <vector>

#include "frame/instance_frames.h"
#include "utilities/error.h"

namespace varnel {

// This process's end of the instance channel.
class InstanceEndpoint {
public:
    virtual ~InstanceEndpoint() = default;
    // Hands one frame to the instance that owns the channel; true once that
    // instance has taken it, false when there is none or it did not answer.
    virtual bool SendFrame(FrameType type, std::string_view body) = 0;
    // After a quit frame was taken: true once that instance has ended.
    virtual bool WaitForOwnerToEnd() = 0;
    // Makes this process the owner of the channel, so later starts reach it. Fails
    // while another instance still owns it.
    virtual std::expected<void, Error> OpenChannel() = 0;
};

inline constexpr const char* kSwitchInstanceQuestion =
    "当前已经运行一个实例，是否切换到该实例？\r\n\r\n"
    "选 是 则结束当前并切换到已经在运行的实例\r\n"
    "选 否 则继续当前启动并结束已经在运行的实例\r\n"
    "选 取消 按正常方式启动";

enum class StartUpDecision { Exit, Continue };

// With arguments, they are made absolute against `currentFolder` and handed over;
// Exit once the running instance took them. Without arguments, a running instance
// is probed and the user asked; Yes switches to it (Exit), No ends it and starts
// this one, Cancel runs both. Every Continue has tried to open the channel.
StartUpDecision CheckSingleInstance(const std::vector<std::string>& arguments,
                                    const std::string& currentFolder, InstanceEndpoint& endpoint);

}  // namespace varnel

#include "frame/instance_check.h"

#include <algorithm>

#include "utilities/user_notifier.h"

namespace varnel {

namespace {

StartUpDecision StartHere(InstanceEndpoint& endpoint) {
    // A failure leaves this instance without a channel: later starts cannot reach
    // it, which is no reason not to start.
    (void)endpoint.OpenChannel();
    return StartUpDecision::Continue;
}

}  // namespace

StartUpDecision CheckSingleInstance(const std::vector<std::string>& arguments,
                                    const std::string& currentFolder, InstanceEndpoint& endpoint) {
    const std::vector<std::string> paths = MakePathsAbsolute(arguments, currentFolder);
    if (!paths.empty()) {
        // A relative path means nothing in another process's folder: without our
        // own folder the paths stay here.
        const bool allAbsolute =
            std::all_of(paths.begin(), paths.end(), [](const std::string& p) { return p.front() == '/'; });
        // Paths too many for one frame are refused by the channel and load here.
        if (allAbsolute && endpoint.SendFrame(FrameType::Paths, JoinPathList(paths))) {
            return StartUpDecision::Exit;
        }
        return StartHere(endpoint);
    }

    if (!endpoint.SendFrame(FrameType::Probe, {})) return StartHere(endpoint);
    switch (ShowMessageBox(kSwitchInstanceQuestion, kBoxYesNoCancel)) {
        case kAnswerYes:
            // Should the other instance have gone meanwhile, the user still gets a window.
            if (endpoint.SendFrame(FrameType::ToFront, {})) return StartUpDecision::Exit;
            return StartHere(endpoint);
        case kAnswerNo:
            if (endpoint.SendFrame(FrameType::Quit, {})) (void)endpoint.WaitForOwnerToEnd();
            return StartHere(endpoint);
        default:
            return StartHere(endpoint);
    }
}

}  // namespace varnel

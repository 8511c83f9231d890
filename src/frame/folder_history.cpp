#include "frame/folder_history.h"

#include "utilities/path_routines.h"

namespace varnel {

HistoryButtons HistoryAvailability(const std::vector<std::string>& paths, int index) {
    const auto count = static_cast<long long>(paths.size());
    return {2 <= index && index <= count + 1, 0 <= index && index < count};
}

void PushNavigationHistory(std::vector<std::string>& paths, int& index, std::string folder) {
    paths.push_back(std::move(folder));
    index = static_cast<int>(paths.size());
}

HistoryStep NavigateHistory(const std::vector<std::string>& paths, int& index, bool forward,
                            const std::function<bool(const std::string&)>& exists) {
    HistoryStep step;
    const long long count = static_cast<long long>(paths.size());
    for (long long at = static_cast<long long>(index) + (forward ? 1 : -1); at >= 1 && at <= count;
         at += forward ? 1 : -1) {
        const std::string& folder = paths[static_cast<std::size_t>(at - 1)];
        if (exists && !exists(folder)) {
            step.skipped.push_back(folder);
            continue;
        }
        index = static_cast<int>(at);
        step.folder = folder;
        return step;
    }
    return step;
}

std::optional<std::string> ParentFolderOf(const std::string& folder) {
    if (folder.empty() || folder.front() != '/') return std::nullopt;
    if (WithoutTrailingSlash(folder).empty()) return std::nullopt;  // the root
    const std::string parent = GetParentOfPath(folder);
    return parent.empty() ? std::string("/") : parent;
}

}  // namespace varnel

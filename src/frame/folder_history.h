// The main window's folder history (up, back, forward): the tree folders of past
// loads, oldest first, and the 1-based place of the folder being shown. Entries are
// never removed; a load after going back appends at the end.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace varnel {

struct HistoryButtons {
    bool back = false;
    bool forward = false;
};

// What the back and forward buttons can do at `index`.
HistoryButtons HistoryAvailability(const std::vector<std::string>& paths, int index);

// After a load that left rows in the list: the tree's folder becomes the last
// entry and the current place.
void PushNavigationHistory(std::vector<std::string>& paths, int& index, std::string folder);

struct HistoryStep {
    // The folder to show; none when the step leads out of the history (the index
    // is then as it was).
    std::optional<std::string> folder;
    // Folders on the way that no longer exist, stepped over.
    std::vector<std::string> skipped;
};

// One step back or forward, over entries whose folder `exists` denies.
HistoryStep NavigateHistory(const std::vector<std::string>& paths, int& index, bool forward,
                            const std::function<bool(const std::string&)>& exists);

// The folder one level up from `folder`: "/" for a folder just under the root;
// none for the root itself or a text that is not an absolute path.
std::optional<std::string> ParentFolderOf(const std::string& folder);

}  // namespace varnel

#include "tools/list_merge.h"

#include <algorithm>

#include "naming/list_font_name.h"
#include "settings/settings_binder.h"

namespace varnel {

void MergeGroupList::Add() {
    groups.emplace_back();
    current = static_cast<int>(groups.size()) - 1;
}

void MergeGroupList::DeleteCurrent() {
    if (current < 0 || current >= static_cast<int>(groups.size())) return;
    groups.erase(groups.begin() + current);
    if (groups.empty()) {
        current = -1;
    } else if (current >= static_cast<int>(groups.size())) {
        current = 0;
    }
}

void MergeGroupList::Clear() {
    groups.clear();
    current = -1;
}

std::string MergeGroupList::CurrentText() const {
    if (current < 0 || current >= static_cast<int>(groups.size())) return {};
    return groups[static_cast<std::size_t>(current)];
}

void MergeGroupList::SetCurrentText(std::string text) {
    if (current < 0 || current >= static_cast<int>(groups.size())) return;
    groups[static_cast<std::size_t>(current)] = std::move(text);
}

std::string MergeLists(std::string_view lineTemplate, const std::vector<std::string>& groups) {
    if (groups.empty()) return {};
    std::vector<std::vector<std::string>> lines;
    lines.reserve(groups.size());
    for (const std::string& group : groups) lines.push_back(SplitNameList(group));
    const std::size_t count = lines.front().size();
    std::string out;
    for (std::size_t i = 0; i < count; ++i) {
        std::string line(lineTemplate);
        // Where the search for the next "*" starts: a group's line is searched too,
        // so a "*" it brings in is the next group's.
        for (const auto& group : lines) {
            const std::size_t star = line.find('*');
            if (star == std::string::npos) break;
            line.replace(star, 1, i < group.size() ? group[i] : std::string());
        }
        if (!out.empty()) out += '\n';
        out += line;
    }
    return out;
}

void LoadOrSaveListMergeSettings(SettingsStore& store, ListMergeSettings& s, bool save) {
    SettingsBinder bind(store, save);
    bind.Section(kListMergeSection);
    bind.Text("替换模板", s.lineTemplate);
    bind.Text("上次目录", s.lastFolder);
    auto count = static_cast<std::int64_t>(s.groups.size());
    bind.Number("组数", count);
    if (save) {
        for (std::size_t n = 0; n < s.groups.size(); ++n) {
            store.WriteText("组" + std::to_string(n + 1), s.groups[n]);
        }
        return;
    }
    // A count edited by hand to something huge reads no more than a person makes.
    constexpr std::int64_t kMostGroups = 1000;
    std::vector<std::string> groups;
    for (std::int64_t n = 1; n <= std::min(count, kMostGroups); ++n) {
        groups.push_back(RestoreStoredLineBreaks(store.ReadText("组" + std::to_string(n))));
    }
    s.groups = std::move(groups);
}

}  // namespace varnel

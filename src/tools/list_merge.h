// The list merge tool's core: the groups of lines and which one is being edited,
// the merge of a one-line template with the groups, and the section "列表合并生成"
// that keeps them. Pure except for the settings store; UI thread only where the
// store is used.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/settings_store.h"

namespace varnel {

inline constexpr const char* kListMergeSection = "列表合并生成";
inline constexpr const char* kDefaultMergeTemplate = "<node label=\"*\" src=\"*\"/>";

// The groups, each a block of lines, and the current one (-1: none).
struct MergeGroupList {
    std::vector<std::string> groups;
    int current = -1;

    // Appends an empty group and makes it current.
    void Add();
    // Removes the current group; the group now at its place becomes current, the
    // first when it was the last, none when no group is left. Nothing without a
    // current group.
    void DeleteCurrent();
    void Clear();
    // The current group's text; "" without one.
    std::string CurrentText() const;
    // Writes the current group's text; nothing without one.
    void SetCurrentText(std::string text);
};

// For each line of group 1 (split at LF or CR LF; a final break starts no line):
// the template with its first "*" replaced by that line of group 1, then the first
// "*" still in the text by the same line of group 2, and so on. Other groups are
// cut or padded with empty lines to group 1's length; a template with fewer "*"
// ignores the extra groups, one with more keeps the extra "*"; a "*" brought in by
// a line is taken by the next group. The lines joined by "\n".
std::string MergeLists(std::string_view lineTemplate, const std::vector<std::string>& groups);

struct ListMergeSettings {
    std::string lineTemplate = kDefaultMergeTemplate;  // 替换模板
    std::string lastFolder;                            // 上次目录
    std::vector<std::string> groups;                   // 组数, 组1..组n
};

// Loads (save false; missing keys keep their values) or saves; selects the section
// itself. Line breaks of a group are stored as ";;;" and come back as "\n".
void LoadOrSaveListMergeSettings(SettingsStore& store, ListMergeSettings& s, bool save);

}  // namespace varnel

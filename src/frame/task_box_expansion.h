// The text that keeps which task groups of the task box are expanded (key
// 任务框.展缩): "item,1;item,0;..." with the items numbered from 0 in tree order.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace varnel {

// (item number, expanded) of each item that has children, in item order.
std::string FormatTaskBoxExpansion(const std::vector<std::pair<int, bool>>& groups);

// The entries of a stored text; an entry's state is "expanded" only for "1".
// Entries without a number (empty or not a number) are left out.
std::vector<std::pair<int, bool>> ParseTaskBoxExpansion(std::string_view text);

}  // namespace varnel

#include "frame/task_box_expansion.h"

#include <charconv>

namespace varnel {

std::string FormatTaskBoxExpansion(const std::vector<std::pair<int, bool>>& groups) {
    std::string text;
    for (const auto& [item, expanded] : groups) {
        if (!text.empty()) text += ';';
        text += std::to_string(item);
        text += expanded ? ",1" : ",0";
    }
    return text;
}

std::vector<std::pair<int, bool>> ParseTaskBoxExpansion(std::string_view text) {
    std::vector<std::pair<int, bool>> entries;
    while (!text.empty()) {
        const std::size_t end = text.find(';');
        const std::string_view entry = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        const std::size_t comma = entry.find(',');
        const std::string_view number = entry.substr(0, comma);
        const std::string_view state = comma == std::string_view::npos ? std::string_view() : entry.substr(comma + 1);
        int item = 0;
        const auto [end2, error] = std::from_chars(number.data(), number.data() + number.size(), item);
        if (error != std::errc() || number.empty() || end2 != number.data() + number.size() || item < 0) continue;
        entries.emplace_back(item, state == "1");
    }
    return entries;
}

}  // namespace varnel

// The named marker pairs the marker panels keep (the 批量提取元素区间 rename task,
// the 批量写入元素 content task) and how they are stored: one text (INI key "预设方案") with the presets joined by "[换行]" and the four fields of
// each joined by "[分隔]", the case flag written "真" or "假". Pure.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varnel {

struct ElementPreset {
    std::string name;
    std::string element1;
    std::string element2;
    bool caseSensitive = false;
    bool operator==(const ElementPreset&) const = default;
};

// The stored text when nothing is stored yet, and after 恢复默认: the title of a web page.
inline constexpr const char* kDefaultElementPresets = "网页标题<title>[分隔]<title>[分隔]</title>[分隔]假";

// One stored entry: missing fields are empty, fields past the fourth are ignored,
// and only "真" reads as true.
ElementPreset ParseElementPreset(std::string_view entry);
// Every entry of the stored text; an empty text holds no preset, and an empty entry
// is skipped.
std::vector<ElementPreset> ParseElementPresets(std::string_view stored);
std::string FormatElementPresets(const std::vector<ElementPreset>& presets);

}  // namespace varnel

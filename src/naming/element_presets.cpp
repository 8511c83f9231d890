#include "naming/element_presets.h"

#include "utilities/path_routines.h"

namespace varnel {

namespace {

constexpr std::string_view kEntrySeparator = "[换行]";
constexpr std::string_view kFieldSeparator = "[分隔]";

}  // namespace

ElementPreset ParseElementPreset(std::string_view entry) {
    std::vector<std::string_view> fields = SplitAtSeparator(entry, kFieldSeparator);
    fields.resize(4);
    return ElementPreset{std::string(fields[0]), std::string(fields[1]), std::string(fields[2]), fields[3] == "真"};
}

std::vector<ElementPreset> ParseElementPresets(std::string_view stored) {
    std::vector<ElementPreset> presets;
    if (stored.empty()) return presets;
    for (std::string_view entry : SplitAtSeparator(stored, kEntrySeparator)) {
        if (!entry.empty()) presets.push_back(ParseElementPreset(entry));
    }
    return presets;
}

std::string FormatElementPresets(const std::vector<ElementPreset>& presets) {
    std::string stored;
    for (const ElementPreset& preset : presets) {
        if (!stored.empty()) stored += kEntrySeparator;
        stored += preset.name;
        stored += kFieldSeparator;
        stored += preset.element1;
        stored += kFieldSeparator;
        stored += preset.element2;
        stored += kFieldSeparator;
        stored += preset.caseSensitive ? "真" : "假";
    }
    return stored;
}

}  // namespace varnel

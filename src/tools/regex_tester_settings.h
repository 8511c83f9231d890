// The regular-expression tester's section "正则调试器": the texts of its five boxes,
// its four check boxes, its splitter positions, its window placement and its page,
// with the window's designed values as defaults. Texts go through the tester's own
// stored form (StoreTesterText), so they come back exactly as typed.
#pragma once

#include <cstdint>

#include <string>

#include "settings/settings_store.h"

namespace varnel {

inline constexpr const char* kRegexTesterSection = "正则调试器";

struct RegexTesterSettings {
    std::string searchPattern;     // 表达式
    std::string searchText;        // 搜索文本
    std::string replacePattern;    // 匹配表达式
    std::string replacement;       // 替换表达式
    std::string replaceText;       // 替换文本
    bool ignoreCase = true;
    bool multiline = false;
    bool global = true;
    bool autoPreview = true;
    // Splitter tops: the height of the box above each splitter; 0 keeps the layout's own.
    std::int32_t searchSplit1 = 0;
    std::int32_t searchSplit2 = 0;
    std::int32_t replaceSplit1 = 0;
    std::int32_t replaceSplit2 = 0;
    std::int32_t replaceSplit3 = 0;
    // 窗口位置: 2 minimised (placement as designed), 3 maximised, else the rectangle.
    std::int32_t windowState = 0;
    std::int32_t windowLeft = 0;
    std::int32_t windowTop = 0;
    std::int32_t windowWidth = 0;
    std::int32_t windowHeight = 0;
    std::int32_t currentPage = 0;
    // Loading found a rectangle to apply (a normal state with the four keys read).
    bool HasRectangle() const { return windowState != 2 && windowState != 3 && windowWidth > 0 && windowHeight > 0; }
};

// Loads (save false) into `s`, a missing key keeping its value, or saves `s`;
// selects the section itself. The caller flushes the store.
void LoadOrSaveRegexTesterSettings(SettingsStore& store, RegexTesterSettings& s, bool save);

}  // namespace varnel

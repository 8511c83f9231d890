#include "filelist/extended_filters.h"

#include <cmath>

#include "filelist/file_filter.h"
#include "settings/settings_binder.h"
#include "utilities/attribute_names.h"
#include "utilities/char_forms.h"
#include "utilities/number_text.h"
#include "utilities/path_routines.h"
#include "utilities/utf8_text.h"

namespace varnel {

namespace {

constexpr double kEpsilon = 0.0000001;
constexpr double kLatestDate = 2958465.0;   // 9999-12-31
constexpr double kEarliestDate = -657434.0;  // 0100-01-01

double ClampDate(double value) {
    if (value >= kLatestDate) return kLatestDate;
    if (value < kEarliestDate) return kEarliestDate;
    return value;
}

// Before day 0 the fraction counts forward from midnight, so a negative day count
// orders by its day first, then by the time of day.
double DateToLinear(double x) { return x >= 0 ? x : 2 * std::trunc(x) - x; }

}  // namespace

bool ExtendedFilterState::AnyTestEnabled() const {
    return charEnabled || typeEnabled || attrEnabled || dateEnabled || sizeEnabled || shortcutEnabled ||
           parentEnabled;
}

std::uint32_t ExtendedFilterState::AttributeMask() const {
    return (attrReadOnly ? kAttributeReadOnly : 0) | (attrHidden ? kAttributeHidden : 0) |
           (attrSystem ? kAttributeSystem : 0) | (attrDirectory ? kAttributeDirectory : 0) |
           (attrArchive ? kAttributeArchive : 0);
}

int ExtendedFilterState::MinCharCount() const {
    const int count = SettingsBinder::ToInteger<int>(TextToNumber(minCharCountText));
    return count < 1 ? 3 : count;
}

std::int64_t ExtendedFilterState::SizeValue() const {
    return SettingsBinder::ToInteger<std::int64_t>(TextToNumber(sizeValueText));
}

std::expected<void, Error> LoadOrSaveExtendedFilters(SettingsStore& store, ExtendedFilterState& s, bool save) {
    SettingsBinder bind(store, save);
    bind.Section("扩展过滤_字量");
    bind.Bool("启用", s.charEnabled);
    bind.Text("关键字", s.keyword);
    bind.Text("通过字数", s.minCharCountText);
    bind.Bool("忽略大小写", s.charIgnoreCase);
    bind.Bool("取反", s.charInvert);

    bind.Section("扩展过滤_类型");
    bind.Bool("启用", s.typeEnabled);
    bind.Bool("文件\\文件夹", s.typeFiles);
    bind.Bool("无格式(文件)\\纯目录(文件夹)", s.typeStrict);
    bind.Bool("取反", s.typeInvert);

    bind.Section("扩展过滤_属性");
    bind.Bool("启用", s.attrEnabled);
    bind.Bool("只读", s.attrReadOnly);
    bind.Bool("隐藏", s.attrHidden);
    bind.Bool("系统", s.attrSystem);
    bind.Bool("目录", s.attrDirectory);
    bind.Bool("存档", s.attrArchive);
    bind.Bool("属性包含", s.attrContains);
    bind.Bool("取反", s.attrInvert);

    bind.Section("扩展过滤_日期");
    bind.Bool("启用", s.dateEnabled);
    bind.Number("日期类型（0、创建 1、修改 2、访问）", s.dateKind);
    if (save) {
        store.WriteDateTime("日期数据", s.date);
    } else {
        s.date = store.ReadDateTime("日期数据", s.date);
    }
    bind.Number("日期方向（0、之前 1、当天 2、之后）", s.dateDirection);
    bind.Bool("取反", s.dateInvert);

    bind.Section("扩展过滤_大小");
    bind.Bool("启用", s.sizeEnabled);
    bind.Number("大小方向（0、小于 1、等于 2、约等 3、大于）", s.sizeComparison);
    bind.Text("大小数值", s.sizeValueText);
    bind.Number("大小单位（0、B 到 6、EB）", s.sizeUnit);
    bind.Bool("取反", s.sizeInvert);

    bind.Section("扩展过滤_无效快捷");
    bind.Bool("启用", s.shortcutEnabled);
    bind.Bool("取反", s.shortcutInvert);

    bind.Section("扩展过滤_同父名");
    bind.Bool("启用", s.parentEnabled);
    bind.Bool("取反", s.parentInvert);
    return save ? store.Flush() : std::expected<void, Error>{};
}

bool TestCharacterOverlap(std::string_view keyword, std::string_view name, int minCount, bool ignoreCase,
                          bool invert) {
    if (keyword.empty() || name.empty()) return false;
    if (minCount < 1) minCount = 3;
    const std::string haystack = ignoreCase ? FoldCase(name) : std::string(name);
    int count = 0;
    for (std::size_t pos = 0; pos < keyword.size() && count < minCount;) {
        const Utf8Step step = DecodeUtf8At(keyword, pos);
        const std::string_view character = keyword.substr(pos, step.length);
        const std::string sought = ignoreCase ? FoldCase(character) : std::string(character);
        if (haystack.find(sought) != std::string::npos) ++count;
        pos += step.length;
    }
    return (count >= minCount) != invert;
}

bool TestEntryType(const EntryFacts& facts, std::string_view name, bool files, bool strict, bool invert) {
    if (files) {
        if (facts.isFolder) return false;
        if (!strict) return true;
        return GetExtensionOfPath(name).empty() != invert;
    }
    if (!facts.isFolder) return false;
    if (!strict) return true;
    return (facts.attributes == kAttributeDirectory) != invert;
}

bool TestAttributes(std::uint32_t attributes, std::uint32_t mask, bool contains, bool invert) {
    const bool pass = contains ? (attributes & mask) != 0 : attributes == mask;
    return pass != invert;
}

bool TestDate(const EntryFacts& facts, double date, int dateKind, int direction, bool invert) {
    const std::optional<double>& chosen = dateKind == 1 ? facts.modified : dateKind == 2 ? facts.accessed
                                                                                         : facts.created;
    // A time the file system does not record answers no question about it.
    if (!chosen) return invert;
    // Whole days on both sides: "that day" means the same calendar day.
    const double value = DateToLinear(ClampDate(std::trunc(*chosen)));
    const double wanted = DateToLinear(ClampDate(std::trunc(date)));
    bool pass = false;
    if (direction == 0) pass = value < wanted;
    else if (direction == 1) pass = value == wanted;
    else pass = wanted < value;
    return pass != invert;
}

bool TestSize(std::int64_t size, double value, int unit, int comparison, bool invert) {
    double scaled = static_cast<double>(size);
    if (unit > 0) scaled /= std::pow(1024.0, unit);
    bool pass = false;
    switch (comparison) {
        case 0: pass = scaled - value < -kEpsilon; break;
        case 1: pass = std::fabs(scaled - value) <= kEpsilon; break;
        case 2:
            pass = unit == 0 ? std::fabs(std::trunc(scaled - value)) < 10
                             : std::trunc(scaled) == std::trunc(value);
            break;
        default: pass = scaled - value > kEpsilon; break;
    }
    return pass != invert;
}

bool TestInvalidShortcut(std::string_view path,
                         const std::function<std::optional<bool>(std::string_view)>& targetExists, bool invert) {
    bool broken = false;
    // Without a shortcut reader nothing can be told about a target, so no shortcut
    // is called broken; with one, a shortcut that cannot be read is broken.
    if (targetExists && ToLowerAscii(GetExtensionOfPath(path)) == "lnk") {
        broken = !targetExists(path).value_or(false);
    }
    return broken != invert;
}

bool TestNameMatchesParent(std::string_view path, bool invert) {
    const std::string parentName = GetFileNameOfPath(GetParentOfPath(path));
    const bool same = !parentName.empty() && GetMainNameOfPath(path) == parentName;
    return same != invert;
}

bool PassesExtendedFilters(const ExtendedFilterState& s, std::string_view path, std::string_view name,
                           const EntryFacts& facts,
                           const std::function<std::optional<bool>(std::string_view)>& shortcutTargetExists) {
    if (s.charEnabled && !TestCharacterOverlap(s.keyword, name, s.MinCharCount(), s.charIgnoreCase, s.charInvert)) {
        return false;
    }
    if (s.typeEnabled && !TestEntryType(facts, name, s.typeFiles, s.typeStrict, s.typeInvert)) return false;
    if (s.attrEnabled && !TestAttributes(facts.attributes, s.AttributeMask(), s.attrContains, s.attrInvert)) {
        return false;
    }
    if (s.dateEnabled && !TestDate(facts, s.date, s.dateKind, s.dateDirection, s.dateInvert)) return false;
    if (s.sizeEnabled &&
        !TestSize(facts.size, static_cast<double>(s.SizeValue()), s.sizeUnit, s.sizeComparison, s.sizeInvert)) {
        return false;
    }
    if (s.shortcutEnabled && !TestInvalidShortcut(path, shortcutTargetExists, s.shortcutInvert)) return false;
    if (s.parentEnabled && !TestNameMatchesParent(path, s.parentInvert)) return false;
    return true;
}

}  // namespace varnel

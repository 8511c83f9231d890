// The seven further tests a load can apply to each entry besides the name filter:
// characters of a keyword found in the name, entry type, attributes, a date, the
// size, broken shortcuts and a main name equal to its folder's name. Their
// parameters are a snapshot taken when a load starts, never read from the window
// during it. Pure functions over the entry's facts; safe on any thread.
#pragma once

#include <cstdint>
#include <expected>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "settings/settings_store.h"
#include "utilities/error.h"

namespace varnel {

struct ExtendedFilterState {
    bool active = false;  // the window is shown and one of its test boxes is checked

    bool charEnabled = false;  // 扩展过滤_字量
    std::string keyword;
    std::string minCharCountText;
    bool charIgnoreCase = false;
    bool charInvert = false;

    bool typeEnabled = false;  // 扩展过滤_类型
    bool typeFiles = true;     // 文件 (else 文件夹)
    bool typeStrict = false;   // 无格式 for files, 纯目录 for folders
    bool typeInvert = false;

    bool attrEnabled = false;  // 扩展过滤_属性
    bool attrReadOnly = false;
    bool attrHidden = false;
    bool attrSystem = false;
    bool attrDirectory = false;
    bool attrArchive = false;
    bool attrContains = false;
    bool attrInvert = false;

    bool dateEnabled = false;  // 扩展过滤_日期
    std::int32_t dateKind = 0;       // 0 created, 1 modified, 2 accessed
    double date = 0;                 // OLE day count
    std::int32_t dateDirection = 0;  // 0 before, 1 that day, 2 after
    bool dateInvert = false;

    bool sizeEnabled = false;  // 扩展过滤_大小
    std::int32_t sizeComparison = 0;  // 0 less, 1 equal, 2 about, 3 greater
    std::string sizeValueText;
    std::int32_t sizeUnit = 0;        // 0 B .. 6 EB
    bool sizeInvert = false;

    bool shortcutEnabled = false;  // 扩展过滤_无效快捷
    bool shortcutInvert = false;

    bool parentEnabled = false;  // 扩展过滤_同父名
    bool parentInvert = false;

    bool AnyTestEnabled() const;
    std::uint32_t AttributeMask() const;
    int MinCharCount() const;       // 通过字数 as a whole number; below 1 means 3
    std::int64_t SizeValue() const;  // 大小数值 as a whole number
};

// The sections 扩展过滤_* of the settings file.
std::expected<void, Error> LoadOrSaveExtendedFilters(SettingsStore& store, ExtendedFilterState& state,
                                                     bool save);

// What the tests need to know about one entry; read by the caller only for the
// tests that are enabled.
struct EntryFacts {
    bool isFolder = false;
    std::uint32_t attributes = 0;
    std::int64_t size = 0;
    std::optional<double> created{};  // local OLE day counts; empty when not recorded
    std::optional<double> modified{};
    std::optional<double> accessed{};
};

bool TestCharacterOverlap(std::string_view keyword, std::string_view name, int minCount, bool ignoreCase,
                          bool invert);
bool TestEntryType(const EntryFacts& facts, std::string_view name, bool files, bool strict, bool invert);
bool TestAttributes(std::uint32_t attributes, std::uint32_t mask, bool contains, bool invert);
bool TestDate(const EntryFacts& facts, double date, int dateKind, int direction, bool invert);
bool TestSize(std::int64_t size, double value, int unit, int comparison, bool invert);
// targetExists answers whether a shortcut's target exists (nothing when the
// shortcut cannot be read, which counts as broken).
bool TestInvalidShortcut(std::string_view path,
                         const std::function<std::optional<bool>(std::string_view)>& targetExists,
                         bool invert);
bool TestNameMatchesParent(std::string_view path, bool invert);

// The enabled tests in order; the first that fails rejects the entry.
bool PassesExtendedFilters(const ExtendedFilterState& state, std::string_view path, std::string_view name,
                           const EntryFacts& facts,
                           const std::function<std::optional<bool>(std::string_view)>& shortcutTargetExists);

}  // namespace varnel

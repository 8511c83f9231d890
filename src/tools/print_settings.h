// The list report's settings: what the print settings window keeps in its file
// "Varnel打印配置.ini" (section "打印设置", every value a text), the colour
// schemes and summary modes, and the checks made before a report is built.
// Colours are Windows colour numbers (red + green * 256 + blue * 65536) as the
// file stores them; the window converts them. Safe on any thread.
#pragma once

#include <array>
#include <cstdint>
#include <expected>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix_api.h"
#include "utilities/error.h"

namespace varnel {

inline constexpr const char* kPrintSettingsFileName = "Varnel打印配置.ini";
inline constexpr const char* kPrintSettingsSection = "打印设置";

using ColourNumber = std::uint32_t;
constexpr ColourNumber MakeColour(int red, int green, int blue) {
    return ColourNumber(red & 0xff) | (ColourNumber(green & 0xff) << 8) | (ColourNumber(blue & 0xff) << 16);
}
inline constexpr ColourNumber kWhite = MakeColour(255, 255, 255);

// The background colours: scheme 0 none, 1 the built-in pair, 2 alternating rows,
// 3 alternating columns; the column-title (and summary) row takes titleColour.
struct ReportColourScheme {
    int scheme = 0;
    ColourNumber titleColour = 0;
    ColourNumber colour1 = 0;
    ColourNumber colour2 = 0;
    bool operator==(const ReportColourScheme&) const = default;
};

// What the last row of the report is: nothing (零), a count (一) or the sums of
// the statistics columns (二), named by their titles.
enum class SummaryMode { None, Count, Statistics };
struct ReportSummary {
    SummaryMode mode = SummaryMode::None;
    std::vector<std::string> titles;
};

// The colour pickers, in the order of the file's keys 行标 奇行 偶行 列标 奇列 偶列.
enum PickerIndex { kRowTitle, kOddRow, kEvenRow, kColumnTitle, kOddColumn, kEvenColumn };

// The values the settings file keeps, with the window's design values.
struct PrintSettings {
    std::string title;
    std::string header;
    std::string footer;
    std::string notes;
    int pageNumberPosition = 0;
    int paper = 1;
    std::string fontSize = "30";
    std::string rowsPerPage;
    bool serialColumn = false;
    bool centring = false;
    int orientation = 1;  // 0 portrait, 1 landscape
    int colourScheme = 0;
    std::array<ColourNumber, 6> colours{kWhite, kWhite, kWhite, kWhite, kWhite, kWhite};
    bool operator==(const PrintSettings&) const = default;
};

// The settings of the file over `design`; a missing file gives `design` whole, a
// missing key its empty value (index 0, colour 0 black).
PrintSettings LoadPrintSettings(const std::string& file, const PrintSettings& design,
                                PosixApi& os = SystemPosix());
std::expected<void, Error> SavePrintSettings(const std::string& file, const PrintSettings& settings,
                                             PosixApi& os = SystemPosix());

// The scheme as the report uses it: the built-in pair for 1, the row pickers for
// 2, the column pickers for 3.
ReportColourScheme ColourSchemeOf(const PrintSettings& settings);

// A refused 打印预览: the message, the page of the window to show and the control
// (by object name) to focus, "" for none.
struct PrintSettingsProblem {
    std::string message;
    int page = 0;
    std::string control;
    bool operator==(const PrintSettingsProblem&) const = default;
};

// Decimals boxes take -3 to 3; an empty or non-numeric text counts as 0.
bool DecimalsInRange(std::string_view text);
// The header or footer text divided at "|"; an empty text is one empty part.
std::vector<std::string> SplitLineParts(std::string_view text);

// The table's font size, in tenths of a millimetre: a smaller one cannot be read,
// a larger one leaves no room on the page for a row.
inline constexpr int kMinimumReportFontSize = 10;
inline constexpr int kMaximumReportFontSize = 300;
// An empty font size box (the list's font is used) or a number in that range.
bool FontSizeInRange(std::string_view text);

// The checks on the texts, in the window's order: the two decimals boxes, then
// at most four parts in the header and in the footer, then the font size.
std::optional<PrintSettingsProblem> CheckPrintTexts(std::string_view statisticsDecimals,
                                                    std::string_view formulaDecimals,
                                                    std::string_view header, std::string_view footer,
                                                    std::string_view fontSize = {});
// The checks on the choices, after the settings are saved: a printed column, and a
// statistics column when statistics are asked for.
std::optional<PrintSettingsProblem> CheckPrintChoices(const std::vector<int>& printColumns,
                                                      const ReportSummary& summary);

// The items of the statistics list: the checked print columns, then the formula
// column names; all checked when the select-all box is.
struct CheckItem {
    std::string text;
    bool checked = false;
    bool operator==(const CheckItem&) const = default;
};
std::vector<CheckItem> RebuildStatisticsList(const std::vector<CheckItem>& printColumns,
                                             const std::vector<std::string>& formulaNames, bool selectAll);

}  // namespace varnel

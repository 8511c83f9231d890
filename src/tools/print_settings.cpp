#include "tools/print_settings.h"

#include <cmath>

#include "platform/file_io.h"
#include "settings/settings_store.h"
#include "utilities/number_text.h"

namespace varnel {

namespace {

constexpr const char* kColourKeys[6] = {"行标", "奇行", "偶行", "列标", "奇列", "偶列"};
constexpr const char* kSchemeKeys[4] = {"默认色", "自配色", "自定义行", "自定义列"};

int ToInteger(std::string_view text) { return static_cast<int>(std::trunc(TextToNumber(text))); }

// Colour numbers are 24-bit; anything else in the file reads as black.
ColourNumber ToColour(std::string_view text) {
    const double value = std::trunc(TextToNumber(text));
    return (value >= 0 && value <= 0xffffff) ? ColourNumber(value) : 0;
}

}  // namespace

PrintSettings LoadPrintSettings(const std::string& file, const PrintSettings& design, PosixApi& os) {
    PrintSettings settings = design;
    if (!PathExists(file, os)) return settings;
    SettingsStore store(os);
    store.SetFile(file);
    store.SelectSection(kPrintSettingsSection);
    settings.title = store.ReadText("标题");
    settings.header = store.ReadText("页眉");
    settings.footer = store.ReadText("页脚");
    settings.notes = store.ReadText("备注");
    settings.pageNumberPosition = ToInteger(store.ReadText("页号位置"));
    settings.paper = ToInteger(store.ReadText("纸张"));
    settings.fontSize = store.ReadText("字体大小");
    settings.rowsPerPage = store.ReadText("每页行数");
    settings.serialColumn = store.ReadBool("增加序号");
    // Only "0" chooses portrait; any other value keeps the designed orientation.
    if (ToInteger(store.ReadText("纸张方向")) == 0) settings.orientation = 0;
    settings.centring = store.ReadBool("居中打印");
    if (store.ReadBool(kSchemeKeys[0])) {
        settings.colourScheme = 0;
    } else if (store.ReadBool(kSchemeKeys[1])) {
        settings.colourScheme = 1;
    }
    if (store.ReadBool(kSchemeKeys[2])) {
        settings.colourScheme = 2;
    } else if (store.ReadBool(kSchemeKeys[3])) {
        settings.colourScheme = 3;
    }
    for (int i = 0; i < 6; ++i) settings.colours[i] = ToColour(store.ReadText(kColourKeys[i]));
    return settings;
}

std::expected<void, Error> SavePrintSettings(const std::string& file, const PrintSettings& settings,
                                             PosixApi& os) {
    SettingsStore store(os);
    store.SetFile(file);
    store.SelectSection(kPrintSettingsSection);
    bool stored = store.WriteText("标题", settings.title) && store.WriteText("页眉", settings.header) &&
                  store.WriteText("页脚", settings.footer) && store.WriteText("备注", settings.notes) &&
                  store.WriteText("页号位置", NumberToText(std::int64_t{settings.pageNumberPosition})) &&
                  store.WriteText("纸张", NumberToText(std::int64_t{settings.paper})) &&
                  store.WriteText("字体大小", settings.fontSize) &&
                  store.WriteText("每页行数", settings.rowsPerPage) &&
                  store.WriteBool("增加序号", settings.serialColumn) &&
                  store.WriteBool("居中打印", settings.centring) &&
                  store.WriteText("纸张方向", settings.orientation == 0 ? "0" : "1");
    for (int i = 0; i < 4; ++i) stored = stored && store.WriteBool(kSchemeKeys[i], settings.colourScheme == i);
    for (int i = 0; i < 6; ++i) {
        stored = stored && store.WriteText(kColourKeys[i], NumberToText(std::int64_t{settings.colours[i]}));
    }
    if (!stored) return std::unexpected(Error{Error::kInvalidInput, "打印设置无法保存", file});
    return store.Flush();
}

ReportColourScheme ColourSchemeOf(const PrintSettings& settings) {
    const auto& c = settings.colours;
    switch (settings.colourScheme) {
        case 1: return {1, MakeColour(222, 223, 206), MakeColour(239, 239, 222), 0};
        case 2: return {2, c[kRowTitle], c[kOddRow], c[kEvenRow]};
        case 3: return {3, c[kColumnTitle], c[kOddColumn], c[kEvenColumn]};
        default: return {};
    }
}

bool DecimalsInRange(std::string_view text) {
    const double value = TextToNumber(text);
    return value <= 3 + 0.0000001 && value >= -3 - 0.0000001;
}

std::vector<std::string> SplitLineParts(std::string_view text) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t bar = text.find('|'); bar != std::string_view::npos; bar = text.find('|', from)) {
        parts.emplace_back(text.substr(from, bar - from));
        from = bar + 1;
    }
    parts.emplace_back(text.substr(from));
    return parts;
}

bool FontSizeInRange(std::string_view text) {
    if (text.empty()) return true;
    const double size = std::trunc(TextToNumber(text));
    return size >= kMinimumReportFontSize && size <= kMaximumReportFontSize;
}

std::optional<PrintSettingsProblem> CheckPrintTexts(std::string_view statisticsDecimals,
                                                    std::string_view formulaDecimals,
                                                    std::string_view header, std::string_view footer,
                                                    std::string_view fontSize) {
    if (!DecimalsInRange(statisticsDecimals)) {
        return PrintSettingsProblem{"统计行保留位数的设置范围为-3到3之间！", 2, "统计行保留位数"};
    }
    if (!DecimalsInRange(formulaDecimals)) {
        return PrintSettingsProblem{"新增列保留位数的设置范围为-3到3之间！", 1, "新增列保留位数"};
    }
    if (SplitLineParts(header).size() > 4) return PrintSettingsProblem{"页眉中设置的“|”不能多于3个！", 0, "页眉"};
    if (SplitLineParts(footer).size() > 4) return PrintSettingsProblem{"页脚中设置的“|”不能多于3个！", 0, "页脚"};
    if (!FontSizeInRange(fontSize)) {
        return PrintSettingsProblem{"字体大小的设置范围为" + std::to_string(kMinimumReportFontSize) + "到" +
                                        std::to_string(kMaximumReportFontSize) + "之间（单位为0.1毫米）！",
                                    0, "字体大小"};
    }
    return std::nullopt;
}

std::optional<PrintSettingsProblem> CheckPrintChoices(const std::vector<int>& printColumns,
                                                      const ReportSummary& summary) {
    if (printColumns.empty()) return PrintSettingsProblem{"没有选择要进行打印的列！", 1, ""};
    if (summary.mode == SummaryMode::Statistics && summary.titles.empty()) {
        return PrintSettingsProblem{"没有选择要进行统计的列！", 2, ""};
    }
    return std::nullopt;
}

std::vector<CheckItem> RebuildStatisticsList(const std::vector<CheckItem>& printColumns,
                                             const std::vector<std::string>& formulaNames, bool selectAll) {
    std::vector<CheckItem> items;
    for (const CheckItem& column : printColumns) {
        if (column.checked) items.push_back({column.text, selectAll});
    }
    for (const std::string& name : formulaNames) items.push_back({name, selectAll});
    return items;
}

}  // namespace varnel

#include "naming/meta_values.h"

#include <algorithm>
#include <vector>

#include "utilities/chinese_numerals.h"
#include "utilities/number_text.h"
#include "utilities/path_routines.h"

namespace varnel {

namespace {

std::string Joined(const std::vector<std::string>& items, std::string_view separator) {
    if (separator.empty()) separator = "|";
    std::string text;
    for (const std::string& item : items) {
        if (!text.empty()) text += separator;
        text += item;
    }
    return text;
}

std::string Pick(const std::vector<std::string>& nearestFirst, std::int32_t level,
                 std::string_view separator, bool outermostFirst) {
    if (level < 0) level = 1;
    if (level == 0) {
        if (!outermostFirst) return Joined(nearestFirst, separator);
        return Joined(std::vector<std::string>(nearestFirst.rbegin(), nearestFirst.rend()),
                      separator);
    }
    const auto index = static_cast<std::size_t>(level) - 1;
    return index < nearestFirst.size() ? nearestFirst[index] : std::string();
}

}  // namespace

std::string GetDirectoryPathAtLevel(std::string_view path, std::int32_t level,
                                    std::string_view separator) {
    // Each "/" from the right ends one containing folder; the one at the very start
    // ends the empty drive part, which is the root.
    std::vector<std::string> folders;
    for (std::size_t end = path.size(); end > 0;) {
        const std::size_t slash = path.rfind('/', end - 1);
        if (slash == std::string_view::npos) break;
        folders.emplace_back(slash == 0 ? "/" : path.substr(0, slash));
        end = slash;
    }
    return Pick(folders, level, separator, false);
}

std::string GetDirectoryNameAtLevel(std::string_view path, std::int32_t level,
                                    std::string_view separator) {
    std::string_view folder = path;
    if (!folder.empty() && folder.back() == '/') {
        folder.remove_suffix(1);
    } else {
        const std::size_t slash = folder.rfind('/');
        folder = slash == std::string_view::npos ? std::string_view{} : folder.substr(0, slash);
    }
    std::vector<std::string> names;
    for (std::size_t end = folder.size(); end > 0;) {
        const std::size_t slash = folder.rfind('/', end - 1);
        const std::size_t start = slash == std::string_view::npos ? 0 : slash + 1;
        if (end > start) names.emplace_back(folder.substr(start, end - start));
        if (slash == std::string_view::npos) break;
        end = slash;
    }
    return Pick(names, level, separator, true);
}

std::string FormatSequenceNumber(std::int64_t n, std::int32_t zeroDigits, bool uniform,
                                 bool toChinese, bool amount, bool traditional) {
    if (toChinese) {
        return amount ? NumberToChineseAmount(static_cast<double>(n), !traditional)
                      : NumberToChineseNumerals(n, !traditional);
    }
    zeroDigits = std::clamp(zeroDigits, 0, kMetaCountLimit);
    std::string digits = NumberToText(n);
    const bool negative = !digits.empty() && digits.front() == '-';
    if (negative) digits.erase(0, 1);
    std::string text = std::string(static_cast<std::size_t>(zeroDigits), '0') + digits;
    if (negative) text.insert(0, 1, '-');
    const auto keep = static_cast<std::size_t>(zeroDigits) + 1;
    if (uniform && text.size() > keep) text.erase(0, text.size() - keep);
    return text;
}

std::string FormatSequenceValue(std::int64_t row, const SequenceOptions& options) {
    if (options.letters) return NumberToLetters(row, !options.upperCase);
    return FormatSequenceNumber(row, options.zeroDigits, options.uniform, options.upperCase,
                                options.amount, options.traditional);
}

}  // namespace varnel

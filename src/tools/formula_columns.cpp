#include "tools/formula_columns.h"

#include "tools/expression_evaluator.h"
#include "utilities/char_forms.h"
#include "utilities/number_text.h"

namespace varnel {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Where `needle` next occurs in `text` from `from`, ASCII letter case ignored.
std::size_t FindIgnoringCase(std::string_view text, std::string_view needle, std::size_t from) {
    if (needle.empty() || needle.size() > text.size()) return std::string_view::npos;
    for (std::size_t pos = from; pos + needle.size() <= text.size(); ++pos) {
        if (EqualsIgnoringAsciiCase(text.substr(pos, needle.size()), needle)) return pos;
    }
    return std::string_view::npos;
}

// Every occurrence of `needle` (case ignored) replaced; the replacement is never
// searched again.
std::string ReplaceAllIgnoringCase(std::string_view text, std::string_view needle, std::string_view with) {
    std::string out;
    std::size_t from = 0;
    for (std::size_t hit = FindIgnoringCase(text, needle, 0); hit != std::string_view::npos;
         hit = FindIgnoringCase(text, needle, from)) {
        out.append(text.substr(from, hit - from));
        out.append(with);
        from = hit + needle.size();
    }
    out.append(text.substr(from));
    return out;
}

const char* const kBadColumnMessage = "自定义列标题或者公式填写错误！";
const char* const kBadFormulaMessage = "公式设置有误！";
const char* const kSameNameMessage = "存在同名列！";

}  // namespace

std::optional<std::string> PrepareFormulaForTest(std::string_view formula) {
    std::string text(formula);
    // Every round removes at least the first "[", so the loop ends.
    for (std::size_t open = text.find('['); open != std::string::npos; open = text.find('[')) {
        const std::size_t close = text.find(']');
        if (close == std::string::npos || close < open) return std::nullopt;
        const std::string reference = text.substr(open, close - open + 1);
        text = ReplaceAllIgnoringCase(text, reference, " 5");
    }
    return text;
}

bool FormulaPassesTrial(std::string_view formula) {
    const std::optional<std::string> trial = PrepareFormulaForTest(formula);
    return trial && EvaluateExpression(*trial).has_value();
}

bool ColumnNameExists(std::string_view name, const std::vector<std::string>& listTitles,
                      const std::vector<FormulaColumn>& columns) {
    for (const std::string& title : listTitles) {
        if (title == name) return true;
    }
    for (const FormulaColumn& column : columns) {
        if (column.columnName == name) return true;
    }
    return false;
}

std::optional<double> CellNumber(std::string_view text, bool wholeText) {
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
    std::string clean;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) clean += text[pos++];
    std::size_t run = 0;  // digits since the start or the last ","
    bool grouped = false;
    while (pos < text.size()) {
        if (IsDigit(text[pos])) {
            clean += text[pos++];
            ++run;
        } else if (text[pos] == ',' && run >= 1 && (!grouped || run == 3) && run <= 3 && pos + 3 < text.size() &&
                   IsDigit(text[pos + 1]) && IsDigit(text[pos + 2]) && IsDigit(text[pos + 3]) &&
                   (pos + 4 >= text.size() || !IsDigit(text[pos + 4]))) {
            grouped = true;
            run = 0;
            ++pos;
        } else {
            break;
        }
    }
    if (grouped && run != 3) return wholeText ? std::nullopt : std::optional<double>(0.0);
    if (pos < text.size() && text[pos] == '.') {
        clean += text[pos++];
        while (pos < text.size() && IsDigit(text[pos])) clean += text[pos++];
    }
    const bool hasDigits = clean.find_first_of("0123456789") != std::string::npos;
    if (hasDigits && pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        std::size_t exponent = pos + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
        if (exponent < text.size() && IsDigit(text[exponent])) {
            while (exponent < text.size() && IsDigit(text[exponent])) ++exponent;
            clean.append(text.substr(pos, exponent - pos));
            pos = exponent;
        }
    }
    if (wholeText) {
        if (!hasDigits) return std::nullopt;
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
        if (pos != text.size()) return std::nullopt;
    }
    return hasDigits ? TextToNumber(clean) : 0.0;
}

std::optional<std::string> SubstituteColumnValues(std::string_view formula,
                                                  const std::vector<std::string>& titles,
                                                  const std::vector<std::string_view>& cells) {
    std::string text(formula);
    for (std::size_t c = 0; c < titles.size() && c < cells.size(); ++c) {
        const std::string reference = "[" + titles[c] + "]";
        if (FindIgnoringCase(text, reference, 0) == std::string::npos) continue;
        const std::optional<double> value = CellNumber(cells[c], true);
        if (!value) return std::nullopt;
        text = ReplaceAllIgnoringCase(text, reference, "(" + NumberToText(*value) + ")");
    }
    return text;
}

double EvaluateFormulaForRow(std::string_view formula, const std::vector<std::string>& titles,
                             const std::vector<std::string_view>& cells) {
    const std::optional<std::string> expression = SubstituteColumnValues(formula, titles, cells);
    if (!expression) return 0.0;
    return EvaluateExpression(*expression).value_or(0.0);
}

std::optional<FormulaRefusal> AddFormulaColumn(std::vector<FormulaColumn>& columns,
                                               const std::vector<std::string>& listTitles,
                                               const std::string& name, const std::string& formula) {
    if (name.empty() || formula.empty()) return FormulaRefusal{kBadColumnMessage, 0x10, "提示", false};
    if (!FormulaPassesTrial(formula)) return FormulaRefusal{kBadFormulaMessage, 0x40, "提示", true};
    if (ColumnNameExists(name, listTitles, columns)) return FormulaRefusal{kSameNameMessage, 0x10, "错误", false};
    columns.push_back({name, formula});
    return std::nullopt;
}

std::optional<FormulaRefusal> UpdateFormulaColumn(std::vector<FormulaColumn>& columns,
                                                  const std::vector<std::string>& listTitles,
                                                  std::size_t index, const std::string& editedName,
                                                  const std::string& name, const std::string& formula) {
    if (name.empty() || formula.empty()) return FormulaRefusal{kBadColumnMessage, 0x10, "错误", false};
    if (!FormulaPassesTrial(formula)) return FormulaRefusal{kBadFormulaMessage, 0x10, "错误", true};
    if (name != editedName && ColumnNameExists(name, listTitles, columns)) {
        return FormulaRefusal{kSameNameMessage, 0x30, "警告", false};
    }
    if (index < columns.size()) columns[index] = {name, formula};
    return std::nullopt;
}

std::optional<FormulaRefusal> DeleteFormulaColumn(std::vector<FormulaColumn>& columns,
                                                  std::optional<std::size_t> index,
                                                  std::vector<std::string>& statisticsItems) {
    if (!index || *index >= columns.size()) {
        return FormulaRefusal{"没有选择任何要删除的列名！", 0x40, "提示", false};
    }
    const std::string name = columns[*index].columnName;
    std::erase(statisticsItems, name);
    columns.erase(columns.begin() + static_cast<std::ptrdiff_t>(*index));
    return std::nullopt;
}

}  // namespace varnel

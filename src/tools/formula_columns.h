// Formula columns of a list report: a name and an arithmetic formula in which
// "[" + a column title + "]" stands for that row's value of a printed column. A
// cell's text enters a formula only as a number it holds, never as formula text.
// The checks that the formula dialogs make before a column is added or changed.
// Safe on any thread.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnel {

struct FormulaColumn {
    std::string columnName;
    std::string formula;
    bool operator==(const FormulaColumn&) const = default;
};

// A refusal of the formula dialogs: the message box to show and whether the
// formula box takes the focus.
struct FormulaRefusal {
    std::string message;
    unsigned style = 0x40;
    std::string title;
    bool focusFormula = false;
    bool operator==(const FormulaRefusal&) const = default;
};

// The formula with every bracketed reference replaced by " 5", ready for a trial
// evaluation: the first "[" to the first "]" and every occurrence of that text
// (letter case ignored) at a time. Nothing when a "[" has no "]" after it or a "]"
// stands before the first "[".
std::optional<std::string> PrepareFormulaForTest(std::string_view formula);

// The formula gives a number for trial values of its references.
bool FormulaPassesTrial(std::string_view formula);

// The name is a list column title (printed or not) or the name of a formula column,
// compared exactly.
bool ColumnNameExists(std::string_view name, const std::vector<std::string>& listTitles,
                      const std::vector<FormulaColumn>& columns);

// The number a report cell holds: blanks around it, an optional sign, digits that
// may be grouped by "," in threes ("1,234"), an optional fraction and exponent.
// With wholeText the rest must be blanks; otherwise the rest is ignored, and a
// text without a leading number reads as 0.
std::optional<double> CellNumber(std::string_view text, bool wholeText);

// The formula with every "[" + titles[c] + "]" (letter case ignored, columns in
// order) replaced by the number cells[c] holds, in brackets. Nothing when a
// referenced cell holds no number: the row's result is then 0.
std::optional<std::string> SubstituteColumnValues(std::string_view formula,
                                                  const std::vector<std::string>& titles,
                                                  const std::vector<std::string_view>& cells);

// The value of the formula for one row, 0 when it cannot be evaluated.
double EvaluateFormulaForRow(std::string_view formula, const std::vector<std::string>& titles,
                             const std::vector<std::string_view>& cells);

// The 确定 of the formula dialog: appends the column, or says why not.
std::optional<FormulaRefusal> AddFormulaColumn(std::vector<FormulaColumn>& columns,
                                               const std::vector<std::string>& listTitles,
                                               const std::string& name, const std::string& formula);
// The 确定 of the edit dialog on column `index`, which opened with `editedName`: a
// column may keep its own name.
std::optional<FormulaRefusal> UpdateFormulaColumn(std::vector<FormulaColumn>& columns,
                                                  const std::vector<std::string>& listTitles,
                                                  std::size_t index, const std::string& editedName,
                                                  const std::string& name, const std::string& formula);
// Removes column `index` (none: the refusal) and its name from the statistics items.
std::optional<FormulaRefusal> DeleteFormulaColumn(std::vector<FormulaColumn>& columns,
                                                  std::optional<std::size_t> index,
                                                  std::vector<std::string>& statisticsItems);

}  // namespace varnel

// The formula dialogs (公式设置 to add a formula column, 修改公式设置 to change
// one): a name, a formula, and a list of the printed columns that appends a
// reference to the formula. 确定 hands both to the owner's check, which keeps
// the dialog open with its message when it refuses. Modal. UI thread only.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tools/formula_columns.h"

namespace varnel {

// How a window asks the user: the program's message box, or a test's answer.
using AskUser = std::function<int(const std::string& text, unsigned style, const std::string& title)>;

class FormulaDialog final : public QDialog {
    Q_OBJECT
public:
    using Check = std::function<std::optional<FormulaRefusal>(const std::string& name, const std::string& formula)>;

    // `columns`: the printed column titles; `edit`: the column to change, if any.
    FormulaDialog(const std::vector<std::string>& columns, std::optional<FormulaColumn> edit, Check check,
                  AskUser ask, QWidget* owner);

    // 确定: closes the dialog accepted unless the check refuses.
    void Confirm();

private:
    Check m_check;
    AskUser m_ask;
    QLineEdit* m_name;
    QComboBox* m_columns;
    QLineEdit* m_formula;
};

}  // namespace varnel

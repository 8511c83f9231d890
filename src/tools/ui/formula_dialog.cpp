#include "tools/ui/formula_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace varnel {

FormulaDialog::FormulaDialog(const std::vector<std::string>& columns, std::optional<FormulaColumn> edit,
                             Check check, AskUser ask, QWidget* owner)
    : QDialog(owner), m_check(std::move(check)), m_ask(std::move(ask)) {
    setObjectName(edit ? "修改公式设置" : "公式设置");
    setWindowTitle(edit ? "修改公式设置" : "公式设置");
    setModal(true);
    m_name = new QLineEdit(this);
    m_name->setObjectName("新列名编辑框");
    m_columns = new QComboBox(this);
    m_columns->setObjectName("列内容");
    m_formula = new QLineEdit(this);
    m_formula->setObjectName("公式编辑框");
    for (const std::string& column : columns) m_columns->addItem(QString::fromStdString(column));
    m_columns->setCurrentIndex(-1);
    if (edit) {
        m_name->setText(QString::fromStdString(edit->columnName));
        m_formula->setText(QString::fromStdString(edit->formula));
    }
    connect(m_columns, &QComboBox::activated, this, [this](int index) {
        m_formula->setText(m_formula->text() + "[" + m_columns->itemText(index) + "]");
        m_formula->setFocus();
        m_formula->end(false);
    });

    auto* form = new QFormLayout;
    form->addRow("新增列名:", m_name);
    form->addRow("相关计算列:", m_columns);
    form->addRow("公式:", m_formula);
    auto* ok = new QPushButton("确定", this);
    ok->setObjectName("确定");
    ok->setDefault(true);
    auto* cancel = new QPushButton("取消", this);
    cancel->setObjectName("取消");
    connect(ok, &QPushButton::clicked, this, &FormulaDialog::Confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel("运算符号说明:“+”、“-”、“*”、“/”、括号嵌套。", this));
    layout->addWidget(new QLabel("公式样式:[第一列]*12*(52+13)/(14-3)-[第三列]", this));
    layout->addLayout(buttons);
    m_name->setFocus();
}

void FormulaDialog::Confirm() {
    const std::optional<FormulaRefusal> refusal =
        m_check(m_name->text().toStdString(), m_formula->text().toStdString());
    if (!refusal) {
        accept();
        return;
    }
    m_ask(refusal->message, refusal->style, refusal->title);
    if (refusal->focusFormula) m_formula->setFocus();
}

}  // namespace varnel

#include "frame/ui/find_in_list_dialog.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace varnel {

namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

// The columns the combo box offers, 0 to 7; the folder column is searched with all columns.
constexpr const char* kColumns[] = {"文件名称", "文件预览", "文件大小", "文件类型",
                                    "文件属性", "创建时间", "修改时间", "访问时间"};
constexpr int kComboColumns = static_cast<int>(std::size(kColumns));

}  // namespace

FindInListDialog::FindInListDialog(FindOptions& options, std::function<void()> find,
                                   std::function<void()> keywordEdited, QWidget* owner)
    : QDialog(owner), m_options(options) {
    setObjectName(Text("FindInListDialog"));
    setWindowTitle(Text("查找表项"));
    setModal(false);
    auto* grid = new QGridLayout(this);

    m_keyword = new QLineEdit(this);
    m_keyword->setObjectName(Text("编辑框查找"));
    auto* keywordLabel = new QLabel(Text("查找字符串："), this);
    keywordLabel->setBuddy(m_keyword);
    grid->addWidget(keywordLabel, 0, 0);
    grid->addWidget(m_keyword, 0, 1, 1, 3);

    m_column = new QComboBox(this);
    m_column->setObjectName(Text("组合框查找列"));
    for (const char* column : kColumns) m_column->addItem(Text(column));
    // "&A": "&C" belongs to 常规.
    m_allColumns = new QCheckBox(Text("查找全部列(&A)"), this);
    m_allColumns->setObjectName(Text("选择框查找全部列"));
    grid->addWidget(new QLabel(Text("查找指定列："), this), 1, 0);
    grid->addWidget(m_column, 1, 1);
    grid->addWidget(m_allColumns, 1, 2, 1, 2);

    auto* plain = new QRadioButton(Text("常规(&C)"), this);
    plain->setObjectName(Text("单选框常规"));
    auto* wildcard = new QRadioButton(Text("通配符(&T)"), this);
    wildcard->setObjectName(Text("单选框通配符"));
    auto* regex = new QRadioButton(Text("正则表达式(&Z)"), this);
    regex->setObjectName(Text("单选框正则表达式"));
    auto* engines = new QButtonGroup(this);
    engines->addButton(plain, 0);
    engines->addButton(wildcard, 1);
    engines->addButton(regex, 2);
    grid->addWidget(new QLabel(Text("查找模式："), this), 2, 0);
    grid->addWidget(plain, 2, 1);
    grid->addWidget(wildcard, 2, 2);
    grid->addWidget(regex, 2, 3);

    auto* ignoreCase = new QCheckBox(Text("忽略大小写(&H)"), this);
    ignoreCase->setObjectName(Text("选择框忽略大小写"));
    auto* wholeWord = new QCheckBox(Text("全字匹配(&Q)"), this);
    wholeWord->setObjectName(Text("选择框全字匹配"));
    auto* upward = new QCheckBox(Text("向上"), this);
    upward->setObjectName(Text("选择框向上"));
    auto* findButton = new QPushButton(Text("查找"), this);
    findButton->setObjectName(Text("按钮查找"));
    findButton->setDefault(true);
    grid->addWidget(ignoreCase, 3, 1);
    grid->addWidget(wholeWord, 3, 2);
    grid->addWidget(upward, 3, 3);
    grid->addWidget(findButton, 4, 3);

    // The controls as the options hold them; a stored column the combo box does not
    // offer is searched as all columns.
    const int engine = m_options.engine == 1 || m_options.engine == 2 ? m_options.engine : 0;
    engines->button(engine)->setChecked(true);
    m_keyword->setText(QString::fromStdString(m_options.keyword));
    if (m_options.column < 0 || m_options.column >= kComboColumns) {
        m_options.column = -1;
        m_allColumns->setChecked(true);
    } else {
        m_column->setCurrentIndex(m_options.column);
    }
    ignoreCase->setChecked(m_options.ignoreCase);
    wholeWord->setChecked(m_options.wholeWord);
    upward->setChecked(m_options.upward);
    m_keyword->setFocus();
    ApplyColumnRule();

    connect(m_column, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_allColumns->isChecked()) m_options.column = index;
    });
    connect(m_allColumns, &QCheckBox::toggled, this, [this](bool checked) {
        m_options.column = checked ? -1 : m_column->currentIndex();
        ApplyColumnRule();
    });
    connect(ignoreCase, &QCheckBox::toggled, this, [this](bool checked) { m_options.ignoreCase = checked; });
    connect(wholeWord, &QCheckBox::toggled, this, [this](bool checked) { m_options.wholeWord = checked; });
    connect(upward, &QCheckBox::toggled, this, [this](bool checked) { m_options.upward = checked; });
    connect(engines, &QButtonGroup::idClicked, this, [this](int id) { m_options.engine = id; });
    connect(m_keyword, &QLineEdit::textEdited, this, [this, keywordEdited = std::move(keywordEdited)](const QString& text) {
        m_options.keyword = text.toStdString();
        m_options.position = 0;
        if (keywordEdited) keywordEdited();
    });
    connect(findButton, &QPushButton::clicked, this, [find = std::move(find)] {
        if (find) find();
    });
}

void FindInListDialog::ApplyColumnRule() { m_column->setEnabled(!m_allColumns->isChecked()); }

void FindInListDialog::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    emit hidden();
}

}  // namespace varnel

#include "frame/ui/time_format_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include <ctime>

#include "utilities/local_time.h"
#include "utilities/user_notifier.h"

namespace varnel {

namespace {

constexpr const char* kPresetRules[] = {
    "#年年#月月#日日#时时#分分#秒秒", "#年/#月/#日 #时:#分:#秒", "#年/#月/#日/#时/#分/#秒",
    "#年/#月/#日/#时:#分:#秒",       "#年-#月-#日-#时-#分-#秒", "#年-#月-#日-#时:#分:#秒",
    "#年.#月.#日 #时:#分:#秒",       "#年#月#日#时#分#秒",
};
constexpr const char* kSymbolPieces[] = {"#年", "#季", "#月", "#周", "#日", "#时",
                                         "#分", "#秒", "#星", "#中星", "#英星", "#简星"};
constexpr const char* kTextPieces[] = {"年", "季", "月", "周", "日", "时", "分", "秒",
                                       "星期", "-", "/", ":", ".", "空格", "删除"};

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

TimeFormatDialog::TimeFormatDialog(TimeFormat& format, std::function<void()> applied, QWidget* owner)
    : QDialog(owner), m_format(format), m_applied(std::move(applied)) {
    setObjectName(Text("TimeFormatDialog"));
    setWindowTitle(Text("时间列显示格式："));
    setModal(false);
    auto* grid = new QGridLayout(this);
    int line = 0;

    m_rule = new QLineEdit(this);
    m_rule->setObjectName(Text("编辑框组合规则"));
    m_presets = new QComboBox(this);
    m_presets->setObjectName(Text("组合框表达式"));
    for (const char* rule : kPresetRules) m_presets->addItem(Text(rule));
    grid->addWidget(new QLabel(Text("组合规则："), this), line, 0);
    grid->addWidget(m_rule, line, 1);
    grid->addWidget(m_presets, line++, 2);

    // The piece buttons put their text at the caret, in place of any selection.
    const auto pieceRow = [&](const char* label, const char* name, const auto& pieces) {
        auto* labelWidget = new QLabel(Text(label), this);
        labelWidget->setObjectName(Text(name));
        auto* row = new QHBoxLayout;
        row->setSpacing(3);
        for (const char* piece : pieces) {
            auto* button = new QPushButton(Text(piece), this);
            button->setObjectName(Text(piece));
            button->setAutoDefault(false);
            button->setFixedWidth(button->fontMetrics().horizontalAdvance(button->text()) + 16);
            const QString inserted = Text(piece) == Text("空格") ? Text(" ") : Text(piece) == Text("删除") ? QString() : Text(piece);
            connect(button, &QPushButton::clicked, this, [this, inserted] {
                m_rule->insert(inserted);
                m_rule->setFocus();
            });
            row->addWidget(button);
        }
        row->addStretch();
        grid->addWidget(labelWidget, line, 0);
        grid->addLayout(row, line++, 1, 1, 2);
    };
    pieceRow("元定义符：", "标签元定义符", kSymbolPieces);
    pieceRow("常用字串：", "标签常用字串", kTextPieces);

    const auto check = [this](const char* name, const char* caption) {
        auto* box = new QCheckBox(Text(caption), this);
        box->setObjectName(Text(name));
        return box;
    };
    m_zeroPad = check("选择框零位补齐", "零位是否补齐");
    m_toChinese = check("选择框到汉字", "到汉字");
    m_traditional = check("选择框到繁体", "到繁体");
    m_singleChar = check("选择框单字模式", "单字模式");
    m_zeroHandling = check("选择框零处理", "单字并简体时 0 = 零(否则等于 〇 )");
    auto* checks = new QHBoxLayout;
    for (QCheckBox* box : {m_zeroPad, m_toChinese, m_traditional, m_singleChar, m_zeroHandling}) checks->addWidget(box);
    checks->addStretch();
    grid->addLayout(checks, line++, 0, 1, 3);

    m_example = new QLineEdit(this);
    m_example->setObjectName(Text("编辑框转换例子"));
    m_example->setReadOnly(true);
    grid->addWidget(new QLabel(Text("转换例子："), this), line, 0);
    grid->addWidget(m_example, line++, 1, 1, 2);

    auto* apply = new QPushButton(Text("应用"), this);
    apply->setObjectName(Text("按钮应用"));
    auto* ok = new QPushButton(Text("确定"), this);
    ok->setObjectName(Text("按钮确定"));
    auto* cancel = new QPushButton(Text("取消"), this);
    cancel->setObjectName(Text("按钮3"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {apply, ok, cancel}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    grid->addLayout(buttons, line++, 0, 1, 3);

    // The controls as the format holds them; an empty rule shows the usual one.
    m_rule->setText(Text(m_format.pattern.empty() ? kPresetRules[1] : m_format.pattern.c_str()));
    m_zeroPad->setChecked(m_format.zeroPad);
    m_toChinese->setChecked(m_format.toChineseNumerals);
    m_traditional->setChecked(m_format.traditional);
    m_singleChar->setChecked(m_format.singleCharMode);
    m_zeroHandling->setChecked(m_format.zeroHandling);
    ApplyEnableRules();

    connect(m_presets, &QComboBox::textActivated, m_rule, &QLineEdit::setText);
    connect(m_rule, &QLineEdit::textChanged, this, &TimeFormatDialog::RefreshExample);
    for (QCheckBox* box : {m_zeroPad, m_traditional, m_zeroHandling}) {
        connect(box, &QCheckBox::toggled, this, &TimeFormatDialog::RefreshExample);
    }
    for (QCheckBox* box : {m_toChinese, m_singleChar}) {
        connect(box, &QCheckBox::toggled, this, &TimeFormatDialog::ApplyEnableRules);
    }
    connect(apply, &QPushButton::clicked, this, &TimeFormatDialog::Apply);
    connect(ok, &QPushButton::clicked, this, [this] {
        Apply();
        close();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);
    m_clock.setObjectName(Text("显示时间时钟"));
    m_clock.setInterval(1000);
    connect(&m_clock, &QTimer::timeout, this, &TimeFormatDialog::RefreshExample);
    m_clock.start();
}

void TimeFormatDialog::ApplyEnableRules() {
    const bool chinese = m_toChinese->isChecked();
    m_traditional->setEnabled(chinese);
    m_singleChar->setEnabled(chinese);
    m_zeroHandling->setEnabled(chinese && m_singleChar->isChecked());
    RefreshExample();
}

TimeFormat TimeFormatDialog::EditedFormat() const {
    TimeFormat format;
    format.pattern = m_rule->text().toStdString();
    format.zeroPad = m_zeroPad->isChecked();
    format.toChineseNumerals = m_toChinese->isChecked();
    format.traditional = m_traditional->isChecked();
    format.singleCharMode = m_singleChar->isChecked();
    format.zeroHandling = m_zeroHandling->isChecked();
    return format;
}

void TimeFormatDialog::RefreshExample() {
    const double now = UnixTimeToLocalOleDate(static_cast<std::int64_t>(std::time(nullptr))).value_or(0);
    m_example->setText(QString::fromStdString(FormatDateTimeByRule(now, EditedFormat())));
}

bool TimeFormatDialog::Apply() {
    const TimeFormat edited = EditedFormat();
    if (edited.pattern.find('#') == std::string::npos) {
        ShowTrayNotice("组合规则为空或不存在一个元定义符！");
        return false;
    }
    m_format = edited;
    if (m_applied) m_applied();
    return true;
}

}  // namespace varnel

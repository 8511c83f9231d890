#include "frame/ui/sort_options_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <cmath>
#include <limits>

#include "settings/ui/notice_popup.h"
#include "utilities/number_text.h"
#include "utilities/user_notifier.h"

namespace varnel {

namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

constexpr const char* kHelpTitle = "如果您想要正确使用本功能，请仔细阅读下面的帮助：";
constexpr const char* kHelpText =
    "普通的数值排序只在数字位于名称开头时才有效，例如“1.mp3、2.mp3、10.mp3”。\r\n\r\n"
    "像“第2集-3.mp4、第12集-1.mp4”这样数字在中间的名称，请用增强型数值排序：它比较每个名称中"
    "指定的一组数字。组从左边数起，从 1 开始：1 表示第一组（上例中的 2 和 12），2 表示第二组"
    "（上例中的 -3 和 -1）；0 表示把全部数字相加后比较。\r\n\r\n"
    "如果各名称中数字的组数不一样，例如“abc 01.mp3、abc 2 05.mp3”，请勾选“数字在右边”："
    "这样总是比较最右边的一组数字。";

// The box's text as a group number: its leading number, truncated; 0 for none.
std::int32_t GroupOf(const QString& text) {
    const double value = std::trunc(TextToNumber(text.toStdString()));
    if (std::isnan(value)) return 0;
    return static_cast<std::int32_t>(std::clamp(value, double{std::numeric_limits<std::int32_t>::min()},
                                                double{std::numeric_limits<std::int32_t>::max()}));
}

}  // namespace

SortOptionsDialog::SortOptionsDialog(std::int32_t& numericSortGroup, QWidget* owner)
    : QDialog(owner), m_group(numericSortGroup) {
    setObjectName(Text("SortOptionsDialog"));
    setWindowTitle(Text("排序 — 设定增强参数"));
    auto* grid = new QGridLayout(this);
    m_position = new QLineEdit(this);
    m_position->setObjectName(Text("编辑框数字位置"));
    m_rightmost = new QCheckBox(Text("数字在右边"), this);
    m_rightmost->setObjectName(Text("选择框数字在右边"));
    auto* hint = new QLabel(Text("< 0、表示最右边 0、表示相加全部 1、表示第一组 2、表示第二组..."), this);
    hint->setObjectName(Text("标签说明"));
    // Wrapped rather than cut where the dialog is narrower than the line.
    hint->setWordWrap(true);
    auto* save = new QPushButton(Text("保存"), this);
    save->setObjectName(Text("按钮保存"));
    auto* help = new QPushButton(Text("帮助"), this);
    help->setObjectName(Text("按钮帮助"));
    grid->addWidget(new QLabel(Text("欲排序数字的位置："), this), 0, 0);
    grid->addWidget(m_position, 0, 1);
    grid->addWidget(m_rightmost, 0, 2);
    grid->addWidget(hint, 1, 0, 1, 3);
    grid->addWidget(save, 2, 1);
    grid->addWidget(help, 2, 2);
    // Wide enough for the explanation on one line.
    setMinimumWidth(hint->fontMetrics().horizontalAdvance(hint->text()) + 2 * grid->contentsMargins().left() + 8);

    ShowGroup();
    connect(m_rightmost, &QCheckBox::toggled, m_position, [this](bool checked) { m_position->setEnabled(!checked); });
    connect(save, &QPushButton::clicked, this, &SortOptionsDialog::Save);
    connect(help, &QPushButton::clicked, this, [this] {
        NoticePopupParams params;
        params.title = kHelpTitle;
        params.message = kHelpText;
        ShowNoticePopup(std::move(params), this);
    });
}

void SortOptionsDialog::ShowGroup() {
    const bool rightmost = m_group < 0;
    m_rightmost->setChecked(rightmost);
    m_position->setEnabled(!rightmost);
    m_position->setText(rightmost ? QString() : QString::number(m_group));
}

void SortOptionsDialog::Save() {
    m_group = m_rightmost->isChecked() ? -1 : GroupOf(m_position->text());
    ShowGroup();
    ShowMessageBox("OK", kBoxOk | kBoxIconInformation);
}

}  // namespace varnel

#include "filelist/ui/extended_filter_window.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

#include <cstdio>

#include "utilities/ole_date.h"

namespace varnel {

namespace {

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromUtf8(name));
    return widget;
}

QCheckBox* Box(QWidget* parent, const char* name, const char* caption) {
    return Named(new QCheckBox(QString::fromUtf8(caption), parent), name);
}

QComboBox* Combo(QWidget* parent, const char* name, std::initializer_list<const char*> items) {
    auto* combo = Named(new QComboBox(parent), name);
    for (const char* item : items) combo->addItem(QString::fromUtf8(item));
    return combo;
}

void SetIndex(QComboBox* combo, int index) {
    if (index >= 0 && index < combo->count()) combo->setCurrentIndex(index);
}

}  // namespace

ExtendedFilterWindow::ExtendedFilterWindow(SettingsStore& settings, QWidget* owner)
    : QWidget(owner, Qt::Tool), m_settings(settings) {
    setObjectName(QString::fromUtf8("ExtendedFilterWindow"));
    setWindowTitle(QString::fromUtf8("扩展过滤"));
    auto* grid = new QGridLayout(this);
    int row = 0;

    m_charTest = Box(this, "选择框字量", "按字量 >");
    m_keyword = Named(new QLineEdit(this), "编辑框关键字");
    m_keyword->setPlaceholderText(QString::fromUtf8("不限字序，随意交叉"));
    m_minCount = Named(new QLineEdit(this), "编辑框通过字数");
    m_charIgnoreCase = Box(this, "选择框忽略大小写", "忽略大小写");
    m_charInvert = Box(this, "选择框取反字量", "取反");
    grid->addWidget(m_charTest, row, 0);
    grid->addWidget(m_keyword, row, 1);
    grid->addWidget(new QLabel(QString::fromUtf8("通过字数："), this), row, 2);
    grid->addWidget(m_minCount, row, 3);
    grid->addWidget(m_charIgnoreCase, row, 4);
    grid->addWidget(m_charInvert, row++, 5);

    m_typeTest = Box(this, "选择框类型", "按类型 >");
    m_typeFile = Named(new QRadioButton(QString::fromUtf8("文件"), this), "单选框文件");
    m_typeFolder = Named(new QRadioButton(QString::fromUtf8("文件夹"), this), "单选框文件夹");
    m_typeFile->setChecked(true);
    m_noExtension = Box(this, "选择框无格式", "无格式");
    m_pureFolder = Box(this, "选择框纯目录", "纯目录");
    m_typeInvert = Box(this, "选择框取反类型", "取反");
    grid->addWidget(m_typeTest, row, 0);
    grid->addWidget(m_typeFile, row, 1);
    grid->addWidget(m_noExtension, row, 2);
    grid->addWidget(m_typeFolder, row, 3);
    grid->addWidget(m_pureFolder, row, 4);
    grid->addWidget(m_typeInvert, row++, 5);

    m_attrTest = Box(this, "选择框属性", "按属性 >");
    m_readOnly = Box(this, "选择框只读", "只读");
    m_hidden = Box(this, "选择框隐藏", "隐藏");
    m_system = Box(this, "选择框系统", "系统");
    m_directory = Box(this, "选择框目录", "目录");
    m_archive = Box(this, "选择框存档", "存档");
    m_attrContains = Box(this, "选择框属性包含", "属性包含");
    m_attrInvert = Box(this, "选择框取反属性", "取反");
    grid->addWidget(m_attrTest, row, 0);
    auto* attributes = new QHBoxLayout;
    for (QCheckBox* box : {m_readOnly, m_hidden, m_system, m_directory, m_archive, m_attrContains}) {
        attributes->addWidget(box);
    }
    grid->addLayout(attributes, row, 1, 1, 4);
    grid->addWidget(m_attrInvert, row++, 5);

    m_dateTest = Box(this, "选择框日期", "按日期 >");
    m_dateKind = Combo(this, "组合框日期类型", {"创建日期：", "修改日期：", "访问日期："});
    m_date = Named(new QDateEdit(QDate::currentDate(), this), "日期框日期数据");
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_dateDirection = Combo(this, "组合框日期方向", {"之前", "当天", "之后"});
    m_dateInvert = Box(this, "选择框取反日期", "取反");
    grid->addWidget(m_dateTest, row, 0);
    grid->addWidget(m_dateKind, row, 1);
    grid->addWidget(m_date, row, 2, 1, 2);
    grid->addWidget(m_dateDirection, row, 4);
    grid->addWidget(m_dateInvert, row++, 5);

    m_sizeTest = Box(this, "选择框大小", "按大小 >");
    m_sizeComparison = Combo(this, "组合框大小方向", {"小于", "等于", "约等", "大于"});
    m_sizeValue = Named(new QLineEdit(this), "编辑框大小数值");
    m_sizeUnit = Combo(this, "组合框大小单位",
                       {"字节(B)", "千字节(KB)", "兆字节(MB)", "吉字节(GB)", "太字节(TB)", "拍字节(PB)", "艾字节(EB)"});
    m_sizeInvert = Box(this, "选择框取反大小", "取反");
    grid->addWidget(m_sizeTest, row, 0);
    grid->addWidget(m_sizeComparison, row, 1);
    grid->addWidget(m_sizeValue, row, 2, 1, 2);
    grid->addWidget(m_sizeUnit, row, 4);
    grid->addWidget(m_sizeInvert, row++, 5);

    m_shortcutTest = Box(this, "选择框无效", "无效的快捷方式(.lnk)");
    m_shortcutInvert = Box(this, "选择框取反无效", "取反");
    grid->addWidget(m_shortcutTest, row, 0, 1, 2);
    grid->addWidget(m_shortcutInvert, row++, 5);
    m_parentTest = Box(this, "选择框父名", "主名同父目录名");
    m_parentInvert = Box(this, "选择框取反父名", "取反");
    grid->addWidget(m_parentTest, row, 0, 1, 2);
    grid->addWidget(m_parentInvert, row++, 5);

    auto* readTree = Named(new QPushButton(QString::fromUtf8("读目录树"), this), "按钮读目录树");
    auto* select = Named(new QPushButton(QString::fromUtf8("过滤选定"), this), "按钮甄选列表");
    grid->addWidget(readTree, row, 3);
    grid->addWidget(select, row, 4, 1, 2);
    connect(readTree, &QPushButton::clicked, this, &ExtendedFilterWindow::readTreeRequested);
    connect(select, &QPushButton::clicked, this, &ExtendedFilterWindow::selectByFilterRequested);

    for (QAbstractButton* box : std::initializer_list<QAbstractButton*>{
             m_charTest, m_typeTest, m_attrTest, m_dateTest, m_sizeTest, m_shortcutTest, m_parentTest, m_typeFile,
             m_typeFolder, m_noExtension, m_pureFolder}) {
        connect(box, &QAbstractButton::toggled, this, &ExtendedFilterWindow::ApplyEnablingRules);
    }
    LoadSettings();
}

void ExtendedFilterWindow::ApplyEnablingRules() {
    const auto enable = [](bool on, std::initializer_list<QWidget*> widgets) {
        for (QWidget* w : widgets) w->setEnabled(on);
    };
    enable(m_charTest->isChecked(), {m_keyword, m_minCount, m_charIgnoreCase, m_charInvert});
    const bool type = m_typeTest->isChecked();
    enable(type, {m_typeFile, m_typeFolder});
    m_noExtension->setEnabled(type && m_typeFile->isChecked());
    m_pureFolder->setEnabled(type && m_typeFolder->isChecked());
    const bool strict = (m_noExtension->isEnabled() && m_noExtension->isChecked()) ||
                        (m_pureFolder->isEnabled() && m_pureFolder->isChecked());
    m_typeInvert->setEnabled(type && strict);
    enable(m_attrTest->isChecked(), {m_readOnly, m_hidden, m_system, m_directory, m_archive, m_attrContains, m_attrInvert});
    enable(m_dateTest->isChecked(), {m_dateKind, m_date, m_dateDirection, m_dateInvert});
    enable(m_sizeTest->isChecked(), {m_sizeComparison, m_sizeValue, m_sizeUnit, m_sizeInvert});
    m_shortcutInvert->setEnabled(m_shortcutTest->isChecked());
    m_parentInvert->setEnabled(m_parentTest->isChecked());
}

ExtendedFilterState ExtendedFilterWindow::CurrentState() const {
    ExtendedFilterState s;
    s.charEnabled = m_charTest->isChecked();
    s.keyword = m_keyword->text().toStdString();
    s.minCharCountText = m_minCount->text().toStdString();
    s.charIgnoreCase = m_charIgnoreCase->isChecked();
    s.charInvert = m_charInvert->isChecked();
    s.typeEnabled = m_typeTest->isChecked();
    s.typeFiles = m_typeFile->isChecked();
    s.typeStrict = s.typeFiles ? m_noExtension->isChecked() : m_pureFolder->isChecked();
    s.typeInvert = m_typeInvert->isChecked();
    s.attrEnabled = m_attrTest->isChecked();
    s.attrReadOnly = m_readOnly->isChecked();
    s.attrHidden = m_hidden->isChecked();
    s.attrSystem = m_system->isChecked();
    s.attrDirectory = m_directory->isChecked();
    s.attrArchive = m_archive->isChecked();
    s.attrContains = m_attrContains->isChecked();
    s.attrInvert = m_attrInvert->isChecked();
    s.dateEnabled = m_dateTest->isChecked();
    s.dateKind = m_dateKind->currentIndex();
    const QDate day = m_date->date();
    s.date = CivilToOleDate({day.year(), day.month(), day.day()}).value_or(0);
    s.dateDirection = m_dateDirection->currentIndex();
    s.dateInvert = m_dateInvert->isChecked();
    s.sizeEnabled = m_sizeTest->isChecked();
    s.sizeComparison = m_sizeComparison->currentIndex();
    s.sizeValueText = m_sizeValue->text().toStdString();
    s.sizeUnit = m_sizeUnit->currentIndex();
    s.sizeInvert = m_sizeInvert->isChecked();
    s.shortcutEnabled = m_shortcutTest->isChecked();
    s.shortcutInvert = m_shortcutInvert->isChecked();
    s.parentEnabled = m_parentTest->isChecked();
    s.parentInvert = m_parentInvert->isChecked();
    s.active = isVisible() && s.AnyTestEnabled();
    return s;
}

void ExtendedFilterWindow::ShowState(const ExtendedFilterState& s) {
    m_charTest->setChecked(s.charEnabled);
    m_keyword->setText(QString::fromStdString(s.keyword));
    m_minCount->setText(QString::fromStdString(s.minCharCountText));
    m_charIgnoreCase->setChecked(s.charIgnoreCase);
    m_charInvert->setChecked(s.charInvert);
    m_typeTest->setChecked(s.typeEnabled);
    (s.typeFiles ? m_typeFile : m_typeFolder)->setChecked(true);
    (s.typeFiles ? m_noExtension : m_pureFolder)->setChecked(s.typeStrict);
    m_typeInvert->setChecked(s.typeInvert);
    m_attrTest->setChecked(s.attrEnabled);
    m_readOnly->setChecked(s.attrReadOnly);
    m_hidden->setChecked(s.attrHidden);
    m_system->setChecked(s.attrSystem);
    m_directory->setChecked(s.attrDirectory);
    m_archive->setChecked(s.attrArchive);
    m_attrContains->setChecked(s.attrContains);
    m_attrInvert->setChecked(s.attrInvert);
    m_dateTest->setChecked(s.dateEnabled);
    SetIndex(m_dateKind, s.dateKind);
    const CivilTime day = OleDateToCivil(s.date);
    m_date->setDate(QDate(day.year, day.month, day.day));
    SetIndex(m_dateDirection, s.dateDirection);
    m_dateInvert->setChecked(s.dateInvert);
    m_sizeTest->setChecked(s.sizeEnabled);
    SetIndex(m_sizeComparison, s.sizeComparison);
    m_sizeValue->setText(QString::fromStdString(s.sizeValueText));
    SetIndex(m_sizeUnit, s.sizeUnit);
    m_sizeInvert->setChecked(s.sizeInvert);
    m_shortcutTest->setChecked(s.shortcutEnabled);
    m_shortcutInvert->setChecked(s.shortcutInvert);
    m_parentTest->setChecked(s.parentEnabled);
    m_parentInvert->setChecked(s.parentInvert);
    ApplyEnablingRules();
}

void ExtendedFilterWindow::LoadSettings() {
    // Each control keeps its value for a key that is missing.
    ExtendedFilterState state = CurrentState();
    (void)LoadOrSaveExtendedFilters(m_settings, state, false);
    ShowState(state);
}

void ExtendedFilterWindow::SaveSettings() {
    ExtendedFilterState state = CurrentState();
    if (auto saved = LoadOrSaveExtendedFilters(m_settings, state, true); !saved) {
        std::fprintf(stderr, "varnel: 保存扩展过滤设置失败: %s\n", saved.error().message.c_str());
    }
}

void ExtendedFilterWindow::closeEvent(QCloseEvent* event) {
    // The window lives on: the close box saves and hides it.
    SaveSettings();
    event->ignore();
    hide();
    emit closedByUser();
}

}  // namespace varnel

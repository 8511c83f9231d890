#include "renames/ui/char_rename_panels.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

#include "naming/ui/panel_controls.h"
#include "settings/ui/panel_settings.h"
#include "settings/ui/notice_popup.h"
#include "utilities/ui/keyboard.h"
#include "utilities/ui/tooltips.h"
#include "utilities/user_notifier.h"

namespace varnel {

namespace {

// A flat button that reads like a link.
QPushButton* MakeLink(QWidget* parent, const char* name, const char* caption) {
    auto* link = Named(new QPushButton(Utf8(caption), parent), name);
    link->setFlat(true);
    link->setCursor(Qt::PointingHandCursor);
    return link;
}

}  // namespace

ClearCharsPanel::ClearCharsPanel(QWidget* parent) : TypedTaskPanel(parent), m_classes(LoadCharClasses()) {
    setObjectName("ClearCharsPanel");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 8);
    m_list = Named(new QListWidget(this), "列表框");
    for (const CharClassEntry& entry : m_classes) {
        auto* item = new QListWidgetItem(QString::fromStdString(entry.name), m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    grid->addWidget(m_list, 0, 0, 6, 1);
    QPushButton* all = MakeLink(this, "清除x全选", "全选");
    QPushButton* invert = MakeLink(this, "清除x反选", "反选");
    QPushButton* none = MakeLink(this, "清除x全不选", "全不选");
    QPushButton* showAll = MakeLink(this, "清除x查看全部", "查看全部");
    QPushButton* hint = MakeLink(this, "清除x预览字符", "操作提示！");
    int row = 0;
    for (QPushButton* link : {all, invert, none, showAll, hint}) grid->addWidget(link, row++, 1, Qt::AlignLeft);
    grid->setRowStretch(5, 1);
    grid->setColumnStretch(0, 1);

    connect(all, &QPushButton::clicked, this, [this] { SetAllCharClasses(1); });
    connect(invert, &QPushButton::clicked, this, [this] { SetAllCharClasses(0); });
    connect(none, &QPushButton::clicked, this, [this] { SetAllCharClasses(-1); });
    connect(showAll, &QPushButton::clicked, this, [this] {
        NoticePopupParams notice;
        notice.title = kAllCharClassesTitle;
        notice.message = ShowAllCharClasses(m_classes);
        ShowNoticePopup(std::move(notice));
    });
    connect(hint, &QPushButton::clicked, this, [] { ShowTrayNotice(kCharClassHint); });
    Bindings()
        .CheckList(m_list, "选中项",
                   [this](ClearCharsParams& p, const std::vector<bool>& checks) {
                       p = MakeClearCharsParams(m_classes, checks);
                   })
        .AlsoOnChange([this] { UpdateCharClassAvailability(); })
        .AfterLoad([this] { UpdateCharClassAvailability(); });
    connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        OnCharClassClicked(m_list->row(item), CurrentModifierKeys());
    });
    UpdateCharClassAvailability();
}

std::vector<bool> ClearCharsPanel::Checks() const { return PanelSettings::CheckedItems(m_list); }

void ClearCharsPanel::SetChecks(const std::vector<bool>& checks) {
    {
        // One auto-preview for the whole change, not one per class.
        const QSignalBlocker blocker(m_list);
        for (int i = 0; i < m_list->count() && static_cast<std::size_t>(i) < checks.size(); ++i) {
            m_list->item(i)->setCheckState(checks[i] ? Qt::Checked : Qt::Unchecked);
        }
    }
    UpdateCharClassAvailability();
    emit parametersChanged();
}

void ClearCharsPanel::SetAllCharClasses(int mode) {
    std::vector<bool> checks = Checks();
    varnel::SetAllCharClasses(checks, mode);
    SetChecks(checks);
}

void ClearCharsPanel::OnCharClassClicked(int row, ModifierKeys keys) {
    if (row < 0 || row >= m_list->count()) return;
    const CharClassEntry& entry = m_classes[static_cast<std::size_t>(row)];
    emit statusMessage(QString::fromStdString(DescribeCharClass(entry.name, entry.ranges)));
    std::vector<bool> checks = Checks();
    const std::vector<bool> before = checks;
    m_anchor = ClickCharClasses(checks, m_anchor, static_cast<std::size_t>(row), keys);
    if (checks != before) {
        SetChecks(checks);
    } else {
        UpdateCharClassAvailability();
    }
}

void ClearCharsPanel::UpdateCharClassAvailability() {
    const std::vector<bool> available = CharClassAvailability(m_classes, Checks());
    // Changing a flag reports the item as changed: not a change of the checks.
    const QSignalBlocker blocker(m_list);
    for (int i = 0; i < m_list->count(); ++i) {
        QListWidgetItem* item = m_list->item(i);
        const Qt::ItemFlags flags = item->flags();
        const Qt::ItemFlags wanted = available[i] ? flags | Qt::ItemIsEnabled : flags & ~Qt::ItemIsEnabled;
        if (wanted != flags) item->setFlags(wanted);
    }
}

ClearCharsParams ClearCharsPanel::CurrentParameters() const { return Bindings().Gather(); }

std::optional<ClearCharsParams> ClearCharsPanel::MakeParams(RunMode) { return CurrentParameters(); }

PinyinCasePanel::PinyinCasePanel(MetaSymbolMenu* metaMenu, QWidget* parent)
    : TypedTaskPanel(parent), m_template(this, metaMenu, true) {
    setObjectName("PinyinCasePanel");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 8);
    struct CaseDesign {
        const char* name;
        const char* caption;
        const char* tooltip;
    };
    const CaseDesign designs[] = {
        {"单选框全首大写", "全首大写", "只有整个文本的首个字母大写，例如 中国人.txt → Zhongguoren.txt"},
        {"单选框字首大写", "字首大写", "每个音节的首个字母大写，例如 中国人.txt → ZhongGuoRen.txt"},
        {"单选框全部大写", "全部大写", "全部字母大写，例如 中国人.txt → ZHONGGUOREN.txt"},
        {"单选框全部小写", "全部小写", "全部字母小写，例如 中国人.txt → zhongguoren.txt"},
    };
    for (std::size_t i = 0; i < m_cases.size(); ++i) {
        m_cases[i] = Named(new QRadioButton(Utf8(designs[i].caption), this), designs[i].name);
        grid->addWidget(m_cases[i], 0, static_cast<int>(i));
        RegisterTooltip(m_cases[i], designs[i].tooltip);
    }
    m_cases[0]->setChecked(true);
    m_initials = Named(new QCheckBox(Utf8("首拼模式"), this), "选择框首拼模式");
    m_separator = Named(new QLineEdit(this), "编辑框间隔符");
    m_template.Pattern()->setText(Utf8(" ? 代表拼音转换文本"));
    grid->addWidget(m_initials, 1, 0);
    grid->addWidget(new QLabel(Utf8("间隔符："), this), 1, 1, Qt::AlignRight);
    grid->addWidget(m_separator, 1, 2, 1, 2);
    grid->addWidget(m_template.Check(), 2, 0);
    grid->addWidget(m_template.Pattern(), 2, 1, 1, 3);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(3, 1);
    RegisterTooltip(m_initials, "取每个音节的首个字母");
    RegisterTooltip(m_separator, "音节之间的间隔符号");
    // The radios are numbered as the PinyinCase values; none chosen reads as all lower.
    Bindings()
        .RadioGroup({m_cases.begin(), m_cases.end()}, "拼音类型",
                    [](PinyinParams& p, int chosen) {
                        p.letterCase = chosen == 0 ? PinyinCase::AllLower : static_cast<PinyinCase>(chosen);
                    })
        .Check(m_initials, "首拼模式", &PinyinParams::initialsOnly)
        .Text(m_separator, "间隔符", &PinyinParams::separator);
    m_template.Bind(Bindings(), &PinyinParams::useTemplate, &PinyinParams::pattern);
}

PinyinParams PinyinCasePanel::CurrentParameters() const { return Bindings().Gather(); }

std::optional<PinyinParams> PinyinCasePanel::MakeParams(RunMode) { return CurrentParameters(); }

}  // namespace varnel

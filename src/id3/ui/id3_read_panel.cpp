#include "id3/ui/id3_read_panel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

#include "naming/ui/panel_controls.h"
#include "utilities/ui/tooltips.h"

namespace varnel {

namespace {

struct CodeButton {
    const char* name;       // the caption, and the long code after "#"
    const char* shortCode;  // its hint
    bool v2Only;
};

constexpr CodeButton kCodeButtons[] = {
    {"歌名", "#ST", false}, {"歌手", "#SI", false}, {"专辑", "#SP", false}, {"年代", "#PY", false},
    {"注释", "#EN", false}, {"音轨", "#AT", false}, {"流派", "#GE", false}, {"原创", "#OR", true},
    {"作曲", "#WM", true},  {"歌词", "#LY", true},  {"链接", "#IK", true},  {"版权", "#CR", true},
    {"编码", "#CO", true},
};

constexpr int kButtonsPerLine = 7;

}  // namespace

Id3ReadPanel::Id3ReadPanel(MetaSymbolMenu* metaMenu, std::function<void()> showAttributesColumn, QWidget* parent)
    : TypedTaskPanel(parent), m_showAttributesColumn(std::move(showAttributesColumn)) {
    setObjectName("Id3ReadPanel");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 8);
    grid->addWidget(new QLabel(Utf8("标签表达式："), this), 0, 0);
    m_expression = MakeMetaBox(this, "编辑框读出式", metaMenu);
    m_expression->setText(Utf8("#歌名 - #歌手"));
    grid->addWidget(m_expression, 0, 1, 1, kButtonsPerLine - 1);

    auto* versions = new QHBoxLayout;
    versions->addWidget(new QLabel(Utf8("Id3 版本："), this));
    m_v1 = Named(new QRadioButton(Utf8("v1"), this), "单选框v1");
    m_v2 = Named(new QRadioButton(Utf8("v2"), this), "单选框v2");
    m_v1->setChecked(true);
    m_complement = Named(new QCheckBox(this), "选择框互补");
    versions->addWidget(m_v1);
    versions->addWidget(m_v2);
    versions->addWidget(m_complement);
    versions->addStretch(1);
    grid->addLayout(versions, 1, 0, 1, kButtonsPerLine);

    int index = 0;
    for (const CodeButton& code : kCodeButtons) {
        auto* button = Named(new QPushButton(Utf8(code.name), this), (std::string("按钮") + code.name).c_str());
        button->setToolTip(Utf8(std::string("同“") + code.shortCode + "”"));
        const QString longCode = Utf8(std::string("#") + code.name);
        connect(button, &QPushButton::clicked, this, [this, longCode] {
            m_expression->insert(longCode);
            m_expression->setFocus();
        });
        if (code.v2Only) m_v2OnlyButtons.push_back(button);
        grid->addWidget(button, 2 + index / kButtonsPerLine, index % kButtonsPerLine);
        ++index;
    }
    grid->setRowStretch(4, 1);

    const auto update = [this] { UpdateId3ReadControls(); };
    Bindings()
        .Text(m_expression, "读出表达式",
              [](TagToNameParams& p, const std::string& text) { p.expression = LongTagCodes(text); })
        .RadioPair(m_v1, m_v2, "读出v1", &TagToNameParams::useV1)
        .AlsoOnChange(update)
        .Check(m_complement, "版本互补", &TagToNameParams::complement)
        .AfterLoad(update);
    RegisterTooltip(m_expression, "标签读出表达式。支持首创的中文元变量插入。黑色边框者皆支持元变量。");
    RegisterTooltip(m_v1, "读出 Id3 v1 版本标签信息");
    RegisterTooltip(m_v2, "读出 Id3 v2 版本标签信息");
    UpdateId3ReadControls();
}

void Id3ReadPanel::UpdateId3ReadControls() {
    const bool v1 = m_v1->isChecked();
    for (QPushButton* button : m_v2OnlyButtons) button->setEnabled(!v1);
    m_complement->setText(Utf8(v1 ? "当v1缺失某信息时寻求v2补充" : "当v2缺失某信息时寻求v1补充"));
}

TagToNameParams Id3ReadPanel::CurrentParameters() const { return Bindings().Gather(); }

std::optional<TagToNameParams> Id3ReadPanel::MakeParams(RunMode) {
    if (m_showAttributesColumn) m_showAttributesColumn();
    return CurrentParameters();
}

}  // namespace varnel

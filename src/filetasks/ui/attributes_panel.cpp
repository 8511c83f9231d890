#include "filetasks/ui/attributes_panel.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "naming/ui/panel_controls.h"
#include "utilities/attribute_names.h"
#include "utilities/user_notifier.h"
#include "utilities/ui/tooltips.h"

namespace varnel {

namespace {

constexpr const char* kHelpHint =
    "任何文件和目录都有其属性标记，它们可以是系统也可以是程序添加进去的。\r\n"
    "在这里，勾选要添加的属性项目，Varnel将为您写入属性标记。\r\n"
    "\r\n"
    "若想要批量将文件隐藏，那么勾选“隐藏”属性将是一个快捷的办法（但前提是资源管理器设置了“具有隐藏属性的文件”不可视）。\r\n"
    "\r\n"
    "如果想要限制文件只能读出数据而不能写入数据，那么添加“只读”属性标记是一个不错的选择。\r\n"
    "\r\n"
    "具体每个属性项目的信息，请将鼠标移到其上...";

// For a bound check box: the attribute bit it sets while checked.
auto AttributeBit(std::uint32_t bit) {
    return [bit](AttributesParams& params, bool checked) {
        if (checked) params.attributes |= bit;
    };
}

}  // namespace

AttributesPanel::AttributesPanel(QWidget* parent) : TypedTaskPanel(parent) {
    setObjectName("AttributesPanel");
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 8);
    auto* row = new QHBoxLayout;
    m_readOnly = Named(new QCheckBox(Utf8("1.只读"), this), "选择框只读");
    m_hidden = Named(new QCheckBox(Utf8("2.隐藏"), this), "选择框隐藏");
    m_system = Named(new QCheckBox(Utf8("4.系统"), this), "选择框系统");
    m_archive = Named(new QCheckBox(Utf8("32.存档"), this), "选择框存档");
    m_help = Named(new QPushButton(Utf8("？"), this), "超级按钮帮助");
    m_help->setMaximumWidth(28);
    for (QCheckBox* box : {m_readOnly, m_hidden, m_system, m_archive}) row->addWidget(box);
    Bindings()
        .Check(m_readOnly, "只读", AttributeBit(kAttributeReadOnly))
        .Check(m_hidden, "隐藏", AttributeBit(kAttributeHidden))
        .Check(m_system, "系统", AttributeBit(kAttributeSystem))
        .Check(m_archive, "存档", AttributeBit(kAttributeArchive));
    row->addWidget(m_help);
    row->addStretch(1);
    column->addLayout(row);
    column->addStretch(1);
    RegisterTooltip(m_readOnly, "文件只能读出，不能写入。");
    RegisterTooltip(m_hidden, "文件在资源管理器里看不到。");
    RegisterTooltip(m_system, "通常是系统运行核心等重要文件。");
    RegisterTooltip(m_archive, "用于标记该文档在上次备份后已被修改。");
    RegisterTooltip(m_help, kHelpHint);
    connect(m_help, &QPushButton::clicked, this, [this] { ShowButtonHint(); });
}

void AttributesPanel::ShowButtonHint() {
    RegisterTooltip(m_help, kHelpHint);
    ShowMessageBox(kHelpHint);
}

AttributesParams AttributesPanel::CurrentParameters() const { return Bindings().Gather(); }

std::optional<AttributesParams> AttributesPanel::MakeParams(RunMode) {
    // A run shows the attribute column it fills.
    if (m_showColumn) m_showColumn(ListColumn::Attributes);
    return CurrentParameters();
}

}  // namespace varnel

#include "filetasks/ui/shortcut_properties_panel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

#include "filetasks/content_replace.h"
#include "naming/ui/panel_controls.h"
#include "utilities/ui/tooltips.h"

namespace varnel {

namespace {

// The window styles of the combo box's items, in their order.
constexpr int kWindowStyles[] = {1, 3, 7};

// For a bound control of the target's replacement: fills its field while the
// target is ticked (the tick is declared before it).
template <typename Value>
auto TargetField(Value TargetReplaceParams::*field) {
    return [field](ShortcutTaskParams& params, const Value& value) {
        if (params.target.changeTarget) params.target.*field = value;
    };
}

// For a field's tick: the field has a value (its text, declared after it) while ticked.
auto TickedField(std::optional<std::string> ShortcutTaskParams::*field) {
    return [field](ShortcutTaskParams& params, bool ticked) {
        if (ticked) params.*field = std::string();
    };
}
auto FieldText(std::optional<std::string> ShortcutTaskParams::*field) {
    return [field](ShortcutTaskParams& params, const std::string& text) {
        if (params.*field) params.*field = text;
    };
}

}  // namespace

ShortcutPropertiesPanel::ShortcutPropertiesPanel(MetaSymbolMenu* metaMenu, QWidget* parent) : TypedTaskPanel(parent) {
    setObjectName("ShortcutPropertiesPanel");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 8);
    m_changeTarget = Named(new QCheckBox(Utf8("目标路径"), this), "选择框目标路径");
    m_find = Named(new QLineEdit(this), "编辑框欲替换");
    m_replace = MakeMetaBox(this, "编辑框替换成", metaMenu);
    m_count = Named(new QLineEdit(Utf8("-1"), this), "编辑框替换次数");
    m_count->setMaximumWidth(48);
    m_regex = Named(new QCheckBox(Utf8("启用正则"), this), "选择框启用正则");
    m_global = Named(new QCheckBox(Utf8("全局匹配"), this), "选择框全局匹配");
    m_ignoreCase = Named(new QCheckBox(Utf8("忽略大小写"), this), "选择框忽略大小写");
    m_changeDescription = Named(new QCheckBox(Utf8("描述信息"), this), "选择框描述信息");
    m_description = MakeMetaBox(this, "编辑框描述信息", metaMenu);
    m_description->setText(Utf8("#主名"));
    m_changeIcon = Named(new QCheckBox(Utf8("图标位置"), this), "选择框图标位置");
    m_iconLocation = MakeMetaBox(this, "编辑框图标位置", metaMenu);
    m_iconLocation->setText(Utf8("#完整路径"));
    m_iconIndex = Named(new QLineEdit(this), "编辑框图标索引");
    m_iconIndex->setMaximumWidth(48);
    m_changeArguments = Named(new QCheckBox(Utf8("附加参数"), this), "选择框附加参数");
    m_arguments = MakeMetaBox(this, "编辑框附加参数", metaMenu);
    m_changeWindowStyle = Named(new QCheckBox(Utf8("窗口风格"), this), "选择框窗口风格");
    m_windowStyle = MakeCombo(this, "组合框窗口风格", {"常规", "最大化", "最小化"});

    grid->addWidget(m_changeTarget, 0, 0);
    auto* target = new QHBoxLayout;
    target->addWidget(m_find, 1);
    target->addWidget(new QLabel(Utf8("→"), this));
    target->addWidget(m_replace, 1);
    grid->addLayout(target, 0, 1);
    auto* options = new QHBoxLayout;
    options->addWidget(new QLabel(Utf8("次数："), this));
    for (QWidget* w : std::initializer_list<QWidget*>{m_count, m_regex, m_global, m_ignoreCase}) options->addWidget(w);
    options->addStretch(1);
    grid->addLayout(options, 1, 1);
    grid->addWidget(m_changeDescription, 2, 0);
    grid->addWidget(m_description, 2, 1);
    grid->addWidget(m_changeIcon, 3, 0);
    auto* icon = new QHBoxLayout;
    icon->addWidget(m_iconLocation, 1);
    icon->addWidget(new QLabel(Utf8(","), this));
    icon->addWidget(m_iconIndex);
    grid->addLayout(icon, 3, 1);
    grid->addWidget(m_changeArguments, 4, 0);
    grid->addWidget(m_arguments, 4, 1);
    grid->addWidget(m_changeWindowStyle, 5, 0);
    grid->addWidget(m_windowStyle, 5, 1, Qt::AlignLeft);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(6, 1);

    // Each tick comes before its values: an unticked field hands nothing over.
    const auto update = [this] { UpdateShortcutControls(); };
    Bindings()
        .Check(m_changeTarget, "修改目标路径",
               [](ShortcutTaskParams& p, bool ticked) { p.target.changeTarget = ticked; })
        .AlsoOnChange(update)
        .Text(m_find, "欲替换", TargetField(&TargetReplaceParams::findText))
        .Text(m_replace, "替换成", TargetField(&TargetReplaceParams::replaceText))
        .Text(m_count, "替换次数",
              [](ShortcutTaskParams& p, const std::string& text) {
                  if (p.target.changeTarget) p.target.count = ReplaceCountFromText(text);
              })
        .Check(m_regex, "启用正则", TargetField(&TargetReplaceParams::useRegex))
        .AlsoOnChange(update)
        .Check(m_global, "全局匹配", TargetField(&TargetReplaceParams::globalMatch))
        .AlsoOnChange(update)
        .Check(m_ignoreCase, "忽略大小写", TargetField(&TargetReplaceParams::ignoreCase))
        .AlsoOnChange(update)
        .Check(m_changeDescription, "修改描述信息", TickedField(&ShortcutTaskParams::description))
        .AlsoOnChange(update)
        .Text(m_description, "描述信息", FieldText(&ShortcutTaskParams::description))
        .Check(m_changeIcon, "修改图标位置", TickedField(&ShortcutTaskParams::iconLocation))
        .AlsoOnChange(update)
        .Text(m_iconLocation, "图标位置", FieldText(&ShortcutTaskParams::iconLocation))
        .Text(m_iconIndex, "图标索引",
              [](ShortcutTaskParams& p, const std::string& index) {
                  if (p.iconLocation) *p.iconLocation += "," + index;
              })
        .Check(m_changeArguments, "修改附加参数", TickedField(&ShortcutTaskParams::arguments))
        .AlsoOnChange(update)
        .Text(m_arguments, "附加参数", FieldText(&ShortcutTaskParams::arguments))
        .Check(m_changeWindowStyle, "修改窗口风格",
               [](ShortcutTaskParams& p, bool ticked) { p.windowStyle = ticked ? kWindowStyles[0] : -1; })
        .AlsoOnChange(update)
        .Combo(m_windowStyle, "窗口风格",
               [](ShortcutTaskParams& p, int index) {
                   if (p.windowStyle != -1 && index >= 0 && index < 3) p.windowStyle = kWindowStyles[index];
               })
        .AfterLoad(update);

    UpdateShortcutControls();
    RegisterTooltip(m_changeTarget, "是否修改目标路径");
    RegisterTooltip(m_changeIcon, "是否修改图标位置");
    RegisterTooltip(m_changeDescription, "是否修改描述信息");
    RegisterTooltip(m_changeArguments, "是否修改附加参数");
    RegisterTooltip(m_changeWindowStyle, "是否修改窗口风格");
    RegisterTooltip(m_find, "欲替换的字串");
    RegisterTooltip(m_replace, "替换成的字串");
    RegisterTooltip(m_regex, "是否启用正则进行匹配替换");
    RegisterTooltip(m_global, "适用于启用正则时");
    RegisterTooltip(m_ignoreCase, "是否忽略英文字母的大小写格式的差异。若忽略，则 God = god，否则，God ≠ god");
}

void ShortcutPropertiesPanel::UpdateShortcutControls() {
    const bool target = m_changeTarget->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{m_find, m_replace, m_ignoreCase, m_regex}) w->setEnabled(target);
    m_count->setEnabled(target && !m_regex->isChecked());
    m_global->setEnabled(target && m_regex->isChecked());
    m_description->setEnabled(m_changeDescription->isChecked());
    m_iconLocation->setEnabled(m_changeIcon->isChecked());
    m_iconIndex->setEnabled(m_changeIcon->isChecked());
    m_arguments->setEnabled(m_changeArguments->isChecked());
    m_windowStyle->setEnabled(m_changeWindowStyle->isChecked());
}

ShortcutTaskParams ShortcutPropertiesPanel::CurrentParameters() const { return Bindings().Gather(); }

std::optional<ShortcutTaskParams> ShortcutPropertiesPanel::MakeParams(RunMode) { return CurrentParameters(); }

}  // namespace varnel

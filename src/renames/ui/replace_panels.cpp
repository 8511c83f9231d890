#include "renames/ui/replace_panels.h"

#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QSignalBlocker>

#include "naming/ui/panel_controls.h"
#include "renames/text_rename_runners.h"
#include "utilities/ui/tooltips.h"
#include "utilities/user_notifier.h"

namespace varnel {

namespace {

// Whole-path mode: the name part and the transfer mode mean nothing.
constexpr const char* kWholePathFlags = ",真,真";

constexpr const char* kMetaTip = "支持首创的中文元变量插入。黑色边框者皆支持元变量。";

QCheckBox* Check(QWidget* parent, const char* name, const char* caption) {
    return Named(new QCheckBox(Utf8(caption), parent), name);
}

}  // namespace

ReplacePanel::ReplacePanel(MetaSymbolMenu* metaMenu, QWidget* parent) : TypedTaskPanel(parent) {
    setObjectName("ReplacePanel");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 8);
    m_find = Named(new QLineEdit(this), "编辑框欲替换");
    m_with = MakeMetaBox(this, "编辑框替换为", metaMenu);
    m_caseSensitive = Check(this, "选择框区分大小写", "区分大小写");
    m_count = Named(new QLineEdit(Utf8("0"), this), "编辑框替换次数");
    m_count->setMaximumWidth(80);
    m_wholePath = Check(this, "选择框替换路径", "替换路径并转移");
    m_copy = Check(this, "选择框副本转移", "以副本形式转移");
    grid->addWidget(new QLabel(Utf8("欲替换："), this), 0, 0);
    grid->addWidget(m_find, 0, 1, 1, 3);
    grid->addWidget(new QLabel(Utf8("替换为："), this), 1, 0);
    grid->addWidget(m_with, 1, 1, 1, 3);
    grid->addWidget(m_caseSensitive, 2, 0);
    grid->addWidget(new QLabel(Utf8("替换次数："), this), 2, 1);
    grid->addWidget(m_count, 2, 2);
    grid->addWidget(m_wholePath, 3, 0, 1, 2);
    grid->addWidget(m_copy, 3, 2, 1, 2);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(4, 1);

    Bindings()
        .Text(m_find, "欲替换", &ReplaceParams::findText)
        .Text(m_with, "替换为", &ReplaceParams::replacement)
        .Check(m_caseSensitive, "区分大小写", &ReplaceParams::caseSensitive)
        .Text(m_count, "替换次数", IntegerField(&ReplaceParams::count))
        .Check(m_wholePath, "替换路径", &ReplaceParams::wholePath)
        .AlsoOnChange([this] { UpdateReplacePathMode(); })
        .Check(m_copy, "副本转移", &ReplaceParams::copy)
        .AfterLoad([this] { UpdateReplacePathMode(); });

    RegisterTooltip(m_with, kMetaTip);
    RegisterTooltip(m_caseSensitive, "是否区分英文字母的大小写格式，如A和a，如果区分则不成立，不区分则成立。");
    RegisterTooltip(m_count,
                    "替换次数将决定进行替换动作的次数。当有多个欲替换的目标而又想有限制地替换时，那么本参数很有效。"
                    "当替换次数设置值小于 1 时，将替换全部出现的欲替换关键字。");
    RegisterTooltip(m_wholePath,
                    "选中此项时，替换针对的不止是文件名，而是包含文件名的整个磁盘路径。您可以替换路径中的任意字符，"
                    "列表将转移至替换成的新路径。");
    RegisterTooltip(m_copy, "是否以副本即拷贝的形式进行新路径的转移。");
    UpdateReplacePathMode();
}

void ReplacePanel::UpdateReplacePathMode() {
    m_copy->setEnabled(m_wholePath->isChecked());
    SetFlags(m_wholePath->isChecked() ? kWholePathFlags : "");
}

ReplaceParams ReplacePanel::CurrentParameters() const {
    ReplaceParams p = Bindings().Gather();
    p.copy = p.wholePath && p.copy;  // a copy only where there is a transfer
    return p;
}

std::optional<ReplaceParams> ReplacePanel::MakeParams(RunMode) { return CurrentParameters(); }

RegexRenamePanel::RegexRenamePanel(MetaSymbolMenu* metaMenu, QWidget* parent, const RegexTesterLink* tester)
    : TypedTaskPanel(parent), m_tester(tester) {
    setObjectName("RegexRenamePanel");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 8);
    m_presets = MakeCombo(this, "组合框预设方案", {"选择预设正则方案"});
    // LoadRegexPresets: the presets follow the first item.
    for (const RegexPreset& preset : LoadRegexPresets()) m_presets->addItem(QString::fromStdString(preset.name));
    m_expression = Named(new QLineEdit(this), "编辑框匹配式");
    m_replacement = MakeMetaBox(this, "编辑框替换式", metaMenu);
    m_ignoreCase = Check(this, "选择框忽略大小写", "忽略大小写");
    m_global = Check(this, "选择框全局匹配", "全局匹配");
    m_wholePath = Check(this, "选择框作用于路径", "作用于路径并转移");
    m_copy = Check(this, "选择框副本转移", "以副本形式转移");
    m_testExpression = Named(new QPushButton(Utf8("匹配式"), this), "链接框匹配式");
    m_testReplacement = Named(new QPushButton(Utf8("替换式"), this), "链接框替换式");
    for (QPushButton* link : {m_testExpression, m_testReplacement}) {
        link->setFlat(true);
        link->setEnabled(m_tester != nullptr && m_tester->Available());
    }
    connect(m_testExpression, &QPushButton::clicked, this, [this] { OpenRegexTester(true); });
    connect(m_testReplacement, &QPushButton::clicked, this, [this] { OpenRegexTester(false); });
    grid->addWidget(m_presets, 0, 0, 1, 4);
    grid->addWidget(m_testExpression, 1, 0);
    grid->addWidget(m_expression, 1, 1, 1, 3);
    grid->addWidget(m_testReplacement, 2, 0);
    grid->addWidget(m_replacement, 2, 1, 1, 3);
    grid->addWidget(m_ignoreCase, 3, 0);
    grid->addWidget(m_global, 3, 1);
    grid->addWidget(m_wholePath, 4, 0, 1, 2);
    grid->addWidget(m_copy, 4, 2, 1, 2);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(5, 1);

    Bindings()
        .Text(m_expression, "匹配式", &RegexReplaceParams::expression)
        .Text(m_replacement, "替换式", &RegexReplaceParams::replacement)
        .Check(m_ignoreCase, "忽略大小写", &RegexReplaceParams::ignoreCase)
        .Check(m_global, "全局匹配", &RegexReplaceParams::global)
        .Check(m_wholePath, "作用于路径", &RegexReplaceParams::wholePath)
        .AlsoOnChange([this] { UpdateRegexPathMode(); })
        .Check(m_copy, "副本转移", &RegexReplaceParams::copy)
        .AfterLoad([this] { UpdateRegexPathMode(); });
    connect(m_presets, &QComboBox::activated, this, &RegexRenamePanel::ApplyRegexPreset);

    RegisterTooltip(m_presets, "这里给出了一些常用的预设正则方案，选择即可应用");
    RegisterTooltip(m_expression, "匹配表达式，用于匹配文件名中的特定字符串");
    RegisterTooltip(m_replacement,
                    "替换表达式，使用引用标记和文本来替换已经匹配出的文件名中的特定字符串。支持首创的中文元变量插入。"
                    "黑色边框者皆支持元变量。");
    RegisterTooltip(m_testExpression, "点击即可弹出针对当前正则表达式的调试器以进行辅助测试。焦点将落在匹配表达式栏。");
    RegisterTooltip(m_testReplacement, "点击即可弹出针对当前正则表达式的调试器以进行辅助测试。焦点将落在替换表达式栏。");
    RegisterTooltip(m_ignoreCase, "是否忽略A和a的差异，打勾则表示A和a等同。");
    RegisterTooltip(m_global,
                    "是否全局匹配给出的表达式，比如目标【111】，匹配表达式为【\\d】，替换表达式为【2】时,当全局匹配时，"
                    "结果为【222】，否则为【211】");
    RegisterTooltip(m_wholePath, "是否将正则表达式作用于完整磁盘路径而不仅是文件名。作用于路径后文件将被转移到新路径");
    RegisterTooltip(m_copy, "是否以拷贝的形式转移到新路径");
    UpdateRegexPathMode();
}

void RegexRenamePanel::UpdateRegexPathMode() {
    m_copy->setEnabled(m_wholePath->isChecked());
    SetFlags(m_wholePath->isChecked() ? kWholePathFlags : "");
}

void RegexRenamePanel::ApplyRegexPreset(int index) {
    const std::vector<RegexPreset>& presets = LoadRegexPresets();
    if (index < 1 || static_cast<std::size_t>(index) > presets.size()) return;
    const RegexPreset& preset = presets[static_cast<std::size_t>(index) - 1];
    {
        // One preview for the whole preset, not one per control.
        const QSignalBlocker quietExpression(m_expression);
        const QSignalBlocker quietReplacement(m_replacement);
        m_expression->setText(QString::fromStdString(preset.pattern));
        m_replacement->setText(QString::fromStdString(preset.replacement));
        m_ignoreCase->setChecked(preset.ignoreCase);
        m_global->setChecked(preset.global);
    }
    emit parametersChanged();
}

void RegexRenamePanel::OpenRegexTester(bool fromMatchLink) {
    if (m_tester == nullptr) return;
    RegexTesterRequest request;
    request.replaceMode = true;
    request.pattern = m_expression->text().toStdString();
    request.replacement = m_replacement->text().toStdString();
    request.ignoreCase = m_ignoreCase->isChecked();
    request.global = m_global->isChecked();
    request.sampleFromFileNames = true;
    request.focusPattern = fromMatchLink;
    request.takeBack = [panel = QPointer<RegexRenamePanel>(this)](const TestedPattern& tested) {
        if (panel) panel->TakeTestedPattern(tested);
    };
    m_tester->Open(std::move(request));
}

void RegexRenamePanel::TakeTestedPattern(const TestedPattern& tested) {
    {
        const QSignalBlocker quietExpression(m_expression);
        const QSignalBlocker quietReplacement(m_replacement);
        m_expression->setText(QString::fromStdString(tested.pattern));
        m_replacement->setText(QString::fromStdString(tested.replacement));
        m_ignoreCase->setChecked(tested.ignoreCase);
        m_global->setChecked(tested.global);
    }
    emit parametersChanged();
}

RegexReplaceParams RegexRenamePanel::CurrentParameters() const {
    RegexReplaceParams p = Bindings().Gather();
    p.copy = p.wholePath && p.copy;  // a copy only where there is a transfer
    return p;
}

std::optional<RegexReplaceParams> RegexRenamePanel::MakeParams(RunMode mode) {
    RegexReplaceParams p = CurrentParameters();
    if (!p.expression.empty() && mode != RunMode::AutoPreview) {
        // Compiled once here; the run finds it compiled.
        if (auto compiled = RenameRegexCache().Get(p.expression, RenameRegexFlags(p)); !compiled) {
            ShowMessageBox("正则表达式有误：" + compiled.error().message);
            return std::nullopt;
        }
    }
    return p;
}

}  // namespace varnel

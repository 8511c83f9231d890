#include "renames/ui/extract_panels.h"

#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>

#include <algorithm>

#include "naming/ui/panel_controls.h"
#include "renames/extract_runners.h"
#include "utilities/ui/tooltips.h"
#include "utilities/user_notifier.h"

namespace varnel {

namespace {

constexpr const char* kExtractedText = "? 代表提取出来的文本";

QCheckBox* Check(QWidget* parent, const char* name, const char* caption) {
    return Named(new QCheckBox(Utf8(caption), parent), name);
}

QLineEdit* Box(QWidget* parent, const char* name, const char* text) {
    auto* box = Named(new QLineEdit(Utf8(text), parent), name);
    box->setMaximumWidth(80);
    return box;
}

}  // namespace

ExtractPositionPanel::ExtractPositionPanel(MetaSymbolMenu* metaMenu, QWidget* parent)
    : TypedTaskPanel(parent), m_template(this, metaMenu, false) {
    setObjectName("ExtractPositionPanel");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 8);
    m_byBytes = MakeCombo(this, "组合框按字节", {"按字节", "按字符"});
    m_start = Box(this, "编辑框开始位置", "1");
    m_end = Box(this, "编辑框结束位置", "10");
    m_endMode = MakeCombo(this, "组合框结束位置", {"结束位置", "提取数目"});
    m_template.Pattern()->setText(Utf8(kExtractedText));
    grid->addWidget(m_byBytes, 0, 0);
    grid->addWidget(new QLabel(Utf8("开始位置："), this), 0, 1);
    grid->addWidget(m_start, 0, 2);
    grid->addWidget(m_endMode, 1, 0);
    grid->addWidget(new QLabel(Utf8("："), this), 1, 1);
    grid->addWidget(m_end, 1, 2);
    grid->addWidget(m_template.Check(), 2, 0);
    grid->addWidget(m_template.Pattern(), 2, 1, 1, 3);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(3, 1);
    Bindings()
        .Combo(m_byBytes, "按字节", FirstChosen(&PositionExtractParams::byBytes))
        .Text(m_start, "开始位置", IntegerField(&PositionExtractParams::start))
        .Text(m_end, "结束位置", IntegerField(&PositionExtractParams::end))
        .Combo(m_endMode, "结束位置模式", [](PositionExtractParams& p, int index) { p.endIsCount = index == 1; });
    m_template.Bind(Bindings(), &PositionExtractParams::useTemplate, &PositionExtractParams::pattern);
}

PositionExtractParams ExtractPositionPanel::CurrentParameters() const { return Bindings().Gather(); }

std::optional<PositionExtractParams> ExtractPositionPanel::MakeParams(RunMode) { return CurrentParameters(); }

ExtractLinePanel::ExtractLinePanel(MetaSymbolMenu* metaMenu, QWidget* parent)
    : TypedTaskPanel(parent), m_template(this, metaMenu, false) {
    setObjectName("ExtractLinePanel");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 8);
    m_line = Box(this, "编辑框提取行号", "1");
    m_emptyToNext = Check(this, "选择框空则下行", "当指定行是空行时自动提取下一行");
    m_cut = Check(this, "选择框再行截取", "再行截取");
    m_cutMode = MakeCombo(this, "组合框截取模式", {"按字节", "按字符"});
    m_direction = MakeCombo(this, "组合框截取方向", {"取左边", "取中间", "取右边"});
    m_cutStart = Box(this, "编辑框截取位置", "1");
    m_cutCount = Box(this, "编辑框截取数目", "10");
    m_template.Pattern()->setText(Utf8(kExtractedText));
    grid->addWidget(new QLabel(Utf8("提取行号："), this), 0, 0);
    grid->addWidget(m_line, 0, 1);
    grid->addWidget(m_emptyToNext, 0, 2, 1, 4);
    grid->addWidget(m_cut, 1, 0);
    grid->addWidget(m_cutMode, 1, 1);
    grid->addWidget(m_direction, 1, 2);
    grid->addWidget(new QLabel(Utf8("位置："), this), 1, 3);
    grid->addWidget(m_cutStart, 1, 4);
    grid->addWidget(new QLabel(Utf8("数目："), this), 1, 5);
    grid->addWidget(m_cutCount, 1, 6);
    grid->addWidget(m_template.Check(), 2, 0);
    grid->addWidget(m_template.Pattern(), 2, 1, 1, 6);
    grid->setColumnStretch(7, 1);
    grid->setRowStretch(3, 1);

    const auto update = [this] { UpdateLineExtractControls(); };
    Bindings()
        .Text(m_line, "提取行号", IntegerField(&LineExtractParams::line))
        .Check(m_emptyToNext, "空则下行", &LineExtractParams::emptyToNext)
        .Check(m_cut, "再行截取", &LineExtractParams::cut)
        .AlsoOnChange(update)
        .Combo(m_cutMode, "截取模式（0、按字节 1、按字符）", FirstChosen(&LineExtractParams::cutByBytes))
        .Combo(m_direction, "截取方向（0、左边 1、中间 2、右边）",
               [](LineExtractParams& p, int index) { p.direction = static_cast<CutDirection>(std::clamp(index, 0, 2)); })
        .AlsoOnChange(update)
        .Text(m_cutStart, "截取位置（截取方向为【中间】时有效）", IntegerField(&LineExtractParams::cutStart))
        .Text(m_cutCount, "截取数目", IntegerField(&LineExtractParams::cutCount));
    m_template.Bind(Bindings(), &LineExtractParams::useTemplate, &LineExtractParams::pattern);
    Bindings().AfterLoad(update);

    RegisterTooltip(m_line, "小于 1 则首行，提取首行通常用于txt电子书的命名。");
    RegisterTooltip(m_emptyToNext,
                    "如：欲提取的第 5 行为空行（由空格等空白字符组成），那么就自动提取第 6 行，如果第 6 行也是空行，"
                    "则再提取下一行...直到文档末尾为止。");
    RegisterTooltip(m_cut, "在提取出指定行的文本后，是否再进行截取处理。这通常用于保持文件名不至于过长。");
    RegisterTooltip(m_cutMode,
                    "【按字节：半角字符一个字节，看上去也显得纤细；全角字符两个字节，看上去则比较粗黑（汉字为全角字符）。】"
                    "【按字符：不管是单字节的半角字符还是双字节的全角字符都视为一个计算单位】");
    RegisterTooltip(m_direction, "截取的类型。有【取左边】、【取中间】和【取右边】");
    RegisterTooltip(m_cutStart, "当截取类型为【取中间】时，本参数用于指定截取的起始位置。");
    RegisterTooltip(m_cutCount, "截取的数目。");
    RegisterTooltip(m_template.Check(), "是否扩展重组提取出来的文本。");
    RegisterTooltip(m_template.Pattern(), "可插入半角问号【?】以引用提取出来的文本，然后在其左右边放置其他文本。");
    UpdateLineExtractControls();
}

void ExtractLinePanel::UpdateLineExtractControls() {
    const bool cut = m_cut->isChecked();
    m_cutMode->setEnabled(cut);
    m_direction->setEnabled(cut);
    m_cutCount->setEnabled(cut);
    m_cutStart->setEnabled(cut && m_direction->currentIndex() == static_cast<int>(CutDirection::Middle));
    m_template.UpdateEnabled();
}

LineExtractParams ExtractLinePanel::CurrentParameters() const { return Bindings().Gather(); }

std::optional<LineExtractParams> ExtractLinePanel::MakeParams(RunMode) { return CurrentParameters(); }

RegexExtractPanel::RegexExtractPanel(MetaSymbolMenu* metaMenu, QWidget* parent)
    : TypedTaskPanel(parent), m_template(this, metaMenu, true) {
    setObjectName("RegexExtractPanel");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 8);
    m_expression = Named(new QLineEdit(this), "编辑框正则表达式");
    m_ignoreCase = Check(this, "选择框忽略大小写", "忽略大小写");
    m_multiline = Check(this, "选择框匹配多行", "匹配多行");
    m_global = Check(this, "选择框全局匹配", "全局匹配");
    m_matchIndex = Box(this, "编辑框匹配索引", "1");
    m_takeSubmatch = Check(this, "选择框取子匹配", "取子匹配");
    m_submatchIndex = Box(this, "编辑框子匹配索引", "1");
    m_sizeLink = Named(new QPushButton(Utf8("适用大小？"), this), "超级链接框1");
    m_matchLink = Named(new QPushButton(Utf8("表达式匹配？"), this), "超级链接框2");
    for (QPushButton* link : {m_sizeLink, m_matchLink}) link->setFlat(true);
    m_template.Pattern()->setText(Utf8(kExtractedText));
    grid->addWidget(new QLabel(Utf8("正则表达式："), this), 0, 0);
    grid->addWidget(m_expression, 0, 1, 1, 4);
    grid->addWidget(m_ignoreCase, 1, 0);
    grid->addWidget(m_multiline, 1, 1);
    grid->addWidget(m_sizeLink, 1, 3);
    grid->addWidget(m_matchLink, 1, 4);
    grid->addWidget(m_global, 2, 0);
    grid->addWidget(new QLabel(Utf8("匹配索引："), this), 2, 1);
    grid->addWidget(m_matchIndex, 2, 2);
    grid->addWidget(m_takeSubmatch, 3, 0);
    grid->addWidget(new QLabel(Utf8("子匹配索引："), this), 3, 1);
    grid->addWidget(m_submatchIndex, 3, 2);
    grid->addWidget(m_template.Check(), 4, 0);
    grid->addWidget(m_template.Pattern(), 4, 1, 1, 4);
    grid->setColumnStretch(4, 1);
    grid->setRowStretch(5, 1);

    const auto update = [this] { UpdateRegexExtractControls(); };
    Bindings()
        .Text(m_expression, "正则表达式", &RegexExtractParams::expression)
        .Check(m_ignoreCase, "忽略大小写", &RegexExtractParams::ignoreCase)
        .Check(m_multiline, "匹配多行", &RegexExtractParams::multiline)
        .Check(m_global, "全局匹配", &RegexExtractParams::global)
        .AlsoOnChange(update)
        .Text(m_matchIndex, "匹配索引", IntegerField(&RegexExtractParams::matchIndex))
        .Check(m_takeSubmatch, "取子匹配", &RegexExtractParams::takeSubmatch)
        .AlsoOnChange(update)
        .Text(m_submatchIndex, "子匹配索引", IntegerField(&RegexExtractParams::submatchIndex));
    m_template.Bind(Bindings(), &RegexExtractParams::useTemplate, &RegexExtractParams::pattern);

    RegisterTooltip(m_sizeLink,
                    "由于正则库本身的性能问题，目前支持正则应用的最大文本块尺寸为 500 KB，超过此范围的将略过！");
    RegisterTooltip(m_matchLink,
                    "在表达式中如“.*(\\w{4})alt(\\d*)”，用双括号“()”括起来的部分就是子表达式，如“(\\w{4})”和“(\\d*)”，"
                    "表达式对应匹配项目，子表达式对应子匹配项目。当有多对括号时就有多个子匹配项目。全局匹配时，"
                    "表达式可能会匹配到多个项目，但是其子匹配项目永远对应于子表达式个数");
    RegisterTooltip(m_expression, "用于匹配提取文本内容的正则表达式");
    RegisterTooltip(m_ignoreCase, "进行正则匹配时是否忽略字母的大小写差异");
    RegisterTooltip(m_multiline, "多行匹配特性");
    RegisterTooltip(m_global,
                    "只有全局匹配时，才会有多个匹配项目，匹配索引就是用来指定要返回哪个匹配项目，从 1 开始");
    RegisterTooltip(m_matchIndex, "当有多个项目匹配时，指定其中一条返回。一般默认为第 1 个匹配项目");
    RegisterTooltip(m_takeSubmatch, "是否返回指定索引的匹配项目的子匹配项目");
    RegisterTooltip(m_submatchIndex, "要返回的子匹配项目的索引，从 1 开始。");
    UpdateRegexExtractControls();
}

void RegexExtractPanel::ReleaseMatchIndex() {
    if (!m_matchIndexHeld) return;
    const QSignalBlocker quiet(m_matchIndex);
    m_matchIndex->setText(m_userMatchIndex);
    m_matchIndexHeld = false;
}

void RegexExtractPanel::UpdateRegexExtractControls() {
    {
        const QSignalBlocker quiet(m_matchIndex);
        if (!m_global->isChecked() && !m_matchIndexHeld) {
            m_userMatchIndex = m_matchIndex->text();
            m_matchIndex->setText("1");
            m_matchIndexHeld = true;
        }
    }
    if (m_global->isChecked()) ReleaseMatchIndex();
    m_matchIndex->setEnabled(m_global->isChecked());
    m_submatchIndex->setEnabled(m_takeSubmatch->isChecked());
    m_template.UpdateEnabled();
}

void RegexExtractPanel::LoadOrSaveSettings(SettingsStore& store, bool save) {
    // The section holds the index the user typed, not the stand-in.
    ReleaseMatchIndex();
    TypedTaskPanel::LoadOrSaveSettings(store, save);
    UpdateRegexExtractControls();
}

RegexExtractParams RegexExtractPanel::CurrentParameters() const { return Bindings().Gather(); }

std::optional<RegexExtractParams> RegexExtractPanel::MakeParams(RunMode mode) {
    RegexExtractParams p = CurrentParameters();
    if (!p.expression.empty() && mode != RunMode::AutoPreview) {
        // Compiled once here; the run finds it compiled.
        if (auto compiled = ExtractRegexCache().Get(p.expression, RegexExtractFlags(p)); !compiled) {
            ShowMessageBox("正则表达式有误：" + compiled.error().message);
            return std::nullopt;
        }
    }
    return p;
}

}  // namespace varnel

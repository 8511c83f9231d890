#include "filetasks/ui/content_replace_panel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPointer>

#include "utilities/ui/tooltips.h"

namespace varnel {

ContentReplacePanel::ContentReplacePanel(MetaSymbolMenu* metaMenu, QWidget* parent, AskTextFunction askText,
                                         const RegexTesterLink* tester)
    : TypedTaskPanel(parent), m_askText(std::move(askText)), m_tester(tester) {
    setObjectName("ContentReplacePanel");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 8);
    m_findLabel = Named(new QLabel(Utf8("欲替换文本："), this), "标签欲替换");
    m_replaceLabel = Named(new QLabel(Utf8("替换成文本："), this), "标签替换成");
    m_find = Named(new QLineEdit(this), "编辑框欲替换文本");
    m_replace = MakeMetaBox(this, "编辑框替换成文本", metaMenu);
    m_editFind = Named(new QPushButton(Utf8("..."), this), "按钮编辑欲替换文本");
    m_editReplace = Named(new QPushButton(Utf8("..."), this), "按钮编辑替换成文本");
    m_count = Named(new QLineEdit(Utf8("-1"), this), "编辑框替换次数");
    m_count->setMaximumWidth(60);
    m_ignoreCase = Named(new QCheckBox(Utf8("忽略大小写"), this), "选择框忽略大小写");
    m_multiline = Named(new QCheckBox(Utf8("匹配多行"), this), "选择框匹配多行");
    m_global = Named(new QCheckBox(Utf8("全局匹配"), this), "选择框全局匹配");
    m_regex = Named(new QCheckBox(Utf8("正则"), this), "选择框启用正则");
    m_testerLink = Named(new QLabel(Utf8("<a href=\"#\">调试正则</a>"), this), "超级链接框调试正则");
    grid->addWidget(m_findLabel, 0, 0);
    grid->addWidget(m_find, 0, 1);
    grid->addWidget(m_editFind, 0, 2);
    grid->addWidget(m_replaceLabel, 1, 0);
    grid->addWidget(m_replace, 1, 1);
    grid->addWidget(m_editReplace, 1, 2);
    auto* options = new QHBoxLayout;
    options->addWidget(new QLabel(Utf8("次数："), this));
    for (QWidget* w : std::initializer_list<QWidget*>{m_count, m_ignoreCase, m_multiline, m_global, m_regex, m_testerLink}) {
        options->addWidget(w);
    }
    options->addStretch(1);
    grid->addLayout(options, 2, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(3, 1);

    const auto edit = [this](QLabel* label, QLineEdit* box) {
        EditTextInDialog(m_askText, this, "请输入" + label->text().toStdString(), box->text().toStdString(),
                         [box](const std::string& text) { box->setText(Utf8(text)); });
    };
    connect(m_editFind, &QPushButton::clicked, this, [this, edit] { edit(m_findLabel, m_find); });
    connect(m_editReplace, &QPushButton::clicked, this, [this, edit] { edit(m_replaceLabel, m_replace); });
    m_testerLink->setEnabled(m_tester != nullptr && m_tester->Available());
    connect(m_testerLink, &QLabel::linkActivated, this, [this] { OpenRegexTester(); });
    Bindings()
        .Text(m_find, "欲替换", &ContentReplaceParams::findText)
        .Text(m_replace, "替换成", &ContentReplaceParams::replaceText)
        .Text(m_count, "替换次数",
              [](ContentReplaceParams& p, const std::string& text) { p.count = ReplaceCountFromText(text); })
        .Check(m_ignoreCase, "忽略大小写", &ContentReplaceParams::ignoreCase)
        .Check(m_multiline, "匹配多行", &ContentReplaceParams::multiline)
        .Check(m_global, "全局匹配", &ContentReplaceParams::globalMatch)
        .Check(m_regex, "启用正则", &ContentReplaceParams::useRegex)
        .AlsoOnChange([this] { UpdateReplaceControls(); })
        .AfterLoad([this] { UpdateReplaceControls(); });

    RegisterTooltip(m_count, "当欲替换目标存在多个时，设定要替换的次数。当“次数”值小于 1 时，将替换全部。 ");
    RegisterTooltip(m_ignoreCase, "是否忽略英文字母的大小写格式的差异。若忽略，则 God = god，否则，God ≠ god");
    RegisterTooltip(m_multiline, "是否支持匹配多行特性(正则参数)");
    RegisterTooltip(m_global, "是否匹配全部，否则仅匹配(替换)第一个项目(正则参数)");
    RegisterTooltip(m_regex,
                    "是否启用正则表达式进行匹配和替换。正则支持的目标文本块的最大尺寸为 500 KB。超出此范围的将可能会强制退出。");
    RegisterTooltip(m_testerLink, "启动 正则调试器 进行调试");
    UpdateReplaceControls();
}

void ContentReplacePanel::UpdateReplaceControls() {
    const bool regex = m_regex->isChecked();
    m_multiline->setEnabled(regex);
    m_global->setEnabled(regex);
    m_count->setEnabled(!regex);
    m_testerLink->setVisible(regex);
    m_findLabel->setText(Utf8(regex ? "匹配表达式：" : "欲替换文本："));
    m_replaceLabel->setText(Utf8(regex ? "替换表达式：" : "替换成文本："));
}

void ContentReplacePanel::OpenRegexTester() {
    if (m_tester == nullptr) return;
    RegexTesterRequest request;
    request.replaceMode = true;
    request.pattern = m_find->text().toStdString();
    request.replacement = m_replace->text().toStdString();
    request.ignoreCase = m_ignoreCase->isChecked();
    request.multiline = m_multiline->isChecked();
    request.global = m_global->isChecked();
    request.takeBack = [panel = QPointer<ContentReplacePanel>(this)](const TestedPattern& tested) {
        if (panel) panel->TakeTestedPattern(tested);
    };
    m_tester->Open(std::move(request));
}

void ContentReplacePanel::TakeTestedPattern(const TestedPattern& tested) {
    m_find->setText(QString::fromStdString(tested.pattern));
    m_replace->setText(QString::fromStdString(tested.replacement));
    m_ignoreCase->setChecked(tested.ignoreCase);
    m_multiline->setChecked(tested.multiline);
    m_global->setChecked(tested.global);
}

ContentReplaceParams ContentReplacePanel::CurrentParameters() const { return Bindings().Gather(); }

std::optional<ContentReplaceParams> ContentReplacePanel::MakeParams(RunMode) { return CurrentParameters(); }

}  // namespace varnel

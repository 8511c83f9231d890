#include "renames/ui/list_font_panels.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "naming/ui/panel_controls.h"
#include "utilities/ui/tooltips.h"
#include "utilities/user_notifier.h"

namespace varnel {

NameListPanel::NameListPanel(MetaSymbolMenu* metaMenu, QWidget* parent)
    : TypedTaskPanel(parent), m_template(this, metaMenu, true) {
    setObjectName("NameListPanel");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 8);
    m_names = Named(new QPlainTextEdit(Utf8("每行一个\n对应修改\n到列表框"), this), "编辑框名称列表");
    m_names->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_template.Pattern()->setText(Utf8(" ? 代表对应名称"));
    grid->addWidget(m_names, 0, 0, 1, 2);
    grid->addWidget(m_template.Check(), 1, 0);
    grid->addWidget(m_template.Pattern(), 1, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(0, 1);
    Bindings().MultiLine(m_names, "名称列表", &NameListParams::names).NoPreview();
    m_template.Bind(Bindings(), &NameListParams::useTemplate, &NameListParams::pattern);
    RegisterTooltip(m_names, "每行一个文件名，对应修改到列表框的项目");
}

NameListParams NameListPanel::CurrentParameters() const { return Bindings().Gather(); }

std::optional<NameListParams> NameListPanel::MakeParams(RunMode) { return CurrentParameters(); }

FontNamePanel::FontNamePanel(MetaSymbolMenu* metaMenu, QWidget* parent)
    : TypedTaskPanel(parent), m_template(this, metaMenu, true) {
    setObjectName("FontNamePanel");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 8);
    m_template.Pattern()->setText(Utf8(" ? 代表字体名称"));
    auto* hint = Named(new QPushButton(Utf8("重要提示"), this), "超级按钮重要提示");
    hint->setFlat(true);
    connect(hint, &QPushButton::clicked, this, [] {
        ShowMessageBox("字体文件都有内部名称，就类似于网页文件的网页标题。\n"
                       "也可以在其他栏目支持元变量的编辑框中输入 [字体名称]",
                       kBoxOk | kBoxIconInformation);
    });
    grid->addWidget(m_template.Check(), 0, 0);
    grid->addWidget(m_template.Pattern(), 0, 1);
    grid->addWidget(hint, 1, 0, 1, 2, Qt::AlignLeft);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 1);
    m_template.Bind(Bindings(), &FontNameParams::useTemplate, &FontNameParams::pattern);
}

FontNameParams FontNamePanel::CurrentParameters() const { return Bindings().Gather(); }

std::optional<FontNameParams> FontNamePanel::MakeParams(RunMode) { return CurrentParameters(); }

}  // namespace varnel

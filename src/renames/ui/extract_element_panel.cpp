#include "renames/ui/extract_element_panel.h"

#include <QGridLayout>
#include <QLabel>

#include "naming/ui/panel_controls.h"
#include "utilities/ui/tooltips.h"

namespace varnel {

ExtractElementPanel::ExtractElementPanel(MetaSymbolMenu* metaMenu, QWidget* parent)
    : TypedTaskPanel(parent), m_markers(this), m_template(this, metaMenu, true) {
    setObjectName("ExtractElementPanel");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 8);
    m_template.Pattern()->setText(Utf8("? 代表提取出来的文本"));
    grid->addWidget(m_markers.PresetBox(), 0, 0, 1, 2);
    grid->addWidget(m_markers.EditLink(), 0, 2);
    grid->addWidget(new QLabel(Utf8("元素1："), this), 1, 0);
    grid->addWidget(m_markers.Element1(), 1, 1, 1, 2);
    grid->addWidget(new QLabel(Utf8("元素2："), this), 2, 0);
    grid->addWidget(m_markers.Element2(), 2, 1, 1, 2);
    grid->addWidget(m_markers.CaseSensitive(), 3, 0, 1, 3);
    grid->addWidget(m_template.Check(), 4, 0);
    grid->addWidget(m_template.Pattern(), 4, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(5, 1);

    m_markers.Bind(Bindings(), &ElementExtractParams::element1, &ElementExtractParams::element2,
                   &ElementExtractParams::caseSensitive);
    m_template.Bind(Bindings(), &ElementExtractParams::useTemplate, &ElementExtractParams::pattern);

    RegisterTooltip(m_markers.CaseSensitive(), "当元素中包含英文字母时，是否区分其大小写差异");
    RegisterTooltip(m_markers.EditLink(), "点击弹出编辑方案菜单，此菜单提供了添加和删除等方案编辑命令");
    RegisterTooltip(m_markers.PresetBox(), "这里有预设和用户定义保存的元素区间方案，选择即可应用");
    RegisterTooltip(m_markers.Element1(),
                    "区间的起点 A：提取从 A 之后直到 B 之前的文本。如网页文本“<title>我的主页</title>”中，"
                    "A 为“<title>”，B 为“</title>”时提取出“我的主页”");
    RegisterTooltip(m_markers.Element2(),
                    "区间的终点 B：提取从 A 之后直到 B 之前的文本。如网页文本“<title>我的主页</title>”中，"
                    "A 为“<title>”，B 为“</title>”时提取出“我的主页”");
}

ElementExtractParams ExtractElementPanel::CurrentParameters() const { return Bindings().Gather(); }

std::optional<ElementExtractParams> ExtractElementPanel::MakeParams(RunMode) { return CurrentParameters(); }

}  // namespace varnel

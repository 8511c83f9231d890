#include "naming/ui/result_template_controls.h"

#include "naming/ui/panel_controls.h"
#include "utilities/ui/tooltips.h"

namespace varnel {

ResultTemplateControls::ResultTemplateControls(QWidget* parent, MetaSymbolMenu* metaMenu, bool withTooltips)
    : m_check(Named(new QCheckBox(Utf8("扩展组合："), parent), "选择框扩展组合")),
      m_pattern(MakeMetaBox(parent, "编辑框组合式", metaMenu)) {
    m_pattern->setText("?");
    if (withTooltips) {
        RegisterTooltip(m_check, "是否扩展组合文件名,这可以插入元变量、结果值代表符(?)等自由组合");
        RegisterTooltip(m_pattern,
                        "您可以在任意位置插入半角问号“?”以引用结果值。支持首创的中文元变量插入。"
                        "黑色边框者皆支持元变量。");
    }
    QObject::connect(m_check, &QCheckBox::toggled, m_pattern, [this] { UpdateEnabled(); });
    UpdateEnabled();
}

void ResultTemplateControls::LoadOrSave(PanelSettings& settings) {
    settings.Check(m_check, kCheckKey);
    settings.Text(m_pattern, kPatternKey);
    UpdateEnabled();
}

void ResultTemplateControls::UpdateEnabled() { m_pattern->setEnabled(m_check->isChecked()); }

std::optional<std::string> ResultTemplateControls::Template() const {
    if (!m_check->isChecked()) return std::nullopt;
    return m_pattern->text().toStdString();
}

void ResultTemplateControls::CopyInto(bool& useTemplate, std::string& pattern) const {
    if (!m_check->isChecked()) return;
    useTemplate = true;
    pattern = m_pattern->text().toStdString();
}

}  // namespace varnel

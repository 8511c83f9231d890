// The panel of the 批量提取元素区间 rename task: a thin form over
// ElementExtractParams, its markers with their named presets and the result
// template, kept in its INI section. UI thread only.
#pragma once

#include "naming/content_extract_name.h"
#include "naming/ui/result_template_controls.h"
#include "runs/ui/element_preset_controls.h"
#include "runs/ui/task_panel.h"

namespace varnel {

class MetaSymbolMenu;

class ExtractElementPanel final : public TypedTaskPanel<ElementExtractParams> {
    Q_OBJECT
public:
    // metaMenu (may be null) inserts meta-variables into 组合式.
    explicit ExtractElementPanel(MetaSymbolMenu* metaMenu, QWidget* parent = nullptr);

    std::optional<ElementExtractParams> MakeParams(RunMode mode) override;
    ElementExtractParams CurrentParameters() const;

    ElementPresetControls& Markers() { return m_markers; }

private:
    ElementPresetControls m_markers;
    ResultTemplateControls m_template;
};

}  // namespace varnel

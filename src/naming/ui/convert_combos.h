// The five combo boxes of the convert tasks (codec, simplified/traditional, width,
// letter case, numerals), each a title item, a dashed line and the choices, kept in
// the panel's section as their index and read as ConvertOptions. UI thread only.
#pragma once

#include <QBoxLayout>
#include <QComboBox>

#include <array>

#include "settings/ui/panel_settings.h"
#include "utilities/text_converter.h"

namespace varnel {

class ConvertCombos {
public:
    // The boxes are made as children of parent. resetSeparator: choosing the
    // dashed line selects the title again.
    ConvertCombos(QWidget* parent, bool resetSeparator);

    // Adds the boxes to layout in order.
    void AddTo(QBoxLayout* layout) const;

    void LoadOrSave(PanelSettings& settings);
    // The options of the chosen items; the scope is left as made.
    ConvertOptions Options() const;
    const std::array<QComboBox*, 5>& Boxes() const { return m_boxes; }

private:
    // In the order of the boxes.
    std::array<QComboBox*, 5> m_boxes{};
};

}  // namespace varnel

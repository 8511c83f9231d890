// The form the convert tasks share: five combo boxes (codec, simplified/traditional,
// width, letter case, numerals), each a title item, a dashed line and the choices,
// kept in the panel's section as their index and handed to a run as ConvertOptions
// (index - 1, 0 for the title). UI thread only.
#pragma once

#include "runs/ui/convert_combos.h"
#include "runs/ui/task_panel.h"
#include "utilities/text_converter.h"

namespace varnel {

class ConvertOptionsPanel : public TypedTaskPanel<ConvertOptions> {
    Q_OBJECT
public:
    // resetSeparator: choosing the dashed line selects the title again. The codec
    // box offers the six text encodings.
    ConvertOptionsPanel(const char* objectName, bool resetSeparator, QWidget* parent);

    std::optional<ConvertOptions> MakeParams(RunMode mode) override;
    // The options of the chosen items; the scope is left to the runner.
    ConvertOptions CurrentParameters() const;

private:
    ConvertCombos m_boxes;
};

}  // namespace varnel

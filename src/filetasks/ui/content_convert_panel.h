// The panel of the content convert task (批量内容转换): the five convert combo boxes,
// kept in its INI section and handed to a run as ConvertOptions. UI thread only.
#pragma once

#include "runs/ui/convert_options_panel.h"

namespace varnel {

class ContentConvertPanel final : public ConvertOptionsPanel {
    Q_OBJECT
public:
    explicit ContentConvertPanel(QWidget* parent = nullptr) : ConvertOptionsPanel("ContentConvertPanel", false, parent) {}
};

}  // namespace varnel

// The panel of the content convert task (批量内容转换): five combo boxes (codec,
// simplified/traditional, width, letter case, numerals), kept in its INI section
// and handed to a run as ConvertOptions. UI thread only.
#pragma once

#include "naming/ui/convert_combos.h"
#include "runs/ui/task_panel.h"
#include "utilities/text_converter.h"

namespace varnel {

class ContentConvertPanel final : public TypedTaskPanel<ConvertOptions> {
    Q_OBJECT
public:
    explicit ContentConvertPanel(QWidget* parent = nullptr);

    void LoadOrSaveSettings(SettingsStore& store, bool save) override;
    std::optional<ConvertOptions> MakeParams(RunMode mode) override;
    ConvertOptions CurrentParameters() const;

private:
    ConvertCombos m_combos{this, false};
};

}  // namespace varnel

#include "filetasks/ui/content_convert_panel.h"

#include <QVBoxLayout>

#include "settings/ui/panel_settings.h"

namespace varnel {

ContentConvertPanel::ContentConvertPanel(QWidget* parent) : TypedTaskPanel(parent) {
    setObjectName("ContentConvertPanel");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 8);
    m_combos.AddTo(layout);
    for (QComboBox* box : m_combos.Boxes()) {
        connect(box, &QComboBox::currentIndexChanged, this, &TaskPanel::parametersChanged);
    }
    layout->addStretch(1);
}

void ContentConvertPanel::LoadOrSaveSettings(SettingsStore& store, bool save) {
    PanelSettings settings(store, save);
    m_combos.LoadOrSave(settings);
}

ConvertOptions ContentConvertPanel::CurrentParameters() const { return m_combos.Options(); }

std::optional<ConvertOptions> ContentConvertPanel::MakeParams(RunMode) { return CurrentParameters(); }

}  // namespace varnel

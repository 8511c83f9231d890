#include "filetasks/ui/content_convert_panel.h"

#include <QVBoxLayout>

#include "settings/ui/panel_settings.h"

namespace varnel {

namespace {

// A file's content is converted between the text encodings only.
constexpr int kContentCodecChoices = 6;

}  // namespace

ContentConvertPanel::ContentConvertPanel(QWidget* parent) : TypedTaskPanel(parent) {
    setObjectName("ContentConvertPanel");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 8);
    m_boxes = MakeConvertCombos(this, layout, kContentCodecChoices);
    layout->addStretch(1);
}

void ContentConvertPanel::LoadOrSaveSettings(SettingsStore& store, bool save) {
    PanelSettings settings(store, save);
    m_boxes.LoadOrSave(settings);
}

ConvertOptions ContentConvertPanel::CurrentParameters() const { return m_boxes.Options(); }

std::optional<ConvertOptions> ContentConvertPanel::MakeParams(RunMode) { return CurrentParameters(); }

}  // namespace varnel

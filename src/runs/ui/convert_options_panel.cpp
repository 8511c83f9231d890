#include "runs/ui/convert_options_panel.h"

#include <QVBoxLayout>

#include "naming/ui/panel_controls.h"

namespace varnel {

namespace {

// The codec choices of a name or a file's content: the text encodings only.
constexpr int kTextCodecChoices = 6;

}  // namespace

ConvertOptionsPanel::ConvertOptionsPanel(const char* objectName, bool resetSeparator, QWidget* parent)
    : TypedTaskPanel(parent) {
    setObjectName(Utf8(objectName));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 8);
    m_boxes = MakeConvertCombos(this, layout, kTextCodecChoices);
    m_boxes.Bind(Bindings(), [](ConvertOptions& options) -> ConvertOptions& { return options; });
    if (resetSeparator) {
        for (QComboBox* box : {m_boxes.codec, m_boxes.tradSimp, m_boxes.width, m_boxes.letters, m_boxes.digits}) {
            // The dashed line is no choice: it selects the title again.
            connect(box, &QComboBox::currentIndexChanged, box, [box](int index) {
                if (index == 1) box->setCurrentIndex(0);
            });
        }
    }
    layout->addStretch(1);
}

ConvertOptions ConvertOptionsPanel::CurrentParameters() const { return Bindings().Gather(); }

std::optional<ConvertOptions> ConvertOptionsPanel::MakeParams(RunMode) { return CurrentParameters(); }

}  // namespace varnel

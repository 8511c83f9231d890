#include "id3/ui/id3_convert_panels.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "naming/ui/panel_controls.h"
#include "utilities/ui/tooltips.h"
#include "utilities/user_notifier.h"

namespace varnel {

namespace {

// Every codec choice: tag texts may also be Base64, quoted-printable or URL escapes.
constexpr int kTagCodecChoices = 12;

struct CopyModeDesign {
    const char* name;
    const char* caption;
    const char* tip;
};

constexpr CopyModeDesign kCopyModes[] = {
    {"单选框v2到v1", "v2复制到v1", "将 v2 的标签信息复制到 v1 的对应项目"},
    {"单选框v1到v2", "v1复制到v2", "将 v1 的标签信息复制到 v2 的对应项目"},
    {"单选框v1v2换", "v1和v2交换", "将 v1 和 v2 的标签信息对调。"},
    {"单选框v1v2补", "v1和v2互补", "将 v1 和 v2 的标签信息互补。"},
};

}  // namespace

Id3ConvertPanel::Id3ConvertPanel(QWidget* parent) : TypedTaskPanel(parent) {
    setObjectName("Id3ConvertPanel");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 8);
    auto* versions = new QHBoxLayout;
    versions->addWidget(new QLabel(Utf8("欲转换版本："), this));
    m_v1 = Named(new QCheckBox(Utf8("Id3v1"), this), "选择框v1");
    m_v1->setChecked(true);
    m_v2 = Named(new QCheckBox(Utf8("Id3v2"), this), "选择框v2");
    versions->addWidget(m_v1);
    versions->addWidget(m_v2);
    versions->addStretch(1);
    layout->addLayout(versions);
    m_boxes = MakeConvertCombos(this, layout, kTagCodecChoices);
    layout->addStretch(1);
    Bindings().Check(m_v1, "v1", &TagConvertParams::convertV1).Check(m_v2, "v2", &TagConvertParams::convertV2);
    m_boxes.Bind(Bindings(), [](TagConvertParams& params) -> ConvertOptions& { return params.options; });
    RegisterTooltip(m_v1, "转换 Id3 v1 版本");
    RegisterTooltip(m_v2, "转换 Id3 v2 版本");
}

TagConvertParams Id3ConvertPanel::CurrentParameters() const { return Bindings().Gather(); }

std::optional<TagConvertParams> Id3ConvertPanel::MakeParams(RunMode mode) {
    if (!m_v1->isChecked() && !m_v2->isChecked()) {
        if (mode != RunMode::AutoPreview) ShowTrayNotice(kNoVersionToConvertText);
        return std::nullopt;
    }
    return CurrentParameters();
}

Id3CopyPanel::Id3CopyPanel(QWidget* parent) : TypedTaskPanel(parent) {
    setObjectName("Id3CopyPanel");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 8);
    for (std::size_t i = 0; i < m_modes.size(); ++i) {
        const CopyModeDesign& design = kCopyModes[i];
        m_modes[i] = Named(new QRadioButton(Utf8(design.caption), this), design.name);
        RegisterTooltip(m_modes[i], design.tip);
        layout->addWidget(m_modes[i]);
    }
    m_modes[0]->setChecked(true);
    layout->addStretch(1);
    // The radios are numbered from 0 as the TagCopyMode values; none chosen reads as
    // the last.
    Bindings().RadioGroup(
        {m_modes.begin(), m_modes.end()}, "复制类型",
        [](TagCopyMode& mode, int chosen) {
            mode = chosen >= 0 && chosen < static_cast<int>(TagCopyMode::Complement) ? static_cast<TagCopyMode>(chosen)
                                                                                      : TagCopyMode::Complement;
        },
        0);
}

TagCopyMode Id3CopyPanel::CurrentMode() const { return Bindings().Gather(); }

std::optional<TagCopyMode> Id3CopyPanel::MakeParams(RunMode) { return CurrentMode(); }

}  // namespace varnel

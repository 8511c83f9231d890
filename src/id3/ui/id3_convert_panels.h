// The panels of the tag convert task (批量Id3转换: the five converter choices and
// the versions to convert) and of the tag copy task (批量Id3复制: the direction as
// four radio buttons, kept as its TagCopyMode number), each kept in its INI
// section. UI thread only.
#pragma once

#include <QCheckBox>
#include <QRadioButton>

#include <array>

#include "id3/tag_convert.h"
#include "id3/tag_copy.h"
#include "runs/ui/convert_combos.h"
#include "runs/ui/task_panel.h"

namespace varnel {

inline constexpr const char* kNoVersionToConvertText = "v1和v2至少选择转换一项";

class Id3ConvertPanel final : public TypedTaskPanel<TagConvertParams> {
    Q_OBJECT
public:
    explicit Id3ConvertPanel(QWidget* parent = nullptr);

    // Refuses, with a tray notice unless an auto-preview asks, when neither version
    // is ticked: the run would touch no row.
    std::optional<TagConvertParams> MakeParams(RunMode mode) override;
    TagConvertParams CurrentParameters() const;

private:
    QCheckBox* m_v1 = nullptr;
    QCheckBox* m_v2 = nullptr;
    ConvertCombos m_boxes;
};

class Id3CopyPanel final : public TypedTaskPanel<TagCopyMode> {
    Q_OBJECT
public:
    explicit Id3CopyPanel(QWidget* parent = nullptr);

    std::optional<TagCopyMode> MakeParams(RunMode mode) override;
    TagCopyMode CurrentMode() const;

private:
    std::array<QRadioButton*, 4> m_modes{};
};

}  // namespace varnel

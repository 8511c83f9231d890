// The five combo boxes of the convert tasks (codec, simplified/traditional, width,
// letter case, numerals): each a caption item, a dashed line, then its choices,
// kept in the panel's INI section as the chosen index and read as ConvertOptions.
// UI thread only.
#pragma once

#include <QBoxLayout>
#include <QComboBox>

#include "settings/ui/panel_settings.h"
#include "utilities/text_converter.h"

namespace varnel {

class TaskPanel;

struct ConvertCombos {
    QComboBox* codec = nullptr;
    QComboBox* tradSimp = nullptr;
    QComboBox* width = nullptr;
    QComboBox* letters = nullptr;
    QComboBox* digits = nullptr;

    // The options the chosen items give (the scope is the whole text).
    ConvertOptions Options() const;
    // Keys "编解码", "繁简", "全半角", "字母", "数字".
    void LoadOrSave(PanelSettings& settings) const;
};

// The boxes, added to `layout` in that order; each change asks `panel` for an
// auto-preview. codecChoices: how many of the twelve codec choices are offered
// (the first six are the text encodings).
ConvertCombos MakeConvertCombos(TaskPanel* panel, QBoxLayout* layout, int codecChoices);

}  // namespace varnel

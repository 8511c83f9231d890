// The five combo boxes of the convert tasks (codec, simplified/traditional, width,
// letter case, numerals): each a caption item, a dashed line, then its choices,
// declared with a panel's bindings: kept in its INI section as the chosen index and
// read as a step of ConvertOptions (the index minus one, 0 for the caption).
// UI thread only.
#pragma once

#include <QBoxLayout>
#include <QComboBox>

#include <type_traits>

#include "settings/ui/panel_bindings.h"
#include "utilities/text_converter.h"

namespace varnel {

struct ConvertCombos {
    QComboBox* codec = nullptr;
    QComboBox* tradSimp = nullptr;
    QComboBox* width = nullptr;
    QComboBox* letters = nullptr;
    QComboBox* digits = nullptr;

    // Declares the boxes under the keys "编解码", "繁简", "全半角", "字母", "数字"; each
    // fills its step of the options `options` picks from the parameters
    // (ConvertOptions& (Params&)). The scope is left as the parameters have it.
    template <typename Params, typename Pick>
    void Bind(PanelBindings<Params>& bindings, Pick options) const {
        const auto step = [options]<typename Step>(Step ConvertOptions::*member) {
            return [options, member](Params& params, int index) {
                options(params).*member = static_cast<Step>(ConvertOptionOfIndex(index));
            };
        };
        bindings.Combo(codec, "编解码", step(&ConvertOptions::codec))
            .Combo(tradSimp, "繁简", step(&ConvertOptions::tradSimp))
            .Combo(width, "全半角", step(&ConvertOptions::width))
            .Combo(letters, "字母", step(&ConvertOptions::letters))
            .Combo(digits, "数字", step(&ConvertOptions::digits));
    }
};

// The boxes, added to `layout` in that order. codecChoices: how many of the twelve
// codec choices are offered (the first six are the text encodings).
ConvertCombos MakeConvertCombos(QWidget* parent, QBoxLayout* layout, int codecChoices);

}  // namespace varnel

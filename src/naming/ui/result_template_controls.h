// The 扩展组合 check box and its 组合式 edit box, shared by the rename panels that
// build their result from a template ("?" standing for the computed text): kept in
// the panel's section under "扩展组合" and "组合式", the edit box enabled only while
// the check box is on, taking meta-variables. UI thread only.
#pragma once

#include <QCheckBox>
#include <QLineEdit>

#include <optional>
#include <string>

#include "settings/ui/panel_bindings.h"
#include "settings/ui/panel_settings.h"

namespace varnel {

class MetaSymbolMenu;

class ResultTemplateControls {
public:
    // The two controls are made as children of parent. metaMenu (may be null) inserts
    // meta-variables into the edit box. withTooltips: the pair's common hover help.
    ResultTemplateControls(QWidget* parent, MetaSymbolMenu* metaMenu, bool withTooltips);

    QCheckBox* Check() const { return m_check; }
    QLineEdit* Pattern() const { return m_pattern; }

    void LoadOrSave(PanelSettings& settings);
    // Declares the pair in a panel's bindings, filling its struct as CopyInto does.
    template <typename Params>
    void Bind(PanelBindings<Params>& bindings, bool Params::*useTemplate, std::string Params::*pattern) const {
        bindings
            .Check(m_check, kCheckKey,
                   [useTemplate](Params& params, bool on) {
                       if (on) params.*useTemplate = true;
                   })
            .Text(m_pattern, kPatternKey, [check = m_check, pattern](Params& params, const std::string& text) {
                if (check->isChecked()) params.*pattern = text;
            });
    }
    void UpdateEnabled();
    // The template a run applies (ApplyResultTemplate); nothing while the box is off.
    std::optional<std::string> Template() const;
    // The pair of a parameter struct: on with the pattern while the box is on; left
    // as it is (off) otherwise.
    void CopyInto(bool& useTemplate, std::string& pattern) const;

private:
    static constexpr const char* kCheckKey = "扩展组合";
    static constexpr const char* kPatternKey = "组合式";

    QCheckBox* m_check;
    QLineEdit* m_pattern;
};

}  // namespace varnel

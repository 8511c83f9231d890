// The panels of the name list (批量列表) and font name (批量字体) rename tasks: thin
// forms over NameListParams and FontNameParams, keeping their controls in their INI
// sections. UI thread only.
#pragma once

#include <QPlainTextEdit>

#include "naming/list_font_name.h"
#include "naming/ui/result_template_controls.h"
#include "runs/ui/task_panel.h"

namespace varnel {

class MetaSymbolMenu;

// Editing the list asks for no auto-preview (a preview per keystroke of a long list
// would only get in the way); the template pair does.
class NameListPanel final : public TypedTaskPanel<NameListParams> {
    Q_OBJECT
public:
    // metaMenu (may be null) inserts meta-variables into 组合式.
    explicit NameListPanel(MetaSymbolMenu* metaMenu, QWidget* parent = nullptr);

    std::optional<NameListParams> MakeParams(RunMode mode) override;
    NameListParams CurrentParameters() const;

private:
    QPlainTextEdit* m_names = nullptr;
    ResultTemplateControls m_template;
};

class FontNamePanel final : public TypedTaskPanel<FontNameParams> {
    Q_OBJECT
public:
    explicit FontNamePanel(MetaSymbolMenu* metaMenu, QWidget* parent = nullptr);

    std::optional<FontNameParams> MakeParams(RunMode mode) override;
    FontNameParams CurrentParameters() const;

private:
    ResultTemplateControls m_template;
};

}  // namespace varnel

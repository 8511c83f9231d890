// The panel of the shortcut properties task (批量快捷方式): per field a tick and
// its new value (the target by replacement), kept in its INI section and handed
// to a run as ShortcutTaskParams. UI thread only.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "filetasks/shortcut_task.h"
#include "runs/ui/task_panel.h"

namespace varnel {

class MetaSymbolMenu;

class ShortcutPropertiesPanel final : public TypedTaskPanel<ShortcutTaskParams> {
    Q_OBJECT
public:
    // metaMenu (may be null) inserts meta-variables into the boxes that take them.
    explicit ShortcutPropertiesPanel(MetaSymbolMenu* metaMenu, QWidget* parent = nullptr);

    std::optional<ShortcutTaskParams> MakeParams(RunMode mode) override;
    ShortcutTaskParams CurrentParameters() const;

    // Each field's boxes are usable only while its tick is on; the count only for a
    // plain replacement, 全局匹配 only for an expression.
    void UpdateShortcutControls();

private:
    QCheckBox* m_changeTarget = nullptr;
    QLineEdit* m_find = nullptr;
    QLineEdit* m_replace = nullptr;
    QLineEdit* m_count = nullptr;
    QCheckBox* m_regex = nullptr;
    QCheckBox* m_global = nullptr;
    QCheckBox* m_ignoreCase = nullptr;
    QCheckBox* m_changeDescription = nullptr;
    QLineEdit* m_description = nullptr;
    QCheckBox* m_changeIcon = nullptr;
    QLineEdit* m_iconLocation = nullptr;
    QLineEdit* m_iconIndex = nullptr;
    QCheckBox* m_changeArguments = nullptr;
    QLineEdit* m_arguments = nullptr;
    QCheckBox* m_changeWindowStyle = nullptr;
    QComboBox* m_windowStyle = nullptr;
};

}  // namespace varnel

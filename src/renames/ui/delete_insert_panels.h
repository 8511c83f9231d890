// The panels of the delete (批量删除) and insert (批量插入) rename tasks: thin forms
// over DeleteParams and InsertParams, keeping their controls in their INI sections
// and asking for an auto-preview on every change. UI thread only.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "naming/delete_insert_name.h"
#include "runs/ui/task_panel.h"

namespace varnel {

class MetaSymbolMenu;

class DeletePanel final : public TypedTaskPanel<DeleteParams> {
    Q_OBJECT
public:
    // metaMenu (may be null) inserts meta-variables into 替换文本.
    explicit DeletePanel(MetaSymbolMenu* metaMenu, QWidget* parent = nullptr);

    std::optional<DeleteParams> MakeParams(RunMode mode) override;
    DeleteParams CurrentParameters() const;

private:
    QComboBox* m_byPosition = nullptr;
    QLineEdit* m_key = nullptr;
    QComboBox* m_side = nullptr;
    QCheckBox* m_forward = nullptr;
    QCheckBox* m_dropMarker = nullptr;
    QCheckBox* m_ignoreCase = nullptr;
    QLineEdit* m_count = nullptr;
    QLineEdit* m_replacement = nullptr;
};

class InsertPanel final : public TypedTaskPanel<InsertParams> {
    Q_OBJECT
public:
    // metaMenu (may be null) inserts meta-variables into 字符.
    explicit InsertPanel(MetaSymbolMenu* metaMenu, QWidget* parent = nullptr);

    std::optional<InsertParams> MakeParams(RunMode mode) override;
    InsertParams CurrentParameters() const;
    // The length controls are enabled only while 强制相等 is on.
    void UpdateInsertPanelControls();

private:
    QComboBox* m_direction = nullptr;
    QLineEdit* m_position = nullptr;
    QComboBox* m_byBytes = nullptr;
    QLineEdit* m_text = nullptr;
    QCheckBox* m_skipOutside = nullptr;
    QCheckBox* m_force = nullptr;
    QComboBox* m_forceKind = nullptr;
    QLineEdit* m_forcedLength = nullptr;
    QCheckBox* m_cutLeft = nullptr;
};

}  // namespace varnel

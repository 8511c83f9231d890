// The panels of the 批量提取位置, 批量提取行 and 批量正则提取 rename tasks: thin forms
// over PositionExtractParams, LineExtractParams and RegexExtractParams that keep
// their controls in their INI sections, enable controls as their check boxes and
// combos say, and ask for an auto-preview on every change. UI thread only.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "naming/content_extract_name.h"
#include "naming/ui/result_template_controls.h"
#include "runs/ui/task_panel.h"

namespace varnel {

class MetaSymbolMenu;

class ExtractPositionPanel final : public TypedTaskPanel<PositionExtractParams> {
    Q_OBJECT
public:
    // metaMenu (may be null) inserts meta-variables into 组合式.
    explicit ExtractPositionPanel(MetaSymbolMenu* metaMenu, QWidget* parent = nullptr);

    std::optional<PositionExtractParams> MakeParams(RunMode mode) override;
    PositionExtractParams CurrentParameters() const;

private:
    QComboBox* m_byBytes = nullptr;
    QLineEdit* m_start = nullptr;
    QLineEdit* m_end = nullptr;
    QComboBox* m_endMode = nullptr;
    ResultTemplateControls m_template;
};

class ExtractLinePanel final : public TypedTaskPanel<LineExtractParams> {
    Q_OBJECT
public:
    explicit ExtractLinePanel(MetaSymbolMenu* metaMenu, QWidget* parent = nullptr);

    std::optional<LineExtractParams> MakeParams(RunMode mode) override;
    LineExtractParams CurrentParameters() const;
    // The cut controls only while 再行截取 is on, 截取位置 only for 取中间.
    void UpdateLineExtractControls();

private:
    QLineEdit* m_line = nullptr;
    QCheckBox* m_emptyToNext = nullptr;
    QCheckBox* m_cut = nullptr;
    QComboBox* m_cutMode = nullptr;
    QComboBox* m_direction = nullptr;
    QLineEdit* m_cutStart = nullptr;
    QLineEdit* m_cutCount = nullptr;
    ResultTemplateControls m_template;
};

// While 全局匹配 is off only the first match counts: 匹配索引 is disabled and shows
// "1", keeping the user's index, which comes back (and is what the section stores)
// when global matching is on again.
class RegexExtractPanel final : public TypedTaskPanel<RegexExtractParams> {
    Q_OBJECT
public:
    explicit RegexExtractPanel(MetaSymbolMenu* metaMenu, QWidget* parent = nullptr);

    void LoadOrSaveSettings(SettingsStore& store, bool save) override;
    // An expression that does not compile is shown once and refuses a preview or
    // execute run; an auto-preview runs and leaves the names as they are.
    std::optional<RegexExtractParams> MakeParams(RunMode mode) override;
    RegexExtractParams CurrentParameters() const;
    void UpdateRegexExtractControls();

private:
    // Puts the user's index back into the box (quietly) while it shows the stand-in.
    void ReleaseMatchIndex();

    QLineEdit* m_expression = nullptr;
    QCheckBox* m_ignoreCase = nullptr;
    QCheckBox* m_multiline = nullptr;
    QCheckBox* m_global = nullptr;
    QLineEdit* m_matchIndex = nullptr;
    QCheckBox* m_takeSubmatch = nullptr;
    QLineEdit* m_submatchIndex = nullptr;
    ResultTemplateControls m_template;
    QPushButton* m_sizeLink = nullptr;
    QPushButton* m_matchLink = nullptr;
    QString m_userMatchIndex;      // the index typed, while the box shows "1"
    bool m_matchIndexHeld = false;  // the box shows the stand-in
};

}  // namespace varnel

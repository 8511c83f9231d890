// The panels of the replace (批量替换) and regular-expression (批量正则) rename
// tasks: thin forms over ReplaceParams and RegexReplaceParams. Each keeps its
// controls in its INI section, asks for an auto-preview on every change, and in
// whole-path mode disables the toolbar's name-part and transfer buttons. UI thread only.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "naming/replace_name.h"
#include "runs/ui/regex_tester_link.h"
#include "runs/ui/task_panel.h"

namespace varnel {

class MetaSymbolMenu;

class ReplacePanel final : public TypedTaskPanel<ReplaceParams> {
    Q_OBJECT
public:
    // metaMenu (may be null) inserts meta-variables into 替换为.
    explicit ReplacePanel(MetaSymbolMenu* metaMenu, QWidget* parent = nullptr);

    std::optional<ReplaceParams> MakeParams(RunMode mode) override;
    ReplaceParams CurrentParameters() const;
    // 副本转移 and the toolbar flags follow the whole-path box.
    void UpdateReplacePathMode();

private:
    QLineEdit* m_find = nullptr;
    QLineEdit* m_with = nullptr;
    QCheckBox* m_caseSensitive = nullptr;
    QLineEdit* m_count = nullptr;
    QCheckBox* m_wholePath = nullptr;
    QCheckBox* m_copy = nullptr;
};

class RegexRenamePanel final : public TypedTaskPanel<RegexReplaceParams> {
    Q_OBJECT
public:
    // tester (may be null) opens the regular-expression tester from the two links.
    explicit RegexRenamePanel(MetaSymbolMenu* metaMenu, QWidget* parent = nullptr,
                              const RegexTesterLink* tester = nullptr);

    // An expression that does not compile is shown once and refuses a preview or
    // execute run; an auto-preview runs and leaves the names as they are.
    std::optional<RegexReplaceParams> MakeParams(RunMode mode) override;
    RegexReplaceParams CurrentParameters() const;
    void UpdateRegexPathMode();
    // 组合框预设方案: a preset chosen fills the expression, flags and replacement,
    // asking for one auto-preview.
    void ApplyRegexPreset(int index);
    // The links: the tester on the expression, the replacement and the first names
    // of the list, focused on the expression (fromMatchLink) or the replacement.
    void OpenRegexTester(bool fromMatchLink);
    // The tester's pattern, replacement and flags put back, asking for one preview.
    void TakeTestedPattern(const TestedPattern& tested);

private:
    QComboBox* m_presets = nullptr;
    QLineEdit* m_expression = nullptr;
    QLineEdit* m_replacement = nullptr;
    QCheckBox* m_ignoreCase = nullptr;
    QCheckBox* m_global = nullptr;
    QCheckBox* m_wholePath = nullptr;
    QCheckBox* m_copy = nullptr;
    const RegexTesterLink* m_tester = nullptr;
    // Open the expression tester; disabled without one.
    QPushButton* m_testExpression = nullptr;
    QPushButton* m_testReplacement = nullptr;
};

}  // namespace varnel

// The panel of the content replace task (批量内容替换): the text or expression to
// find, its replacement, the count and the matching options, kept in its INI
// section and handed to a run as ContentReplaceParams. UI thread only.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "filetasks/content_replace.h"
#include "filetasks/ui/content_panel_parts.h"
#include "runs/ui/regex_tester_link.h"
#include "runs/ui/task_panel.h"

namespace varnel {

class MetaSymbolMenu;

class ContentReplacePanel final : public TypedTaskPanel<ContentReplaceParams> {
    Q_OBJECT
public:
    // metaMenu (may be null) inserts meta-variables into the replacement box.
    // tester (may be null) opens the regular-expression tester from 调试正则.
    explicit ContentReplacePanel(MetaSymbolMenu* metaMenu, QWidget* parent = nullptr,
                                 AskTextFunction askText = {}, const RegexTesterLink* tester = nullptr);

    std::optional<ContentReplaceParams> MakeParams(RunMode mode) override;
    ContentReplaceParams CurrentParameters() const;

    // The labels, the enabled boxes and the tester link follow the 正则 choice.
    void UpdateReplaceControls();
    // 调试正则: the tester's replace page with the expression, replacement and flags.
    void OpenRegexTester();
    // The tester's pattern, replacement and flags put back.
    void TakeTestedPattern(const TestedPattern& tested);

private:
    AskTextFunction m_askText;
    const RegexTesterLink* m_tester = nullptr;
    QLabel* m_findLabel = nullptr;
    QLabel* m_replaceLabel = nullptr;
    QLineEdit* m_find = nullptr;
    QLineEdit* m_replace = nullptr;
    QPushButton* m_editFind = nullptr;
    QPushButton* m_editReplace = nullptr;
    QLineEdit* m_count = nullptr;
    QCheckBox* m_ignoreCase = nullptr;
    QCheckBox* m_multiline = nullptr;
    QCheckBox* m_global = nullptr;
    QCheckBox* m_regex = nullptr;
    QLabel* m_testerLink = nullptr;
};

}  // namespace varnel

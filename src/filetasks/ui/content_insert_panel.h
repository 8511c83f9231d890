// The panel of the content insert task (批量内容插入): where the text goes (type,
// line or position, locator) and the text, kept in its INI section and handed to
// a run as ContentInsertParams. UI thread only.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <string>

#include "filetasks/content_insert.h"
#include "filetasks/ui/content_panel_parts.h"
#include "runs/ui/task_panel.h"

namespace varnel {

class MetaSymbolMenu;

class ContentInsertPanel final : public TypedTaskPanel<ContentInsertParams> {
    Q_OBJECT
public:
    // metaMenu (may be null) inserts meta-variables into the text box.
    explicit ContentInsertPanel(MetaSymbolMenu* metaMenu, QWidget* parent = nullptr, AskTextFunction askText = {});

    std::optional<ContentInsertParams> MakeParams(RunMode mode) override;
    ContentInsertParams CurrentParameters() const;

    // The position box serves the line and position types, the locator button the
    // locator types.
    void UpdateInsertControls();

private:
    AskTextFunction m_askText;
    QComboBox* m_type = nullptr;
    QLineEdit* m_position = nullptr;
    QPushButton* m_locatorButton = nullptr;
    QLineEdit* m_text = nullptr;
    QPushButton* m_editText = nullptr;
    std::string m_locator;
};

}  // namespace varnel

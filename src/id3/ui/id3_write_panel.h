// The panel of the tag write task (批量Id3写入): a tick and a value for each of
// the thirteen fields, the versions to write, and the tags of the list's current
// file read into the controls on request. Kept in its INI section and handed to a
// run as TagEditParams. UI thread only.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "id3/tag_write.h"
#include "runs/ui/task_panel.h"
#include "settings/ui/text_input_dialog.h"

namespace varnel {

class MetaSymbolMenu;

// The full path of the list's current row; nothing when there is none.
using CurrentRowPath = std::function<std::optional<std::string>()>;

class Id3WritePanel final : public TypedTaskPanel<TagEditParams> {
    Q_OBJECT
public:
    Id3WritePanel(MetaSymbolMenu* metaMenu, CurrentRowPath currentPath, QWidget* parent = nullptr,
                  AskTextFunction askText = {});

    // Refuses, with a tray notice in an execute run, when neither version is ticked.
    std::optional<TagEditParams> MakeParams(RunMode mode) override;
    TagEditParams CurrentParameters() const;

    // Fills the controls from the tags of the list's current file, while
    // 读所选文件的标签信息到组件参数 is ticked. Called when the current row changes.
    void LoadId3EditorFromList();
    // Enables the field controls by the ticks.
    void UpdateId3WriteFieldStates();

private:
    struct Field {
        QCheckBox* tick = nullptr;
        QWidget* value = nullptr;  // a QLineEdit, or the year and genre combo boxes
        bool v2Only = false;
    };
    QLineEdit* Edit(int field) const;
    void SetEdit(int field, const std::string& text);

    CurrentRowPath m_currentPath;
    AskTextFunction m_askText;
    std::vector<Field> m_fields;
    QComboBox* m_year = nullptr;
    QComboBox* m_genre = nullptr;
    QPushButton* m_editLyrics = nullptr;
    QCheckBox* m_v1 = nullptr;
    QCheckBox* m_v2 = nullptr;
    QCheckBox* m_readFromList = nullptr;
};

}  // namespace varnel

// The meta-variable settings window (元变量设置): the catalogue in a list, and the
// parameter text of the selected meta-variable in one line that applies to the
// settings at every keystroke. The section is saved when the window closes, when
// the program quits while it is open, and on the 存 link (with a tray notice).
// UI thread only.
#pragma once

#include <QWidget>

#include <array>
#include <expected>
#include <functional>

#include "naming/meta_catalogue.h"
#include "naming/meta_settings.h"
#include "utilities/error.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTableWidget;

namespace varnel {

struct NamingGlobals;

class MetaSettingsWindow final : public QWidget {
    Q_OBJECT
public:
    using SaveFunction = std::function<std::expected<void, Error>()>;

    // Edits `settings` in place; `save` writes them to the settings file.
    MetaSettingsWindow(MetaSettings& settings, SaveFunction save, QWidget* owner = nullptr);

    static constexpr const char* kCaption = "元变量设置";
    static constexpr const char* kSavedNotice = "元变量新更改配置已保存！";

    // One row per catalogue entry; no row is current afterwards.
    void FillMetaCatalogue();
    // Puts the current row's parameter text and help into 参 and 说.
    void ShowSelectedMetaRow();
    // Reads 参 into the settings of the current row and shows the text rebuilt from them.
    void ApplyMetaParameterText();
    // The 存 link: save now and say so.
    void SaveNow();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    static constexpr int kParameterColumn = 2;

    // False when the settings could not be written (the user is told why).
    bool Save();
    void FitColumns();

    MetaSettings& m_settings;
    SaveFunction m_save;

    QTableWidget* m_list = nullptr;          // 元框
    QFrame* m_frame = nullptr;               // 外形框
    QLineEdit* m_parameters = nullptr;       // 参
    QLabel* m_saveLink = nullptr;            // 存
    QPlainTextEdit* m_help = nullptr;        // 说

    int m_selectedMetaIndex = 0;
    std::array<QString, kMetaVariableCount + 1> m_metaHelpTexts;  // from 1
    bool m_metaSelectionUpdating = false;
};

// Opens the window owned by `owner` (not modal) over the program's settings, or
// brings the open one to the front.
MetaSettingsWindow* OpenMetaSettingsWindow(NamingGlobals& app, QWidget* owner);

}  // namespace varnel

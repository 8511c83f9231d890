// The small window of the extended filters (caption "扩展过滤"): seven tests, each
// with its own box and controls, read as one snapshot when a load starts. Closing
// it with its close box saves its settings and only hides it. UI thread only.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

#include "filelist/extended_filters.h"
#include "settings/settings_store.h"

namespace varnel {

class ExtendedFilterWindow final : public QWidget {
    Q_OBJECT
public:
    ExtendedFilterWindow(SettingsStore& settings, QWidget* owner = nullptr);

    // The window's values; active when it is shown and a test box is checked.
    ExtendedFilterState CurrentState() const;
    void ShowState(const ExtendedFilterState& state);

    // The seven sections of the settings file.
    void LoadSettings();
    void SaveSettings();

    // Keeps each test's controls enabled only while its box is checked.
    void ApplyEnablingRules();

signals:
    void readTreeRequested();      // 读目录树
    void selectByFilterRequested();  // 过滤选定
    void closedByUser();           // the close box: saved and hidden

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    SettingsStore& m_settings;

    QCheckBox* m_charTest;
    QLineEdit* m_keyword;
    QLineEdit* m_minCount;
    QCheckBox* m_charIgnoreCase;
    QCheckBox* m_charInvert;

    QCheckBox* m_typeTest;
    QRadioButton* m_typeFile;
    QRadioButton* m_typeFolder;
    QCheckBox* m_noExtension;
    QCheckBox* m_pureFolder;
    QCheckBox* m_typeInvert;

    QCheckBox* m_attrTest;
    QCheckBox* m_readOnly;
    QCheckBox* m_hidden;
    QCheckBox* m_system;
    QCheckBox* m_directory;
    QCheckBox* m_archive;
    QCheckBox* m_attrContains;
    QCheckBox* m_attrInvert;

    QCheckBox* m_dateTest;
    QComboBox* m_dateKind;
    QDateEdit* m_date;
    QComboBox* m_dateDirection;
    QCheckBox* m_dateInvert;

    QCheckBox* m_sizeTest;
    QComboBox* m_sizeComparison;
    QLineEdit* m_sizeValue;
    QComboBox* m_sizeUnit;
    QCheckBox* m_sizeInvert;

    QCheckBox* m_shortcutTest;
    QCheckBox* m_shortcutInvert;
    QCheckBox* m_parentTest;
    QCheckBox* m_parentInvert;
};

}  // namespace varnel

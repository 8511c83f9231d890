// The row of walk and filter controls above the file list: walk depth, the two
// ignore boxes, the name filter with its engine and options, and the box that
// shows the extended filters. It edits the main settings it is given.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QWidget>

#include "filelist/file_filter.h"
#include "fileops/folder_walk.h"
#include "settings/main_settings.h"

namespace varnel {

class FilterBar final : public QWidget {
    Q_OBJECT
public:
    explicit FilterBar(QWidget* parent = nullptr);

    // Shows the values of the settings (after a load of the settings file).
    void ShowSettings(const MainSettings& settings);
    // Writes the controls into the settings (before a save).
    void CollectSettings(MainSettings& settings) const;

    NameFilter CurrentNameFilter() const;
    WalkOptions CurrentWalkOptions() const;
    QString DepthText() const;

    // The other filter controls follow 启用过滤.
    void UpdateFilterControls();

    QCheckBox* MoreFiltersBox() const { return m_moreFilters; }

signals:
    // Enter in the filter text: load the checked tree folders again.
    void filterTextConfirmed();

private:
    QLineEdit* m_depth;
    QCheckBox* m_ignoreFolders;
    QCheckBox* m_ignoreFiles;
    QCheckBox* m_enabled;
    QComboBox* m_engine;
    QLineEdit* m_pattern;
    QCheckBox* m_ignoreCase;
    QCheckBox* m_wholeMatch;
    QCheckBox* m_invert;
    QCheckBox* m_moreFilters;
};

}  // namespace varnel

// The batch task area with the file tasks registered, over its own list and a
// settings file of the test's, auto-preview off so that a test's runs are the only
// ones, for tests that drive a file task through the area as a user does.
#pragma once

#include <QStringList>

#include <string>

#include "app/app_globals.h"
#include "filelist/ui/file_list_panel.h"
#include "filelist/ui/filter_bar.h"
#include "filetasks/ui/file_task_registrations.h"
#include "runs/ui/batch_task_area.h"
#include "runs/ui/task_box.h"
#include "support/qt_app.h"

namespace varnel::testing {

struct FileTaskArea {
    explicit FileTaskArea(const std::string& settingsFile) {
        TestApplication();
        app.gSettings->SetFile(settingsFile);
        RegisterFileTasks(area);
        area.BatchTaskAreaCreated();
        area.ToggleAutoPreview();
    }
    // Chooses the task of the tree item; its panel, or nullptr.
    QWidget* Choose(const QStringList& item) {
        box.setCurrentItem(box.FindItem(item));
        return area.CurrentPanel();
    }

    AppGlobals app;
    FilterBar filters;
    FileListPanel list{app, filters};
    TaskBox box;
    BatchTaskArea area{app, list, box};
};

}  // namespace varnel::testing

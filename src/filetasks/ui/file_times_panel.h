// The panel of the file times task (批量时间): per time (created, modified,
// accessed) a tick and six unit boxes, buttons that fill them with the clock or
// empty them, and the choice to fill them from the list's current file; kept in
// its INI section and handed to a run as FileTimesParams. UI thread only.
#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include <array>
#include <functional>
#include <optional>
#include <string>

#include <time.h>

#include "filetasks/file_times_task.h"
#include "runs/ui/task_panel.h"
#include "utilities/time_format.h"

namespace varnel {

class FileTimesPanel final : public TypedTaskPanel<FileTimesParams> {
    Q_OBJECT
public:
    // listTimeFormat (may be null: the default) is how the list shows times, read
    // when a run starts; currentRowPath gives the list's current file ("" for none).
    FileTimesPanel(const TimeFormat* listTimeFormat, std::function<std::string()> currentRowPath,
                   QWidget* parent = nullptr);

    // Shows a hidden list column the run will fill (as its column menu item does).
    void SetShowColumn(std::function<void(ListColumn)> showColumn) { m_showColumn = std::move(showColumn); }
    std::optional<FileTimesParams> MakeParams(RunMode mode) override;
    FileTimesParams CurrentParameters() const;

    // While 读文件 is ticked: the three groups of boxes show the times of the file
    // at `path` (the list's current row; "" or a file that cannot be read changes
    // nothing). A file system without creation times leaves those boxes as they are.
    void LoadFileTimesFromList(const std::string& path);
    // The same for the list's current row.
    void LoadFileTimesFromList();
    // Each group's boxes are usable only while its time is ticked.
    void UpdateTimeControls();
    // The group's six boxes show the local date-time of `time` (nothing: the clock).
    void FillTimeBoxes(TimeGroup group, std::optional<timespec> time = std::nullopt);

    // A unit box's value (TimeUnitFromText).
    static int ReadTimeBox(const QLineEdit* box);

private:
    struct Group {
        QCheckBox* setTime = nullptr;
        std::array<QLineEdit*, 6> units{};
        QPushButton* readClock = nullptr;
        QPushButton* clear = nullptr;
    };
    Group& GroupOf(TimeGroup group) { return m_groups[static_cast<std::size_t>(group)]; }

    const TimeFormat* m_listTimeFormat;
    std::function<std::string()> m_currentRowPath;
    std::array<Group, kTimeGroupCount> m_groups;
    QCheckBox* m_readFile = nullptr;
    QPushButton* m_help = nullptr;
    std::function<void(ListColumn)> m_showColumn;
};

}  // namespace varnel

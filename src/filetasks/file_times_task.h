// The file times task (批量时间): gives every listed file new creation,
// modification and access times, each ticked time built from six units (year,
// month, day, hour, minute, second) where a unit left empty keeps the file's own.
// Units that make no date fail the row and write nothing; a time not ticked is
// left untouched. No file system here lets a creation time be set: a row asked
// for one says so. Folders are left alone. Runs on the run's own thread.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include <time.h>

#include "filetasks/property_rows.h"
#include "platform/posix_api.h"
#include "runs/run_context.h"
#include "runs/run_rows.h"
#include "settings/main_settings.h"
#include "utilities/time_format.h"

namespace varnel {

enum class TimeGroup : int { Created = 0, Modified = 1, Accessed = 2 };
inline constexpr std::size_t kTimeGroupCount = 3;

// One ticked time: the six units, year to second; kKeepTimeUnit: the file's own.
inline constexpr int kKeepTimeUnit = -1;
struct TimeGroupParams {
    bool setTime = false;
    std::array<int, 6> units{kKeepTimeUnit, kKeepTimeUnit, kKeepTimeUnit,
                             kKeepTimeUnit, kKeepTimeUnit, kKeepTimeUnit};
};

struct FileTimesParams {
    std::array<TimeGroupParams, kTimeGroupCount> groups;  // by TimeGroup
    TimeFormat listTimeFormat = DefaultListTimeFormat();  // how the list shows a time
    const TimeGroupParams& Group(TimeGroup g) const { return groups[static_cast<std::size_t>(g)]; }
};

inline constexpr const char* kInvalidDateText = "日期无效";
inline constexpr const char* kCreationTimeNotSettable = "此系统不能设置创建时间";

// A unit box's text: the number with its fraction cut off; kKeepTimeUnit when
// empty; a text that is no number gives a value no date accepts.
int TimeUnitFromText(std::string_view text);

// The group's new time from the file's current one (nothing: not recorded):
// each unit given, or the current one's in local time. The nanoseconds stay when
// the second is kept. Nothing when the units make no date (month 13, 31 February,
// hour 25, a year outside 100..9999) or a kept unit has no current value.
std::optional<timespec> ComposeGroupTime(const TimeGroupParams& group, const std::optional<timespec>& current);

// One row: a preview shows the new times, an execute sets them and records the old
// ones. A path that cannot be reached, and a folder, are left as they are.
void ChangeTimesOfFile(RunContext& run, RunRows& rows, const PropertyRow& row, const FileTimesParams& params,
                       PosixApi& os = SystemPosix());

// The runner.
void RunFileTimesTask(RunContext& run, RunRows& rows, const FileTimesParams& params, PosixApi& os = SystemPosix());

}  // namespace varnel

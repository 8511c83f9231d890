// The batch tasks: the fixed table of the 29 tasks (number, place in the task box,
// panel, INI section, toolbar flags), the task box's tree, and the registry where
// each task's runner is entered.
//
// Adding a task's work (the later subsystems do this, one call per task):
//   - the core runner, a plain function of (RunContext&, RunRows&), is entered with
//     TaskRegistry::RegisterRunner(number, runner). It reads its parameter struct
//     with run.Parameters<MyParams>(), loops with ForEachRunRow, writes previews and
//     status words through rows.SetCell, records undo entries in run.Record() and
//     failures with run.LogFailure (execute runs only), and never touches a widget;
//   - the Qt panel (a TaskPanel, runs/ui/task_panel.h) is entered with its factory
//     through BatchTaskArea::RegisterTask (runs/ui/task_registrations.cpp lists the
//     registrations). The panel turns its controls into that parameter struct on
//     the UI thread when a run starts.
// A task without a runner is not available yet: its task box item is disabled and
// a run of it is refused; a task with a runner but no panel shows an empty page.
// The registry is filled and read on the UI thread; a run takes its own copy of the
// runner when it starts.
#pragma once

#include <functional>
#include <map>
#include <span>
#include <string_view>

#include "runs/run_context.h"
#include "runs/run_rows.h"

namespace varnel {

struct TaskDefinition {
    int number;
    std::string_view itemPath;   // the task box item that carries the number
    std::string_view panelName;  // the panel's object name
    std::string_view section;    // the panel's INI section
    std::string_view flags;      // the panel's designed toolbar flags (see ParsePanelFlags)
    bool renamesFiles;           // produces a new name per row for the rename step
};

// In the order of the task numbers.
std::span<const TaskDefinition> TaskTable();
// nullptr for a number not in the table.
const TaskDefinition* FindTaskDefinition(int number);

// A panel's flags: three comma-separated parts for the toolbar's 预览, name scope
// and 转移 buttons; a part equal to "真" disables its button, any other (or a
// missing one) enables it.
struct PanelFlags {
    bool previewDisabled = false;
    bool scopeDisabled = false;
    bool transferDisabled = false;
};
PanelFlags ParsePanelFlags(std::string_view flags);

// The task box in item order: each item's depth (0 for the four groups), caption
// and task number; a group carries the number of one of its children.
struct TaskBoxEntry {
    int depth;
    std::string_view caption;
    int number;
};
std::span<const TaskBoxEntry> TaskBoxEntries();

using TaskRunner = std::function<void(RunContext& run, RunRows& rows)>;

// Said by a task box item, and by the refused run, of a task that has no runner yet.
inline constexpr const char* kTaskNotAvailableText = "此任务尚在开发中，暂不可用";

class TaskRegistry {
public:
    // Enters (or replaces) the runner of a task of the table; false for a number
    // not in the table.
    bool RegisterRunner(int number, TaskRunner runner);
    // The task's runner; empty when it has none.
    TaskRunner Runner(int number) const;
    // True when the task has a (non-empty) runner: only then can it run.
    bool HasRunner(int number) const;

private:
    std::map<int, TaskRunner> m_runners;
};

}  // namespace varnel

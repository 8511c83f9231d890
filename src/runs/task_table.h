// The batch tasks: the fixed table of the 29 tasks (number, place in the task box,
// panel, INI section, toolbar flags), the task box's tree, and the registry where
// each task's runner is entered with the type of its parameters.
//
// Adding a task (the later subsystems do this, one call per task):
//   - the parameter struct: a plain struct of what the panel's controls say;
//   - the core runner, a plain function
//         void RunMyTask(RunContext& run, RunRows& rows, const MyParams& params);
//     It loops with ForEachRunRow, writes previews and status words through
//     rows.SetCell, records undo entries in run.Record() and failures with
//     run.LogFailure (execute runs only), and never touches a widget;
//   - the Qt panel, a TypedTaskPanel<MyParams> (runs/ui/task_panel.h), whose
//     MakeParams turns its controls into that struct on the UI thread when a run
//     starts;
//   - one line in its family's registrations (renames/, filetasks/ or id3/, in
//     ui/*_task_registrations.cpp):
//         area.RegisterTask<MyParams>(kTaskMine, panelFactory, RunMyTask);
//     The panel and the runner must name the same MyParams, or it does not compile;
//   - a change the engine's entry types do not describe is recorded as the
//     family's own payload (run.Record().familyChanges, FamilyUndoEntry::Of), and
//     the family enters how its kind is undone and shown beside its tasks:
//         RegisterMyUndoKind(area.Globals().gUndoFamilies);   (runs/undo_families.h)
// A task without a runner is not available yet: its task box item is disabled and
// a run of it is refused. One with a runner but no panel shows an empty page, and
// its runner gets a default-made parameter struct.
// The registry is filled and read on the UI thread; a run takes its own copy of the
// runner when it starts.
#pragma once

#include <any>
#include <functional>
#include <map>
#include <span>
#include <string_view>
#include <typeindex>
#include <typeinfo>

#include "runs/run_context.h"
#include "runs/run_rows.h"

namespace varnel {

// The task numbers. The current one is stored in the settings, so they never change.
inline constexpr int kNoTask = 0;
inline constexpr int kTaskCommonRename = 1;
inline constexpr int kTaskReplace = 2;
inline constexpr int kTaskRegexRename = 3;
inline constexpr int kTaskDelete = 4;
inline constexpr int kTaskConvert = 5;
inline constexpr int kTaskClearChars = 6;
inline constexpr int kTaskInsert = 7;
inline constexpr int kTaskPinyinCase = 8;
inline constexpr int kTaskExtractElement = 9;
inline constexpr int kTaskExtractPosition = 10;
inline constexpr int kTaskExtractLine = 11;
inline constexpr int kTaskRegexExtract = 12;
inline constexpr int kTaskNameList = 13;
inline constexpr int kTaskFontName = 14;
inline constexpr int kTaskContentInsert = 15;
inline constexpr int kTaskContentReplace = 16;
inline constexpr int kTaskContentConvert = 17;
inline constexpr int kTaskSplit = 18;
inline constexpr int kTaskFileTimes = 19;
inline constexpr int kTaskAttributes = 20;
inline constexpr int kTaskShortcutProperties = 21;
inline constexpr int kTaskWriteElement = 22;
inline constexpr int kTaskPathTransfer = 23;
inline constexpr int kTaskCreate = 24;
inline constexpr int kTaskId3Read = 25;
inline constexpr int kTaskId3Write = 26;
inline constexpr int kTaskId3Convert = 27;
inline constexpr int kTaskId3Copy = 28;
inline constexpr int kTaskDownload = 111;

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

// A task's parameter struct on its way from the panel to the runner, in the one
// form all tasks share. Only the registry opens it, with the type its task entered.
class TaskParameters {
public:
    TaskParameters() = default;
    template <typename Params>
    static TaskParameters Of(Params params) {
        TaskParameters made;
        made.m_value = std::move(params);
        return made;
    }
    // No panel handed anything over.
    bool Empty() const { return !m_value.has_value(); }
    // The parameter struct's type (void's when empty).
    std::type_index Type() const { return std::type_index(m_value.type()); }

private:
    friend class TaskRegistry;
    template <typename Params>
    const Params* As() const {
        return std::any_cast<Params>(&m_value);
    }

    std::any m_value;
};

// A task's runner as it is written, over its own parameter struct.
template <typename Params>
using TypedTaskRunner = std::function<void(RunContext& run, RunRows& rows, const Params& params)>;
// A runner as the dispatcher calls it.
using TaskRunner = std::function<void(RunContext& run, RunRows& rows, const TaskParameters& params)>;

// Said by a task box item, and by the refused run, of a task that has no runner yet.
inline constexpr const char* kTaskNotAvailableText = "此任务尚在开发中，暂不可用";
// Said by the refused run whose panel handed over parameters of a type its runner
// does not take: the run would otherwise do nothing and report nothing.
inline constexpr const char* kTaskParametersMismatchText = "任务面板的参数与任务不符，运行未开始";

class TaskRegistry {
public:
    // Enters (or replaces) the runner of a task of the table, with its parameter
    // type given explicitly (RegisterRunner<MyParams>(number, runner)); false for a
    // number not in the table. An empty runner leaves the task without one. A run
    // without parameters (the task has no panel) gets a default-made struct.
    template <typename Params>
    bool RegisterRunner(int number, TypedTaskRunner<Params> runner) {
        if (!runner) return Enter(number, {}, typeid(Params));
        return Enter(
            number,
            [runner = std::move(runner)](RunContext& run, RunRows& rows, const TaskParameters& params) {
                if (params.Empty()) {
                    runner(run, rows, Params{});
                } else if (const Params* typed = params.As<Params>()) {
                    runner(run, rows, *typed);
                }
            },
            typeid(Params));
    }
    // The task's runner; empty when it has none.
    TaskRunner Runner(int number) const;
    // True when the task has a (non-empty) runner: only then can it run.
    bool HasRunner(int number) const;
    // True when the task's runner takes these parameters: they are of the type it
    // was entered with, or empty (it then gets a default-made struct).
    bool TakesParameters(int number, const TaskParameters& params) const;

private:
    struct Entry {
        TaskRunner runner;
        std::type_index params = typeid(void);
    };
    bool Enter(int number, TaskRunner runner, std::type_index params);

    std::map<int, Entry> m_runners;
};

}  // namespace varnel

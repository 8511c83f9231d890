#include "renames/text_rename_runners.h"

#include <optional>

#include "naming/delete_insert_name.h"
#include "naming/replace_name.h"
#include "renames/rename_task.h"
#include "runs/recorded_transfer.h"
#include "runs/rename_step.h"
#include "runs/undo_record.h"
#include "runs/user_text.h"

namespace varnel {

namespace {

// The part a run of the replace tasks works on.
NamePart ScopeOf(const RunContext& run, bool wholePath) {
    return wholePath ? NamePart::WholePath : NamePartOf(run.Settings().nameScope);
}

// The row loop of the replace tasks: names go to the rename step, or in whole-path
// mode full paths to the path step. make(input, replacement) gives the new name or
// path, or the error that fails the row; the replacement is the typed one expanded
// for the row (a whole path takes it as typed).
template <typename Make>
void RunNameOrPathTask(RunContext& run, RunRows& rows, bool wholePath, bool copy, const std::string& replacement,
                       UserTextForm form, Make&& make) {
    if (!wholePath) {
        const UserTextExpander user(run);
        const bool typed = user.Needed(replacement);
        RunRenameTask(run, rows, [&](std::size_t row, const std::string& name) -> std::expected<std::string, Error> {
            // The folder matters to no part of a name: it is read only for an expansion.
            if (!typed) return make(name, replacement);
            auto expanded = user.Expand(replacement, rows.Folder(row) + name, row, form);
            if (!expanded) return std::unexpected(expanded.error());
            return make(name, *expanded);
        });
        return;
    }
    PathChangeStep step(run, rows, copy);
    ForEachRunRow(run, rows, [&](std::size_t row) {
        const std::string name = rows.Name(row);
        if (name.empty()) return;  // the row has left the list
        const std::string oldPath = rows.Folder(row) + name;
        if (std::expected<std::string, Error> newPath = make(oldPath, replacement)) {
            step.ChangeRowPath(row, oldPath, *newPath);
        } else {
            step.FailRow(row, oldPath, FailureReason(newPath.error()));
        }
    });
}

}  // namespace

CachedRegex& RenameRegexCache() {
    static CachedRegex cache;
    return cache;
}

PathChangeStep::PathChangeStep(RunContext& run, RunRows& rows, bool copy, PosixApi& os)
    : m_run(run), m_rows(rows), m_copy(copy), m_os(os) {
    if (m_run.IsExecute()) m_run.Record().copyFlag = copy;
}

bool PathChangeStep::FailRow(std::size_t row, const std::string& oldPath, std::string reason) {
    m_rows.SetCell(row, ListColumn::Preview, FailedStatus(reason));
    if (m_run.IsExecute()) m_run.LogFailure(oldPath, std::move(reason));
    return false;
}

bool PathChangeStep::ChangeRowPath(std::size_t row, const std::string& oldPath, const std::string& newPath) {
    const std::optional<FolderAndName> target = SplitFolderAndName(newPath);
    if (!target) return FailRow(row, oldPath, kNotAWholePath);
    if (auto problem = FileNameProblem(target->name)) return FailRow(row, oldPath, std::move(*problem));
    if (!m_run.IsExecute()) {
        m_rows.SetCell(row, ListColumn::Preview, newPath);
        return true;
    }
    // Nothing to do: nothing moves, nothing is recorded (a copy onto itself would
    // make undo delete the original).
    if (newPath == oldPath) return true;
    if (auto moved = TransferPathRecorded(m_run, oldPath, newPath, m_copy, m_os); !moved) {
        return FailRow(row, oldPath, std::move(moved.error()));
    }
    m_rows.SetCell(row, ListColumn::Name, target->name);
    m_rows.SetCell(row, ListColumn::Folder, target->folder);
    // The rows under a moved folder name it where it is now; a copy leaves them be.
    if (!m_copy && m_rows.IsFolder(row)) m_rows.FollowFolderMove(oldPath, newPath);
    return true;
}

void RunReplaceTask(RunContext& run, RunRows& rows, const ReplaceParams& given) {
    ReplaceParams params = given;
    params.scope = ScopeOf(run, params.wholePath);
    RunNameOrPathTask(run, rows, params.wholePath, params.copy, given.replacement, UserTextForm::Name,
                      [&](const std::string& input, const std::string& replacement) -> std::expected<std::string, Error> {
                          params.replacement = replacement;
                          return MakeReplacedName(input, params);
                      });
}

void RunRegexReplaceTask(RunContext& run, RunRows& rows, const RegexReplaceParams& given) {
    RegexReplaceParams params = given;
    params.scope = ScopeOf(run, params.wholePath);
    // An empty expression, or one that does not compile, changes no name; the
    // panel has shown the compile error before the run.
    std::optional<RegexObject> regex;
    if (!params.expression.empty()) {
        if (auto compiled = RenameRegexCache().Get(params.expression, RenameRegexFlags(params))) {
            regex = std::move(*compiled);
        }
    }
    RunNameOrPathTask(run, rows, params.wholePath, params.copy, given.replacement, UserTextForm::RegexReplacement,
                      [&](const std::string& input, const std::string& replacement) -> std::expected<std::string, Error> {
                          if (!regex) return input;
                          params.replacement = replacement;
                          return MakeRegexReplacedName(input, params, *regex);
                      });
}

void RunDeleteTextTask(RunContext& run, RunRows& rows, const DeleteParams& given) {
    DeleteParams params = given;
    params.scope = NamePartOf(run.Settings().nameScope);
    RunRenameTaskWithTexts(
        run, rows, params,
        [](std::size_t, const std::string& name, const DeleteParams& p) { return MakeDeletedName(name, p); },
        SystemPosix(), &DeleteParams::replacement);
}

void RunInsertTextTask(RunContext& run, RunRows& rows, const InsertParams& given) {
    InsertParams params = given;
    params.scope = NamePartOf(run.Settings().nameScope);
    RunRenameTaskWithTexts(
        run, rows, params,
        [](std::size_t, const std::string& name, const InsertParams& p) { return MakeInsertedName(name, p); },
        SystemPosix(), &InsertParams::text);
}

}  // namespace varnel

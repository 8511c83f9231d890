#include "filetasks/create_task.h"

#include <algorithm>
#include <cerrno>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>

#include "fileops/copy_move.h"
#include "naming/name_parts.h"
#include "platform/owned_fd.h"
#include "runs/recorded_transfer.h"
#include "runs/rename_step.h"
#include "runs/run_meta.h"
#include "runs/undo_record.h"
#include "utilities/error.h"
#include "utilities/path_routines.h"
#include "utilities/user_notifier.h"

namespace varnel {

namespace {

inline constexpr const char* kFolderChainFailed = "无法创建所在文件夹";

std::string Trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return std::string(text);
}

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// Why an absolute path cannot be made here: a part of it that is no usable name
// ("." and ".." included, so that a path never climbs out of where it says).
std::optional<std::string> PathProblem(std::string_view path) {
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string_view::npos) end = path.size();
        if (end > start) {
            if (auto problem = FileNameProblem(path.substr(start, end - start))) return problem;
        }
        start = end + 1;
    }
    return std::nullopt;
}

class Creator {
public:
    Creator(RunContext& run, const CreateTaskParams& params, CreateOutcome& out, PosixApi& os)
        : m_run(run), m_params(params), m_out(out), m_os(os), m_execute(run.IsExecute()) {
        if (params.method != CreateMethod::ThisToThat) return;
        // Each item is an existing path to copy or a name, the same for every folder.
        for (const std::string& given : params.sourceItems) {
            Item item{WithoutTrailingSlash(given)};
            if (item.text.empty()) continue;
            struct stat source {};
            if (item.text.front() == '/' && m_os.Lstat(item.text.c_str(), &source) == 0) {
                item.existing = true;
                item.isFolder = S_ISDIR(source.st_mode);
            }
            m_items.push_back(std::move(item));
        }
    }

    // One line of the absolute or dynamic methods.
    void MakeLine(const std::string& line) {
        const std::string path = WithoutTrailingSlash(line);
        if (path.empty()) return;
        if (path.front() != '/') {
            ++m_out.skippedLines;
            return;
        }
        if (auto problem = PathProblem(path)) return Fail(path, std::move(*problem));
        MakeAt(path, !m_params.createFile);
    }

    // The items of 此列表 in one folder of 彼列表 (absolute, ending in "/").
    void MakeItemsIn(const std::string& folder) {
        if (m_execute) {
            std::vector<std::string> made;
            const bool chain = EnsureFolderChain(folder, made, m_os);
            AppendCreatedPaths(m_run.Record().createdFolders, made, m_os);
            if (!chain) return Fail(WithoutTrailingSlash(folder), kFolderChainFailed);
        }
        for (const Item& item : m_items) {
            if (item.existing) {
                CopyInto(item.text, folder + GetFileNameOfPath(item.text), item.isFolder);
            } else if (auto problem = FileNameProblem(item.text)) {
                Fail(folder + item.text, std::move(*problem));
            } else {
                MakeAt(folder + item.text, !m_params.createFile);
            }
            if (m_run.ShouldStopRun()) {
                m_stopped = true;
                return;
            }
        }
    }

    bool Stopped() const { return m_stopped; }

private:
    void Fail(const std::string& path, std::string reason) { m_run.LogFailure(path, std::move(reason)); }
    void List(const std::string& path, bool isFolder) { m_out.rows.push_back({path, isFolder}); }

    // What this run made, for undo: a file or a folder made from nothing.
    void RecordMade(const std::string& path) {
        m_run.Record().transfers.push_back({path, {}, ReadPathIdentity(path, m_os).value_or(PathIdentity{}), {}});
    }

    // Creates the missing folders above path; false (the row failed) when it cannot.
    bool EnsureParents(const std::string& path) {
        std::vector<std::string> made;
        const bool chain = EnsureFolderChain(path, made, m_os);
        AppendCreatedPaths(m_run.Record().createdFolders, made, m_os);
        if (!chain) Fail(path, kFolderChainFailed);
        return chain;
    }

    // An empty file, or a folder, at path; one that exists is listed and left alone.
    void MakeAt(const std::string& path, bool folder) {
        if (!m_execute) return List(path, folder);
        // Straight away first: the folder is there for most paths, and one call makes it.
        OwnedFd fd;
        const auto attempt = [&] {
            if (folder) return m_os.Mkdir(path.c_str(), 0777);
            fd = OwnedFd(m_os.Open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666), m_os);
            return fd.IsOpen() ? 0 : -1;
        };
        int result = attempt();
        if (result != 0 && errno == ENOENT) {
            if (!EnsureParents(path)) return;
            result = attempt();
        }
        if (result != 0) {
            const int error = errno;
            if (error == EEXIST) {
                struct stat existing {};
                ++m_out.existed;
                return List(path, m_os.Lstat(path.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode));
            }
            return Fail(path, SystemErrorReason(error));
        }
        if (folder) {
            AppendCreatedPaths(m_run.Record().createdFolders, {path}, m_os);
        } else if (auto closed = fd.Close(path); !closed) {
            // It is there, so undo may take it, but it is not reported as made.
            RecordMade(path);
            return Fail(path, FailureReason(closed.error()));
        }
        RecordMade(path);
        ++m_out.made;
        List(path, folder);
    }

    // A copy of an existing path; a target that exists is listed and left alone.
    void CopyInto(const std::string& source, const std::string& target, bool isFolder) {
        if (!m_execute) return List(target, isFolder);
        struct stat existing {};
        if (m_os.Lstat(target.c_str(), &existing) == 0) {
            ++m_out.existed;
            return List(target, S_ISDIR(existing.st_mode));
        }
        if (auto copied = TransferPathRecorded(m_run, source, target, true, m_os); !copied) {
            return Fail(target, std::move(copied.error()));
        }
        ++m_out.made;
        List(target, isFolder);
    }

    struct Item {
        std::string text;
        bool existing = false;
        bool isFolder = false;
    };

    RunContext& m_run;
    const CreateTaskParams& m_params;
    std::vector<Item> m_items;
    CreateOutcome& m_out;
    PosixApi& m_os;
    bool m_execute;
    bool m_stopped = false;
};

// How many paths the dynamic method would make in this run.
std::int64_t DynamicCount(const RunContext& run, const CreateTaskParams& params) {
    if (run.Mode() != RunMode::AutoPreview) return params.dynamicLimit;
    return std::min<std::int64_t>(params.dynamicLimit, std::max(run.Settings().autoPreviewLimit, 1));
}

}  // namespace

std::string DynamicLimitQuestion(std::int64_t limit) {
    return "动态上限为 " + std::to_string(limit) + " ，超过了 " + std::to_string(kDynamicLimitCap) +
           " 。确定要创建这么多文件或文件夹吗？";
}

std::string DynamicLimitRefusal(std::int64_t cap) {
    return "动态上限超过了 " + std::to_string(cap) + " ，未创建任何文件或文件夹。";
}

std::string CreateSummaryText(std::size_t made, std::size_t existed) {
    std::string text = "新建 " + std::to_string(made) + " 项";
    if (existed > 0) text += "，" + std::to_string(existed) + " 项已存在（未改动）";
    return text;
}

std::string SkippedLinesNotice(std::size_t count) {
    return "已跳过 " + std::to_string(count) + " 行：不是以 / 开头的完整路径。";
}

std::vector<std::string> SplitCreateList(std::string_view text) {
    std::vector<std::string> lines;
    if (text.empty()) return lines;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = text.find('\n', start);
        std::string_view line = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return lines;
}

CreateOutcome CreatePaths(RunContext& run, const CreateTaskParams& params, PosixApi& os) {
    CreateOutcome out;
    if (params.method == CreateMethod::DynamicPaths &&
        (params.dynamicLimit < 1 || DynamicCount(run, params) > params.dynamicCap)) {
        return out;
    }
    out.ran = true;
    Creator creator(run, params, out, os);
    switch (params.method) {
        case CreateMethod::ThisToThat: {
            std::int64_t row = 0;
            for (const std::string& given : params.targetFolders) {
                const std::string folder = Trimmed(given);
                if (folder.empty()) continue;
                if (folder.front() != '/') {
                    ++out.skippedLines;
                    continue;
                }
                if (auto problem = PathProblem(folder)) {
                    run.LogFailure(folder, std::move(*problem));
                    continue;
                }
                // The auto-preview's limit counts target folders.
                run.SetCurrentRow(++row);
                creator.MakeItemsIn(WithTrailingSlash(folder));
                if (creator.Stopped() || run.ShouldStopRun()) break;
            }
            break;
        }
        case CreateMethod::AbsolutePaths:
            for (std::size_t i = 0; i < params.absolutePaths.size(); ++i) {
                run.SetCurrentRow(static_cast<std::int64_t>(i) + 1);
                creator.MakeLine(params.absolutePaths[i]);
                if (run.ShouldStopRun()) break;
            }
            break;
        case CreateMethod::DynamicPaths: {
            RunMetaEnvironment meta(run, os);
            const std::string pattern = WithoutTrailingSlash(params.dynamicTemplate);
            for (std::int64_t row = 1; row <= params.dynamicLimit; ++row) {
                run.SetCurrentRow(row);
                const std::string numbered = ReplaceMarks(pattern, '*', std::to_string(row));
                MetaExpansionRequest request;
                request.isFile = false;
                request.text = numbered;
                request.row = row;
                if (auto path = ExpandMetaVariables(meta.Get(), request)) {
                    creator.MakeLine(*path);
                } else {
                    run.LogFailure(numbered, FailureReason(path.error()));
                }
                if (run.ShouldStopRun()) break;
            }
            break;
        }
    }
    return out;
}

void RunCreateTask(RunContext& run, RunRows&, const CreateTaskParams& params, CreateOutcome* outcome,
                   PosixApi& os) {
    // Undo deletes what was made.
    if (run.IsExecute()) run.Record().copyFlag = true;
    CreateOutcome result = CreatePaths(run, params, os);
    if (!result.ran) {
        if (run.IsExecute()) {
            ShowTrayNotice(params.dynamicLimit < 1 ? std::string(kDynamicLimitTooSmall)
                                                   : DynamicLimitRefusal(params.dynamicCap));
        }
    } else {
        if (result.skippedLines > 0 && run.Mode() != RunMode::AutoPreview) {
            ShowTrayNotice(SkippedLinesNotice(result.skippedLines));
        }
        if (run.IsExecute()) run.SetRunSummary(CreateSummaryText(result.made, result.existed));
    }
    if (outcome != nullptr) *outcome = std::move(result);
}

}  // namespace varnel

// A failing row says why, in the preview as in the execute run: the status cell
// holds "×" and the reason its step gave, and the execute run logs the same reason.
#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "filetasks/path_task.h"
#include "naming/delete_insert_name.h"
#include "naming/replace_name.h"
#include "renames/char_rename_runners.h"
#include "renames/rename_task.h"
#include "renames/text_rename_runners.h"
#include "support/dispatched_run.h"
#include "support/notice_recorder.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

struct FailingRow {
    const char* what;
    std::vector<std::string> files;  // in the work folder; the first one is the row
    int task;
    std::function<TaskParameters(const std::string& work)> parameters;
    std::function<void(RunSettings&, const std::string& work)> settings;
    const char* previewReason;  // nullptr: the preview cannot know, the row shows its new name
    const char* executeReason;
};

TaskParameters Replace(const char* find, std::string with) {
    ReplaceParams params;
    params.findText = find;
    params.replacement = std::move(with);
    return TaskParameters::Of(params);
}

TEST(FailureReasons, EveryFailedRowShowsItsReasonInPreviewAndExecute) {
    const auto none = [](RunSettings&, const std::string&) {};
    const auto transferTo = [](const std::string& folder) {
        return [folder](RunSettings& settings, const std::string& work) {
            settings.transferMode = true;
            settings.transferFolder = folder.empty() ? folder : work + "/" + folder;
        };
    };
    const FailingRow cases[] = {
        {"a dot name", {"a"}, kTaskReplace, [](const std::string&) { return Replace("a", ".."); }, none,
         "名称不能是“.”或“..”", "名称不能是“.”或“..”"},
        {"a control character", {"a"}, kTaskReplace, [](const std::string&) { return Replace("a", "a\tb"); }, none,
         "名称含有控制字符", "名称含有控制字符"},
        {"an over-long name", {"a"}, kTaskReplace,
         [](const std::string&) { return Replace("a", std::string(300, 'n')); }, none, "名称长于 255 字节",
         "名称长于 255 字节"},
        {"a taken name", {"a", "b"}, kTaskReplace, [](const std::string&) { return Replace("a", "b"); }, none,
         nullptr, "目标已存在"},
        {"a name that is no text", {"㪁"}, kTaskConvert,
         [](const std::string&) {
             ConvertOptions options;
             options.scope = ConvertScope::WholeName;
             options.codec = CodecConversion::Utf8ToUnicode;
             return TaskParameters::Of(options);
         },
         none, "转换结果不是可读的文字，不能作文件名", "转换结果不是可读的文字，不能作文件名"},
        {"a transfer onto an existing copy", {"a", "out/a"}, kTaskReplace,
         [](const std::string&) { return Replace("x", "y"); }, transferTo("out/"), nullptr, "新路径已存在"},
        {"a transfer without a folder", {"a"}, kTaskReplace, [](const std::string&) { return Replace("x", "y"); },
         transferTo(""), nullptr, "没有设置转移目录"},
        {"a transfer of a dot name", {"a"}, kTaskReplace, [](const std::string&) { return Replace("a", "."); },
         transferTo("out/"), "名称不能是“.”或“..”", "名称不能是“.”或“..”"},
        {"a new folder where the file is", {"noext"}, kTaskPathTransfer,
         [](const std::string& work) {
             // As "#目录路径/#主名" gives it for a file without an extension.
             PathTaskParams params;
             params.mode = PathMode::Move;
             params.newFolder = work + "/#主名";
             return TaskParameters::Of(params);
         },
         none, "新目录与这个文件同名，无法创建", "新目录与这个文件同名，无法创建"},
    };
    for (const FailingRow& c : cases) {
        SCOPED_TRACE(c.what);
        testing::NoticeRecorder notices;
        testing::TempDir dir;
        const std::string work = dir / "work";
        for (const std::string& file : c.files) {
            fs::create_directories(fs::path(work + "/" + file).parent_path());
            dir.Write("work/" + file, file);
        }
        testing::DispatchedRun run;
        run.tasks.RegisterRunner<ReplaceParams>(kTaskReplace, RunReplaceTask);
        run.tasks.RegisterRunner<ConvertOptions>(kTaskConvert, RunConvertTask);
        run.tasks.RegisterRunner<PathTaskParams>(
            kTaskPathTransfer,
            [](RunContext& context, RunRows& rows, const PathTaskParams& params) { RunPathTask(context, rows, params); });
        c.settings(run.host.settings, work);
        run.store.AppendRow(work, c.files[0], {}, 0);

        run.Run(c.task, c.parameters(work), false);
        const std::string preview = run.store.GetCellText(0, ListColumn::Preview);
        if (c.previewReason != nullptr) {
            EXPECT_EQ(preview, std::string(kStatusFailed) + " " + c.previewReason);
        } else {
            EXPECT_FALSE(preview.starts_with(kStatusFailed)) << preview;
        }

        run.Run(c.task, c.parameters(work), true);
        EXPECT_EQ(run.store.GetCellText(0, ListColumn::Preview), std::string(kStatusFailed) + " " + c.executeReason);
        ASSERT_EQ(run.host.outcomes.size(), 2u);
        EXPECT_EQ(run.host.outcomes[1].failedPaths, (std::vector<std::string>{work + "/" + c.files[0]}));
        EXPECT_EQ(run.host.outcomes[1].failureReasons, (std::vector<std::string>{c.executeReason}));
        EXPECT_TRUE(fs::exists(work + "/" + c.files[0]));
    }
}

}  // namespace
}  // namespace varnel

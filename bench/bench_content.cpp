// The content tasks at scale, through the run dispatcher and its worker with the
// list listener attached, as a user runs them: a regular-expression replace over
// 1,000 files of text against `sed -i -E` doing the same replacement (sed also
// writes a temporary file and renames it), a GBK to UTF-8 conversion of the same
// amount against `iconv` writing new files, and a split of one large file into
// 100 MB pieces against `split -b`. Then the peak memory of rewriting one large
// file, measured in a child process, against the undo spool's chunk. Sizes:
// VARNEL_BENCH_CONTENT_MB (1,024, spread over 1,000 files) and
// VARNEL_BENCH_SPLIT_MB (2,048). Each figure is the median of paired runs.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "dispatcher_window.h"
#include "filetasks/content_convert.h"
#include "filetasks/content_replace.h"
#include "filetasks/split_task.h"
#include "peer_timing.h"
#include "runs/task_table.h"
#include "scratch_folder.h"
#include "utilities/codec.h"

namespace {

namespace fs = std::filesystem;
using varnel::bench::Goal;
using varnel::bench::Samples;
using varnel::bench::Seconds;
using varnel::bench::Shell;
using varnel::bench::Window;

constexpr int kFiles = 1000;
constexpr std::int64_t kMegabyte = 1024 * 1024;

int SizeFromEnvironment(const char* name, int fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && std::atoi(text) > 0 ? std::atoi(text) : fallback;
}

// Lines of text up to `bytes`, a number in every line for the expression to find.
std::string TextOf(std::int64_t bytes, bool chinese) {
    std::string text;
    text.reserve(static_cast<std::size_t>(bytes) + 100);
    for (int line = 0; static_cast<std::int64_t>(text.size()) < bytes; ++line) {
        text += chinese ? "第" + std::to_string(line) + "行 批量任务处理 foo" : "line " + std::to_string(line) + " of foo";
        text += std::to_string(line % 977);
        text += " and some more words to fill it\n";
    }
    text.resize(static_cast<std::size_t>(bytes));
    return text;
}

void WriteFiles(const std::string& folder, const std::string& content) {
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (int i = 0; i < kFiles; ++i) {
        std::ofstream(folder + "/t" + std::to_string(i) + ".txt", std::ios::binary) << content;
    }
}

// The list as a load leaves it: one row per file of the folder (not timed).
void ListFolder(Window& window, const std::string& folder) {
    window.listener.Call([&] { window.store.Clear(); });
    for (int i = 0; i < kFiles; ++i) window.store.AppendRow(folder, "t" + std::to_string(i) + ".txt", {}, 0);
    window.listener.Call([&] { window.listener.Sync(); });
}

// Drops the runs' undo records, and with them their spooled bytes.
void ForgetUndo(Window& window) {
    window.listener.Call([&] {
        window.history.clear();
        window.current = {};
    });
}

void Check(bool ok, const char* what) {
    if (ok) return;
    std::printf("benchmark check failed: %s\n", what);
    std::exit(1);
}

// Copies the pristine files to `copy` and lists them (not timed), then times an
// execute run over them; its undo data is dropped afterwards.
double ExecuteOnFreshCopy(Window& window, const std::string& pristine, const std::string& copy, const char* what) {
    Shell("rm -rf '" + copy + "' && cp -r '" + pristine + "' '" + copy + "'");
    ListFolder(window, copy);
    const double seconds = window.Run(varnel::RunMode::Execute);
    Check(window.host.failures == 0, what);
    ForgetUndo(window);
    return seconds;
}

// The content replace task, its undo data in `spoolFolder`.
Window ContentReplaceWindow(const std::string& spoolFolder) {
    return Window(
        varnel::kTaskContentReplace,
        [](varnel::TaskRegistry& tasks) {
            tasks.RegisterRunner<varnel::ContentReplaceParams>(
                varnel::kTaskContentReplace,
                [](varnel::RunContext& run, varnel::RunRows& rows, const varnel::ContentReplaceParams& p) {
                    varnel::RunContentReplaceTask(run, rows, p);
                });
        },
        spoolFolder);
}

void ReplaceBenchmark(const std::string& scratch, std::int64_t totalBytes, int runs) {
    const std::string pristine = scratch + "/bench-content-pristine";
    const std::string ours = scratch + "/bench-content-ours";
    const std::string peer = scratch + "/bench-content-sed";
    WriteFiles(pristine, TextOf(totalBytes / kFiles, false));
    Window window = ContentReplaceWindow(scratch + "/bench-content-spool");
    varnel::ContentReplaceParams params;
    params.findText = "foo([0-9]+)";
    params.replaceText = "bar$1";
    params.useRegex = true;
    params.globalMatch = true;
    window.host.parameters = varnel::TaskParameters::Of(params);
    Samples oursTimes;
    Samples sedTimes;
    varnel::bench::Paired(
        runs,
        [&] { return ExecuteOnFreshCopy(window, pristine, ours, "replace rows failed"); },
        [&] {
            Shell("rm -rf '" + peer + "' && cp -r '" + pristine + "' '" + peer + "'");
            return Seconds([&] { Shell("sed -i -E 's/foo([0-9]+)/bar\\1/g' '" + peer + "'/*.txt"); });
        },
        oursTimes, sedTimes);
    Check(Shell("cmp -s '" + ours + "/t7.txt' '" + peer + "/t7.txt'"), "ours and sed differ");
    std::printf("(%d files, %lld MB of text)\n", kFiles, static_cast<long long>(totalBytes / kMegabyte));
    Goal("regex replace in files vs sed -i -E", oursTimes, sedTimes, 1.5);
    for (const std::string& folder : {pristine, ours, peer}) fs::remove_all(folder);
}

void ConvertBenchmark(const std::string& scratch, std::int64_t totalBytes, int runs) {
    const std::string pristine = scratch + "/bench-convert-pristine";
    const std::string ours = scratch + "/bench-convert-ours";
    const std::string peer = scratch + "/bench-convert-iconv";
    const auto gbk = varnel::EncodeToCodec(TextOf(totalBytes / kFiles, true), "GBK");
    Check(gbk.has_value(), "GBK text");
    WriteFiles(pristine, gbk->substr(0, gbk->rfind('\n') + 1));
    Window window(varnel::kTaskContentConvert,
                  [](varnel::TaskRegistry& tasks) {
                      tasks.RegisterRunner<varnel::ConvertOptions>(
                          varnel::kTaskContentConvert,
                          [](varnel::RunContext& run, varnel::RunRows& rows, const varnel::ConvertOptions& o) {
                              varnel::RunContentConvertTask(run, rows, o);
                          });
                  },
                  scratch + "/bench-convert-spool");
    varnel::ConvertOptions options;
    options.codec = varnel::CodecConversion::AnsiToUtf8;
    window.host.parameters = varnel::TaskParameters::Of(options);
    Samples oursTimes;
    Samples iconvTimes;
    varnel::bench::Paired(
        runs,
        [&] { return ExecuteOnFreshCopy(window, pristine, ours, "convert rows failed"); },
        [&] {
            Shell("rm -rf '" + peer + "' && mkdir -p '" + peer + "'");
            return Seconds([&] {
                Shell("cd '" + pristine + "' && for f in *.txt; do iconv -f GBK -t UTF-8 \"$f\" > '" + peer +
                      "'/\"$f\" || exit 1; done");
            });
        },
        oursTimes, iconvTimes);
    Check(Shell("cmp -s '" + ours + "/t7.txt' '" + peer + "/t7.txt'"), "ours and iconv differ");
    Goal("GBK to UTF-8 content convert vs iconv", oursTimes, iconvTimes, 1.5);
    for (const std::string& folder : {pristine, ours, peer}) fs::remove_all(folder);
}

void SplitBenchmark(const std::string& scratch, std::int64_t bytes, int runs) {
    const std::string folder = scratch + "/bench-split";
    const std::string source = folder + "/big.bin";
    fs::remove_all(folder);
    fs::create_directories(folder);
    Check(Shell("head -c " + std::to_string(bytes) + " /dev/urandom > '" + source + "'"), "source file");
    Window window(varnel::kTaskSplit, [](varnel::TaskRegistry& tasks) {
        tasks.RegisterRunner<varnel::SplitParams>(
            varnel::kTaskSplit, [](varnel::RunContext& run, varnel::RunRows& rows, const varnel::SplitParams& p) {
                varnel::RunFileSplitTask(run, rows, p);
            });
    });
    varnel::SplitParams params;
    params.splitType = varnel::SplitType::ByteSize;
    params.position = 100 * kMegabyte;
    window.host.parameters = varnel::TaskParameters::Of(params);
    Samples oursTimes;
    Samples splitTimes;
    varnel::bench::Paired(
        runs,
        [&] {
            fs::remove_all(folder + "/big");
            window.listener.Call([&] { window.store.Clear(); });
            window.store.AppendRow(folder, "big.bin", {}, 0);
            const double seconds = window.Run(varnel::RunMode::Execute);
            Check(window.host.failures == 0, "split failed");
            ForgetUndo(window);
            return seconds;
        },
        [&] {
            fs::remove_all(folder + "/peer");
            fs::create_directories(folder + "/peer");
            return Seconds([&] { Shell("split -b 100M '" + source + "' '" + folder + "/peer/big_'"); });
        },
        oursTimes, splitTimes);
    Check(Shell("cmp -s '" + folder + "/big/big_2.bin' '" + folder + "/peer/big_ab'"), "pieces differ");
    std::printf("(one file of %lld MB into 100 MB pieces)\n", static_cast<long long>(bytes / kMegabyte));
    Goal("split into 100 MB pieces vs split -b", oursTimes, splitTimes, 1.3);
    fs::remove_all(folder);
}

// Rewrites one large file (a replace in its text, of plain text or of an
// expression) in a child process and reports the child's peak memory against the
// file's size.
void RewriteMemory(const std::string& scratch, std::int64_t bytes, bool regex) {
    const std::string folder = scratch + "/bench-memory";
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::ofstream(folder + "/big.txt", std::ios::binary) << TextOf(bytes, false);
    const pid_t child = ::fork();
    if (child == 0) {
        Window window = ContentReplaceWindow(folder + "/spool");
        varnel::ContentReplaceParams params;
        params.findText = regex ? "fo(o)" : "foo";
        params.replaceText = regex ? "ba$1" : "bar";
        params.useRegex = regex;
        params.globalMatch = true;
        window.host.parameters = varnel::TaskParameters::Of(params);
        window.store.AppendRow(folder, "big.txt", {}, 0);
        window.Run(varnel::RunMode::Execute);
        std::_Exit(window.host.failures == 0 ? 0 : 1);
    }
    int status = 0;
    struct rusage usage {};
    ::wait4(child, &status, 0, &usage);
    Check(WIFEXITED(status) && WEXITSTATUS(status) == 0, "large rewrite failed");
    const double peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    const double fileMb = static_cast<double>(bytes) / kMegabyte;
    // Bounded means far below the file: a quarter of it at most.
    std::printf("(peak %.0f MB while rewriting a %.0f MB file)\n", peakMb, fileMb);
    varnel::bench::Budget(regex ? "memory while rewriting one large file (expression)"
                                : "memory while rewriting one large file",
                          peakMb, "MB", fileMb / 4);
    fs::remove_all(folder);
}

}  // namespace

int main() {
    const std::string scratch = varnel::bench::ScratchFolder();
    const std::int64_t contentBytes = SizeFromEnvironment("VARNEL_BENCH_CONTENT_MB", 1024) * kMegabyte;
    const std::int64_t splitBytes = SizeFromEnvironment("VARNEL_BENCH_SPLIT_MB", 2048) * kMegabyte;
    const int runs = varnel::bench::PairedRuns();
    // First, before any thread of this process.
    RewriteMemory(scratch, splitBytes, false);
    RewriteMemory(scratch, splitBytes, true);
    ReplaceBenchmark(scratch, contentBytes, runs);
    ConvertBenchmark(scratch, contentBytes, runs);
    SplitBenchmark(scratch, splitBytes, runs);
    return 0;
}

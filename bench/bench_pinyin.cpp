// The pinyin rename task at scale: previewing 100,000 rows of Chinese names through
// the run dispatcher and its worker thread, with the list listener attached, until
// the run's result is published on the UI thread, set against ICU's own tool
// (`uconv -x Han-Latin`, package icu-devtools) writing the readings of the same
// names, a transliteration of its own: the ratio is told as information. Each
// figure is the median of paired runs (VARNEL_BENCH_RUNS, at least 7),
// sides alternating. Size: VARNEL_BENCH_PINYIN_ROWS (100,000).
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "dispatcher_window.h"
#include "naming/common_hanzi.h"
#include "naming/pinyin_name.h"
#include "peer_timing.h"
#include "renames/char_rename_runners.h"
#include "runs/task_table.h"
#include "scratch_folder.h"

namespace {

using varnel::bench::Samples;
using varnel::bench::Seconds;
using varnel::bench::Shell;

// Names of two to four common characters, a number and an extension, from a fixed seed.
std::vector<std::string> ChineseNames(int count) {
    const std::string_view hanzi = varnel::CommonHanzi();
    std::mt19937 random(20261210);
    std::uniform_int_distribution<int> pick(0, varnel::kCommonHanziCount - 1);
    std::uniform_int_distribution<int> length(2, 4);
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(count));
    for (int i = 1; i <= count; ++i) {
        std::string name;
        for (int n = length(random); n > 0; --n) name += hanzi.substr(static_cast<std::size_t>(pick(random)) * 3, 3);
        names.push_back(name + " " + std::to_string(i) + ".mp3");
    }
    return names;
}

void PinyinPreviewBenchmark(const std::string& scratch, int count, int runs) {
    const std::vector<std::string> names = ChineseNames(count);
    const std::string namesFile = scratch + "/bench-pinyin-names.txt";
    {
        std::ofstream out(namesFile);
        for (const std::string& name : names) out << name << '\n';
    }
    varnel::bench::Window window(varnel::kTaskPinyinCase, [](varnel::TaskRegistry& tasks) {
        tasks.RegisterRunner<varnel::PinyinParams>(varnel::kTaskPinyinCase, varnel::RunPinyinTask);
    });
    varnel::PinyinParams params;
    params.letterCase = varnel::PinyinCase::SyllablesUpper;
    window.host.parameters = varnel::TaskParameters::Of(params);
    Samples ours;
    Samples uconv;
    varnel::bench::Paired(
        runs,
        [&] {
            // A freshly loaded list each time: no preview texts yet (not timed).
            window.listener.Call([&] { window.store.Clear(); });
            for (const std::string& name : names) window.store.AppendRow("/home/用户/音乐/", name, {}, 0);
            window.listener.Call([&] { window.listener.Sync(); });
            return window.Run(varnel::RunMode::FullPreview);
        },
        [&] {
            return Seconds([&] { Shell("uconv -x Han-Latin '" + namesFile + "' > '" + namesFile + ".out'"); });
        },
        ours, uconv);
    const std::string expected = varnel::MakePinyinName(names[0], params);
    if (window.store.GetCellText(0, 1) != expected || window.host.failures != 0) {
        std::printf("unexpected preview %s (wanted %s)\n", window.store.GetCellText(0, 1).c_str(), expected.c_str());
        std::exit(1);
    }
    std::printf("(%d rows previewed, e.g. %s -> %s)\n", count, names[0].c_str(), expected.c_str());
    // uconv's transliteration is not our reading of a name (tones, spacing, case) and
    // pays its start-up: a different piece of work, so the ratio is information.
    varnel::bench::Information("pinyin preview vs uconv -x Han-Latin", ours, uconv);
    std::filesystem::remove(namesFile);
    std::filesystem::remove(namesFile + ".out");
}

}  // namespace

int main() {
    const std::string scratch = varnel::bench::ScratchFolder();
    const char* rows = std::getenv("VARNEL_BENCH_PINYIN_ROWS");
    PinyinPreviewBenchmark(scratch, rows ? std::atoi(rows) : 100'000, varnel::bench::PairedRuns());
    return 0;
}

// Text routines that run once per row of the file list: a million-row list calls
// them a million times per column, so their cost per call is what matters. No other
// program does this work, so the figures are information: they set no goal.
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "utilities/path_routines.h"
#include "utilities/utf8_text.h"

namespace {

std::vector<std::string> MakePaths(std::size_t count) {
    std::vector<std::string> paths;
    paths.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        paths.push_back("/home/用户/照片/2024年/假期 " + std::to_string(i) + ".旅行.jpg");
    }
    return paths;
}

void BM_PathParts(benchmark::State& state) {
    const auto paths = MakePaths(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        std::size_t total = 0;
        for (const auto& path : paths) {
            total += varnel::GetMainNameOfPath(path).size() + varnel::GetExtensionOfPath(path).size();
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PathParts)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_GbkWidth(benchmark::State& state) {
    const auto paths = MakePaths(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        std::size_t total = 0;
        for (const auto& path : paths) total += varnel::GbkWidth(path);
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_GbkWidth)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

}  // namespace

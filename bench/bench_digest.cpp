// Content digests as a rename template asks for them: a preview of the common
// panel naming each of 16 files of 128 MiB (2 GiB in all, kept in the build folder
// between runs) "#内容MD5 #内容SHA1", started as the window starts it (through the
// run dispatcher and its worker, the list listener attached, timed until the
// result is published), each file read once for both digests, against
// rhash --md5 --sha1 over the same files
// (also one read per file). Both read from the page cache, warmed first. The figure
// is the median of paired runs (VARNEL_BENCH_RUNS, at least 7), sides alternating.
// VARNEL_BENCH_DIGEST_MB (2048) scales the data.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "dispatcher_window.h"
#include "naming/common_name.h"
#include "peer_timing.h"
#include "renames/rename_task.h"
#include "scratch_folder.h"

namespace {

using varnel::bench::Goal;
using varnel::bench::Samples;
using varnel::bench::Seconds;
using varnel::bench::Shell;

constexpr int kFiles = 16;
constexpr int kCommonTask = 1;

std::vector<std::string> MakeFiles(const std::string& folder, std::size_t bytesEach) {
    const std::string done = folder + "/.complete";
    std::string made;
    std::getline(std::ifstream(done), made);
    std::vector<std::string> paths;
    for (int i = 0; i < kFiles; ++i) paths.push_back(folder + "/data" + std::to_string(i) + ".bin");
    if (made == std::to_string(bytesEach)) return paths;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::printf("making %d files of %zu bytes under %s ...\n", kFiles, bytesEach, folder.c_str());
    std::string block(1 << 20, '\0');
    std::uint64_t state = 88172645463325252ull;
    for (const std::string& path : paths) {
        std::ofstream out(path, std::ios::binary);
        for (std::size_t written = 0; written < bytesEach; written += block.size()) {
            for (std::size_t i = 0; i < block.size(); i += 8) {
                state ^= state << 13;
                state ^= state >> 7;
                state ^= state << 17;
                for (int b = 0; b < 8; ++b) block[i + static_cast<std::size_t>(b)] = static_cast<char>(state >> (8 * b));
            }
            out.write(block.data(), static_cast<std::streamsize>(std::min(block.size(), bytesEach - written)));
        }
    }
    std::ofstream(done) << bytesEach;
    return paths;
}

}  // namespace

int main() {
    const char* sizeText = std::getenv("VARNEL_BENCH_DIGEST_MB");
    const std::size_t totalMb = sizeText ? static_cast<std::size_t>(std::atoi(sizeText)) : 2048;
    const std::string folder = varnel::bench::ScratchFolder() + "/bench-digest";
    const std::vector<std::string> paths = MakeFiles(folder, totalMb * (1 << 20) / kFiles);
    std::string list;
    for (const std::string& path : paths) list += " '" + path + "'";
    Shell("cat" + list + " > /dev/null");  // into the page cache, for both sides alike

    varnel::bench::Window window(kCommonTask, [](varnel::TaskRegistry& tasks) {
        tasks.RegisterRunner<varnel::CommonRenameParams>(kCommonTask, varnel::RunCommonRenameTask);
    });
    varnel::CommonRenameParams params;
    params.type = varnel::CommonMainNameType::CustomMain;
    params.newMainName = "#内容MD5 #内容SHA1";
    window.host.parameters = varnel::TaskParameters::Of(params);
    for (const std::string& path : paths) {
        window.store.AppendRow(folder + "/", std::filesystem::path(path).filename().string(), {}, 0);
    }
    std::string digests;
    Samples ours;
    Samples rhash;
    varnel::bench::Paired(
        varnel::bench::PairedRuns(),
        [&] {
            const double seconds = window.Run(varnel::RunMode::FullPreview);
            digests = window.store.GetCellText(0, varnel::ListColumn::Preview);
            if (window.host.failures != 0 || digests.size() < 32 + 1 + 40) {
                std::printf("no digests: %s\n", digests.c_str());
                std::exit(1);
            }
            return seconds;
        },
        [&] { return Seconds([&] { Shell("rhash --md5 --sha1" + list + " > '" + folder + ".rhash'"); }); },
        ours, rhash);
    // Both sides computed the same digests.
    std::ifstream peerOut(folder + ".rhash");
    std::string line;
    std::getline(peerOut, line);
    std::string mine = digests.substr(0, 32 + 1 + 40);
    for (char& c : mine) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (line.find(mine.substr(0, 32)) == std::string::npos || line.find(mine.substr(33)) == std::string::npos) {
        std::printf("digests differ: ours %s, rhash %s\n", mine.c_str(), line.c_str());
        std::exit(1);
    }
    std::printf("(%d files, %zu MiB in all)\n", kFiles, totalMb);
    Goal("#内容MD5 + #内容SHA1 vs rhash --md5 --sha1", ours, rhash, 1.1);
    std::filesystem::remove(folder + ".rhash");
    return 0;
}

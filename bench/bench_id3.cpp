// Reading the tags of MP3 files with large pictures, beside its peers measured in the
// same run: mutagen reading the same files in one Python process, and plain reads of
// the bytes the tags occupy (each file's ID3v2 tag and its last 128 bytes).
// VARNEL_BENCH_ID3_FILES sets the number of files (10,000 by default).
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "id3/id3_tag_pair.h"
#include "id3/id3v1_tag.h"
#include "id3/id3v2_tag.h"
#include "peer_timing.h"
#include "scratch_folder.h"

namespace {

using varnel::bench::Seconds;

struct Files {
    std::vector<std::string> paths;
    std::vector<std::size_t> tagLengths;
};

Files MakeFiles(const std::string& root, int count) {
    Files files;
    std::string picture = std::string("\0image/jpeg\0\3\0", 14);
    for (int i = 0; i < 200 * 1024; ++i) picture += static_cast<char>((i * 37) & 0x7F);
    varnel::Id3v2Tag tag;
    tag.title = "歌名";
    tag.artist = "Artist";
    tag.album = "Album";
    tag.year = "2009";
    tag.genre = "17";
    tag.lyrics = std::string(2000, 'l');
    std::string frames = varnel::BuildId3v2Frames(tag);
    const auto n = static_cast<std::uint32_t>(picture.size());
    frames += std::string("APIC") + static_cast<char>(n >> 24) + static_cast<char>(n >> 16) + static_cast<char>(n >> 8) +
              static_cast<char>(n) + std::string(2, '\0') + picture;
    const std::string head = varnel::BuildId3v2TagBytes(frames);
    std::string audio(300 * 1024, '\x55');
    audio[0] = '\xFF';
    audio[1] = '\xFB';
    varnel::Id3v1Tag v1;
    v1.title = "Song";
    const std::string tail = varnel::BuildId3v1Block(v1).value();

    const std::string done = root + "/.complete";
    std::string made;
    std::getline(std::ifstream(done), made);
    const bool ready = made == std::to_string(count);
    if (!ready) {
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root);
        std::printf("making %d MP3 files under %s ...\n", count, root.c_str());
    }
    for (int i = 0; i < count; ++i) {
        files.paths.push_back(root + "/song" + std::to_string(i) + ".mp3");
        files.tagLengths.push_back(head.size());
        if (!ready) std::ofstream(files.paths.back(), std::ios::binary) << head << audio << tail;
    }
    if (!ready) std::ofstream(done) << count;
    return files;
}

}  // namespace

int main() {
    const char* env = std::getenv("VARNEL_BENCH_ID3_FILES");
    const int count = env != nullptr ? std::atoi(env) : 10000;
    const std::string root = varnel::bench::ScratchFolder() + "/bench-id3";
    const Files files = MakeFiles(root, count);
    // One warm-up pass, so that every figure reads from the page cache.
    for (std::size_t i = 0; i < files.paths.size(); ++i) {
        std::vector<char> buffer(files.tagLengths[i] + 128);
        std::ifstream(files.paths[i], std::ios::binary).read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    }

    const auto ours = [&] {
        std::size_t found = 0;
        const double seconds = Seconds([&] {
            for (const std::string& path : files.paths) {
                varnel::Id3TagPair tags;
                const varnel::Id3TagReads reads = varnel::ReadId3TagPair(path, tags, true, true);
                found += (reads.v1 == varnel::TagReadResult::Found) + (reads.v2 == varnel::TagReadResult::Found);
            }
        });
        if (found != 2 * files.paths.size()) std::printf("tags missing: %zu of %zu\n", found, 2 * files.paths.size());
        return seconds;
    };
    const auto bytes = [&] {
        return Seconds([&] {
            std::vector<char> buffer(1 << 20);
            for (std::size_t i = 0; i < files.paths.size(); ++i) {
                const int fd = ::open(files.paths[i].c_str(), O_RDONLY | O_CLOEXEC);
                if (fd < 0) continue;
                const off_t size = ::lseek(fd, 0, SEEK_END);
                if (::pread(fd, buffer.data(), files.tagLengths[i], 0) < 0 ||
                    ::pread(fd, buffer.data(), 128, size - 128) < 0) {
                    std::perror("pread");
                }
                ::close(fd);
            }
        });
    };
    const std::string script = root + "/read.py";
    std::ofstream(script) << "import sys, glob\nfrom mutagen.id3 import ID3\n"
                             "for p in glob.glob(sys.argv[1] + '/*.mp3'): ID3(p)\n";
    const std::string command = "/usr/bin/python3 " + script + " " + root;
    const auto mutagen = [&] {
        return Seconds([&] {
            if (std::system(command.c_str()) != 0) std::printf("mutagen failed\n");
        });
    };

    // mutagen also decodes the picture frames that ours steps over, so it does more
    // work than ours: its figure is information, not a goal.
    varnel::bench::Samples oursTimes;
    varnel::bench::Samples mutagenTimes;
    varnel::bench::Paired(varnel::bench::PairedRuns(), ours, mutagen, oursTimes, mutagenTimes);
    varnel::bench::Information("both tags of the files vs mutagen (one process, with pictures)", oursTimes,
                               mutagenTimes);

    varnel::bench::Samples oursAgain;
    varnel::bench::Samples bytesTimes;
    varnel::bench::Paired(varnel::bench::PairedRuns(), ours, bytes, oursAgain, bytesTimes);
    varnel::bench::Goal("both tags of the files vs reading their bytes", oursAgain, bytesTimes, 1.5);
    return 0;
}

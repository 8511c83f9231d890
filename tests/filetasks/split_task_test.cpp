#include "filetasks/split_task.h"

#include <filesystem>

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "content_run.h"
#include "filetasks/content_text.h"
#include "support/child_probe.h"
#include "support/faulty_posix.h"
#include "support/pipe_swap.h"
#include "support/temp_dir.h"
#include "support/tree_state.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> PieceTexts(const std::vector<SplitPiece>& pieces, std::string_view source) {
    std::vector<std::string> texts;
    for (const SplitPiece& p : pieces) {
        texts.push_back(p.ownBytes ? p.bytes : std::string(source.substr(static_cast<std::size_t>(p.offset),
                                                                        static_cast<std::size_t>(p.length))));
    }
    return texts;
}

TEST(SplitTask, PiecesOfEveryType) {
    using T = SplitType;
    struct Case {
        T type;
        std::int64_t position;
        const char* marker;
        std::string content;
        std::vector<std::string> pieces;
    };
    const Case cases[] = {
        {T::PieceCount, 3, "", "0123456789", {"012", "345", "6789"}},
        {T::PieceCount, 20, "", "abc", {"a", "b", "c"}},
        {T::ByteSize, 4, "", "0123456789", {"0123", "4567", "89"}},
        {T::ByteSize, 99, "", "abc", {"abc"}},
        {T::Characters, 5, "", "甲乙丙丁戊己庚辛壬癸子", {"甲乙丙丁戊", "己庚辛壬癸", "子"}},
        {T::Marker, 0, "--", "a--b--c", {"a", "b", "c"}},
        {T::Marker, 0, "--", "abc", {"abc"}},
        {T::Lines, 2, "", "1\r\n2\r\n3\r\n4\r\n5", {"1\r\n2\r\n", "3\r\n4\r\n", "5"}},
        {T::Lines, 2, "", "1\n2\n3\n4\n5\n", {"1\n2\n", "3\n4\n", "5\n"}},
        {T::PieceCount, 3, "", "", {}},
    };
    for (const Case& c : cases) {
        SplitParams params;
        params.splitType = c.type;
        params.position = c.position;
        params.marker = c.marker;
        auto plan = PlanSplit(params, static_cast<std::int64_t>(c.content.size()), c.content);
        ASSERT_TRUE(plan) << c.content;
        EXPECT_EQ(PieceTexts(*plan, c.content), c.pieces) << c.content << " type " << int(c.type);
    }
    // Text pieces keep the source's encoding, BOM included.
    const std::string gbk = *EncodeFileText("甲乙丙", TextEncoding::Gbk);
    SplitParams chars;
    chars.splitType = T::Characters;
    chars.position = 2;
    auto plan = PlanSplit(chars, static_cast<std::int64_t>(gbk.size()), gbk);
    ASSERT_TRUE(plan);
    EXPECT_EQ(PieceTexts(*plan, gbk), (std::vector<std::string>{*EncodeFileText("甲乙", TextEncoding::Gbk),
                                                                 *EncodeFileText("丙", TextEncoding::Gbk)}));
    const std::string u16 = *EncodeFileText("ab", TextEncoding::Utf16Le);
    chars.position = 1;
    plan = PlanSplit(chars, static_cast<std::int64_t>(u16.size()), u16);
    ASSERT_TRUE(plan);
    EXPECT_EQ(PieceTexts(*plan, u16), (std::vector<std::string>{*EncodeFileText("a", TextEncoding::Utf16Le),
                                                                 *EncodeFileText("b", TextEncoding::Utf16Le)}));
}

TEST(SplitTask, ParametersThatCannotWorkAreRefused) {
    SplitParams zero;
    zero.position = 0;
    EXPECT_FALSE(SplitProblem(zero).empty());
    SplitParams noMarker;
    noMarker.splitType = SplitType::Marker;
    EXPECT_FALSE(SplitProblem(noMarker).empty());
    SplitParams noStar;
    noStar.position = 2;
    noStar.useCustomPath = true;
    noStar.customPath = "#目录路径/piece.txt";
    EXPECT_FALSE(SplitProblem(noStar).empty());
    noStar.customPath = "#目录路径/piece*.txt";
    EXPECT_TRUE(SplitProblem(noStar).empty());
}

// Rows that are not regular files fail with what they are, whether they were so
// from the start or a pipe was swapped in after the look; no row waits for a writer.
TEST(SplitTask, RowsThatAreNotRegularFilesFailWithWhatTheyAre) {
    for (const SplitType type : {SplitType::PieceCount, SplitType::Lines}) {
        SCOPED_TRACE(static_cast<int>(type));
        testing::TempDir dir;
        ASSERT_EQ(::mkfifo((dir / "pipe.txt").c_str(), 0644), 0);
        fs::create_directory(dir / "folder.txt");
        dir.Write("swapped.txt", "1\n2\n3\n");
        ASSERT_EQ(::mkfifo((dir / "later").c_str(), 0644), 0);
        const auto outcome = testing::RunInChild(
            [&] {
                testing::SwapsInAPipeOnOpen os(dir / "swapped.txt", dir / "later");
                testing::ContentRun run(dir);
                for (const char* name : {"pipe.txt", "folder.txt", "swapped.txt"}) run.AddRow(dir.Path(), name);
                SplitParams params;
                params.splitType = type;
                params.position = 2;
                RunRows rows = run.Rows();
                RunFileSplitTask(*run.run, rows, params, nullptr, os);
                const auto& reasons = run.run->FailureReasons();
                if (reasons.size() != 3) return 1;
                for (std::size_t i = 0; i < 3; ++i) {
                    if (run.Status(i) != kSplitFailed) return 2;
                }
                const bool named = reasons[0].find("是命名管道") != std::string::npos &&
                                   reasons[1].find("是文件夹") != std::string::npos &&
                                   reasons[2].find("是命名管道") != std::string::npos;
                return named ? 0 : 3;
            },
            20);
        EXPECT_TRUE(outcome.exited) << "a row waited for a writer";
        EXPECT_EQ(outcome.exitCode, 0);
        EXPECT_FALSE(fs::exists(dir / "pipe")) << "no pieces folder";
        EXPECT_FALSE(fs::exists(dir / "swapped"));
    }
}

TEST(SplitTask, SplitDeleteSourceAndUndo) {
    testing::TempDir dir;
    dir.Write("a.txt", "0123456789");
    dir.Write("b.txt", "abcdef");
    fs::create_directory(dir / "b");
    dir.Write("b/b_2.txt", "taken");  // one of b's pieces exists: b is not split at all
    testing::ContentRun run(dir);
    run.AddRow(dir.Path(), "a.txt");
    run.AddRow(dir.Path(), "b.txt");
    SplitParams params;
    params.position = 3;
    params.deleteSource = true;
    RunRows rows = run.Rows();
    std::vector<std::string> pieces;
    RunFileSplitTask(*run.run, rows, params, &pieces);
    EXPECT_FALSE(fs::exists(dir / "a.txt"));
    EXPECT_EQ(dir.Read("a/a_1.txt"), "012");
    EXPECT_EQ(dir.Read("a/a_3.txt"), "6789");
    EXPECT_EQ(run.Status(0), kSplitDone);
    EXPECT_EQ(run.Status(1), kSplitFailed);
    EXPECT_EQ(dir.Read("b.txt"), "abcdef");
    EXPECT_FALSE(fs::exists(dir / "b/b_1.txt"));
    EXPECT_EQ(pieces, (std::vector<std::string>{dir / "a/a_1.txt", dir / "a/a_2.txt", dir / "a/a_3.txt"}));
    EXPECT_EQ(run.run->FailedPaths(), std::vector<std::string>{dir / "b.txt"});

    EXPECT_TRUE(run.Undo().failedPaths.empty());
    EXPECT_EQ(dir.Read("a.txt"), "0123456789");
    EXPECT_FALSE(fs::exists(dir / "a"));
    EXPECT_EQ(dir.Read("b/b_2.txt"), "taken");
}

TEST(SplitTask, UndoBringsBackTheRemovedSourceWithItsModeAndTimes) {
    struct Case {
        const char* what;
        mode_t mode;
        SplitType type;
    };
    const Case cases[] = {
        {"private, by size", 0640, SplitType::ByteSize},
        {"read-only, by lines", 0444, SplitType::Lines},
    };
    for (const Case& c : cases) {
        testing::TempDir dir;
        fs::create_directory(dir / "tree");
        dir.Write("tree/src.txt", "line one\nline two\nline three\n");
        ASSERT_EQ(::chmod((dir / "tree/src.txt").c_str(), c.mode), 0);
        const timespec times[2] = {{1000000000, 123456789}, {1200000000, 987654321}};  // accessed, modified
        ASSERT_EQ(::utimensat(AT_FDCWD, (dir / "tree/src.txt").c_str(), times, 0), 0);
        testing::CopyTreeAside(dir / "tree", dir / "before");
        // Copying it read it: the access time the run finds may have moved.
        struct stat atStart {};
        ASSERT_EQ(::stat((dir / "tree/src.txt").c_str(), &atStart), 0) << c.what;

        testing::ContentRun run(dir);
        run.AddRow(dir / "tree", "src.txt");
        SplitParams params;
        params.splitType = c.type;
        params.position = c.type == SplitType::ByteSize ? 10 : 1;
        params.deleteSource = true;
        RunRows rows = run.Rows();
        RunFileSplitTask(*run.run, rows, params);
        ASSERT_EQ(run.Status(0), kSplitDone) << c.what;
        ASSERT_FALSE(fs::exists(dir / "tree/src.txt")) << c.what;

        EXPECT_TRUE(run.Undo().failedPaths.empty()) << c.what;
        // The access time before anything reads the file again.
        struct stat info {};
        ASSERT_EQ(::stat((dir / "tree/src.txt").c_str(), &info), 0) << c.what;
        EXPECT_EQ(info.st_atim.tv_sec, atStart.st_atim.tv_sec) << c.what;
        EXPECT_EQ(info.st_atim.tv_nsec, atStart.st_atim.tv_nsec) << c.what;
        testing::ExpectSameTree(dir / "before", dir / "tree");
    }
}

// Pieces of a UTF-16 file without a BOM are UTF-16 of the same order, without one.
TEST(SplitTask, LinesOfUtf16WithoutBomStayUtf16) {
    for (const TextEncoding encoding : {TextEncoding::Utf16LeNoBom, TextEncoding::Utf16BeNoBom}) {
        const std::string source = *EncodeFileText("one\r\n二\r\nthree", encoding);
        SplitParams params;
        params.splitType = SplitType::Lines;
        params.position = 1;
        const auto pieces = PlanSplit(params, static_cast<std::int64_t>(source.size()), source);
        ASSERT_TRUE(pieces.has_value()) << int(encoding);
        EXPECT_EQ(PieceTexts(*pieces, source),
                  (std::vector<std::string>{*EncodeFileText("one\r\n", encoding), *EncodeFileText("二\r\n", encoding),
                                            *EncodeFileText("three", encoding)}))
            << int(encoding);
    }
}

// A disk that fills up: every write from the `from`-th on fails with ENOSPC.
struct FillingDisk : PosixApi {
    int from = 0;
    int writes = 0;
    ssize_t Write(int fd, const void* buffer, size_t size) override {
        if (++writes >= from) {
            errno = ENOSPC;
            return -1;
        }
        return PosixApi::Write(fd, buffer, size);
    }
};

// A row whose disk fills up half way, or whose piece fails to close after its
// bytes were written (they may not be on disk), fails with that reason and
// leaves no piece behind, nor the folder it made for them; a folder that was
// there, and what it held, stay.
TEST(SplitTask, ARowThatFailsToWriteAPieceTakesBackItsPiecesAndFolders) {
    struct Case {
        const char* what;
        bool custom;
        bool deleteSource;
    };
    for (const Case c : {Case{"its own folder", false, false}, Case{"its own folder, source to go", false, true},
                         Case{"a folder that was there", true, true}}) {
        for (const bool closeFails : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (closeFails ? ", a close fails" : ", the disk fills up"));
            testing::TempDir dir;
            fs::create_directories(dir / "tree/out");
            dir.Write("tree/a.txt", "0123456789");
            dir.Write("tree/out/keep.txt", "kept");
            testing::CopyTreeAside(dir / "tree", dir / "before");
            testing::ContentRun run(dir);
            run.AddRow(dir / "tree", "a.txt");
            SplitParams params;
            params.splitType = SplitType::ByteSize;
            params.position = 2;
            params.deleteSource = c.deleteSource;
            params.useCustomPath = c.custom;
            params.customPath = dir / "tree/out/piece*.txt";
            FillingDisk disk;
            disk.from = 3;
            testing::FaultyPosix failingClose;
            failingClose.Fail(testing::FaultyPosix::Call::Close, EIO);
            RunRows rows = run.Rows();
            std::vector<std::string> pieces;
            RunFileSplitTask(*run.run, rows, params, &pieces,
                             closeFails ? static_cast<PosixApi&>(failingClose) : disk);
            EXPECT_EQ(run.Status(0), kSplitFailed);
            EXPECT_EQ(run.run->FailedPaths(), std::vector<std::string>{dir / "tree/a.txt"});
            EXPECT_EQ(run.run->FailureReasons(),
                      std::vector<std::string>{SystemErrorReason(closeFails ? EIO : ENOSPC)});
            EXPECT_TRUE(pieces.empty());
            testing::ExpectSameTree(dir / "before", dir / "tree");
            // Nothing is left for undo to do, and it does nothing.
            EXPECT_TRUE(run.Undo().failedPaths.empty());
            testing::ExpectSameTree(dir / "before", dir / "tree");
        }
    }
}

// The removed sources come back as the very objects they were: a file with two
// names stays one file, a file keeps its extended attribute, a link row is a link
// again (its target never went). Where the kept object cannot be linked back, a
// copy of the bytes comes back and the outcome says so.
TEST(SplitTask, UndoLinksTheRemovedSourcesBackAsTheSameObjects) {
    for (const bool linkFails : {false, true}) {
        testing::TempDir dir;
        fs::create_directory(dir / "tree");
        dir.Write("tree/twin.txt", "two names, one file");
        ASSERT_EQ(::link((dir / "tree/twin.txt").c_str(), (dir / "tree/twin-other.txt").c_str()), 0);
        dir.Write("tree/tagged.txt", "a file with an extended attribute");
        ::setxattr((dir / "tree/tagged.txt").c_str(), "user.origin", "kept", 4, 0);  // where the file system has them
        dir.Write("tree/target.txt", "what the link row points to");
        ASSERT_EQ(::symlink("target.txt", (dir / "tree/pointer.txt").c_str()), 0);
        ASSERT_EQ(::chmod((dir / "tree/tagged.txt").c_str(), 0604), 0);
        const timespec old[2] = {{1'000'000'000, 1}, {1'100'000'000, 2}};
        for (const char* name : {"twin.txt", "tagged.txt", "target.txt"}) {
            ASSERT_EQ(::utimensat(AT_FDCWD, (dir / "tree/" + name).c_str(), old, 0), 0);
        }
        ASSERT_EQ(::utimensat(AT_FDCWD, (dir / "tree/pointer.txt").c_str(), old, AT_SYMLINK_NOFOLLOW), 0);
        const auto before = testing::FullTreeListing(dir / "tree");

        testing::ContentRun run(dir);
        for (const char* name : {"twin.txt", "tagged.txt", "pointer.txt"}) run.AddRow(dir / "tree", name);
        SplitParams params;
        params.position = 8;
        params.deleteSource = true;
        RunRows rows = run.Rows();
        RunFileSplitTask(*run.run, rows, params);
        for (std::size_t row = 0; row < 3; ++row) ASSERT_EQ(run.Status(row), kSplitDone) << row;
        ASSERT_FALSE(fs::exists(dir / "tree/twin.txt"));
        ASSERT_FALSE(fs::is_symlink(dir / "tree/pointer.txt"));
        EXPECT_EQ(dir.Read("tree/target.txt"), "what the link row points to");

        UndoRecord record = run.run->TakeRecord();
        testing::FaultyPosix os;
        if (linkFails) os.Fail(testing::FaultyPosix::Call::Link, EMLINK);
        const UndoOutcome outcome = ReplayUndoRecord(record, {}, os);
        EXPECT_TRUE(outcome.failedPaths.empty()) << ::testing::PrintToString(outcome.failureReasons);
        if (!linkFails) {
            EXPECT_TRUE(outcome.copiedPaths.empty());
            EXPECT_EQ(testing::FullTreeListing(dir / "tree"), before);
            continue;
        }
        // Copies: the bytes, mode and times are back, and the outcome names them.
        EXPECT_EQ(outcome.copiedPaths.size(), 3u);
        EXPECT_NE(UndoStatusText(outcome).find("副本"), std::string::npos);
        EXPECT_EQ(dir.Read("tree/twin.txt"), "two names, one file");
        EXPECT_EQ(fs::read_symlink(dir / "tree/pointer.txt"), "target.txt");
        struct stat info {};
        ASSERT_EQ(::stat((dir / "tree/tagged.txt").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0604u);
        EXPECT_EQ(info.st_mtim.tv_sec, 1'100'000'000);
    }
}

// A link row the spool cannot link back is made again: with its target, its
// times and its owner (a link someone else owns comes back theirs). A link whose
// owner cannot be given back is named in the outcome with its reason.
TEST(SplitTask, ARemadeLinkGetsItsOwnerBack) {
    if (::geteuid() != 0) GTEST_SKIP() << "giving a link away needs root";
    using Call = testing::FaultyPosix::Call;
    struct Case {
        const char* what;
        Call alsoFails;  // besides the link back from the spool
        bool restored;
    };
    const Case cases[] = {
        {"owner given", Call::None, true},
        {"owner refused", Call::Fchownat, false},
    };
    for (const Case& c : cases) {
        testing::TempDir dir;
        fs::create_directory(dir / "tree");
        dir.Write("tree/target.txt", "what the link row points to");
        const std::string link = dir / "tree/pointer.txt";
        ASSERT_EQ(::symlink("target.txt", link.c_str()), 0);
        ASSERT_EQ(::lchown(link.c_str(), 65534, 65534), 0);
        const timespec old[2] = {{1'000'000'000, 1}, {1'100'000'000, 2}};
        ASSERT_EQ(::utimensat(AT_FDCWD, link.c_str(), old, AT_SYMLINK_NOFOLLOW), 0);

        testing::ContentRun run(dir);
        run.AddRow(dir / "tree", "pointer.txt");
        SplitParams params;
        params.position = 8;
        params.deleteSource = true;
        RunRows rows = run.Rows();
        RunFileSplitTask(*run.run, rows, params);
        ASSERT_EQ(run.Status(0), kSplitDone) << c.what;
        ASSERT_FALSE(fs::is_symlink(link)) << c.what;

        UndoRecord record = run.run->TakeRecord();
        // The spool's link never comes back: the link row is made again.
        struct NoLinkBack : testing::FaultyPosix {
            int Link(const char*, const char*) override {
                errno = EMLINK;
                return -1;
            }
        } os;
        os.Fail(c.alsoFails, EIO);
        const UndoOutcome outcome = ReplayUndoRecord(record, {}, os);
        ASSERT_TRUE(fs::is_symlink(link)) << c.what;
        EXPECT_EQ(fs::read_symlink(link), "target.txt") << c.what;
        EXPECT_EQ(outcome.copiedPaths, std::vector<std::string>{link}) << c.what;
        if (!c.restored) {
            EXPECT_EQ(outcome.failedPaths, std::vector<std::string>{link}) << c.what;
            ASSERT_EQ(outcome.failureReasons.size(), 1u) << c.what;
            EXPECT_FALSE(outcome.failureReasons[0].empty()) << c.what;
            continue;
        }
        EXPECT_TRUE(outcome.failedPaths.empty()) << ::testing::PrintToString(outcome.failureReasons);
        struct stat info {};
        ASSERT_EQ(::lstat(link.c_str(), &info), 0);
        EXPECT_EQ(info.st_uid, 65534u) << c.what;
        EXPECT_EQ(info.st_gid, 65534u) << c.what;
        EXPECT_EQ(info.st_mtim.tv_sec, 1'100'000'000) << c.what;
        EXPECT_EQ(info.st_mtim.tv_nsec, 2) << c.what;
    }
}

TEST(SplitTask, APreviewOrAStoppedRunKeepsTheSource) {
    testing::TempDir dir;
    dir.Write("a.txt", "0123456789");
    SplitParams params;
    params.splitType = SplitType::ByteSize;
    params.position = 2;
    params.deleteSource = true;
    {
        testing::ContentRun preview(dir, RunMode::FullPreview);
        preview.AddRow(dir.Path(), "a.txt");
        RunRows rows = preview.Rows();
        RunFileSplitTask(*preview.run, rows, params);
        EXPECT_EQ(preview.Status(0), "");
        EXPECT_FALSE(fs::exists(dir / "a"));
    }
    testing::ContentRun run(dir);
    run.AddRow(dir.Path(), "a.txt");
    run.control.RequestStop();
    RunRows rows = run.Rows();
    RunFileSplitTask(*run.run, rows, params);
    EXPECT_EQ(dir.Read("a.txt"), "0123456789");
    EXPECT_EQ(dir.Read("a/a_1.txt"), "01");  // the piece in hand is finished, then the row ends
    EXPECT_FALSE(fs::exists(dir / "a/a_2.txt"));
    EXPECT_TRUE(run.Undo().failedPaths.empty());
    EXPECT_FALSE(fs::exists(dir / "a"));
}

}  // namespace
}  // namespace varnel

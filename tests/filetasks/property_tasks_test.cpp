#include <filesystem>
#include <memory>

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <grp.h>
#include <unistd.h>

#include "content_run.h"
#include "lnk_fixtures.h"
#include "filetasks/attributes_task.h"
#include "filetasks/file_times_task.h"
#include "filetasks/shortcut_file.h"
#include "filetasks/shortcut_task.h"
#include "platform/dos_attributes.h"
#include "runs/rename_step.h"
#include "runs/undo_manager.h"
#include "settings/main_settings.h"
#include "support/child_probe.h"
#include "support/temp_dir.h"
#include "support/time_zone.h"
#include "support/tree_state.h"
#include "utilities/attribute_names.h"
#include "utilities/ole_date.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

time_t Utc(int year, int month, int day, int hour, int minute, int second) {
    std::tm parts{};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_min = minute;
    parts.tm_sec = second;
    return ::timegm(&parts);
}

void SetTimes(const std::string& path, timespec accessed, timespec modified) {
    const timespec times[2] = {accessed, modified};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

struct stat StatOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info;
}

bool SameTime(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

std::string Shown(time_t seconds) {
    return FormatDateTimeByRule(*CivilToOleDate(OleDateToCivil(25569.0 + static_cast<double>(seconds) / 86400.0,
                                                               CivilRounding::Second)),
                                DefaultListTimeFormat());
}

TimeGroupParams Units(std::array<int, 6> units) {
    TimeGroupParams group;
    group.setTime = true;
    group.units = units;
    return group;
}

constexpr int E = kKeepTimeUnit;

TEST(FileTimesTask, UnitBoxTexts) {
    const struct {
        const char* text;
        int value;
    } cases[] = {{"", E}, {"  ", E}, {"2010", 2010}, {" 7 ", 7}, {"12.9", 12}, {"+3", 3}, {"abc", INT_MIN}, {"1x", INT_MIN},
                 {"99999999999", INT_MIN}};
    for (const auto& c : cases) EXPECT_EQ(TimeUnitFromText(c.text), c.value) << c.text;
}

TEST(FileTimesTask, OnlyTheYearOfTheModificationTimeChanges) {
    testing::ScopedTimeZone zone("UTC0");
    testing::TempDir dir;
    dir.Write("a.txt", "a");
    const timespec accessed{Utc(2016, 7, 8, 9, 10, 11), 5};
    const timespec modified{Utc(2015, 3, 4, 5, 6, 7), 123456789};
    SetTimes(dir / "a.txt", accessed, modified);

    testing::ContentRun run(dir);
    run.AddRow(dir.Path(), "a.txt");
    FileTimesParams params;
    params.groups[1] = Units({2010, E, E, E, E, E});
    RunRows rows = run.Rows();
    RunFileTimesTask(*run.run, rows, params);

    EXPECT_EQ(run.Status(0), kStatusDone);
    const struct stat info = StatOf(dir / "a.txt");
    EXPECT_TRUE(SameTime(info.st_mtim, {Utc(2010, 3, 4, 5, 6, 7), 123456789}));
    EXPECT_TRUE(SameTime(info.st_atim, accessed));  // not ticked: not touched
    EXPECT_EQ(run.store.GetCellText(0, ListColumn::Modified), Shown(Utc(2010, 3, 4, 5, 6, 7)));
    ASSERT_EQ(run.run->Record().timeChanges.size(), 1u);
    EXPECT_TRUE(SameTime(run.run->Record().timeChanges[0].modified, modified));
}

TEST(FileTimesTask, InvalidUnitsFailTheRowAndWriteNothing) {
    testing::ScopedTimeZone zone("UTC0");
    const struct {
        const char* what;
        std::array<int, 6> units;
    } cases[] = {
        {"month 13", {2020, 13, 1, 0, 0, 0}},
        {"31 February", {2021, 2, 31, E, E, E}},
        {"hour 25", {E, E, E, 25, E, E}},
        {"year 10000", {10000, E, E, E, E, E}},
        {"not a number", {E, INT_MIN, E, E, E, E}},
    };
    for (const auto& c : cases) {
        testing::TempDir dir;
        dir.Write("a.txt", "a");
        const timespec before{Utc(2015, 3, 4, 5, 6, 7), 1};
        SetTimes(dir / "a.txt", before, before);
        testing::ContentRun run(dir);
        run.AddRow(dir.Path(), "a.txt");
        FileTimesParams params;
        params.groups[1] = Units(c.units);
        params.groups[2] = Units({2001, 1, 1, 1, 1, 1});  // valid, but the row fails as a whole
        RunRows rows = run.Rows();
        RunFileTimesTask(*run.run, rows, params);
        EXPECT_EQ(run.Status(0), std::string(kStatusFailed) + " " + kInvalidDateText) << c.what;
        const struct stat info = StatOf(dir / "a.txt");
        EXPECT_TRUE(SameTime(info.st_mtim, before) && SameTime(info.st_atim, before)) << c.what;
        EXPECT_EQ(run.run->FailedPaths(), (std::vector<std::string>{dir / "a.txt"})) << c.what;
        EXPECT_TRUE(run.run->Record().timeChanges.empty()) << c.what;
    }
    // A unit kept from a time the file system does not record makes no date.
    EXPECT_FALSE(ComposeGroupTime(Units({E, 1, 1, 0, 0, 0}), std::nullopt));
    EXPECT_TRUE(ComposeGroupTime(Units({2000, 1, 1, 0, 0, 0}), std::nullopt));
}

TEST(FileTimesTask, PreviewShowsTheNewTimesAndTouchesNothing) {
    testing::ScopedTimeZone zone("UTC0");
    testing::TempDir dir;
    dir.Write("a.txt", "a");
    const timespec before{Utc(2015, 3, 4, 5, 6, 7), 1};
    SetTimes(dir / "a.txt", before, before);
    testing::ContentRun run(dir, RunMode::FullPreview);
    run.AddRow(dir.Path(), "a.txt");
    FileTimesParams params;
    params.groups[0] = Units({2001, 2, 3, 4, 5, 6});
    params.groups[2] = Units({E, E, E, 0, 0, 0});
    RunRows rows = run.Rows();
    RunFileTimesTask(*run.run, rows, params);
    EXPECT_EQ(run.Status(0), "创建时间 " + Shown(Utc(2001, 2, 3, 4, 5, 6)) + "|访问时间 " + Shown(Utc(2015, 3, 4, 0, 0, 0)));
    const struct stat info = StatOf(dir / "a.txt");
    EXPECT_TRUE(SameTime(info.st_mtim, before) && SameTime(info.st_atim, before));
}

TEST(FileTimesTask, CreationTimeCannotBeSetAndTheRowSaysSo) {
    testing::ScopedTimeZone zone("UTC0");
    testing::TempDir dir;
    dir.Write("a.txt", "a");
    dir.Write("b.txt", "b");
    testing::ContentRun run(dir);
    run.AddRow(dir.Path(), "a.txt");
    FileTimesParams params;
    params.groups[0] = Units({2001, 2, 3, 4, 5, 6});
    params.groups[1] = Units({2002, 2, 3, 4, 5, 6});
    RunRows rows = run.Rows();
    RunFileTimesTask(*run.run, rows, params);
    EXPECT_EQ(run.Status(0), std::string(kStatusDone) + " " + kCreationTimeNotSettable);
    EXPECT_EQ(StatOf(dir / "a.txt").st_mtim.tv_sec, Utc(2002, 2, 3, 4, 5, 6));
    EXPECT_TRUE(run.run->FailedPaths().empty());

    // Asked for the creation time only: nothing can be done, the row fails.
    testing::ContentRun only(dir);
    only.AddRow(dir.Path(), "b.txt");
    params.groups[1].setTime = false;
    RunRows onlyRows = only.Rows();
    RunFileTimesTask(*only.run, onlyRows, params);
    EXPECT_EQ(only.Status(0), std::string(kStatusFailed) + " " + kCreationTimeNotSettable);
    EXPECT_EQ(only.run->FailedPaths().size(), 1u);
    EXPECT_TRUE(only.run->Record().timeChanges.empty());
}

TEST(FileTimesTask, AFolderRowIsNeitherChangedNorMarked) {
    testing::TempDir dir;
    fs::create_directory(dir / "sub");
    const timespec before{1'300'000'000, 7};
    SetTimes(dir / "sub", before, before);
    testing::ContentRun run(dir);
    RowFacts facts;
    facts.isFolder = true;
    run.store.AppendRow(dir.Path(), "sub", facts, 0);
    run.AddRow(dir.Path(), "missing.txt");
    FileTimesParams params;
    params.groups[1] = Units({2010, E, E, E, E, E});
    RunRows rows = run.Rows();
    RunFileTimesTask(*run.run, rows, params);
    EXPECT_EQ(run.Status(0), "");
    EXPECT_EQ(run.Status(1), "");
    EXPECT_TRUE(SameTime(StatOf(dir / "sub").st_mtim, before));
    EXPECT_TRUE(run.run->FailedPaths().empty());
}

TEST(FileTimesTask, AReadOnlyFileIsNeitherChangedNorMarkedInPreviewOrExecute) {
    for (const RunMode mode : {RunMode::FullPreview, RunMode::Execute}) {
        testing::TempDir dir;
        dir.Write("locked.txt", "x");
        dir.Write("open.txt", "x");
        const timespec before{1'300'000'000, 7};
        SetTimes(dir / "locked.txt", before, before);
        SetTimes(dir / "open.txt", before, before);
        ASSERT_EQ(::chmod((dir / "locked.txt").c_str(), 0444), 0);
        testing::ContentRun run(dir, mode);
        run.AddRow(dir.Path(), "locked.txt");
        run.AddRow(dir.Path(), "open.txt");
        FileTimesParams params;
        params.groups[1] = Units({2010, E, E, E, E, E});
        RunRows rows = run.Rows();
        RunFileTimesTask(*run.run, rows, params);
        EXPECT_EQ(run.Status(0), "");
        EXPECT_NE(run.Status(1), "");
        EXPECT_TRUE(SameTime(StatOf(dir / "locked.txt").st_mtim, before));
        EXPECT_TRUE(run.run->FailedPaths().empty());
        EXPECT_EQ(run.run->Record().timeChanges.size(), mode == RunMode::Execute ? 1u : 0u);
    }
}

// A file whose mode lets its owner write but which this user may not write (as a
// normal user, root's 0644 file) keeps its times and is not marked; the user's
// own file beside it changes. The check asks the system about the file itself.
TEST(FileTimesTask, AFileThisUserMayNotWriteIsNeitherChangedNorMarked) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to make another user's file";
    constexpr uid_t kNobody = 65534;
    testing::TempDir dir;
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
    dir.Write("roots.txt", "x");
    dir.Write("mine.txt", "x");
    const timespec before{1'300'000'000, 7};
    SetTimes(dir / "roots.txt", before, before);
    SetTimes(dir / "mine.txt", before, before);
    ASSERT_EQ(::chmod((dir / "roots.txt").c_str(), 0644), 0);
    ASSERT_EQ(::chown((dir / "mine.txt").c_str(), kNobody, kNobody), 0);
    testing::ContentRun run(dir);
    run.AddRow(dir.Path(), "roots.txt");
    run.AddRow(dir.Path(), "mine.txt");
    const auto outcome = testing::RunInChild([&] {
        // A normal user's ids, as setpriv --reuid --regid --clear-groups gives.
        if (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
            ::setresuid(kNobody, kNobody, kNobody) != 0) {
            return 2;
        }
        FileTimesParams params;
        params.groups[1] = Units({2010, E, E, E, E, E});
        RunRows rows = run.Rows();
        RunFileTimesTask(*run.run, rows, params);
        if (run.Status(0) != "" || !SameTime(StatOf(dir / "roots.txt").st_mtim, before)) return 3;
        if (run.Status(1) != kStatusDone || SameTime(StatOf(dir / "mine.txt").st_mtim, before)) return 4;
        return run.run->FailedPaths().empty() && run.run->Record().timeChanges.size() == 1 ? 0 : 5;
    });
    EXPECT_TRUE(outcome.exited);
    EXPECT_EQ(outcome.exitCode, 0);
}

TEST(FileTimesTask, UndoRestoresBothTimesToTheNanosecond) {
    testing::TempDir dir;
    fs::create_directory(dir / "tree");
    dir.Write("tree/a.txt", "a");
    dir.Write("tree/b.txt", "b");
    SetTimes(dir / "tree/a.txt", {1'000'000'000, 123456789}, {1'100'000'000, 987654321});
    SetTimes(dir / "tree/b.txt", {1'000'000'001, 1}, {1'100'000'001, 999999999});
    testing::CopyTreeAside(dir / "tree", dir / "before");
    const struct stat atStart = StatOf(dir / "tree/a.txt");

    testing::ContentRun run(dir);
    run.AddRow(dir / "tree", "a.txt");
    run.AddRow(dir / "tree", "b.txt");
    FileTimesParams params;
    params.groups[1] = Units({2011, 1, 2, 3, 4, 5});
    params.groups[2] = Units({2012, 1, 2, 3, 4, 5});
    RunRows rows = run.Rows();
    RunFileTimesTask(*run.run, rows, params);
    ASSERT_EQ(run.Status(1), kStatusDone);
    EXPECT_EQ(StatOf(dir / "tree/b.txt").st_mtim.tv_nsec, 0);

    EXPECT_TRUE(run.Undo().failedPaths.empty());
    const struct stat after = StatOf(dir / "tree/a.txt");
    EXPECT_TRUE(SameTime(after.st_atim, atStart.st_atim));
    testing::ExpectSameTree(dir / "before", dir / "tree");
}

std::optional<std::string> DosXattr(const std::string& path) {
    char value[64];
    const ssize_t size = ::getxattr(path.c_str(), "user.DOSATTRIB", value, sizeof value);
    if (size < 0) return std::nullopt;
    return std::string(value, static_cast<std::size_t>(size));
}

bool XattrsWork(const testing::TempDir& dir) {
    dir.Write("probe", "");
    return ::setxattr((dir / "probe").c_str(), "user.DOSATTRIB", "0x2", 3, 0) == 0;
}

TEST(AttributesTask, TheTickedSetReplacesTheOldOne) {
    testing::TempDir dir;
    if (!XattrsWork(dir)) GTEST_SKIP() << "no extended attributes here";
    const struct {
        const char* what;
        std::uint32_t attributes;
        const char* shown;
        bool writable;
    } cases[] = {
        {"nothing", 0, "", true},
        {"read-only and archive", kAttributeReadOnly | kAttributeArchive, "只读,存档", false},
    };
    for (const auto& c : cases) {
        dir.Write("a.txt", "a");
        ::chmod((dir / "a.txt").c_str(), 0640);
        ASSERT_EQ(::setxattr((dir / "a.txt").c_str(), "user.DOSATTRIB", "0x6", 3, 0), 0);  // hidden, system
        fs::create_directory(dir / "sub");
        {
            testing::ContentRun preview(dir, RunMode::FullPreview);
            preview.AddRow(dir.Path(), "a.txt");
            RunRows rows = preview.Rows();
            RunAttributesTask(*preview.run, rows, AttributesParams{c.attributes});
            EXPECT_EQ(preview.Status(0), c.shown) << c.what;
            EXPECT_EQ(DosXattr(dir / "a.txt"), "0x6") << c.what;
        }
        testing::ContentRun run(dir);
        run.AddRow(dir.Path(), "a.txt");
        RowFacts facts;
        facts.isFolder = true;
        run.store.AppendRow(dir.Path(), "sub", facts, 0);
        RunRows rows = run.Rows();
        RunAttributesTask(*run.run, rows, AttributesParams{c.attributes});
        EXPECT_EQ(run.Status(0), kStatusDone) << c.what;
        EXPECT_EQ(run.store.GetCellText(0, ListColumn::Attributes), c.shown) << c.what;
        EXPECT_EQ(((StatOf(dir / "a.txt").st_mode & S_IWUSR) != 0), c.writable) << c.what;
        // A folder keeps its folder bit and, read-only or not, its owner's write bit.
        const std::string folderWords = FormatAttributeNames(kAttributeDirectory | c.attributes);
        EXPECT_EQ(run.store.GetCellText(1, ListColumn::Attributes), folderWords) << c.what;
        EXPECT_TRUE(StatOf(dir / "sub").st_mode & S_IWUSR) << c.what;

        EXPECT_TRUE(run.Undo().failedPaths.empty()) << c.what;
        EXPECT_EQ(StatOf(dir / "a.txt").st_mode & 07777, 0640u) << c.what;
        EXPECT_EQ(DosXattr(dir / "a.txt"), "0x6") << c.what;
        EXPECT_EQ(DosXattr(dir / "sub"), std::nullopt) << c.what;
        fs::remove(dir / "sub");
    }
}

// Samba keeps its own binary form in the same attribute, with the creation time
// inside. It is left as it is while the ticked bits are ones the mode gives; when a
// bit must be stored over it, undo still writes the old bytes back exactly.
TEST(AttributesTask, AnotherProgramsStoredValueIsKeptOrGivenBackByteForByte) {
    testing::TempDir dir;
    if (!XattrsWork(dir)) GTEST_SKIP() << "no extended attributes here";
    const std::string blob("\x04\x00\x04\x00\x04\x00\x00\x00\x51\x00\x00\x00\x20\x00\x00\x00"
                           "\x80\x3e\xd5\xde\xb1\x9d\x01\x00\xff",
                           25);
    const struct {
        const char* what;
        std::uint32_t attributes;
        bool blobStays;
        mode_t mode;
    } cases[] = {
        {"nothing ticked", 0, true, 0640},
        {"read-only, which the mode holds", kAttributeReadOnly, true, 0440},
        {"archive, which must be stored", kAttributeArchive, false, 0640},
        {"hidden and system", kAttributeHidden | kAttributeSystem, false, 0640},
    };
    for (const auto& c : cases) {
        dir.Write("a.txt", "a");
        ASSERT_EQ(::chmod((dir / "a.txt").c_str(), 0640), 0);
        ASSERT_EQ(::setxattr((dir / "a.txt").c_str(), "user.DOSATTRIB", blob.data(), blob.size(), 0), 0);
        testing::ContentRun run(dir);
        run.AddRow(dir.Path(), "a.txt");
        RunRows rows = run.Rows();
        RunAttributesTask(*run.run, rows, AttributesParams{c.attributes});
        EXPECT_EQ(run.Status(0), kStatusDone) << c.what;
        EXPECT_EQ(StatOf(dir / "a.txt").st_mode & 07777, c.mode) << c.what;
        EXPECT_EQ(DosXattr(dir / "a.txt") == blob, c.blobStays) << c.what;
        EXPECT_EQ(GetAttributesOfFile(dir / "a.txt").value_or(0) & ~kAttributeNormal, c.attributes) << c.what;

        EXPECT_TRUE(run.Undo().failedPaths.empty()) << c.what;
        EXPECT_EQ(DosXattr(dir / "a.txt"), blob) << c.what;
        EXPECT_EQ(StatOf(dir / "a.txt").st_mode & 07777, 0640u) << c.what;
        fs::remove(dir / "a.txt");
    }
}

TEST(AttributesTask, UndoGivesBackTheWholeModeBitForBit) {
    testing::TempDir dir;
    fs::create_directory(dir / "tree");
    dir.Write("tree/odd", "x");
    // Group and other write bits, set-gid and sticky: the attribute word knows none of them.
    ASSERT_EQ(::chmod((dir / "tree/odd").c_str(), 02673), 0);
    testing::CopyTreeAside(dir / "tree", dir / "before");
    testing::ContentRun run(dir);
    run.AddRow(dir / "tree", "odd");
    RunRows rows = run.Rows();
    RunAttributesTask(*run.run, rows, AttributesParams{kAttributeReadOnly});
    ASSERT_EQ(run.Status(0), kStatusDone);
    EXPECT_EQ(StatOf(dir / "tree/odd").st_mode & 0222, 0u);
    EXPECT_TRUE(run.Undo().failedPaths.empty());
    EXPECT_EQ(StatOf(dir / "tree/odd").st_mode & 07777, 02673u);
    testing::ExpectSameTree(dir / "before", dir / "tree");
}

ShortcutProperties Read(const std::string& path) {
    std::string p = path;
    ShortcutProperties properties;
    EXPECT_TRUE(ReadShortcutProperties(p, properties)) << path;
    return properties;
}

// A shortcut to `target` with a description and an extra block the codec does not know.
void MakeLink(const std::string& path, const std::string& target) {
    const std::string description = "old";
    ASSERT_TRUE(CreateLnkShortcut(path, target, &description));
}

TEST(ShortcutTask, FieldsAndMetaVariables) {
    testing::TempDir dir;
    MakeLink(dir / "Music.lnk", "/old/a/old.mp3");
    struct Case {
        const char* what;
        ShortcutTaskParams params;
        std::function<void(const ShortcutProperties&)> check;
        std::string preview;
    };
    ShortcutTaskParams description;
    description.description = "#主名";
    ShortcutTaskParams icon;
    icon.iconLocation = "#完整路径,2";
    ShortcutTaskParams plain;
    plain.target.changeTarget = true;
    plain.target.findText = "/old";
    plain.target.replaceText = "/new";
    ShortcutTaskParams once = plain;
    once.target.count = 1;
    ShortcutTaskParams regex = plain;
    regex.target.useRegex = true;
    regex.target.findText = "^/OLD/(\\w)";
    regex.target.replaceText = "/new/$1$1";
    regex.target.ignoreCase = true;
    ShortcutTaskParams style;
    style.windowStyle = 7;
    style.arguments = "--x";
    const std::string lnk = dir / "Music.lnk";
    const Case cases[] = {
        {"description", description, [](const ShortcutProperties& p) { EXPECT_EQ(p.description, "Music"); },
         "[描述信息：Music]"},
        {"icon", icon, [lnk](const ShortcutProperties& p) { EXPECT_EQ(p.iconLocation, lnk + ",2"); },
         "[图标位置：" + lnk + ",2]"},
        {"plain, all", plain, [](const ShortcutProperties& p) { EXPECT_EQ(p.targetPath, "/new/a/new.mp3"); },
         "[目标路径：/new/a/new.mp3]"},
        {"plain, once", once, [](const ShortcutProperties& p) { EXPECT_EQ(p.targetPath, "/new/a/old.mp3"); },
         "[目标路径：/new/a/old.mp3]"},
        {"regex", regex, [](const ShortcutProperties& p) { EXPECT_EQ(p.targetPath, "/new/aa/old.mp3"); },
         "[目标路径：/new/aa/old.mp3]"},
        {"style and arguments", style,
         [](const ShortcutProperties& p) {
             EXPECT_EQ(p.windowStyle, 7);
             EXPECT_EQ(p.arguments, "--x");
         },
         "[附加参数：--x][窗口风格：最小化]"},
    };
    for (const Case& c : cases) {
        const std::string before = dir.Read("Music.lnk");
        testing::ContentRun preview(dir, RunMode::FullPreview);
        preview.AddRow(dir.Path(), "Music.lnk");
        RunRows previewRows = preview.Rows();
        RunShortcutPropertiesTask(*preview.run, previewRows, c.params);
        EXPECT_EQ(preview.Status(0), c.preview) << c.what;
        EXPECT_EQ(dir.Read("Music.lnk"), before) << c.what;

        testing::ContentRun run(dir);
        run.AddRow(dir.Path(), "Music.lnk");
        RunRows rows = run.Rows();
        RunShortcutPropertiesTask(*run.run, rows, c.params);
        ASSERT_EQ(run.Status(0), kStatusDone) << c.what;
        const ShortcutProperties now = Read(lnk);
        c.check(now);
        // Only the ticked fields changed.
        if (!c.params.target.changeTarget) EXPECT_EQ(now.targetPath, "/old/a/old.mp3") << c.what;
        if (!c.params.description) EXPECT_EQ(now.description, "old") << c.what;

        UndoRecord record = run.run->TakeRecord();
        UndoHooks hooks;
        RegisterShortcutUndoKind(hooks.families);
        EXPECT_TRUE(ReplayUndoRecord(record, hooks).failedPaths.empty()) << c.what;
        EXPECT_EQ(Read(lnk).targetPath, "/old/a/old.mp3") << c.what;
        EXPECT_EQ(Read(lnk).description, "old") << c.what;
    }
    EXPECT_EQ(DescribeShortcutChanges(ShortcutProperties{.windowStyle = 2}, ShortcutTaskParams{.windowStyle = 2}),
              "[窗口风格：超出范围]");
}

TEST(ShortcutTask, ANonShortcutRowFailsAndNoFileAppears) {
    testing::TempDir dir;
    dir.Write("a.txt", "text");
    dir.Write("broken.lnk", "not a link");
    ShortcutTaskParams params;
    params.description = "x";
    testing::ContentRun run(dir);
    run.AddRow(dir.Path(), "a.txt");
    run.AddRow(dir.Path(), "broken.lnk");
    RunRows rows = run.Rows();
    RunShortcutPropertiesTask(*run.run, rows, params);
    EXPECT_EQ(run.Status(0), std::string(kStatusFailed) + " " + kNotShortcutText);
    EXPECT_EQ(run.Status(1), std::string(kStatusFailed) + " " + kUnreadableShortcutText);
    EXPECT_FALSE(fs::exists(dir / "a.txt.lnk"));
    EXPECT_EQ(dir.Read("a.txt"), "text");
    EXPECT_EQ(dir.Read("broken.lnk"), "not a link");
    EXPECT_EQ(run.run->FailedPaths().size(), 2u);
    EXPECT_TRUE(run.run->Record().familyChanges.empty());
}

TEST(ShortcutTask, AReadOnlyShortcutFailsUntouchedAndAHardLinkedOneKeepsItsNames) {
    testing::TempDir dir;
    MakeLink(dir / "locked.lnk", "/data/a");
    MakeLink(dir / "linked.lnk", "/data/b");
    dir.Write("locked.url", "[InternetShortcut]\r\nURL=http://example.invalid/\r\n");
    ASSERT_EQ(::chmod((dir / "locked.lnk").c_str(), 0444), 0);
    ASSERT_EQ(::chmod((dir / "locked.url").c_str(), 0444), 0);
    fs::create_hard_link(dir / "linked.lnk", dir / "other name.lnk");
    const std::string lockedLnk = dir.Read("locked.lnk");
    const std::string lockedUrl = dir.Read("locked.url");
    const ino_t inode = StatOf(dir / "linked.lnk").st_ino;
    ShortcutTaskParams params;
    params.description = "new";
    testing::ContentRun run(dir);
    for (const char* name : {"locked.lnk", "locked.url", "linked.lnk"}) run.AddRow(dir.Path(), name);
    RunRows rows = run.Rows();
    RunShortcutPropertiesTask(*run.run, rows, params);
    EXPECT_EQ(run.Status(0), "× 文件只读");
    EXPECT_EQ(run.Status(1), "× 文件只读");
    EXPECT_EQ(run.Status(2), "√");
    EXPECT_EQ(dir.Read("locked.lnk"), lockedLnk);
    EXPECT_EQ(dir.Read("locked.url"), lockedUrl);
    std::string path = dir / "other name.lnk";
    ShortcutProperties seen;
    ASSERT_TRUE(ReadShortcutProperties(path, seen));
    EXPECT_EQ(seen.description, "new");
    EXPECT_EQ(StatOf(dir / "linked.lnk").st_ino, inode);
    EXPECT_EQ(FamilyEntryCount(run.run->Record(), UndoKind::ShortcutChanges), 1u);
}

TEST(ShortcutTask, UnknownExtraBlocksSurviveAChange) {
    testing::TempDir dir;
    MakeLink(dir / "x.lnk", "/data/file");
    // An extra data block of a kind the codec does not know, before the terminal block.
    std::string bytes = dir.Read("x.lnk");
    ASSERT_GE(bytes.size(), 4u);
    ASSERT_EQ(bytes.substr(bytes.size() - 4), std::string(4, '\0'));
    std::string block = std::string("\x10\0\0\0", 4) + std::string("\x77\x77\x00\xA0", 4) + "UNKNOWN!";
    bytes.insert(bytes.size() - 4, block);
    dir.Write("x.lnk", bytes);
    ShortcutTaskParams params;
    params.arguments = "-v";
    testing::ContentRun run(dir);
    run.AddRow(dir.Path(), "x.lnk");
    RunRows rows = run.Rows();
    RunShortcutPropertiesTask(*run.run, rows, params);
    ASSERT_EQ(run.Status(0), kStatusDone);
    EXPECT_NE(dir.Read("x.lnk").find(block), std::string::npos);
    EXPECT_EQ(Read(dir / "x.lnk").arguments, "-v");
}

// A target change rewrites a shortcut from its properties: undo gives back the file
// exactly as it was, whatever it held that the properties do not describe.
TEST(ShortcutTask, UndoGivesBackTheOriginalBytes) {
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"windows.lnk", lnk_fixtures::WindowsLink()},
        {"gbk.url", "[InternetShortcut]\r\nURL=C:\\Windows\\page.htm\r\n"
                    "IconFile=C:\\\xD6\xD0\xCE\xC4.ico\r\nIconIndex=0\r\n"},
    };
    for (const auto& c : cases) {
        testing::TempDir dir;
        dir.Write(c.name, c.bytes);
        ::chmod((dir / c.name).c_str(), 0604);
        SetTimes(dir / c.name, {1'000'000'000, 5}, {1'000'000'000, 7});
        ShortcutTaskParams params;
        params.target.changeTarget = true;
        params.target.findText = "Windows";
        params.target.replaceText = "Other";
        testing::ContentRun run(dir);
        run.AddRow(dir.Path(), c.name);
        RunRows rows = run.Rows();
        RunShortcutPropertiesTask(*run.run, rows, params);
        ASSERT_EQ(run.Status(0), kStatusDone) << c.name;
        ASSERT_NE(dir.Read(c.name), c.bytes) << c.name;

        UndoRecord record = run.run->TakeRecord();
        UndoHooks hooks;
        RegisterShortcutUndoKind(hooks.families);
        EXPECT_TRUE(ReplayUndoRecord(record, hooks).failedPaths.empty()) << c.name;
        EXPECT_EQ(dir.Read(c.name), c.bytes) << c.name;
        dir.Write("expected", c.bytes);
        EXPECT_EQ(std::system(("cmp '" + dir / "expected" + "' '" + dir / c.name + "'").c_str()), 0) << c.name;
        const struct stat after = StatOf(dir / c.name);
        EXPECT_EQ(after.st_mode & 07777, 0604u) << c.name;
        EXPECT_TRUE(SameTime(after.st_mtim, timespec{1'000'000'000, 7})) << c.name;
    }
}

// The undo manager shows a shortcut's old target, icon, description and arguments.
TEST(ShortcutTask, TheUndoManagerShowsTheOldProperties) {
    UndoFamilyRegistry families;
    RegisterShortcutUndoKind(families);
    UndoRecord record;
    record.familyChanges.push_back(ShortcutUndoEntry(
        {"/l.lnk", std::make_shared<ShortcutProperties>(ShortcutProperties{
                       .targetPath = "/t", .iconLocation = "/i,1", .description = "d", .arguments = "-a"})}));
    EXPECT_EQ(DescribeUndoRecord(record).kindName, "快捷方式");
    EXPECT_EQ(UndoDetailLayoutOf(record, families).titles,
              (std::vector<std::string>{"快捷路径", "原目标路径", "原图标位置", "原描述信息", "原附加参数"}));
    EXPECT_EQ(UndoDetailCells(record, UndoKind::ShortcutChanges, 0, families),
              (std::vector<std::string>{"/l.lnk", "/t", "/i,1", "d", "-a"}));
}

TEST(ShortcutTask, UndoNeverMakesAShortcutThatIsGone) {
    testing::TempDir dir;
    ShortcutEntry entry{dir / "gone.lnk", std::make_shared<ShortcutProperties>()};
    EXPECT_FALSE(RestoreShortcutEntry(entry));
    EXPECT_FALSE(fs::exists(dir / "gone.lnk"));
}

}  // namespace
}  // namespace varnel

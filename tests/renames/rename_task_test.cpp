#include "renames/rename_task.h"

#include <cctype>
#include <filesystem>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace varnel {
namespace {

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

TEST(RenameTask, NamePartsAndReassembly) {
    struct Case {
        const char* input;
        NamePart part;
        std::string (*change)(std::string_view);
        const char* result;
    };
    const auto upper = [](std::string_view t) { return Upper(t); };
    const auto empty = [](std::string_view) { return std::string(); };
    const auto x = [](std::string_view) { return std::string("x"); };
    const auto r = [](std::string_view t) { return t.empty() ? std::string("r") : std::string(t); };
    const Case cases[] = {
        {"archive.tar.gz", NamePart::MainName, upper, "ARCHIVE.TAR.gz"},
        {"archive.tar.gz", NamePart::Extension, upper, "archive.tar.GZ"},
        {"archive.tar.gz", NamePart::WholeName, upper, "ARCHIVE.TAR.GZ"},
        {"readme", NamePart::Extension, r, "readme.r"},
        {"readme", NamePart::Extension, empty, "readme"},
        {"a.txt", NamePart::Extension, empty, "a"},
        // A leading dot marks a hidden file: it is part of the main name.
        {".profile", NamePart::MainName, x, "x"},
        {".profile", NamePart::Extension, r, ".profile.r"},
        {".config.json", NamePart::MainName, upper, ".CONFIG.json"},
        // An empty main name would hide the file behind its extension: unchanged.
        {"photo.jpg", NamePart::MainName, empty, "photo.jpg"},
        // A full path gives up its folder to the name parts.
        {"/old.dir/notes.txt", NamePart::MainName, upper, "NOTES.txt"},
        {"/old.dir/notes", NamePart::Extension, r, "notes.r"},
        {"/old.dir/notes.txt", NamePart::WholeName, upper, "NOTES.TXT"},
        {"/old.dir/notes.txt", NamePart::WholePath, upper, "/OLD.DIR/NOTES.TXT"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChangeNamePart(c.input, c.part, c.change), c.result) << c.input << " part " << int(c.part);
    }
    EXPECT_EQ(NamePartOf(NameScope::Main), NamePart::MainName);
    EXPECT_EQ(NamePartOf(NameScope::Extension), NamePart::Extension);
}

TEST(RenameTask, ResultTemplate) {
    EXPECT_EQ(ApplyResultTemplate("[?]-?", "ab"), "[ab]-ab");
    EXPECT_EQ(ApplyResultTemplate("", "ab"), "ab");
    EXPECT_EQ(ApplyResultTemplate("#主名_?", "ab"), "#主名_ab");  // meta-variables stay for the rename step
    EXPECT_EQ(ApplyResultTemplate("no mark", "ab"), "no mark");
}

TEST(RenameTask, BoxIntegers) {
    EXPECT_EQ(BoxInteger("12", 0, 100), 12);
    EXPECT_EQ(BoxInteger(" 7.9abc", 0, 100), 7);
    EXPECT_EQ(BoxInteger("-3.9", -10, 10), -3);
    EXPECT_EQ(BoxInteger("abc", 1, 10), 1);
    EXPECT_EQ(BoxInteger("1e30", -5, 5), 5);
    EXPECT_EQ(BoxInteger("-1e30", -5, 5), -5);
}

TEST(RenameTask, RunnerHandsEachRowsNameToTheStepAndSkipsRowsThatLeft) {
    testing::TempDir dir;
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) dir.Write(name, name);
    RowStore store;
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) store.AppendRow(dir.Path(), name, {}, 0);
    RunControl control;
    control.TryBegin(TaskKind::Execute);
    RunContext run(RunMode::Execute, 1, {}, control);
    RunRows rows(store, store.RowIds());
    std::vector<std::string> seen;
    RunRenameTask(run, rows, [&](std::size_t row, const std::string& name) {
        if (row == 0) store.DeleteRow(1);  // b.txt leaves the list during the run
        seen.push_back(name);
        return ChangeNamePart(name, NamePart::MainName, [](std::string_view main) { return Upper(main); });
    });
    EXPECT_EQ(seen, (std::vector<std::string>{"a.txt", "c.txt"}));
    EXPECT_TRUE(std::filesystem::exists(dir / "A.txt"));
    EXPECT_TRUE(std::filesystem::exists(dir / "b.txt"));
    EXPECT_TRUE(std::filesystem::exists(dir / "C.txt"));
    EXPECT_EQ(run.Record().renames.size(), 2u);
}

}  // namespace
}  // namespace varnel

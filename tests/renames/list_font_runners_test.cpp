#include "renames/list_font_runners.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "naming/list_font_name.h"
#include "platform/font_face_name.h"
#include "support/rename_round_trip.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// The dispatcher runs the tasks on the list of the fixture's files.
struct ListFontRoundTrip : testing::RenameRoundTrip {
    ListFontRoundTrip() {
        tasks.RegisterRunner<NameListParams>(kTaskNameList, RunNameListTask);
        tasks.RegisterRunner<FontNameParams>(kTaskFontName, RunFontNameTask);
    }
};

// Three lines for five rows: the lines go to the first three rows in list order,
// an empty line keeps its row's name, and rows past the list are not previewed.
TEST_F(ListFontRoundTrip, NameListThreeLinesForFiveRows) {
    Prepare({"e.mp3", "d.mp3", "c.mp3", "b.mp3", "a.mp3"});
    NameListParams p;
    p.names = "Chapter 1\r\n\nChapter 3\n";
    host.settings.nameScope = NameScope::Main;
    PreviewExecuteUndo(kTaskNameList, TaskParameters::Of(p), {"Chapter 1.mp3", "d.mp3", "Chapter 3.mp3", "", ""},
                       {"Chapter 1.mp3", "d.mp3", "Chapter 3.mp3", "b.mp3", "a.mp3"});
}

TEST_F(ListFontRoundTrip, NameListWithATemplateOnWholeNames) {
    Prepare({"x.txt", "y.txt"});
    NameListParams p;
    p.names = "one\ntwo\nthree";  // more lines than rows
    p.useTemplate = true;
    p.pattern = "?-#扩展名";  // the rename step expands meta-variables per row
    PreviewExecuteUndo(kTaskNameList, TaskParameters::Of(p), {"one-txt", "two-txt"}, {"one-txt", "two-txt"});
}

TEST_F(ListFontRoundTrip, FontNamesAndFilesThatAreNoFonts) {
    Prepare({"b.ttf", "a.txt"});
    fs::copy_file(kDejaVuSans, work + "/font.ttf");
    store.AppendRow(work + "/", "font.ttf", {}, 0);
    const std::string face = GetFontFaceName(kDejaVuSans);
    ASSERT_FALSE(face.empty());
    FontNameParams p;
    host.settings.nameScope = NameScope::Main;
    PreviewExecuteUndo(kTaskFontName, TaskParameters::Of(p), {"b.ttf", "a.txt", face + ".ttf"},
                       {"b.ttf", "a.txt", face + ".ttf"});
}

}  // namespace
}  // namespace varnel

#include "naming/common_name.h"
#include "renames/rename_task.h"

#include <climits>
#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace varnel {
namespace {

struct Row {
    std::string folder;
    std::string name;
};

std::vector<std::string> NamesFor(const CommonRenameParams& params, const std::vector<Row>& rows) {
    CommonNumbering numbering(params);
    std::vector<std::string> names;
    for (const Row& row : rows) names.push_back(MakeCommonName(row.name, row.folder, params, numbering));
    return names;
}

CommonRenameParams Numbered(std::function<void(CommonRenameParams&)> adjust) {
    CommonRenameParams p;
    p.changeMainName = true;
    p.type = CommonMainNameType::NumberOldMain;
    p.start = 1;
    p.step = 1;
    p.zeroCount = 2;
    adjust(p);
    return p;
}

std::vector<Row> Files(std::initializer_list<const char*> names) {
    std::vector<Row> rows;
    for (const char* name : names) rows.push_back({"/d/", name});
    return rows;
}

TEST(CommonName, MakerTable) {
    struct Case {
        const char* what;
        CommonRenameParams params;
        std::vector<Row> rows;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"the example",
         Numbered([](auto& p) {
             p.attach = true;
             p.attachedText = "、";
         }),
         Files({"photo.jpg", "a.jpg"}),
         {"photo001、.jpg", "a002、.jpg"}},
        {"number right of the old main name", Numbered([](auto&) {}), Files({"photo.jpg"}), {"photo001.jpg"}},
        {"number left", Numbered([](auto& p) { p.left = true; }), Files({"photo.jpg"}), {"001photo.jpg"}},
        {"zeros stay in front without uniform", Numbered([](auto& p) { p.start = 10; }), Files({"x"}), {"x0010"}},
        {"uniform pads to the width", Numbered([](auto& p) {
             p.start = 10;
             p.uniform = true;
         }),
         Files({"x"}), {"x010"}},
        {"uniform never cuts digits", Numbered([](auto& p) {
             p.start = 1000;
             p.uniform = true;
         }),
         Files({"x", "y"}), {"x1000", "y1001"}},
        {"uniform keeps the sign", Numbered([](auto& p) {
             p.start = -5;
             p.uniform = true;
         }),
         Files({"x"}), {"x-05"}},
        {"new main name numbered", Numbered([](auto& p) {
             p.type = CommonMainNameType::NumberNewMain;
             p.newMainName = "图";
             p.step = 2;
         }),
         Files({"a.jpg", "b.png", "c.jpg"}), {"图001.jpg", "图003.png", "图005.jpg"}},
        {"custom without a star", Numbered([](auto& p) {
             p.type = CommonMainNameType::CustomMain;
             p.newMainName = "同名";
         }),
         Files({"a.jpg", "b.jpg"}), {"同名.jpg", "同名.jpg"}},
        {"custom with two stars", Numbered([](auto& p) {
             p.type = CommonMainNameType::CustomMain;
             p.newMainName = "第*集-*";
             p.zeroCount = 0;
         }),
         Files({"a.mp4", "b.mp4"}), {"第1集-1.mp4", "第2集-2.mp4"}},
        {"empty new extension", Numbered([](auto& p) {
             p.changeMainName = false;
             p.changeExtension = true;
             p.newExtension = "";
         }),
         Files({"a.jpg", "b"}), {"a", "b"}},
        {"new extension", Numbered([](auto& p) {
             p.changeMainName = false;
             p.changeExtension = true;
             p.newExtension = "png";
         }),
         // A hidden file keeps its name and gains the extension.
         Files({"a.jpg", "b", ".profile", ".config.json"}), {"a.png", "b.png", ".profile.png", ".config.png"}},
        {"letters from start 0", Numbered([](auto& p) {
             p.type = CommonMainNameType::NumberNewMain;
             p.newMainName = "x";
             p.letters = true;
             p.upper = true;
             p.start = 0;
         }),
         Files({"a", "b", "c"}), {"x", "xA", "xB"}},
        {"lower-case letters past Z", Numbered([](auto& p) {
             p.letters = true;
             p.start = 26;
         }),
         Files({"a", "b"}), {"az", "baa"}},
        {"Chinese numerals ignore zeros and uniform", Numbered([](auto& p) {
             p.upper = true;
             p.uniform = true;
             p.start = 12;
         }),
         Files({"第.txt"}), {"第十二.txt"}},
        {"traditional Chinese numerals", Numbered([](auto& p) {
             p.upper = true;
             p.traditional = true;
             p.start = 12;
         }),
         Files({"第"}), {"第壹拾贰"}},
        {"Chinese amount", Numbered([](auto& p) {
             p.upper = true;
             p.amount = true;
             p.traditional = true;
             p.start = 123;
         }),
         Files({"金"}), {"金壹佰贰拾叁元整"}},
        {"text attached left", Numbered([](auto& p) {
             p.attach = true;
             p.attachLeft = true;
             p.attachedText = "#";
         }),
         Files({"a"}), {"a#001"}},
        {"neither box", Numbered([](auto& p) { p.changeMainName = false; }), Files({"a.jpg"}), {"a.jpg"}},
        {"an empty main name leaves the name", Numbered([](auto& p) {
             p.type = CommonMainNameType::CustomMain;
             p.newMainName = "*";
             p.letters = true;
             p.start = 0;
         }),
         Files({"a.jpg", "b.jpg"}), {"a.jpg", "a.jpg"}},
        {"per folder A A B A", Numbered([](auto& p) {
             p.perFolder = true;
             p.zeroCount = 0;
         }),
         {{"/A/", "x"}, {"/A/", "y"}, {"/B/", "z"}, {"/A/", "w"}}, {"x1", "y2", "z1", "w3"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NamesFor(c.params, c.rows), c.names) << c.what;
    }
}

TEST(CommonName, CountersSaturateInsteadOfWrapping) {
    CommonRenameParams params;
    params.step = kCounterLimit;
    CommonNumbering numbering(params);
    std::int64_t counter = INT64_MAX - 3;
    numbering.Advance(counter);
    EXPECT_EQ(counter, INT64_MAX);
    params.step = -kCounterLimit;
    counter = INT64_MIN + 3;
    numbering.Advance(counter);
    EXPECT_EQ(counter, INT64_MIN);
}

TEST(CommonName, RunnerRenamesEveryRowAndPreviewsTheSame) {
    testing::TempDir dir;
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) dir.Write(name, name);
    RowStore store;
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) store.AppendRow(dir.Path(), name, {}, 0);
    CommonRenameParams params;
    params.newMainName = "#目录名_";
    const std::string folderName = std::filesystem::path(dir.Path()).filename();
    RunSettings settings;
    settings.meta.directoryName.level = 1;
    for (RunMode mode : {RunMode::FullPreview, RunMode::Execute}) {
        RunControl control;
        control.TryBegin(TaskKindOf(mode));
        RunContext run(mode, 1, settings, control);
        RunRows rows(store, store.RowIds());
        RunCommonRenameTask(run, rows, params);
    }
    for (int i = 0; i < 3; ++i) {
        const std::string expected = folderName + "_00" + std::to_string(i + 1) + ".jpg";
        EXPECT_EQ(store.GetCellText(static_cast<std::size_t>(i), ListColumn::Preview), expected);
        EXPECT_EQ(store.Name(static_cast<std::size_t>(i)), expected);
        EXPECT_TRUE(std::filesystem::exists(dir / expected));
    }
}

}  // namespace
}  // namespace varnel

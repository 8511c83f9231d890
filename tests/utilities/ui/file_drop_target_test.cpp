#include "utilities/ui/file_drop_target.h"

#include <QUrl>
#include <QWidget>

#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "support/qt_app.h"
#include "utilities/path_routines.h"

namespace varnel {
namespace {

using Call = std::tuple<std::string, std::string, std::size_t, std::size_t>;

std::vector<Call> Drop(QWidget&, const QList<QUrl>& urls) {
    std::vector<Call> calls;
    DeliverDroppedUrls(urls, [&](const std::string& folder, const std::string& name,
                                 std::size_t length, std::size_t total) {
        calls.emplace_back(folder, name, length, total);
    });
    return calls;
}

TEST(FileDropTarget, EachPathArrivesSplitWithTheDropCount) {
    testing::TestApplication();
    QWidget window;
    const auto calls = Drop(window, {QUrl::fromLocalFile("/home/u/a.txt"), QUrl::fromLocalFile("/home/u/Folder"),
                                     QUrl("https://example.com/x"), QUrl::fromLocalFile("/")});
    const std::vector<Call> expected = {
        {"/home/u/", "a.txt", 13, 3}, {"/home/u/", "Folder", 14, 3}, {"/", "", 1, 3}};
    EXPECT_EQ(calls, expected);
}

TEST(FileDropTarget, NamesKeepTheirBytes) {
    testing::TestApplication();
    QWidget window;
    const auto calls = Drop(window, {QUrl::fromEncoded("file:///tmp/bad%FFname%0Aline")});
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(std::get<1>(calls[0]), "bad\xFFname\nline");
}

TEST(FileDropTarget, RegistrationAcceptsDropsOnce) {
    testing::TestApplication();
    QWidget window;
    RegisterFileDropTarget(&window, true, [](const std::string&, const std::string&, std::size_t, std::size_t) {});
    RegisterFileDropTarget(&window, true, [](const std::string&, const std::string&, std::size_t, std::size_t) {});
    EXPECT_TRUE(window.acceptDrops());
    EXPECT_EQ(window.children().size(), 1);
    RegisterFileDropTarget(&window, false, nullptr);
    EXPECT_FALSE(window.acceptDrops());
    EXPECT_TRUE(window.children().isEmpty());
}

TEST(DroppedPaths, Split) {
    EXPECT_EQ(GetFolderOfDroppedPath("/a/b.txt"), "/a/");
    EXPECT_EQ(GetNameOfDroppedPath("/a/b.txt"), "b.txt");
    EXPECT_EQ(GetFolderOfDroppedPath("/"), "/");
    EXPECT_EQ(GetNameOfDroppedPath("/"), "");
}

}  // namespace
}  // namespace varnel

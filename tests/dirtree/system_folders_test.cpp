#include "dirtree/system_folders.h"

#include <array>
#include <cstdio>
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/xdg_user_dirs.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

using testing::ScopedEnv;
using testing::TempDir;

// What the freedesktop tool `xdg-user-dir` reads from the same file.
std::string XdgUserDir(const TempDir& dir, const std::string& name) {
    const std::string command = "HOME='" + (dir / "home") + "' XDG_CONFIG_HOME='" + (dir / "config") +
                                "' xdg-user-dir " + name;
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        std::array<char, 512> buffer{};
        while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr) output += buffer.data();
        ::pclose(pipe);
    }
    if (!output.empty() && output.back() == '\n') output.pop_back();
    return output;
}

class SystemFoldersTest : public ::testing::Test {
protected:
    SystemFoldersTest() {
        std::filesystem::create_directories(dir / "home");
        std::filesystem::create_directories(dir / "config");
        env.Set("HOME", dir / "home");
        env.Set("XDG_CONFIG_HOME", dir / "config");
        env.Set("XDG_DATA_HOME", dir / "data");
        env.Set("XDG_CACHE_HOME", dir / "cache");
        dir.Write("config/user-dirs.dirs",
                  "# written by hand\n"
                  "XDG_DESKTOP_DIR=\"$HOME/桌面\"\n"
                  "XDG_DOCUMENTS_DIR=\"/srv/docs\"\n"
                  "XDG_MUSIC_DIR=\"$HOME/Music\"\n");
    }
    TempDir dir;
    ScopedEnv env;
};

TEST_F(SystemFoldersTest, PathsComeFromUserDirsAndTheBaseFolders) {
    SystemFolders folders(dir / "config/Varnel/Varnel注册表.ini");
    EXPECT_EQ(SystemFolderName(1), "桌面");
    EXPECT_EQ(SystemFolderName(23), "应用程序数据");
    EXPECT_EQ(SystemFolderName(24), "");
    EXPECT_EQ(folders.Path(1), XdgUserDir(dir, "DESKTOP"));
    EXPECT_EQ(folders.Path(1), dir / "home/桌面");
    EXPECT_EQ(folders.Path(2), "/srv/docs");
    EXPECT_EQ(folders.Path(8), XdgUserDir(dir, "MUSIC"));
    EXPECT_EQ(folders.Path(9), std::nullopt);  // pictures: not in the file
    EXPECT_EQ(folders.Path(4), dir / "data/fonts");
    EXPECT_EQ(folders.Path(7), dir / "config/autostart");
    EXPECT_EQ(folders.Path(11), dir / "cache");
    EXPECT_EQ(folders.Path(15), dir / "data/applications");
    for (int undefined : {3, 12, 13, 14, 16, 17, 18, 19, 20, 21, 22}) {
        EXPECT_EQ(folders.Path(undefined), std::nullopt) << undefined;
    }
    EXPECT_EQ(folders.Path(0), std::nullopt);
}

TEST_F(SystemFoldersTest, RedirectingRewritesUserDirsAsTheFreedesktopToolReadsIt) {
    SystemFolders folders(dir / "config/Varnel/Varnel注册表.ini");
    // (No backslash here: the tool prints with an echo that would take it as an escape.)
    const std::string odd = dir / "home/a \"b\" $c `d`";
    std::filesystem::create_directories(odd);
    ASSERT_TRUE(folders.Redirect(8, odd).has_value());
    ASSERT_TRUE(folders.Redirect(9, "/srv/pictures").has_value());
    EXPECT_EQ(XdgUserDir(dir, "MUSIC"), odd);
    EXPECT_EQ(folders.Path(8), odd);
    EXPECT_EQ(XdgUserDir(dir, "PICTURES"), "/srv/pictures");
    // The other lines stay as they were.
    const std::string text = dir.Read("config/user-dirs.dirs");
    EXPECT_TRUE(text.starts_with("# written by hand\nXDG_DESKTOP_DIR=\"$HOME/桌面\"\n")) << text;
    EXPECT_NE(text.find("XDG_MUSIC_DIR=\"$HOME/a \\\"b\\\" \\$c \\`d\\`\"\n"), std::string::npos)
        << text;
}

TEST_F(SystemFoldersTest, OtherFoldersAreRedirectedInTheProgramsOwnStore) {
    const std::string store = dir / "config/Varnel/Varnel注册表.ini";
    SystemFolders folders(store);
    ASSERT_TRUE(folders.Redirect(3, "/srv/favorites").has_value());
    ASSERT_TRUE(folders.Redirect(4, "/srv/fonts").has_value());
    EXPECT_EQ(folders.Path(3), "/srv/favorites");
    EXPECT_EQ(folders.Path(4), "/srv/fonts");
    EXPECT_EQ(SystemFolders(store).Path(3), "/srv/favorites");
    EXPECT_FALSE(folders.Redirect(24, "/srv").has_value());
}

TEST_F(SystemFoldersTest, MissingUserDirsFileGivesOnlyTheDesktop) {
    std::filesystem::remove(dir / "config/user-dirs.dirs");
    SystemFolders folders(dir / "config/Varnel/Varnel注册表.ini");
    EXPECT_EQ(folders.Path(1), dir / "home/Desktop");
    EXPECT_EQ(folders.Path(2), std::nullopt);
    // Redirecting makes the file, in the tool's format.
    ASSERT_TRUE(folders.Redirect(2, dir / "home/文档").has_value());
    EXPECT_EQ(XdgUserDir(dir, "DOCUMENTS"), dir / "home/文档");
}

TEST(UserDirsTextTest, ReadsTheFileFormat) {
    const std::string home = "/home/ann";
    struct Case {
        const char* text;
        std::optional<std::string> folder;
    };
    const Case cases[] = {
        {"XDG_MUSIC_DIR=\"$HOME/Music\"", "/home/ann/Music"},
        {"  XDG_MUSIC_DIR = \"/srv/m/\"", "/srv/m"},
        {"XDG_MUSIC_DIR=\"$HOME\"", "/home/ann"},
        {"XDG_MUSIC_DIR=\"$HOME/a\\\"b\\\\c\"", "/home/ann/a\"b\\c"},
        {"XDG_MUSIC_DIR=\"relative\"", std::nullopt},
        {"XDG_MUSIC_DIR=\"$HOMEX/a\"", std::nullopt},
        {"# XDG_MUSIC_DIR=\"/srv/m\"", std::nullopt},
        {"XDG_MUSIC_DIR=\"/first\"\r\nXDG_MUSIC_DIR=\"/second\"\r\n", "/second"},
        {"XDG_MUSICS_DIR=\"/srv\"", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(FindUserDirInText(c.text, "MUSIC", home), c.folder) << c.text;
    EXPECT_EQ(SetUserDirInText("A=1\nXDG_MUSIC_DIR=\"/old\"\n", "MUSIC", "/home/ann/M", home),
              "A=1\nXDG_MUSIC_DIR=\"$HOME/M\"\n");
    EXPECT_EQ(SetUserDirInText("A=1", "MUSIC", "/home/ann", home), "A=1\nXDG_MUSIC_DIR=\"$HOME/\"\n");
}

}  // namespace
}  // namespace varnel

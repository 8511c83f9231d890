// A home, config and data folder of their own for a directory tree under test, a
// "disk" folder standing for a second drive, and the tree's files in the sandbox.
#pragma once

#include <cerrno>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "dirtree/directory_tree.h"
#include "dirtree/tree_commands.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace varnel::testing {

class TreeSandbox {
public:
    TreeSandbox() {
        for (const char* folder : {"home/Desktop", "home/Music", "config", "data", "cache", "disk"}) {
            std::filesystem::create_directories(dir / folder);
        }
        env.Set("HOME", Home());
        env.Set("XDG_CONFIG_HOME", dir / "config");
        env.Set("XDG_DATA_HOME", dir / "data");
        env.Set("XDG_CACHE_HOME", dir / "cache");
        dir.Write("config/user-dirs.dirs",
                  "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_MUSIC_DIR=\"$HOME/Music\"\n");
        SetVirtualFolders("");
        snapshot.mounts = {MountEntry{"/", "ext4", "/dev/sda1", "rw", 8, 1},
                           MountEntry{Disk(), "ext4", "/dev/sdb1", "rw", 8, 17}};
        snapshot.drives = {Drive{"/", "", DriveType::Fixed, "/dev/sda1", false},
                           Drive{Disk(), "数据", DriveType::Fixed, "/dev/sdb1", false}};
    }

    std::string Home() const { return dir / "home"; }
    std::string Disk() const { return dir / "disk"; }
    std::string Path(const std::string& relative) const { return dir / relative; }
    std::string TreeFile() const { return dir / "config/Varnel/Varnel目录树.ini"; }
    std::string RegistryFile() const { return dir / "config/Varnel/Varnel注册表.ini"; }

    void MakeFolders(std::initializer_list<std::string> relatives) const {
        for (const std::string& relative : relatives) std::filesystem::create_directories(dir / relative);
    }
    void SetVirtualFolders(const std::string& text) const {
        std::filesystem::create_directories(dir / "config/Varnel");
        dir.Write("config/Varnel/Varnel目录树.ini", "[虚拟夹]\n虚拟子夹=" + text + "\n");
    }

    DirectoryTreeSetup Setup(PosixApi* os = nullptr) const {
        DirectoryTreeSetup setup;
        setup.treeFile = TreeFile();
        setup.registryFile = RegistryFile();
        setup.homeFolder = Home();
        setup.readMounts = [snapshot = snapshot] { return snapshot; };
        setup.os = os;
        return setup;
    }

    TempDir dir;
    ScopedEnv env;
    MountSnapshot snapshot;
};

// The child of `node` with the text, or null.
inline TreeNode* ChildNamed(const TreeNode* node, const std::string& text) {
    for (int row = 0; node != nullptr && row < node->ChildCount(); ++row) {
        if (node->Child(row)->Text() == text) return node->Child(row);
    }
    return nullptr;
}

// Answers the tree's questions as told, and keeps what it was asked and told.
class ScriptedDialogs final : public TreeDialogs {
public:
    bool Confirm(const std::string& text) override {
        questions.push_back(text);
        return confirm;
    }
    void Tell(const std::string& text) override { messages.push_back(text); }
    std::optional<std::string> AskText(const std::string& prompt, const std::string&,
                                       const std::string& initial) override {
        prompts.push_back(prompt);
        initials.push_back(initial);
        return answer;
    }
    bool confirm = true;
    std::optional<std::string> answer;
    std::vector<std::string> questions, messages, prompts, initials;
};

// Records what the tree asks of the desktop; labels fail when told to.
class RecordingShell final : public TreeShell {
public:
    std::expected<void, Error> OpenFolder(const std::string& path) override {
        opened.push_back(path);
        return {};
    }
    std::expected<void, Error> ShowInFileManager(const std::string& path) override {
        shown.push_back(path);
        return {};
    }
    std::expected<void, Error> MoveToTrash(const std::string& path) override {
        trashed.push_back(path);
        return {};
    }
    std::expected<void, Error> SetVolumeLabel(const std::string& device, const std::string& label) override {
        labels.emplace_back(device, label);
        if (!labelWorks) return std::unexpected(Error{EIO, "无法修改卷标: UDisks2 不可用", device});
        return {};
    }
    bool labelWorks = true;
    std::vector<std::string> opened, shown, trashed;
    std::vector<std::pair<std::string, std::string>> labels;
};

}  // namespace varnel::testing

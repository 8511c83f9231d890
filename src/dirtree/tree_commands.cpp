#include "dirtree/tree_commands.h"

#include <cerrno>

#include "fileops/copy_move.h"
#include "platform/delete_tree.h"
#include "platform/file_manager.h"
#include "platform/trash.h"
#include "platform/volume_label.h"
#include "platform/shell_open.h"
#include "utilities/utf8_text.h"

namespace varnel {

namespace {

constexpr const char* kNewFolderName = "Varnel文件夹";
constexpr const char* kDeleteFailed = "删除失败！";
constexpr const char* kProtectedFolder =
    "不能删除根目录、主目录、挂载点或系统夹所指的文件夹，也不能删除包含它们的文件夹！";
constexpr const char* kBadFolderName = "文件夹名称不能为空，不能含有“/”，也不能是“.”或“..”！";

constexpr const char* kVirtualFoldersHelp =
    "◆ 什么叫“虚拟夹”？\n"
    "虚拟夹把分散在各处的常用文件夹集中到一处，方便快速访问。每个虚拟子夹只是指向一个"
    "物理文件夹的入口，加入虚拟夹不会改变文件夹在磁盘上的路径。\n\n"
    "◆ 如何加入“虚拟夹”？\n"
    "在目录树的任意文件夹（包括虚拟子夹）上右击，选择“加入到虚拟夹”，它就以最后一级文件夹"
    "的名称加到虚拟夹的末尾；也可以在“虚拟夹”上右击，选择“新建虚拟子夹”，输入要指向的"
    "文件夹路径。\n\n"
    "◆ 加入“虚拟夹”后如何管理虚拟子夹？\n"
    "在虚拟子夹上右击：“重定向虚拟路径...”让它指向另一个文件夹；“重命名虚拟子夹”只改它的"
    "显示名称，所指文件夹的名称不变；“移除虚拟子夹”只把它从虚拟夹中移除，所指的文件夹原样"
    "保留；“移除虚拟子夹并删除目录”在移除的同时删除所指的文件夹。所指文件夹暂时不在"
    "（如移动盘未插入）的虚拟子夹显示为灰色，仍然保留。";

constexpr const char* kSystemFoldersHelp =
    "◆ 什么叫“系统夹”？\n"
    "系统夹列出当前用户的常用系统文件夹，如桌面、我的文档、我的音乐、我的图片、字体、"
    "启动项等。显示为灰色的项目在本系统中没有对应的文件夹（路径未定义），可以用重定向"
    "为它指定一个。\n\n"
    "◆ 修改系统目录的指向目录路径\n"
    "在系统夹的项目上右击，选择“重定向系统路径...”，输入一个已存在的文件夹。桌面、我的文档、"
    "我的音乐、我的图片和我的视频的指向写入用户目录配置（user-dirs.dirs），对整个桌面环境"
    "生效，文件管理器可能需要刷新或重新启动才能显示新的位置；其余项目的指向只对本软件有效。";

constexpr const char* kTreeHelp =
    "目录树\n\n"
    "勾选的文件夹就是“读目录树”读入文件列表的文件夹；勾选框改变时，勾选的文件夹随即读入"
    "列表（按住 Alt 键则不读入）。\n"
    "文件夹在展开时才读取其下的子文件夹。右击任意节点弹出对应操作的菜单：“刷新选中”重新读取"
    "该节点的子文件夹，“刷新全部”重建整个目录树，“跳转到...”定位到输入的路径。\n"
    "我的电脑列出根目录和已挂载的移动盘、网络盘等，显示卷标或磁盘类型。";

bool IsValidFolderName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

std::string JoinPath(const std::string& folder, std::string_view name) {
    return (folder.ends_with('/') ? folder : folder + "/") + std::string(name);
}

std::string DescribeError(const Error& error) {
    return error.path.empty() ? error.message : error.message + "\n" + error.path;
}

class DesktopShell final : public TreeShell {
public:
    std::expected<void, Error> OpenFolder(const std::string& path) override {
        return OpenWithShell(path);
    }
    std::expected<void, Error> ShowInFileManager(const std::string& path) override {
        return ShowItemInFileManager(path);
    }
    std::expected<void, Error> MoveToTrash(const std::string& path) override {
        return varnel::MoveToTrash(path);
    }
    std::expected<void, Error> SetVolumeLabel(const std::string& device,
                                              const std::string& label) override {
        return varnel::SetVolumeLabel(device, label);
    }
};

}  // namespace

CommandFlags ApplicableCommands(NodeKind k, std::optional<NodeKind> p) {
    auto is = [](NodeKind kind, std::initializer_list<NodeKind> kinds) {
        for (NodeKind candidate : kinds) {
            if (kind == candidate) return true;
        }
        return false;
    };
    using enum NodeKind;
    CommandFlags flags;
    flags.open = !is(k, {SystemFolders, VirtualFolders});
    flags.openParent = flags.open;
    flags.newFolder = !is(k, {Computer, SystemFolders});
    flags.rename = !is(k, {Computer, Desktop, SystemFolders, VirtualFolders}) && p != SystemFolders;
    flags.remove = k == Folder || p == VirtualFolders;
    flags.removeToTrash = flags.remove;
    flags.copyPath = !is(k, {Computer, SystemFolders, VirtualFolders});
    flags.addToVirtual = flags.copyPath;
    flags.removeVirtual = p == VirtualFolders;
    flags.redirectVirtual = flags.removeVirtual;
    flags.redirectSystem = p == SystemFolders;
    flags.newVirtualCaption = k == VirtualFolders;
    flags.renameVirtualCaption = p == VirtualFolders;
    flags.deleteVirtualCaption = p == VirtualFolders;
    flags.aboutVirtual = k == VirtualFolders;
    flags.aboutSystem = k == SystemFolders;
    flags.aboutTree = k == Computer;
    return flags;
}

CommandFlags GetApplicableCommands(const TreeNode* node) {
    return node != nullptr ? ApplicableCommands(node->Kind(), node->ParentKind()) : CommandFlags{};
}

TreeShell& SystemTreeShell() {
    static DesktopShell shell;
    return shell;
}

TreeCommands::TreeCommands(DirectoryTree& tree, TreeDialogs& dialogs, TreeShell& shell)
    : m_tree(tree), m_dialogs(dialogs), m_shell(shell) {}

void TreeCommands::TellFailure(const char* what, const Error& error) {
    m_dialogs.Tell(std::string(what) + "\n" + DescribeError(error));
}

void TreeCommands::TellIfSaveFailed(const std::expected<void, Error>& saved) {
    if (!saved) TellFailure("虚拟夹保存失败！", saved.error());
}

bool TreeCommands::OpenNode(TreeNode* node, bool inFileManager) {
    // 我的电脑 has no folder of its own; the root of the file system stands for it.
    const auto path = node->Kind() == NodeKind::Computer ? std::optional<std::string>("/")
                                                          : m_tree.GetItemPath(node);
    if (!path) {
        m_dialogs.Tell(kUndefinedPathText);
        return false;
    }
    auto opened = inFileManager ? m_shell.ShowInFileManager(*path) : m_shell.OpenFolder(*path);
    if (!opened) {
        TellFailure("打开失败！", opened.error());
        return false;
    }
    return true;
}

bool TreeCommands::OpenSelectedNode(TreeNode* node) {
    return GetApplicableCommands(node).open && OpenNode(node, false);
}

bool TreeCommands::OpenParentOfSelected(TreeNode* node) {
    return GetApplicableCommands(node).openParent && OpenNode(node, true);
}

std::optional<std::string> TreeCommands::CheckedFolderAnswer(const std::string& answer,
                                                             bool forVirtual) {
    std::string path = answer;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    if (forVirtual && !IsStorableInVirtualFolders(path)) {
        m_dialogs.Tell(kUnstorableTextMessage);
        return std::nullopt;
    }
    if (path.empty() || path[0] != '/' || !m_tree.IsExistingFolder(path)) {
        m_dialogs.Tell("“" + answer + "”不是一个已存在的文件夹的完整路径！");
        return std::nullopt;
    }
    return path;
}

TreeNode* TreeCommands::CreateNodeFolder(TreeNode* node) {
    if (!GetApplicableCommands(node).newFolder) return nullptr;
    if (node->Kind() == NodeKind::VirtualFolders) {
        const auto answer = m_dialogs.AskText("新建一个用户定义的虚拟子夹(指向一个物理目录路径)：", "",
                                              "您可以事先复制好目录路径再粘贴于此");
        if (!answer) return nullptr;
        const auto path = CheckedFolderAnswer(*answer, true);
        if (!path) return nullptr;
        auto [added, saved] = m_tree.AddVirtualFolder(VirtualFolderRecord{"", *path});
        TellIfSaveFailed(saved);
        return added;
    }
    m_tree.RefreshItem(*node, true);
    const auto folder = m_tree.GetItemPath(node);
    if (!folder) {
        m_dialogs.Tell(std::string("新建目录失败！\n") + kUndefinedPathText);
        return nullptr;
    }
    for (int n = 0; n < kMaxNewFolderAttempts; ++n) {
        std::string name = kNewFolderName;
        if (n > 0) name.append("(").append(std::to_string(n)).append(")");
        const std::string path = JoinPath(*folder, name);
        if (m_tree.Os().Mkdir(path.c_str(), 0777) == 0) return m_tree.AddFolderChild(*node, name);
        // Only a name in use makes the next number worth a try.
        if (errno != EEXIST) {
            TellFailure("新建目录失败！", MakeSystemError(errno, path));
            return nullptr;
        }
    }
    TellFailure("新建目录失败！", MakeSystemError(EEXIST, JoinPath(*folder, kNewFolderName)));
    return nullptr;
}

bool TreeCommands::DeleteSelectedNode(TreeNode* node, bool toTrash) {
    if (!GetApplicableCommands(node).remove) return false;
    const bool isVirtual = node->IsVirtualEntry();
    const auto path = m_tree.GetItemPath(node);
    if (!path) {
        m_dialogs.Tell(kDeleteFailed);
        return false;
    }
    const std::string mark = toTrash ? "(回收站可见)" : "";
    const std::string text = ToDisplayText(node->Text());
    std::string question;
    if (isVirtual) {
        question = "确定要物理删除虚拟子夹“" + text + "”指向的文件夹“" + ToDisplayText(*path) +
                   "”吗？" + mark +
                   "\n\n这是一个虚拟子夹，删除虚拟子夹指向的文件夹的同时，虚拟子夹也将被移除。\n"
                   "如果只是想要移除虚拟子夹而非物理删除指向的文件夹，可以执行“移除虚拟子夹”菜单项";
    } else {
        question = "确定要物理删除文件夹“" + text + "”吗？" + mark;
    }
    if (!m_dialogs.Confirm(question)) return false;

    struct stat info {};
    const bool exists = m_tree.Os().Lstat(path->c_str(), &info) == 0;
    // A virtual folder whose folder is gone already only needs removing.
    if (exists || !isVirtual) {
        if (m_tree.IsProtectedFolder(*path)) {
            m_dialogs.Tell(kProtectedFolder);
            return false;
        }
        auto deleted = toTrash ? m_shell.MoveToTrash(*path) : DeletePathTree(*path, m_tree.Os());
        if (!deleted) {
            TellFailure(kDeleteFailed, deleted.error());
            return false;
        }
    }
    if (isVirtual) {
        TellIfSaveFailed(m_tree.RemoveVirtualFolder(*node));
    } else {
        m_tree.DeleteNode(*node);
    }
    return true;
}

bool TreeCommands::RelabelDrive(TreeNode* node) {
    if (!GetApplicableCommands(node).rename || node->Kind() != NodeKind::Drive) return false;
    const Drive* drive = m_tree.DriveOf(*node);
    if (drive == nullptr) return false;
    const auto answer = m_dialogs.AskText("请输入 " + ToDisplayText(drive->mountPoint) + " 的卷标名称：",
                                          "输入卷标", drive->label);
    if (!answer || *answer == drive->label) return false;
    // An empty answer removes the label; the node then shows the drive's type word.
    if (auto relabelled = m_shell.SetVolumeLabel(drive->device, *answer); !relabelled) {
        TellFailure("修改卷标失败！", relabelled.error());
        return false;
    }
    m_tree.SetDriveLabel(*node, *answer);
    return true;
}

bool TreeCommands::FinishLabelEdit(TreeNode* node, const std::string& text) {
    if (!GetApplicableCommands(node).rename) return false;
    // The offered text confirmed as it was: nothing to do (a name that is not valid
    // UTF-8 comes back in its display form).
    if (text.empty() || text == node->Text() || text == ToDisplayText(node->Text())) return false;
    if (node->IsVirtualEntry()) {
        if (!IsStorableInVirtualFolders(text)) {
            m_dialogs.Tell(kUnstorableTextMessage);
            return false;
        }
        TellIfSaveFailed(m_tree.RenameVirtualFolder(*node, text));
        return true;
    }
    if (node->Kind() != NodeKind::Folder) return false;
    if (!IsValidFolderName(text)) {
        m_dialogs.Tell(kBadFolderName);
        return false;
    }
    const auto folder = m_tree.GetItemPath(node->Parent());
    if (!folder) return false;
    const std::string from = JoinPath(*folder, node->Text());
    const std::string to = JoinPath(*folder, text);
    if (auto renamed = MovePathNoReplace(from, to, m_tree.Os()); !renamed) {
        TellFailure("重命名失败！", renamed.error());
        return false;
    }
    m_tree.SetNodeText(*node, text);
    return true;
}

std::optional<std::string> TreeCommands::CopyNodeNameOrPath(TreeNode* node, bool nameOnly) {
    if (node == nullptr) return std::nullopt;
    if (nameOnly) return node->Text();
    if (!GetApplicableCommands(node).copyPath) return std::nullopt;
    return m_tree.GetItemPath(node);
}

TreeNode* TreeCommands::AddSelectedToVirtualFolders(TreeNode* node) {
    if (!GetApplicableCommands(node).addToVirtual) return nullptr;
    const auto path = m_tree.GetItemPath(node);
    if (!path) {
        m_dialogs.Tell(kUndefinedPathText);
        return nullptr;
    }
    const auto checked = CheckedFolderAnswer(*path, true);
    if (!checked) return nullptr;
    auto [added, saved] = m_tree.AddVirtualFolder(VirtualFolderRecord{"", *checked});
    TellIfSaveFailed(saved);
    return added;
}

bool TreeCommands::RemoveVirtualFolder(TreeNode* node) {
    if (!GetApplicableCommands(node).removeVirtual) return false;
    TellIfSaveFailed(m_tree.RemoveVirtualFolder(*node));
    return true;
}

bool TreeCommands::RedirectVirtualFolder(TreeNode* node) {
    if (!GetApplicableCommands(node).redirectVirtual) return false;
    const VirtualFolderRecord* record = m_tree.RecordOf(*node);
    if (record == nullptr) return false;
    const auto answer = m_dialogs.AskText(
        "重新指定用户定义的虚拟子夹“" + ToDisplayText(node->Text()) + "”的指向路径", "", record->path);
    if (!answer) return false;
    const auto path = CheckedFolderAnswer(*answer, true);
    if (!path) return false;
    TellIfSaveFailed(m_tree.RedirectVirtualFolder(*node, *path));
    return true;
}

bool TreeCommands::RedirectSelectedSystemFolder(TreeNode* node) {
    if (!GetApplicableCommands(node).redirectSystem) return false;
    const auto current = m_tree.Systems().Path(node->SystemIndex());
    const auto answer = m_dialogs.AskText(
        "重新指定注册表定义的系统文件夹“" + node->Text() + "”的指向路径：", "", current.value_or(""));
    if (!answer) return false;
    const auto path = CheckedFolderAnswer(*answer, false);
    if (!path) return false;
    if (auto redirected = m_tree.RedirectSystemFolder(*node, *path); !redirected) {
        TellFailure("重定向失败！", redirected.error());
        return false;
    }
    return true;
}

void TreeCommands::ShowVirtualFoldersHelp(TreeNode* node) {
    if (GetApplicableCommands(node).aboutVirtual) m_dialogs.Tell(kVirtualFoldersHelp);
}

void TreeCommands::ShowSystemFoldersHelp(TreeNode* node) {
    if (GetApplicableCommands(node).aboutSystem) m_dialogs.Tell(kSystemFoldersHelp);
}

void TreeCommands::ShowTreeHelp(TreeNode* node) {
    if (GetApplicableCommands(node).aboutTree) m_dialogs.Tell(kTreeHelp);
}

std::optional<std::string> TreeCommands::AskJumpPath() {
    return m_dialogs.AskText("请输入一个要跳转到的路径：", "跳到：", "");
}

}  // namespace varnel

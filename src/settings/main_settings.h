// The main window's own settings groups and the two small groups beside them (time
// column format, find options): their values with the window's designed defaults,
// and the routines that load them from or save them into the settings store.
#pragma once

#include <cstdint>
#include <expected>
#include <string>

#include "settings/find_options.h"
#include "settings/settings_store.h"
#include "utilities/error.h"
#include "utilities/time_format.h"

namespace varnel {

inline constexpr const char* kMainSettingsFileName = "Varnel更名.ini";
inline constexpr const char* kDefaultFilterText = "*.rar|*.txt|*.exe|*Varnel*";
inline constexpr const char* kDefaultTextPreviewExtensions =
    "bat,txt,ini,inf,bat,key,reg,log,h,cmd,vbs";

// Window state numbers as stored under 窗口位置.
enum class StoredWindowState : std::int32_t { Normal = 0, Minimised = 2, Maximised = 3 };

// Every key of the main window's sections. Menu checks are named by the caption
// that is their key; where a menu pair is exclusive only the first item is kept
// (its partner shows the opposite).
struct MainSettings {
    // 遍历参数
    std::string walkDepth = "1";
    bool ignoreFolders = false;
    bool ignoreFiles = false;
    // 过滤参数
    bool filterEnabled = false;
    std::int32_t mainEngine = 1;  // 0 常规, 1 通配符, 2 正则
    std::string filterText = kDefaultFilterText;
    bool filterIgnoreCase = false;
    bool filterWholeMatch = false;
    bool filterInvert = false;
    // 列定义
    bool columnPreview = true;     // 预览专区
    bool columnSize = false;       // 文件大小
    bool columnType = false;       // 文件类型
    bool columnAttributes = false; // 文件属性
    bool columnCreated = false;    // 创建时间
    bool columnModified = false;   // 修改时间
    bool columnAccessed = false;   // 访问时间
    bool columnFolder = true;      // 所属目录
    bool autoFitColumns = true;    // 自动调节
    bool builtInIcons = true;      // 内置图标 (else 系统图标)
    bool largeIcons = true;        // 大图标(32x32) (else 小图标(16x16))
    // 界面布局
    bool showToolbar = true;
    bool showStatusBar = true;
    bool showTree = true;
    bool stayOnTop = false;
    double treeWidth = 220;
    std::string treePath;          // the tree's selected folder
    double taskBoxWidth = 190;
    double taskBoxCurrent = 0;
    std::string taskBoxExpansion;  // "item,1;item,0": which task groups are expanded
    bool showBatchTaskArea = true;
    StoredWindowState windowState = StoredWindowState::Normal;
    double windowLeft = 50;
    double windowTop = 50;
    double windowWidth = 1000;
    double windowHeight = 700;
    // 文件内容预览
    bool previewImages = true;     // 图像(Gif|Jpg|Bmp|Ico|Cur)
    bool previewAudio = true;      // 音频(Mp3|Mid|Wav)
    bool previewText = true;       // 文本(自定义格式)
    std::string textPreviewExtensions = kDefaultTextPreviewExtensions;
    bool repeatPlayback = true;    // 重复播放
    // 音乐 Id3 预览
    bool id3PreviewV1 = false;
    bool id3PreviewV2 = false;
    bool id3Complementary = true;  // 互补预览
    bool id3AutoLyrics = true;     // 自动显示歌词
    // 设置
    bool sendToMenu = true;              // 右键 发送到 菜单
    bool treeSingleClick = true;         // 单击 (else 双击)
    bool dropByWalkSettings = false;     // 根据遍历设置输入 (else 直接输入单层列表)
    bool doubleClickOpensFolder = false; // 资源管理器中打开 (else 载入子列表)
    std::int32_t lastCopyKind = 0;
    std::int32_t numericSortGroup = 0;
};

// Loads (save false) or saves (save true) every key of the main window's sections,
// in the order of the file. A save also writes the store to disk.
std::expected<void, Error> LoadOrSaveMainSettings(SettingsStore& store, MainSettings& settings,
                                                  bool save);

// Section 时间格式. An empty stored pattern loads as the default pattern.
std::expected<void, Error> LoadOrSaveTimeFormat(SettingsStore& store, TimeFormat& format,
                                                bool save);
// The list's time columns before any settings are read.
TimeFormat DefaultListTimeFormat();

// Section 查找表项. Out-of-range column and engine values load as 0.
std::expected<void, Error> LoadOrSaveFindOptions(SettingsStore& store, FindOptions& options,
                                                 bool save);

}  // namespace varnel

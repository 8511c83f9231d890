#include "runs/task_table.h"

#include <algorithm>
#include <array>

namespace varnel {

namespace {

constexpr std::string_view kNoFlags = "";
constexpr std::string_view kNoPreview = ",真,";

constexpr auto kTasks = std::to_array<TaskDefinition>({
    {1, "文件改名 > 常用", "CommonRenamePanel", "批量常用", kNoFlags, true},
    {2, "文件改名 > 替换", "ReplacePanel", "批量替换", kNoFlags, true},
    {3, "文件改名 > 正则", "RegexRenamePanel", "批量正则", kNoFlags, true},
    {4, "文件改名 > 删除", "DeletePanel", "批量删除", kNoFlags, true},
    {5, "文件改名 > 转换", "ConvertPanel", "批量转换", kNoFlags, true},
    {6, "文件改名 > 清除", "ClearCharsPanel", "批量清除", kNoFlags, true},
    {7, "文件改名 > 插入", "InsertPanel", "批量插入", kNoFlags, true},
    {8, "文件改名 > 拼音", "PinyinCasePanel", "批量拼音", kNoFlags, true},
    {9, "文件改名 > 提取 > 元素区间", "ExtractElementPanel", "批量提取元素区间", kNoFlags, true},
    {10, "文件改名 > 提取 > 指定位置", "ExtractPositionPanel", "批量提取位置", kNoFlags, true},
    {11, "文件改名 > 提取 > 指定行号", "ExtractLinePanel", "批量提取行", kNoFlags, true},
    {12, "文件改名 > 提取 > 正则匹配", "RegexExtractPanel", "批量正则提取", kNoFlags, true},
    {13, "文件改名 > 列表", "NameListPanel", "批量列表", kNoFlags, true},
    {14, "文件改名 > 字体", "FontNamePanel", "批量字体", kNoFlags, true},
    {15, "内容编辑 > 纯文本 > 插入", "ContentInsertPanel", "批量内容插入", kNoPreview, false},
    {16, "内容编辑 > 纯文本 > 替换", "ContentReplacePanel", "批量内容替换", kNoPreview, false},
    {17, "内容编辑 > 纯文本 > 转换", "ContentConvertPanel", "批量内容转换", kNoPreview, false},
    {18, "综合任务 > 分割", "SplitPanel", "批量分割", "真,真,真", false},
    {19, "综合任务 > 时间", "FileTimesPanel", "批量时间", kNoPreview, false},
    {20, "综合任务 > 属性", "AttributesPanel", "批量属性", kNoPreview, false},
    {21, "综合任务 > 快捷", "ShortcutPropertiesPanel", "批量快捷方式", kNoPreview, false},
    {22, "内容编辑 > 纯文本 > 元素", "WriteElementPanel", "批量写入元素", kNoFlags, false},
    {23, "综合任务 > 路径", "PathTransferPanel", "批量路径", ",真,真", false},
    {24, "综合任务 > 创建", "CreatePanel", "批量创建", ",真,真", false},
    {25, "文件改名 > 标签 > MP3音频", "Id3ReadPanel", "批量Id3读出", kNoFlags, true},
    {26, "综合任务 > 标签 > MP3音频 > 写入", "Id3WritePanel", "批量Id3写入", kNoPreview, false},
    {27, "综合任务 > 标签 > MP3音频 > 转换", "Id3ConvertPanel", "批量Id3转换", kNoPreview, false},
    {28, "综合任务 > 标签 > MP3音频 > 复制", "Id3CopyPanel", "批量Id3复制", kNoPreview, false},
    {111, "更多扩展 > 下载", "DownloadPanel", "批量下载", ",真,真", false},
});

constexpr auto kTaskBox = std::to_array<TaskBoxEntry>({
    {0, "文件改名", 1},
    {1, "常用", 1},
    {1, "替换", 2},
    {1, "正则", 3},
    {1, "删除", 4},
    {1, "转换", 5},
    {1, "清除", 6},
    {1, "插入", 7},
    {1, "拼音", 8},
    {1, "提取", 9},
    {2, "元素区间", 9},
    {2, "指定位置", 10},
    {2, "指定行号", 11},
    {2, "正则匹配", 12},
    {1, "列表", 13},
    {1, "字体", 14},
    {1, "标签", 25},
    {2, "MP3音频", 25},
    {0, "内容编辑", 15},
    {1, "纯文本", 15},
    {2, "插入", 15},
    {2, "替换", 16},
    {2, "转换", 17},
    {2, "元素", 22},
    {0, "综合任务", 18},
    {1, "时间", 19},
    {1, "属性", 20},
    {1, "快捷", 21},
    {1, "路径", 23},
    {1, "创建", 24},
    {1, "标签", 26},
    {2, "MP3音频", 26},
    {3, "写入", 26},
    {3, "转换", 27},
    {3, "复制", 28},
    {1, "分割", 18},
    {0, "更多扩展", 111},
    {1, "下载", 111},
});

}  // namespace

std::span<const TaskDefinition> TaskTable() { return kTasks; }

const TaskDefinition* FindTaskDefinition(int number) {
    const auto found = std::ranges::find(kTasks, number, &TaskDefinition::number);
    return found == kTasks.end() ? nullptr : &*found;
}

PanelFlags ParsePanelFlags(std::string_view flags) {
    std::array<bool, 3> disabled{};
    for (std::size_t part = 0; part < disabled.size(); ++part) {
        const std::size_t comma = flags.find(',');
        disabled[part] = flags.substr(0, comma) == "真";
        if (comma == std::string_view::npos) break;
        flags.remove_prefix(comma + 1);
    }
    return {disabled[0], disabled[1], disabled[2]};
}

std::span<const TaskBoxEntry> TaskBoxEntries() { return kTaskBox; }

bool TaskRegistry::RegisterRunner(int number, TaskRunner runner) {
    if (FindTaskDefinition(number) == nullptr) return false;
    m_runners[number] = std::move(runner);
    return true;
}

TaskRunner TaskRegistry::Runner(int number) const {
    const auto found = m_runners.find(number);
    return found == m_runners.end() ? TaskRunner() : found->second;
}

bool TaskRegistry::HasRunner(int number) const {
    const auto found = m_runners.find(number);
    return found != m_runners.end() && static_cast<bool>(found->second);
}

}  // namespace varnel

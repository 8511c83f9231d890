#include "runs/task_table.h"

#include <algorithm>
#include <array>

namespace varnel {

namespace {

constexpr std::string_view kNoFlags = "";
constexpr std::string_view kNoPreview = ",真,";

constexpr auto kTasks = std::to_array<TaskDefinition>({
    {kTaskCommonRename, "文件改名 > 常用", "CommonRenamePanel", "批量常用", kNoFlags, true},
    {kTaskReplace, "文件改名 > 替换", "ReplacePanel", "批量替换", kNoFlags, true},
    {kTaskRegexRename, "文件改名 > 正则", "RegexRenamePanel", "批量正则", kNoFlags, true},
    {kTaskDelete, "文件改名 > 删除", "DeletePanel", "批量删除", kNoFlags, true},
    {kTaskConvert, "文件改名 > 转换", "ConvertPanel", "批量转换", kNoFlags, true},
    {kTaskClearChars, "文件改名 > 清除", "ClearCharsPanel", "批量清除", kNoFlags, true},
    {kTaskInsert, "文件改名 > 插入", "InsertPanel", "批量插入", kNoFlags, true},
    {kTaskPinyinCase, "文件改名 > 拼音", "PinyinCasePanel", "批量拼音", kNoFlags, true},
    {kTaskExtractElement, "文件改名 > 提取 > 元素区间", "ExtractElementPanel", "批量提取元素区间", kNoFlags, true},
    {kTaskExtractPosition, "文件改名 > 提取 > 指定位置", "ExtractPositionPanel", "批量提取位置", kNoFlags, true},
    {kTaskExtractLine, "文件改名 > 提取 > 指定行号", "ExtractLinePanel", "批量提取行", kNoFlags, true},
    {kTaskRegexExtract, "文件改名 > 提取 > 正则匹配", "RegexExtractPanel", "批量正则提取", kNoFlags, true},
    {kTaskNameList, "文件改名 > 列表", "NameListPanel", "批量列表", kNoFlags, true},
    {kTaskFontName, "文件改名 > 字体", "FontNamePanel", "批量字体", kNoFlags, true},
    {kTaskContentInsert, "内容编辑 > 纯文本 > 插入", "ContentInsertPanel", "批量内容插入", kNoPreview, false},
    {kTaskContentReplace, "内容编辑 > 纯文本 > 替换", "ContentReplacePanel", "批量内容替换", kNoPreview, false},
    {kTaskContentConvert, "内容编辑 > 纯文本 > 转换", "ContentConvertPanel", "批量内容转换", kNoPreview, false},
    {kTaskSplit, "综合任务 > 分割", "SplitPanel", "批量分割", "真,真,真", false},
    {kTaskFileTimes, "综合任务 > 时间", "FileTimesPanel", "批量时间", kNoPreview, false},
    {kTaskAttributes, "综合任务 > 属性", "AttributesPanel", "批量属性", kNoPreview, false},
    {kTaskShortcutProperties, "综合任务 > 快捷", "ShortcutPropertiesPanel", "批量快捷方式", kNoPreview, false},
    {kTaskWriteElement, "内容编辑 > 纯文本 > 元素", "WriteElementPanel", "批量写入元素", kNoFlags, false},
    {kTaskPathTransfer, "综合任务 > 路径", "PathTransferPanel", "批量路径", ",真,真", false},
    {kTaskCreate, "综合任务 > 创建", "CreatePanel", "批量创建", ",真,真", false},
    {kTaskId3Read, "文件改名 > 标签 > MP3音频", "Id3ReadPanel", "批量Id3读出", kNoFlags, true},
    {kTaskId3Write, "综合任务 > 标签 > MP3音频 > 写入", "Id3WritePanel", "批量Id3写入", kNoPreview, false},
    {kTaskId3Convert, "综合任务 > 标签 > MP3音频 > 转换", "Id3ConvertPanel", "批量Id3转换", kNoPreview, false},
    {kTaskId3Copy, "综合任务 > 标签 > MP3音频 > 复制", "Id3CopyPanel", "批量Id3复制", kNoPreview, false},
    {kTaskDownload, "更多扩展 > 下载", "DownloadPanel", "批量下载", ",真,真", false},
});

constexpr auto kTaskBox = std::to_array<TaskBoxEntry>({
    {0, "文件改名", kTaskCommonRename},
    {1, "常用", kTaskCommonRename},
    {1, "替换", kTaskReplace},
    {1, "正则", kTaskRegexRename},
    {1, "删除", kTaskDelete},
    {1, "转换", kTaskConvert},
    {1, "清除", kTaskClearChars},
    {1, "插入", kTaskInsert},
    {1, "拼音", kTaskPinyinCase},
    {1, "提取", kTaskExtractElement},
    {2, "元素区间", kTaskExtractElement},
    {2, "指定位置", kTaskExtractPosition},
    {2, "指定行号", kTaskExtractLine},
    {2, "正则匹配", kTaskRegexExtract},
    {1, "列表", kTaskNameList},
    {1, "字体", kTaskFontName},
    {1, "标签", kTaskId3Read},
    {2, "MP3音频", kTaskId3Read},
    {0, "内容编辑", kTaskContentInsert},
    {1, "纯文本", kTaskContentInsert},
    {2, "插入", kTaskContentInsert},
    {2, "替换", kTaskContentReplace},
    {2, "转换", kTaskContentConvert},
    {2, "元素", kTaskWriteElement},
    {0, "综合任务", kTaskSplit},
    {1, "时间", kTaskFileTimes},
    {1, "属性", kTaskAttributes},
    {1, "快捷", kTaskShortcutProperties},
    {1, "路径", kTaskPathTransfer},
    {1, "创建", kTaskCreate},
    {1, "标签", kTaskId3Write},
    {2, "MP3音频", kTaskId3Write},
    {3, "写入", kTaskId3Write},
    {3, "转换", kTaskId3Convert},
    {3, "复制", kTaskId3Copy},
    {1, "分割", kTaskSplit},
    {0, "更多扩展", kTaskDownload},
    {1, "下载", kTaskDownload},
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

bool TaskRegistry::Enter(int number, TaskRunner runner, std::type_index params) {
    if (FindTaskDefinition(number) == nullptr) return false;
    m_runners[number] = Entry{std::move(runner), params};
    return true;
}

TaskRunner TaskRegistry::Runner(int number) const {
    const auto found = m_runners.find(number);
    return found == m_runners.end() ? TaskRunner() : found->second.runner;
}

bool TaskRegistry::HasRunner(int number) const {
    const auto found = m_runners.find(number);
    return found != m_runners.end() && static_cast<bool>(found->second.runner);
}

bool TaskRegistry::TakesParameters(int number, const TaskParameters& params) const {
    const auto found = m_runners.find(number);
    if (found == m_runners.end()) return false;
    return params.Empty() || params.Type() == found->second.params;
}

}  // namespace varnel

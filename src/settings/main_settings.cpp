#include "settings/main_settings.h"

#include "settings/settings_binder.h"

namespace varnel {

namespace {

std::expected<void, Error> FlushWhenSaving(SettingsStore& store, bool save) {
    if (!save) return {};
    return store.Flush();
}

void BindWindowGeometry(SettingsBinder& bind, MainSettings& s) {
    auto state = static_cast<std::int32_t>(s.windowState);
    bind.Number("窗口位置", state);
    if (!bind.Saving()) {
        s.windowState = state == 3   ? StoredWindowState::Maximised
                        : state == 2 ? StoredWindowState::Minimised
                                     : StoredWindowState::Normal;
        // A minimised or maximised window keeps its designed place; the stored
        // geometry is read only for a normal one.
        if (s.windowState != StoredWindowState::Normal) return;
    }
    bind.Number("窗口左边", s.windowLeft);
    bind.Number("窗口顶边", s.windowTop);
    bind.Number("窗口宽度", s.windowWidth);
    bind.Number("窗口高度", s.windowHeight);
}

}  // namespace

std::expected<void, Error> LoadOrSaveMainSettings(SettingsStore& store, MainSettings& s,
                                                  bool save) {
    SettingsBinder bind(store, save);

    bind.Section("遍历参数");
    bind.Text("遍历层次", s.walkDepth);
    bind.Bool("忽略目录", s.ignoreFolders);
    bind.Bool("忽略文件", s.ignoreFiles);

    bind.Section("过滤参数");
    bind.Bool("启用过滤", s.filterEnabled);
    bind.Number("主引擎", s.mainEngine);
    bind.Text("过滤文本", s.filterText);
    bind.Bool("忽略大小写", s.filterIgnoreCase);
    bind.Bool("完整匹配", s.filterWholeMatch);
    bind.Bool("取反", s.filterInvert);

    bind.Section("列定义");
    bind.Bool("预览专区", s.columnPreview);
    bind.Bool("文件大小", s.columnSize);
    bind.Bool("文件类型", s.columnType);
    bind.Bool("文件属性", s.columnAttributes);
    bind.Bool("创建时间", s.columnCreated);
    bind.Bool("修改时间", s.columnModified);
    bind.Bool("访问时间", s.columnAccessed);
    bind.Bool("所属目录", s.columnFolder);
    bind.Bool("自动调节", s.autoFitColumns);
    bind.Bool("内置图标", s.builtInIcons);
    bind.Bool("大图标(32x32)", s.largeIcons);

    bind.Section("界面布局");
    bind.Bool("显示工具条", s.showToolbar);
    bind.Bool("显示状态条", s.showStatusBar);
    bind.Bool("显示目录树", s.showTree);
    bind.Bool("保持前端", s.stayOnTop);
    bind.Number("目录树.宽度", s.treeWidth);
    if (save) {
        store.WriteText("目录树.路径", s.treePath);
    } else {
        s.treePath = store.ReadText("目录树.路径");
    }
    bind.Number("任务框.宽度", s.taskBoxWidth);
    bind.Number("任务框.选中项", s.taskBoxCurrent);
    bind.Text("任务框.展缩", s.taskBoxExpansion);
    bind.Bool("显示批量任务", s.showBatchTaskArea);
    BindWindowGeometry(bind, s);

    bind.Section("文件内容预览");
    bind.Bool("图像(Gif|Jpg|Bmp|Ico|Cur)", s.previewImages);
    bind.Bool("音频(Mp3|Mid|Wav)", s.previewAudio);
    bind.Bool("文本(自定义格式)", s.previewText);
    bind.Text("文本格式", s.textPreviewExtensions);
    bind.Bool("重复播放", s.repeatPlayback);

    bind.Section("音乐 Id3 预览");
    bind.Bool("预览v1", s.id3PreviewV1);
    bind.Bool("预览v2", s.id3PreviewV2);
    bind.Bool("互补预览", s.id3Complementary);
    bind.Bool("自动显示歌词", s.id3AutoLyrics);

    bind.Section("设置");
    bind.Bool("右键 发送到 菜单", s.sendToMenu);
    bind.Bool("单击", s.treeSingleClick);
    bind.Bool("根据遍历设置输入", s.dropByWalkSettings);
    bind.Bool("资源管理器中打开", s.doubleClickOpensFolder);
    bind.Number("上次复制类型", s.lastCopyKind);
    if (save) {
        store.WriteNumber("增强型数值排序", s.numericSortGroup);
    } else {
        s.numericSortGroup = SettingsBinder::ToInteger<std::int32_t>(store.ReadNumber("增强型数值排序"));
    }
    return FlushWhenSaving(store, save);
}

TimeFormat DefaultListTimeFormat() {
    TimeFormat format;
    format.pattern = kDefaultTimePattern;
    format.zeroPad = true;
    return format;
}

std::expected<void, Error> LoadOrSaveTimeFormat(SettingsStore& store, TimeFormat& format,
                                                bool save) {
    SettingsBinder bind(store, save);
    bind.Section("时间格式");
    if (save) {
        store.WriteText("组合规则", format.pattern);
    } else {
        format.pattern = store.ReadText("组合规则", kDefaultTimePattern);
        if (format.pattern.empty()) format.pattern = kDefaultTimePattern;
    }
    if (!save) {
        // The documented load defaults, whatever the record held before.
        format.toChineseNumerals = format.traditional = format.zeroHandling = false;
        format.singleCharMode = false;
        format.zeroPad = true;
    }
    bind.Bool("到汉字", format.toChineseNumerals);
    bind.Bool("到繁体", format.traditional);
    bind.Bool("零处理", format.zeroHandling);
    bind.Bool("单字模式", format.singleCharMode);
    bind.Bool("零位补齐", format.zeroPad);
    return FlushWhenSaving(store, save);
}

std::expected<void, Error> LoadOrSaveFindOptions(SettingsStore& store, FindOptions& options,
                                                 bool save) {
    SettingsBinder bind(store, save);
    bind.Section("查找表项");
    if (!save) {
        options.column = 0;
        options.keyword.clear();
        options.wholeWord = options.ignoreCase = options.upward = false;
    }
    bind.Number("指定列", options.column);
    bind.Text("关键字", options.keyword);
    bind.Bool("全字匹配", options.wholeWord);
    bind.Bool("忽略大小写", options.ignoreCase);
    bind.Number("引擎", options.engine);
    bind.Bool("向上", options.upward);
    if (!save) {
        if (options.column < -1 || options.column > 8) options.column = 0;
        if (options.engine < 0 || options.engine > 2) options.engine = 0;
    }
    return FlushWhenSaving(store, save);
}

}  // namespace varnel

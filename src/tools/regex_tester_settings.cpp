#include "tools/regex_tester_settings.h"

#include "settings/settings_binder.h"
#include "tools/regex_tester_text.h"

namespace varnel {

namespace {

void BindTesterText(SettingsStore& store, bool save, const char* key, std::string& value) {
    if (save) {
        store.WriteText(key, StoreTesterText(value));
    } else {
        value = LoadTesterText(store.ReadText(key, StoreTesterText(value)));
    }
}

}  // namespace

void LoadOrSaveRegexTesterSettings(SettingsStore& store, RegexTesterSettings& s, bool save) {
    SettingsBinder bind(store, save);
    bind.Section(kRegexTesterSection);
    BindTesterText(store, save, "搜索.表达式", s.searchPattern);
    BindTesterText(store, save, "搜索.文本", s.searchText);
    BindTesterText(store, save, "替换.匹配表达式", s.replacePattern);
    BindTesterText(store, save, "替换.替换表达式", s.replacement);
    BindTesterText(store, save, "替换.文本", s.replaceText);
    bind.Bool("参数.忽略大小写", s.ignoreCase);
    bind.Bool("参数.匹配多行", s.multiline);
    bind.Bool("参数.全局匹配", s.global);
    bind.Bool("参数.自动预览", s.autoPreview);
    bind.Number("分隔条.搜索1", s.searchSplit1);
    bind.Number("分隔条.搜索2", s.searchSplit2);
    bind.Number("分隔条.替换1", s.replaceSplit1);
    bind.Number("分隔条.替换2", s.replaceSplit2);
    bind.Number("分隔条.替换3", s.replaceSplit3);
    bind.Number("窗口位置", s.windowState);
    bind.Number("窗口左边", s.windowLeft);
    bind.Number("窗口顶边", s.windowTop);
    bind.Number("窗口宽度", s.windowWidth);
    bind.Number("窗口高度", s.windowHeight);
    bind.Number("当前栏目", s.currentPage);
}

}  // namespace varnel

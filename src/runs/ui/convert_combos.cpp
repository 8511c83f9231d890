#include "runs/ui/convert_combos.h"

#include <initializer_list>

#include "naming/ui/panel_controls.h"

namespace varnel {

namespace {

constexpr const char* kCodecChoices[] = {"Ansi转Unicode", "Ansi转Utf8", "Unicode转Ansi", "Unicode转Utf8",
                                         "Utf8转Ansi",    "Utf8转Unicode", "Base64编码", "Base64解码",
                                         "QP编码",        "QP解码",        "Url编码",    "Url解码"};

}  // namespace

ConvertCombos MakeConvertCombos(QWidget* parent, QBoxLayout* layout, int codecChoices) {
    const auto combo = [parent, layout](const char* name, const char* title, std::initializer_list<const char*> choices) {
        auto* box = MakeCombo(parent, name, {title, "------------------------------"});
        for (const char* choice : choices) box->addItem(Utf8(choice));
        layout->addWidget(box);
        return box;
    };
    ConvertCombos boxes;
    boxes.codec = combo("组合框编解码", "编解码", {});
    for (int i = 0; i < codecChoices && i < static_cast<int>(std::size(kCodecChoices)); ++i) {
        boxes.codec->addItem(Utf8(kCodecChoices[i]));
    }
    boxes.tradSimp = combo("组合框繁简", "中华繁简",
                           {"BIG5到GBK繁体", "BIG5到GBK简体", "GBK繁体到BIG5", "GBK简体到BIG5", "GBK繁体到GBK简体",
                            "GBK简体到GBK繁体"});
    boxes.width = combo("组合框全半角", "全半角", {"半角到全角", "全角到半角"});
    boxes.letters = combo("组合框字母", "字母大小写",
                          {"字母到大写", "字母到小写", "第一个英文字母大写", "单词首字母大写", "单词首字母大写(其他小写)"});
    boxes.digits = combo("组合框数字", "数字格式化",
                         {"数字到简体汉数", "数字到繁体汉数", "数字到简体汉数(金额)", "数字到繁体汉数(金额)",
                          "汉数到阿拉伯数字"});
    return boxes;
}

}  // namespace varnel

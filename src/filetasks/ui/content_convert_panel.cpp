#include "filetasks/ui/content_convert_panel.h"

#include <QVBoxLayout>

#include <initializer_list>

#include "filetasks/content_convert.h"
#include "filetasks/ui/content_panel_parts.h"
#include "settings/ui/panel_settings.h"

namespace varnel {

ContentConvertPanel::ContentConvertPanel(QWidget* parent) : TypedTaskPanel(parent) {
    setObjectName("ContentConvertPanel");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 8);
    const auto combo = [this, layout](const char* name, const char* title, std::initializer_list<const char*> choices) {
        auto* box = MakeCombo(this, name, {title, "------------------------------"});
        for (const char* choice : choices) box->addItem(Utf8(choice));
        layout->addWidget(box);
        connect(box, &QComboBox::currentIndexChanged, this, &TaskPanel::parametersChanged);
        return box;
    };
    m_codec = combo("组合框编解码", "编解码",
                    {"Ansi转Unicode", "Ansi转Utf8", "Unicode转Ansi", "Unicode转Utf8", "Utf8转Ansi", "Utf8转Unicode"});
    m_tradSimp = combo("组合框繁简", "中华繁简",
                       {"BIG5到GBK繁体", "BIG5到GBK简体", "GBK繁体到BIG5", "GBK简体到BIG5", "GBK繁体到GBK简体",
                        "GBK简体到GBK繁体"});
    m_width = combo("组合框全半角", "全半角", {"半角到全角", "全角到半角"});
    m_letters = combo("组合框字母", "字母大小写",
                      {"字母到大写", "字母到小写", "第一个英文字母大写", "单词首字母大写", "单词首字母大写(其他小写)"});
    m_digits = combo("组合框数字", "数字格式化",
                     {"数字到简体汉数", "数字到繁体汉数", "数字到简体汉数(金额)", "数字到繁体汉数(金额)",
                      "汉数到阿拉伯数字"});
    layout->addStretch(1);
}

void ContentConvertPanel::LoadOrSaveSettings(SettingsStore& store, bool save) {
    PanelSettings settings(store, save);
    settings.Combo(m_codec, "编解码");
    settings.Combo(m_tradSimp, "繁简");
    settings.Combo(m_width, "全半角");
    settings.Combo(m_letters, "字母");
    settings.Combo(m_digits, "数字");
}

ConvertOptions ContentConvertPanel::CurrentParameters() const {
    ConvertOptions options;
    options.codec = static_cast<CodecConversion>(ConvertOptionOfIndex(m_codec->currentIndex()));
    options.tradSimp = static_cast<ScriptConversion>(ConvertOptionOfIndex(m_tradSimp->currentIndex()));
    options.width = static_cast<WidthConversion>(ConvertOptionOfIndex(m_width->currentIndex()));
    options.letters = static_cast<LetterConversion>(ConvertOptionOfIndex(m_letters->currentIndex()));
    options.digits = static_cast<DigitConversion>(ConvertOptionOfIndex(m_digits->currentIndex()));
    return options;
}

std::optional<ConvertOptions> ContentConvertPanel::MakeParams(RunMode) { return CurrentParameters(); }

}  // namespace varnel

#include "runs/ui/convert_options_panel.h"

#include <QVBoxLayout>

#include <initializer_list>

#include "naming/ui/panel_controls.h"
#include "settings/ui/panel_settings.h"

namespace varnel {

namespace {

enum Box : std::size_t { kCodec, kTradSimp, kWidth, kLetters, kDigits };

struct ComboDesign {
    const char* name;
    const char* title;
    const char* key;
    std::initializer_list<const char*> choices;
};

const ComboDesign kDesigns[] = {
    {"组合框编解码", "编解码", "编解码",
     {"Ansi转Unicode", "Ansi转Utf8", "Unicode转Ansi", "Unicode转Utf8", "Utf8转Ansi", "Utf8转Unicode"}},
    {"组合框繁简", "中华繁简", "繁简",
     {"BIG5到GBK繁体", "BIG5到GBK简体", "GBK繁体到BIG5", "GBK简体到BIG5", "GBK繁体到GBK简体", "GBK简体到GBK繁体"}},
    {"组合框全半角", "全半角", "全半角", {"半角到全角", "全角到半角"}},
    {"组合框字母", "字母大小写", "字母",
     {"字母到大写", "字母到小写", "第一个英文字母大写", "单词首字母大写", "单词首字母大写(其他小写)"}},
    {"组合框数字", "数字格式化", "数字",
     {"数字到简体汉数", "数字到繁体汉数", "数字到简体汉数(金额)", "数字到繁体汉数(金额)", "汉数到阿拉伯数字"}},
};

}  // namespace

ConvertOptionsPanel::ConvertOptionsPanel(const char* objectName, bool resetSeparator, QWidget* parent)
    : TypedTaskPanel(parent) {
    setObjectName(Utf8(objectName));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 8);
    for (std::size_t i = 0; i < m_boxes.size(); ++i) {
        const ComboDesign& design = kDesigns[i];
        QComboBox* box = MakeCombo(this, design.name, {design.title, "------------------------------"});
        for (const char* choice : design.choices) box->addItem(Utf8(choice));
        if (resetSeparator) {
            // ResetSeparatorChoice: the dashed line is no choice.
            connect(box, &QComboBox::currentIndexChanged, box, [box](int index) {
                if (index == 1) box->setCurrentIndex(0);
            });
        }
        connect(box, &QComboBox::currentIndexChanged, this, &TaskPanel::parametersChanged);
        layout->addWidget(box);
        m_boxes[i] = box;
    }
    layout->addStretch(1);
}

void ConvertOptionsPanel::LoadOrSaveSettings(SettingsStore& store, bool save) {
    PanelSettings settings(store, save);
    for (std::size_t i = 0; i < m_boxes.size(); ++i) settings.Combo(m_boxes[i], kDesigns[i].key);
}

ConvertOptions ConvertOptionsPanel::CurrentParameters() const {
    const auto value = [this](Box box) { return ConvertOptionOfIndex(m_boxes[box]->currentIndex()); };
    ConvertOptions options;
    options.codec = static_cast<CodecConversion>(value(kCodec));
    options.tradSimp = static_cast<ScriptConversion>(value(kTradSimp));
    options.width = static_cast<WidthConversion>(value(kWidth));
    options.letters = static_cast<LetterConversion>(value(kLetters));
    options.digits = static_cast<DigitConversion>(value(kDigits));
    return options;
}

std::optional<ConvertOptions> ConvertOptionsPanel::MakeParams(RunMode) { return CurrentParameters(); }

}  // namespace varnel

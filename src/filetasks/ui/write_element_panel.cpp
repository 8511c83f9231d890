#include "filetasks/ui/write_element_panel.h"

#include <QGridLayout>
#include <QSignalBlocker>

#include "settings/ui/panel_settings.h"
#include "utilities/user_notifier.h"

namespace varnel {

namespace {

constexpr int kFirstPresetItem = 2;  // after the title item and the separator line

}  // namespace

WriteElementPanel::WriteElementPanel(MetaSymbolMenu* metaMenu, QWidget* parent, AskTextFunction askText,
                                     std::function<bool(const std::string&)> ask)
    : TypedTaskPanel(parent), m_askText(std::move(askText)), m_ask(std::move(ask)) {
    setObjectName("WriteElementPanel");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 8);
    m_presetBox = Named(new QComboBox(this), "组合框预设方案");
    m_presetBox->addItem(Utf8("预设和自定义方案"));
    m_presetBox->addItem(Utf8("------------------------------"));
    m_presetLink = Named(new QLabel(Utf8("<a href=\"#\">编辑方案...</a>"), this), "链接框编辑方案");
    m_element1 = Named(new QLineEdit(this), "编辑框元素1");
    m_element2 = Named(new QLineEdit(this), "编辑框元素2");
    m_caseSensitive = Named(new QCheckBox(Utf8("区分大小写"), this), "选择框区分大小写");
    m_text = MakeMetaBox(this, "编辑框写入信息", metaMenu);
    m_editText = Named(new QPushButton(Utf8("..."), this), "按钮编辑写入信息");
    grid->addWidget(m_presetBox, 0, 0, 1, 3);
    grid->addWidget(m_presetLink, 0, 3);
    grid->addWidget(new QLabel(Utf8("元素1："), this), 1, 0);
    grid->addWidget(m_element1, 1, 1);
    grid->addWidget(new QLabel(Utf8("元素2："), this), 1, 2);
    grid->addWidget(m_element2, 1, 3);
    grid->addWidget(m_caseSensitive, 2, 0, 1, 2);
    grid->addWidget(new QLabel(Utf8("写入信息："), this), 3, 0);
    grid->addWidget(m_text, 3, 1, 1, 2);
    grid->addWidget(m_editText, 3, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(4, 1);

    m_presetMenu = Named(new QMenu(this), "编辑方案");
    m_presetMenu->addAction(Utf8("另存为..."), this, &WriteElementPanel::SavePresetAs);
    m_presetMenu->addAction(Utf8("修改当前..."), this, &WriteElementPanel::ModifyCurrentPreset);
    m_presetMenu->addAction(Utf8("删除当前"), this, &WriteElementPanel::DeleteCurrentPreset);
    m_presetMenu->addAction(Utf8("清空"), this, &WriteElementPanel::ClearPresets);
    m_presetMenu->addAction(Utf8("恢复默认"), this, &WriteElementPanel::RestoreDefaultPresets);
    connect(m_presetLink, &QLabel::linkActivated, this,
            [this] { m_presetMenu->popup(m_presetLink->mapToGlobal(m_presetLink->rect().bottomLeft())); });
    connect(m_presetBox, &QComboBox::activated, this, &WriteElementPanel::PresetChosen);
    connect(m_editText, &QPushButton::clicked, this, [this] {
        EditTextInDialog(m_askText, this, "输入要在两个元素之间写入的文本：", m_text->text().toStdString(),
                         [this](const std::string& text) { m_text->setText(Utf8(text)); });
    });
    for (QLineEdit* box : {m_element1, m_element2, m_text}) {
        connect(box, &QLineEdit::textChanged, this, &TaskPanel::parametersChanged);
    }
    connect(m_caseSensitive, &QCheckBox::clicked, this, &TaskPanel::parametersChanged);
}

void WriteElementPanel::AddPreset(ElementPreset preset) {
    m_presetBox->addItem(Utf8(preset.name));
    m_presets.push_back(std::move(preset));
}

void WriteElementPanel::AddElementPreset(std::string_view entry) { AddPreset(ParseElementPreset(entry)); }

void WriteElementPanel::ClearElementPresets() {
    m_presets.clear();
    while (m_presetBox->count() > kFirstPresetItem) m_presetBox->removeItem(kFirstPresetItem);
    m_presetBox->setCurrentIndex(0);
}

void WriteElementPanel::PresetChosen(int index) {
    if (index < kFirstPresetItem) {
        m_presetBox->setCurrentIndex(0);
        return;
    }
    const ElementPreset& preset = m_presets[static_cast<std::size_t>(index - kFirstPresetItem)];
    m_element1->setText(Utf8(preset.element1));
    m_element2->setText(Utf8(preset.element2));
    m_caseSensitive->setChecked(preset.caseSensitive);
    emit parametersChanged();
}

void WriteElementPanel::SavePresetAs() {
    if (m_element1->text().isEmpty() || m_element2->text().isEmpty()) {
        ShowTrayNotice("新添加方案，元素1和元素2不允许任何一个留空！");
        return;
    }
    EditTextInDialog(m_askText, this, "请输入该方案的保存名称（不宜过长）：", m_element1->text().toStdString(),
                     [this](const std::string& name) {
                         AddPreset({name, m_element1->text().toStdString(), m_element2->text().toStdString(),
                                    m_caseSensitive->isChecked()});
                         m_presetBox->setCurrentIndex(m_presetBox->count() - 1);
                     });
}

void WriteElementPanel::ModifyCurrentPreset() {
    const int index = m_presetBox->currentIndex();
    if (index < kFirstPresetItem) {
        ShowTrayNotice("请先选择一个方案再修改！");
        return;
    }
    if (m_element1->text().isEmpty() && m_element2->text().isEmpty()) {
        ShowTrayNotice("修改已有方案，元素1和元素2，必须保持一个有内容！您可以只修改元素1或元素2，留空的保持原内容！");
        return;
    }
    ElementPreset& preset = m_presets[static_cast<std::size_t>(index - kFirstPresetItem)];
    EditTextInDialog(m_askText, this, "请输入该方案的新名称（不宜过长，如不需要修改名称直接点确定）：", preset.name,
                     [this, &preset, index](const std::string& name) {
                         preset.name = name;
                         if (!m_element1->text().isEmpty()) preset.element1 = m_element1->text().toStdString();
                         if (!m_element2->text().isEmpty()) preset.element2 = m_element2->text().toStdString();
                         preset.caseSensitive = m_caseSensitive->isChecked();
                         m_presetBox->setItemText(index, Utf8(name));
                     });
}

void WriteElementPanel::DeleteCurrentPreset() {
    const int index = m_presetBox->currentIndex();
    if (index < kFirstPresetItem) {
        ShowTrayNotice("请先选择一个方案再删除！");
        return;
    }
    m_presets.erase(m_presets.begin() + (index - kFirstPresetItem));
    m_presetBox->removeItem(index);
    m_presetBox->setCurrentIndex(0);
}

void WriteElementPanel::ClearPresets() {
    const std::string question = "确定要清空全部方案吗？";
    const bool ok = m_ask ? m_ask(question) : ShowMessageBox(question, kBoxOkCancel | kBoxIconQuestion) == kAnswerOk;
    if (ok) ClearElementPresets();
}

void WriteElementPanel::RestoreDefaultPresets() {
    ClearElementPresets();
    AddElementPreset(kDefaultElementPresets);
}

void WriteElementPanel::LoadOrSaveSettings(SettingsStore& store, bool save) {
    if (save) {
        store.WriteText("预设方案", FormatElementPresets(m_presets));
    } else {
        ClearElementPresets();
        for (const ElementPreset& preset : ParseElementPresets(store.ReadText("预设方案", kDefaultElementPresets))) {
            AddPreset(preset);
        }
    }
    PanelSettings settings(store, save);
    settings.Text(m_element1, "元素1");
    settings.Text(m_element2, "元素2");
    settings.Check(m_caseSensitive, "区分大小写");
    settings.Text(m_text, "组合式");
}

WriteElementParams WriteElementPanel::CurrentParameters() const {
    return {m_element1->text().toStdString(), m_element2->text().toStdString(), m_caseSensitive->isChecked(),
            m_text->text().toStdString()};
}

std::optional<WriteElementParams> WriteElementPanel::MakeParams(RunMode mode) {
    WriteElementParams params = CurrentParameters();
    if (const std::string problem = WriteElementProblem(params); !problem.empty()) {
        if (mode != RunMode::AutoPreview) ShowTrayNotice(problem);
        return std::nullopt;
    }
    return params;
}

}  // namespace varnel

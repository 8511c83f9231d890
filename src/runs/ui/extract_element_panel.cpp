#include "runs/ui/extract_element_panel.h"

#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QSignalBlocker>

#include "naming/ui/panel_controls.h"
#include "settings/settings_binder.h"
#include "settings/ui/panel_settings.h"
#include "utilities/ui/tooltips.h"
#include "utilities/user_notifier.h"

namespace varnel {

namespace {

constexpr int kHeaderRows = 2;  // "预设和自定义方案" and the dashed line

InputDialogResult AskWithDialog(InputDialogParams params) { return ShowTextInputDialog(std::move(params)); }

}  // namespace

ExtractElementPanel::ExtractElementPanel(MetaSymbolMenu* metaMenu, QWidget* parent)
    : TypedTaskPanel(parent), m_template(this, metaMenu, true), m_askText(AskWithDialog) {
    setObjectName("ExtractElementPanel");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 8);
    m_presetBox = MakeCombo(this, "组合框预设方案", {"预设和自定义方案", "----------------"});
    m_editLink = Named(new QPushButton(Utf8("编辑方案..."), this), "链接框编辑方案");
    m_editLink->setFlat(true);
    m_editMenu = new QMenu(this);
    m_editMenu->setObjectName("编辑方案");
    m_editMenu->addAction(Utf8("另存为..."), this, &ExtractElementPanel::SaveElementPresetAs);
    m_editMenu->addAction(Utf8("修改当前..."), this, &ExtractElementPanel::ModifyElementPreset);
    m_editMenu->addAction(Utf8("删除当前"), this, &ExtractElementPanel::DeleteElementPreset);
    m_editMenu->addAction(Utf8("清空"), this, &ExtractElementPanel::ClearElementPresets);
    m_editMenu->addSeparator();
    m_editMenu->addAction(Utf8("恢复默认"), this, &ExtractElementPanel::RestoreDefaultElementPresets);
    m_element1 = Named(new QLineEdit(this), "编辑框元素1");
    m_element2 = Named(new QLineEdit(this), "编辑框元素2");
    m_caseSensitive = Named(new QCheckBox(Utf8("区分大小写"), this), "选择框区分大小写");
    m_template.Pattern()->setText(Utf8("? 代表提取出来的文本"));

    grid->addWidget(m_presetBox, 0, 0, 1, 2);
    grid->addWidget(m_editLink, 0, 2);
    grid->addWidget(new QLabel(Utf8("元素1："), this), 1, 0);
    grid->addWidget(m_element1, 1, 1, 1, 2);
    grid->addWidget(new QLabel(Utf8("元素2："), this), 2, 0);
    grid->addWidget(m_element2, 2, 1, 1, 2);
    grid->addWidget(m_caseSensitive, 3, 0, 1, 3);
    grid->addWidget(m_template.Check(), 4, 0);
    grid->addWidget(m_template.Pattern(), 4, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(5, 1);

    connect(m_presetBox, &QComboBox::activated, this, &ExtractElementPanel::ApplyElementPreset);
    connect(m_editLink, &QPushButton::clicked, this,
            [this] { m_editMenu->popup(m_editLink->mapToGlobal(m_editLink->rect().bottomLeft())); });
    for (QLineEdit* edit : {m_element1, m_element2, m_template.Pattern()}) {
        connect(edit, &QLineEdit::textChanged, this, &TaskPanel::parametersChanged);
    }
    for (QCheckBox* check : {m_caseSensitive, m_template.Check()}) {
        connect(check, &QCheckBox::clicked, this, &TaskPanel::parametersChanged);
    }

    RegisterTooltip(m_caseSensitive, "当元素中包含英文字母时，是否区分其大小写差异");
    RegisterTooltip(m_editLink, "点击弹出编辑方案菜单，此菜单提供了添加和删除等方案编辑命令");
    RegisterTooltip(m_presetBox, "这里有预设和用户定义保存的元素区间方案，选择即可应用");
    RegisterTooltip(m_element1,
                    "区间的起点 A：提取从 A 之后直到 B 之前的文本。如网页文本“<title>我的主页</title>”中，"
                    "A 为“<title>”，B 为“</title>”时提取出“我的主页”");
    RegisterTooltip(m_element2,
                    "区间的终点 B：提取从 A 之后直到 B 之前的文本。如网页文本“<title>我的主页</title>”中，"
                    "A 为“<title>”，B 为“</title>”时提取出“我的主页”");
    for (const ElementPreset& preset : ParseElementPresets(kDefaultElementPresets)) AddPreset(preset);
}

void ExtractElementPanel::LoadOrSaveSettings(SettingsStore& store, bool save) {
    std::string stored = save ? FormatElementPresets(m_presets) : std::string(kDefaultElementPresets);
    SettingsBinder(store, save).Text("预设方案", stored);
    if (!save) {
        ResetElementPresets();
        for (ElementPreset& preset : ParseElementPresets(stored)) AddPreset(std::move(preset));
    }
    PanelSettings settings(store, save);
    settings.Text(m_element1, "元素1");
    settings.Text(m_element2, "元素2");
    settings.Check(m_caseSensitive, "区分大小写");
    m_template.LoadOrSave(settings);
}

ElementExtractParams ExtractElementPanel::CurrentParameters() const {
    ElementExtractParams p;
    p.element1 = m_element1->text().toStdString();
    p.element2 = m_element2->text().toStdString();
    p.caseSensitive = m_caseSensitive->isChecked();
    if (std::optional<std::string> pattern = m_template.Template()) {
        p.useTemplate = true;
        p.pattern = std::move(*pattern);
    }
    return p;
}

std::optional<ElementExtractParams> ExtractElementPanel::MakeParams(RunMode) { return CurrentParameters(); }

std::optional<std::size_t> ExtractElementPanel::ChosenPreset() const {
    const int row = m_presetBox->currentIndex();
    if (row < kHeaderRows || static_cast<std::size_t>(row - kHeaderRows) >= m_presets.size()) return std::nullopt;
    return static_cast<std::size_t>(row - kHeaderRows);
}

void ExtractElementPanel::ApplyElementPreset(int row) {
    m_presetBox->setCurrentIndex(row);
    const std::optional<std::size_t> chosen = ChosenPreset();
    if (!chosen) {
        m_presetBox->setCurrentIndex(0);
        return;
    }
    const ElementPreset& preset = m_presets[*chosen];
    {
        // One preview for the whole preset, not one per control.
        const QSignalBlocker quiet1(m_element1);
        const QSignalBlocker quiet2(m_element2);
        m_element1->setText(QString::fromStdString(preset.element1));
        m_element2->setText(QString::fromStdString(preset.element2));
        m_caseSensitive->setChecked(preset.caseSensitive);
    }
    emit parametersChanged();
}

void ExtractElementPanel::AddPreset(ElementPreset preset) {
    m_presetBox->addItem(QString::fromStdString(preset.name));
    m_presets.push_back(std::move(preset));
}

void ExtractElementPanel::ResetElementPresets() {
    m_presets.clear();
    while (m_presetBox->count() > kHeaderRows) m_presetBox->removeItem(kHeaderRows);
    m_presetBox->setCurrentIndex(0);
}

void ExtractElementPanel::SaveElementPresetAs() {
    const std::string element1 = m_element1->text().toStdString();
    const std::string element2 = m_element2->text().toStdString();
    if (element1.empty() || element2.empty()) {
        ShowTrayNotice("新添加方案，元素1和元素2不允许任何一个留空！");
        return;
    }
    InputDialogParams ask;
    ask.prompt = "请输入该方案的保存名称（不宜过长）：";
    ask.ownerWindow = window();
    const InputDialogResult answer = m_askText(std::move(ask));
    if (!answer.confirmed) return;
    AddPreset({answer.text, element1, element2, m_caseSensitive->isChecked()});
    m_presetBox->setCurrentIndex(m_presetBox->count() - 1);
}

void ExtractElementPanel::ModifyElementPreset() {
    const std::optional<std::size_t> chosen = ChosenPreset();
    if (!chosen) {
        ShowTrayNotice("请先选择一个方案再修改！");
        return;
    }
    const std::string element1 = m_element1->text().toStdString();
    const std::string element2 = m_element2->text().toStdString();
    if (element1.empty() && element2.empty()) {
        ShowTrayNotice("修改已有方案，元素1和元素2，必须保持一个有内容！您可以只修改元素1或元素2，留空的保持原内容！");
        return;
    }
    ElementPreset& preset = m_presets[*chosen];
    if (!element1.empty()) preset.element1 = element1;
    if (!element2.empty()) preset.element2 = element2;
    preset.caseSensitive = m_caseSensitive->isChecked();
    InputDialogParams ask;
    ask.prompt = "请输入该方案的新名称（不宜过长，如不需要修改名称直接点确定）：";
    ask.initialText = preset.name;
    ask.ownerWindow = window();
    const InputDialogResult answer = m_askText(std::move(ask));
    if (answer.confirmed && !answer.text.empty()) {
        preset.name = answer.text;
        m_presetBox->setItemText(static_cast<int>(*chosen) + kHeaderRows, QString::fromStdString(preset.name));
    }
}

void ExtractElementPanel::DeleteElementPreset() {
    const std::optional<std::size_t> chosen = ChosenPreset();
    if (!chosen) {
        ShowTrayNotice("请先选择一个方案再删除！");
        return;
    }
    m_presets.erase(m_presets.begin() + static_cast<std::ptrdiff_t>(*chosen));
    m_presetBox->removeItem(static_cast<int>(*chosen) + kHeaderRows);
    m_presetBox->setCurrentIndex(0);
}

void ExtractElementPanel::ClearElementPresets() {
    if (ShowMessageBox("确定要清空全部方案吗？", kBoxOkCancel | kBoxIconQuestion) != kAnswerOk) return;
    ResetElementPresets();
}

void ExtractElementPanel::RestoreDefaultElementPresets() {
    ResetElementPresets();
    for (ElementPreset& preset : ParseElementPresets(kDefaultElementPresets)) AddPreset(std::move(preset));
}

}  // namespace varnel

#include "runs/ui/element_preset_controls.h"

#include <QSignalBlocker>

#include "naming/ui/panel_controls.h"
#include "runs/ui/task_panel.h"
#include "utilities/ui/tooltips.h"
#include "utilities/user_notifier.h"

namespace varnel {

namespace {

constexpr int kHeaderRows = 2;  // "预设和自定义方案" and the dashed line

}  // namespace

ElementPresetControls::ElementPresetControls(TaskPanel* panel, AskText askText, AskOk askOk)
    : m_panel(panel), m_askText(std::move(askText)), m_askOk(std::move(askOk)) {
    m_presetBox = MakeCombo(panel, "组合框预设方案", {"预设和自定义方案", "------------------------------"});
    m_editLink = Named(new QLabel(Utf8("<a href=\"#\">编辑方案...</a>"), panel), "链接框编辑方案");
    m_editMenu = Named(new QMenu(panel), "编辑方案");
    m_editMenu->addAction(Utf8("另存为..."), panel, [this] { SaveElementPresetAs(); });
    m_editMenu->addAction(Utf8("修改当前..."), panel, [this] { ModifyElementPreset(); });
    m_editMenu->addAction(Utf8("删除当前"), panel, [this] { DeleteElementPreset(); });
    m_editMenu->addAction(Utf8("清空"), panel, [this] { ClearElementPresets(); });
    m_editMenu->addSeparator();
    m_editMenu->addAction(Utf8("恢复默认"), panel, [this] { RestoreDefaultElementPresets(); });
    m_element1 = Named(new QLineEdit(panel), "编辑框元素1");
    m_element2 = Named(new QLineEdit(panel), "编辑框元素2");
    m_caseSensitive = Named(new QCheckBox(Utf8("区分大小写"), panel), "选择框区分大小写");

    QObject::connect(m_presetBox, &QComboBox::activated, panel, [this](int row) { ApplyElementPreset(row); });
    QObject::connect(m_editLink, &QLabel::linkActivated, panel,
                     [this] { m_editMenu->popup(m_editLink->mapToGlobal(m_editLink->rect().bottomLeft())); });
    RestoreDefaultElementPresets();
}

void ElementPresetControls::KeepPresets(PanelSettings& settings) {
    std::string stored = settings.Saving() ? FormatElementPresets(m_presets) : std::string(kDefaultElementPresets);
    settings.HeldText(stored, "预设方案");
    if (settings.Saving()) return;
    ResetElementPresets();
    for (ElementPreset& preset : ParseElementPresets(stored)) AddPreset(std::move(preset));
}

std::optional<std::size_t> ElementPresetControls::ChosenPreset() const {
    const int row = m_presetBox->currentIndex();
    if (row < kHeaderRows || static_cast<std::size_t>(row - kHeaderRows) >= m_presets.size()) return std::nullopt;
    return static_cast<std::size_t>(row - kHeaderRows);
}

InputDialogResult ElementPresetControls::Ask(InputDialogParams params) const {
    params.ownerWindow = m_panel->window();
    return m_askText ? m_askText(std::move(params)) : ShowTextInputDialog(std::move(params));
}

void ElementPresetControls::ApplyElementPreset(int row) {
    m_presetBox->setCurrentIndex(row);
    const std::optional<std::size_t> chosen = ChosenPreset();
    if (!chosen) {
        m_presetBox->setCurrentIndex(0);
        return;
    }
    const ElementPreset& preset = m_presets[*chosen];
    {
        // One preview for the whole preset, not one per control (the case box asks
        // only when clicked).
        const QSignalBlocker quiet1(m_element1);
        const QSignalBlocker quiet2(m_element2);
        m_element1->setText(QString::fromStdString(preset.element1));
        m_element2->setText(QString::fromStdString(preset.element2));
        m_caseSensitive->setChecked(preset.caseSensitive);
    }
    emit m_panel->parametersChanged();
}

void ElementPresetControls::AddPreset(ElementPreset preset) {
    m_presetBox->addItem(QString::fromStdString(preset.name));
    m_presets.push_back(std::move(preset));
}

void ElementPresetControls::ResetElementPresets() {
    m_presets.clear();
    while (m_presetBox->count() > kHeaderRows) m_presetBox->removeItem(kHeaderRows);
    m_presetBox->setCurrentIndex(0);
}

void ElementPresetControls::SaveElementPresetAs() {
    const std::string element1 = m_element1->text().toStdString();
    const std::string element2 = m_element2->text().toStdString();
    if (element1.empty() || element2.empty()) {
        ShowTrayNotice("新添加方案，元素1和元素2不允许任何一个留空！");
        return;
    }
    InputDialogParams ask;
    ask.prompt = "请输入该方案的保存名称（不宜过长）：";
    const InputDialogResult answer = Ask(std::move(ask));
    if (!answer.confirmed) return;
    AddPreset({answer.text, element1, element2, m_caseSensitive->isChecked()});
    m_presetBox->setCurrentIndex(m_presetBox->count() - 1);
}

void ElementPresetControls::ModifyElementPreset() {
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
    const InputDialogResult answer = Ask(std::move(ask));
    if (answer.confirmed && !answer.text.empty()) {
        preset.name = answer.text;
        m_presetBox->setItemText(static_cast<int>(*chosen) + kHeaderRows, QString::fromStdString(preset.name));
    }
}

void ElementPresetControls::DeleteElementPreset() {
    const std::optional<std::size_t> chosen = ChosenPreset();
    if (!chosen) {
        ShowTrayNotice("请先选择一个方案再删除！");
        return;
    }
    m_presets.erase(m_presets.begin() + static_cast<std::ptrdiff_t>(*chosen));
    m_presetBox->removeItem(static_cast<int>(*chosen) + kHeaderRows);
    m_presetBox->setCurrentIndex(0);
}

void ElementPresetControls::ClearElementPresets() {
    const std::string question = "确定要清空全部方案吗？";
    const bool ok = m_askOk ? m_askOk(question) : ShowMessageBox(question, kBoxOkCancel | kBoxIconQuestion) == kAnswerOk;
    if (ok) ResetElementPresets();
}

void ElementPresetControls::RestoreDefaultElementPresets() {
    ResetElementPresets();
    for (ElementPreset& preset : ParseElementPresets(kDefaultElementPresets)) AddPreset(std::move(preset));
}

}  // namespace varnel

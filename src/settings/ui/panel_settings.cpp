#include "settings/ui/panel_settings.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

#include <cstdint>
#include <string>
#include <vector>

#include "utilities/path_routines.h"

namespace varnel {

namespace {

std::string StoredText(const QString& text) { return text.toStdString(); }

QString ShownText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void PanelSettings::Check(QAbstractButton* box, std::string_view key) {
    bool checked = box->isChecked();
    m_binder.Bool(key, checked);
    if (!Saving()) box->setChecked(checked);
}

void PanelSettings::RadioPair(QAbstractButton* first, QAbstractButton* second, std::string_view key) {
    bool firstChosen = first->isChecked();
    m_binder.Bool(key, firstChosen);
    if (Saving()) return;
    first->setChecked(firstChosen);
    second->setChecked(!firstChosen);
}

int PanelSettings::ChosenRadio(std::span<QAbstractButton* const> radios, int firstNumber) {
    for (std::size_t i = 0; i < radios.size(); ++i) {
        if (radios[i]->isChecked()) return static_cast<int>(i) + firstNumber;
    }
    return firstNumber - 1;
}

void PanelSettings::RadioGroup(std::span<QAbstractButton* const> radios, std::string_view key, int firstNumber) {
    int chosen = ChosenRadio(radios, firstNumber);
    m_binder.Number(key, chosen);
    const std::int64_t index = static_cast<std::int64_t>(chosen) - firstNumber;
    if (!Saving() && index >= 0 && static_cast<std::size_t>(index) < radios.size()) {
        radios[static_cast<std::size_t>(index)]->setChecked(true);
    }
}

void PanelSettings::Text(QLineEdit* box, std::string_view key) {
    std::string text = StoredText(box->text());
    m_binder.Text(key, text);
    if (!Saving()) box->setText(ShownText(text));
}

void PanelSettings::MultiLine(QPlainTextEdit* box, std::string_view key) {
    std::string text = StoredText(box->toPlainText());
    m_binder.Text(key, text);
    if (Saving()) return;
    box->setPlainText(ShownText(RestoreStoredLineBreaks(text)));
}

void PanelSettings::HeldText(std::string& text, std::string_view key) { m_binder.Text(key, text); }

void PanelSettings::Joined(std::span<QWidget* const> controls, std::string_view key) {
    std::string joined;
    if (Saving()) {
        for (std::size_t i = 0; i < controls.size(); ++i) {
            if (i > 0) joined += '|';
            if (const auto* box = qobject_cast<const QAbstractButton*>(controls[i])) {
                joined += box->isChecked() ? SettingsStore::kTrue : SettingsStore::kFalse;
            } else if (const auto* edit = qobject_cast<const QLineEdit*>(controls[i])) {
                joined += StoredText(edit->text());
            }
        }
    }
    // Loading reads "" for a missing key: every field missing.
    m_binder.Text(key, joined);
    if (Saving()) return;
    const std::vector<std::string_view> fields = SplitAtSeparator(joined, "|");
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const std::string_view field = i < fields.size() ? fields[i] : std::string_view();
        if (auto* box = qobject_cast<QAbstractButton*>(controls[i])) {
            box->setChecked(field == SettingsStore::kTrue);
        } else if (auto* edit = qobject_cast<QLineEdit*>(controls[i])) {
            edit->setText(ShownText(field));
        }
    }
}

std::vector<bool> PanelSettings::CheckedItems(const QListWidget* list) {
    std::vector<bool> ticks(static_cast<std::size_t>(list->count()));
    for (int i = 0; i < list->count(); ++i) ticks[static_cast<std::size_t>(i)] = list->item(i)->checkState() == Qt::Checked;
    return ticks;
}

void PanelSettings::CheckList(QListWidget* list, std::string_view key) {
    std::string marks;
    if (Saving()) {
        for (const bool ticked : CheckedItems(list)) marks += ticked ? '1' : '0';
    }
    m_binder.Text(key, marks);
    if (Saving()) return;
    for (int i = 0; i < list->count() && static_cast<std::size_t>(i) < marks.size(); ++i) {
        list->item(i)->setCheckState(marks[static_cast<std::size_t>(i)] == '1' ? Qt::Checked : Qt::Unchecked);
    }
}

void PanelSettings::Combo(QComboBox* box, std::string_view key) {
    int index = box->currentIndex();
    m_binder.Number(key, index);
    if (!Saving() && index >= 0 && index < box->count()) box->setCurrentIndex(index);
}

}  // namespace varnel

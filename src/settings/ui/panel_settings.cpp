#include "settings/ui/panel_settings.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <string>

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

int PanelSettings::ChosenRadio(std::span<QAbstractButton* const> radios) {
    for (std::size_t i = 0; i < radios.size(); ++i) {
        if (radios[i]->isChecked()) return static_cast<int>(i) + 1;
    }
    return 0;
}

void PanelSettings::RadioGroup(std::span<QAbstractButton* const> radios, std::string_view key) {
    int chosen = ChosenRadio(radios);
    m_binder.Number(key, chosen);
    if (!Saving() && chosen >= 1 && static_cast<std::size_t>(chosen) <= radios.size()) {
        radios[static_cast<std::size_t>(chosen) - 1]->setChecked(true);
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

void PanelSettings::Combo(QComboBox* box, std::string_view key) {
    int index = box->currentIndex();
    m_binder.Number(key, index);
    if (!Saving() && index >= 0 && index < box->count()) box->setCurrentIndex(index);
}

}  // namespace varnel

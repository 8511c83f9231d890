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

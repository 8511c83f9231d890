#include "frame/ui/menu_checks.h"

namespace varnel {

std::string MenuCheckKey(const QAction& item) {
    QString caption = item.text();
    // "&&" is a literal "&"; a single "&" only marks the shortcut letter.
    caption.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    caption.remove(QLatin1Char('&'));
    caption.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return caption.toStdString();
}

void LoadMenuCheck(SettingsStore& store, QAction* item, QAction* opposite) {
    if (item == nullptr) return;
    item->setChecked(store.ReadBool(MenuCheckKey(*item), item->isChecked()));
    if (opposite != nullptr) opposite->setChecked(!item->isChecked());
}

void SaveMenuChecks(SettingsStore& store, QAction* item, std::initializer_list<QAction*> items) {
    if (item != nullptr) store.WriteBool(MenuCheckKey(*item), item->isChecked());
    for (QAction* other : items) {
        if (other != nullptr) store.WriteBool(MenuCheckKey(*other), other->isChecked());
    }
}

}  // namespace varnel

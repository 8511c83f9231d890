#include "naming/ui/panel_controls.h"

#include "naming/ui/meta_symbol_menu.h"

namespace varnel {

QLineEdit* MakeMetaBox(QWidget* parent, const char* name, MetaSymbolMenu* metaMenu) {
    auto* box = Named(new QLineEdit(parent), name);
    box->setStyleSheet(Utf8("QLineEdit { border: 1px solid black; }"));
    if (metaMenu != nullptr) metaMenu->AcceptMetaSymbols(box);
    return box;
}

QComboBox* MakeCombo(QWidget* parent, const char* name, std::initializer_list<const char*> items) {
    auto* combo = Named(new QComboBox(parent), name);
    for (const char* item : items) combo->addItem(Utf8(item));
    return combo;
}

}  // namespace varnel

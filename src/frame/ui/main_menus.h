// The main window's menus as one catalogue: the menu bar's 列定义, 视图, 导入导出,
// 设置 and 帮助, the hidden 文件 menu that the file list pops up, and the hidden
// 排序菜单 that a click on a column title pops up. Each item is
// named after its caption; shortcut keys are set as designed, except that a key
// designed on two items acts on the first and is only shown on the second. The
// work behind the items is connected by the window. UI thread only.
#pragma once

#include <QAction>
#include <QMenu>
#include <QObject>

#include <map>
#include <vector>

namespace varnel {

class MainMenus final : public QObject {
    Q_OBJECT
public:
    // The menus are owned by `owner`.
    explicit MainMenus(QWidget* owner);

    // The item with this caption (every caption is used once); nullptr for none.
    QAction* Item(const char* caption) const;
    // A top-level menu or a submenu, by its caption; nullptr for none.
    QMenu* Menu(const char* caption) const;
    // Menus shown in the menu bar, in order.
    std::vector<QMenu*> MenuBarMenus() const;
    // Every item that runs a command (submenus and separators left out), in menu order.
    const std::vector<QAction*>& Items() const { return m_items; }
    // The key an item shows: its shortcut, or the key written after a tab in its text.
    static QString ShownKey(const QAction& item);

private:
    std::map<QString, QAction*> m_itemsByCaption;
    std::map<QString, QMenu*> m_menus;
    std::vector<QAction*> m_items;
};

}  // namespace varnel

#include "frame/ui/main_menus.h"

#include <QKeySequence>
#include <QWidget>

namespace varnel {

namespace {

enum Flags : unsigned {
    kPlain = 0,
    kCheck = 1,
    kSeparatorBefore = 2,
    kSubmenu = 4,
    // The key is shown beside the caption but bound elsewhere.
    kKeyShownOnly = 8,
};

struct ItemDesign {
    const char* menu;  // the caption of the menu holding the item
    const char* caption;
    const char* key;
    unsigned flags;
};

constexpr const char* kMenuBar = "";

constexpr ItemDesign kItems[] = {
    {kMenuBar, "文件", "", kSubmenu},
    {"文件", "打开", "Ctrl+O", kPlain},
    {"文件", "打开上级", "Ctrl+S", kPlain},
    {"文件", "读目录树", "F5", kSeparatorBefore},
    {"文件", "进入子层", "F6", kPlain},
    {"文件", "重命名", "F2", kSeparatorBefore},
    {"文件", "批量任务...", "Ctrl+P", kCheck},
    {"文件", "移动到...", "F7", kSeparatorBefore},
    {"文件", "复制到...", "F8", kPlain},
    {"文件", "删除", "Delete", kPlain},
    {"文件", "删除(回收站可见)", "Ctrl+H", kPlain},
    {"文件", "创建快捷方式...", "Ctrl+K", kPlain},
    {"文件", "新建目录", "Ctrl+N", kPlain},
    {"文件", "复制文件路径", "F9", kSeparatorBefore},
    {"文件", "更多复制", "", kSubmenu},
    {"更多复制", "完整路径", "F9", kKeyShownOnly},
    {"更多复制", "文件名称列", "Ctrl+F1", kSeparatorBefore},
    {"更多复制", "预览专区列", "Ctrl+F2", kPlain},
    {"更多复制", "文件类型列", "Ctrl+F3", kPlain},
    {"更多复制", "文件属性列", "Ctrl+F4", kPlain},
    {"更多复制", "创建时间列", "Ctrl+F5", kPlain},
    {"更多复制", "修改时间列", "Ctrl+F6", kPlain},
    {"更多复制", "访问时间列", "Ctrl+F7", kPlain},
    {"更多复制", "所属目录列", "Ctrl+F8", kPlain},
    {"更多复制", "全部列", "Ctrl+F9", kSeparatorBefore},
    {"更多复制", "快捷方式指向(.Lnk)", "Ctrl+F10", kSeparatorBefore},
    {"更多复制", "网页链接(.Url)", "Ctrl+F11", kPlain},
    {"更多复制", "网页标题(<title>)", "Ctrl+F12", kPlain},
    {"更多复制", "高级组合复制...", "", kSeparatorBefore},
    {"文件", "移除列表", "F10", kSeparatorBefore},
    {"文件", "清空列表", "Ctrl+Q", kPlain},
    {"文件", "选定全部", "Ctrl+A", kSeparatorBefore},
    {"文件", "去除选定", "Ctrl+V", kPlain},
    {"文件", "逆向选定", "Ctrl+E", kPlain},
    {"文件", "过滤选定", "Ctrl+G", kPlain},
    {"文件", "更多", "", kSubmenu | kSeparatorBefore},
    {"更多", "修改网页标题", "F11", kPlain},
    {"更多", "提取歌词", "F12", kPlain},
    {"更多", "列表发送到...", "", kSeparatorBefore},

    {kMenuBar, "列定义", "", kSubmenu},
    {"列定义", "预览专区", "", kCheck},
    {"列定义", "文件大小", "", kCheck},
    {"列定义", "文件类型", "", kCheck},
    {"列定义", "文件属性", "", kCheck},
    {"列定义", "创建时间", "", kCheck},
    {"列定义", "修改时间", "", kCheck},
    {"列定义", "访问时间", "", kCheck},
    {"列定义", "所属目录", "", kCheck},
    {"列定义", "列宽", "", kSubmenu | kSeparatorBefore},
    {"列宽", "自动调节", "", kCheck},
    {"列宽", "立即调节", "", kPlain},
    {"列定义", "图标", "", kSubmenu},
    {"图标", "内置图标", "", kCheck},
    {"图标", "系统图标", "", kCheck},
    {"图标", "大图标(32x32)", "", kCheck | kSeparatorBefore},
    {"图标", "小图标(16x16)", "", kCheck},
    {"列定义", "时间列格式...", "", kSeparatorBefore},

    {kMenuBar, "视图", "", kSubmenu},
    {"视图", "查找...", "Ctrl+F", kPlain},
    {"视图", "查找下一个", "F3", kPlain},
    {"视图", "显示工具条", "", kCheck | kSeparatorBefore},
    {"视图", "显示目录树", "", kCheck},
    {"视图", "显示状态条", "", kCheck},
    {"视图", "保持前端", "", kCheck | kSeparatorBefore},

    {kMenuBar, "导入导出", "", kSubmenu},
    {"导入导出", "导入列表_选择文本文件...", "", kPlain},
    {"导入导出", "导入列表_直接输入文本...", "", kPlain},
    {"导入导出", "导出列表...", "", kSeparatorBefore},
    {"导入导出", "高级导出列表...", "", kPlain},
    {"导入导出", "打印列表框...", "", kSeparatorBefore},

    {kMenuBar, "设置", "", kSubmenu},
    {"设置", "右键 发送到 菜单", "", kCheck},
    {"设置", "文件内容预览", "", kSubmenu | kSeparatorBefore},
    {"文件内容预览", "图像(Gif|Jpg|Bmp|Ico|Cur)", "", kCheck},
    {"文件内容预览", "音频(Mp3|Mid|Wav)", "", kCheck},
    {"文件内容预览", "文本(自定义格式)", "", kCheck},
    {"文件内容预览", "定义文本格式...", "", kSeparatorBefore},
    {"文件内容预览", "音频选项", "", kSubmenu},
    {"音频选项", "重复播放", "", kCheck},
    {"音频选项", "立即停止播放", "F4", kPlain},
    {"设置", "音乐 Id3 预览", "", kSubmenu},
    {"音乐 Id3 预览", "预览v1", "", kCheck},
    {"音乐 Id3 预览", "预览v2", "", kCheck},
    {"音乐 Id3 预览", "互补预览", "", kCheck},
    {"音乐 Id3 预览", "自动显示歌词", "", kCheck | kSeparatorBefore},
    {"音乐 Id3 预览", "立即显示歌词", "", kPlain},
    {"设置", "拖放列表时", "", kSubmenu | kSeparatorBefore},
    {"拖放列表时", "根据遍历设置输入", "", kCheck},
    {"拖放列表时", "直接输入单层列表", "", kCheck},
    {"设置", "目录树 触发输入", "", kSubmenu},
    {"目录树 触发输入", "单击", "", kCheck},
    {"目录树 触发输入", "双击", "", kCheck},
    {"设置", "列表框 双击目录", "", kSubmenu},
    {"列表框 双击目录", "资源管理器中打开", "", kCheck},
    {"列表框 双击目录", "载入子列表", "", kCheck},

    {kMenuBar, "排序菜单", "", kSubmenu},
    {"排序菜单", "按预置型排序", "", kPlain},
    {"排序菜单", "按数值型排序", "", kSeparatorBefore},
    {"排序菜单", "按文本型排序", "", kPlain},
    {"排序菜单", "按日期型排序", "", kPlain},
    {"排序菜单", "按逻辑型排序", "", kPlain},
    {"排序菜单", "按增强型数值排序", "", kSeparatorBefore},
    {"排序菜单", "设定增强参数", "", kPlain},
    {"排序菜单", "按文本长度", "", kSeparatorBefore},
    {"排序菜单", "按图标排序", "", kPlain},

    {kMenuBar, "帮助", "", kSubmenu},
    {"帮助", "关闭电脑", "", kSubmenu},
    {"帮助", "检查更新...", "", kSeparatorBefore},
    {"帮助", "关于...", "", kPlain},
    {"帮助", "退出", "", kSeparatorBefore},
};

// Captions go into menus as they are: a "&" would otherwise mark a shortcut letter.
QString MenuText(const char* caption) { return QString::fromUtf8(caption).replace(QLatin1Char('&'), QStringLiteral("&&")); }

}  // namespace

MainMenus::MainMenus(QWidget* owner) : QObject(owner) {
    std::vector<QMenu*> topLevel;
    for (const ItemDesign& design : kItems) {
        const QString caption = QString::fromUtf8(design.caption);
        QMenu* parent = design.menu[0] == '\0' ? nullptr : m_menus.at(QString::fromUtf8(design.menu));
        if (parent != nullptr && (design.flags & kSeparatorBefore) != 0) parent->addSeparator();
        if ((design.flags & kSubmenu) != 0) {
            auto* menu = parent != nullptr ? parent->addMenu(MenuText(design.caption)) : new QMenu(MenuText(design.caption), owner);
            menu->setObjectName(caption);
            menu->menuAction()->setObjectName(caption);
            m_menus[caption] = menu;
            continue;
        }
        QAction* item = parent->addAction(MenuText(design.caption));
        item->setObjectName(caption);
        item->setCheckable((design.flags & kCheck) != 0);
        if ((design.flags & kKeyShownOnly) != 0) {
            item->setText(item->text() + QLatin1Char('\t') + QString::fromLatin1(design.key));
        } else if (design.key[0] != '\0') {
            item->setShortcut(QKeySequence(QString::fromLatin1(design.key)));
        }
        m_itemsByCaption[caption] = item;
        m_items.push_back(item);
    }
}

QAction* MainMenus::Item(const char* caption) const {
    const auto found = m_itemsByCaption.find(QString::fromUtf8(caption));
    return found == m_itemsByCaption.end() ? nullptr : found->second;
}

QMenu* MainMenus::Menu(const char* caption) const {
    const auto found = m_menus.find(QString::fromUtf8(caption));
    return found == m_menus.end() ? nullptr : found->second;
}

std::vector<QMenu*> MainMenus::MenuBarMenus() const {
    std::vector<QMenu*> menus;
    for (const char* caption : {"列定义", "视图", "导入导出", "设置", "帮助"}) menus.push_back(Menu(caption));
    return menus;
}

QString MainMenus::ShownKey(const QAction& item) {
    if (!item.shortcut().isEmpty()) return item.shortcut().toString(QKeySequence::PortableText);
    const qsizetype tab = item.text().indexOf(QLatin1Char('\t'));
    return tab < 0 ? QString() : item.text().mid(tab + 1);
}

}  // namespace varnel

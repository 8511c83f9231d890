// The main window's toolbar (工具条): 25 slots by index, buttons, separators and
// split buttons whose small arrow runs a second command. It reports which slot was
// clicked and which arrow; the window decides what runs. UI thread only.
#pragma once

#include <QToolBar>
#include <QToolButton>

#include <array>

namespace varnel {

// A button with an arrow beside it: a press on the arrow is reported instead of
// opening a menu.
class DropDownToolButton final : public QToolButton {
    Q_OBJECT
public:
    explicit DropDownToolButton(QWidget* parent = nullptr);
    // The arrow's rectangle in the button.
    QRect ArrowRect() const;

signals:
    void arrowClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

// The toolbar's button slots by index (the slots between them are separators).
enum MainToolbarSlot : int {
    kBatchAreaSlot = 0,  // 批量任务面板
    kReadTreeSlot = 2,  // 读勾选目录 / 统计
    kEnterFolderSlot = 3,  // 读选定目录
    kMoveToSlot = 5,  // 移动到
    kCopyToSlot = 6,  // 复制到
    kDeleteSlot = 7,  // 删除
    kShortcutSlot = 8,  // 创建快捷方式
    kOpenSlot = 10,  // 打开
    kLocateSlot = 11,  // 打开上级
    kRemoveFromListSlot = 13,  // 移除列表 / 清空列表
    kCopyListSlot = 14,  // 复制列表
    kSelectAllSlot = 16,  // 全部选中
    kSelectNoneSlot = 17,  // 全部去选
    kInvertSelectionSlot = 18,  // 全部反选
    kFilterSelectSlot = 19,  // 过滤选定
    kFindNextSlot = 21,  // 查找下一个 / 查找
    kAboutSlot = 23,  // 关于
    kExitSlot = 24,  // 退出
};

class MainToolbar final : public QToolBar {
    Q_OBJECT
public:
    static constexpr int kSlotCount = 25;
    enum class Style { Button, DropDown, Separator };

    explicit MainToolbar(QWidget* parent = nullptr);

    static Style SlotStyle(int index);
    // The slot's action in the toolbar (a separator's too).
    QAction* Slot(int index) const { return m_slots.at(static_cast<std::size_t>(index)); }
    // The slot's button; nullptr for a separator.
    QToolButton* Button(int index) const { return m_buttons.at(static_cast<std::size_t>(index)); }
    // State bit 1 (checked) of a button.
    void SetToolButtonChecked(int index, bool checked);

signals:
    void buttonClicked(int index);
    void dropDownClicked(int index);

private:
    std::array<QAction*, kSlotCount> m_slots{};
    std::array<QToolButton*, kSlotCount> m_buttons{};
};

}  // namespace varnel

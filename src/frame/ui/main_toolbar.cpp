#include "frame/ui/main_toolbar.h"

#include <QMenu>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionToolButton>

namespace varnel {

namespace {

struct SlotDesign {
    MainToolbar::Style style;
    QStyle::StandardPixmap image;
    const char* tip;
};

using S = MainToolbar::Style;
using P = QStyle::StandardPixmap;

constexpr SlotDesign kSlots[MainToolbar::kSlotCount] = {
    {S::Button, P::SP_FileDialogDetailedView, "启动批量任务处理面板"},
    {S::Separator, P::SP_CustomBase, ""},
    {S::DropDown, P::SP_BrowserReload, "读勾选目录的子列表(目录树中)。点击小箭头可统计文件和文件夹数目"},
    {S::Button, P::SP_DirOpenIcon, "读选定目录的子列表"},
    {S::Separator, P::SP_CustomBase, ""},
    {S::Button, P::SP_ArrowForward, "移动到..."},
    {S::Button, P::SP_DialogSaveButton, "复制到..."},
    {S::DropDown, P::SP_TrashIcon, "删除(点击小箭头则回收站不可见)"},
    {S::Button, P::SP_FileLinkIcon, "创建快捷方式"},
    {S::Separator, P::SP_CustomBase, ""},
    {S::Button, P::SP_DialogOpenButton, "调用默认程序打开"},
    {S::Button, P::SP_DirLinkIcon, "在文件管理器中定位"},
    {S::Separator, P::SP_CustomBase, ""},
    {S::DropDown, P::SP_DialogDiscardButton, "移除列表(点击小箭头清空全部,非物理删除)"},
    {S::DropDown, P::SP_FileDialogContentsView, "复制列表（复制类型跟上次一样）"},
    {S::Separator, P::SP_CustomBase, ""},
    {S::Button, P::SP_DialogApplyButton, "全部选中"},
    {S::Button, P::SP_DialogCancelButton, "全部去选"},
    {S::Button, P::SP_BrowserStop, "全部反选"},
    {S::Button, P::SP_FileDialogListView, "过滤选定 - 使用过滤选项进行选定"},
    {S::Separator, P::SP_CustomBase, ""},
    {S::DropDown, P::SP_FileDialogInfoView, "以当前关键字查找下一个...(点击小箭头启动查找对话框)"},
    {S::Separator, P::SP_CustomBase, ""},
    {S::Button, P::SP_MessageBoxInformation, "关于Varnel更名"},
    {S::Button, P::SP_DialogCloseButton, "退出Varnel更名！"},
};

}  // namespace

DropDownToolButton::DropDownToolButton(QWidget* parent) : QToolButton(parent) {
    // The arrow is drawn for a button that has a menu; this one is never opened.
    setMenu(new QMenu(this));
    setPopupMode(QToolButton::MenuButtonPopup);
}

QRect DropDownToolButton::ArrowRect() const {
    QStyleOptionToolButton option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_ToolButton, &option, QStyle::SC_ToolButtonMenu, this);
}

void DropDownToolButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && ArrowRect().contains(event->position().toPoint())) {
        event->accept();
        if (isEnabled()) emit arrowClicked();
        return;
    }
    QToolButton::mousePressEvent(event);
}

MainToolbar::MainToolbar(QWidget* parent) : QToolBar(parent) {
    setObjectName(QString::fromUtf8("工具条"));
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(24, 24));
    for (int index = 0; index < kSlotCount; ++index) {
        const SlotDesign& design = kSlots[index];
        if (design.style == Style::Separator) {
            m_slots[static_cast<std::size_t>(index)] = addSeparator();
            continue;
        }
        QToolButton* button = nullptr;
        if (design.style == Style::DropDown) {
            auto* dropDown = new DropDownToolButton(this);
            connect(dropDown, &DropDownToolButton::arrowClicked, this, [this, index] { emit dropDownClicked(index); });
            button = dropDown;
        } else {
            button = new QToolButton(this);
        }
        button->setObjectName(QString::fromUtf8("工具条按钮%1").arg(index));
        button->setIcon(style()->standardIcon(design.image, nullptr, this));
        button->setToolTip(QString::fromUtf8(design.tip));
        button->setAutoRaise(true);
        button->setCheckable(index == 0);
        connect(button, &QToolButton::clicked, this, [this, index] { emit buttonClicked(index); });
        m_buttons[static_cast<std::size_t>(index)] = button;
        m_slots[static_cast<std::size_t>(index)] = addWidget(button);
    }
}

MainToolbar::Style MainToolbar::SlotStyle(int index) { return kSlots[index].style; }

void MainToolbar::SetToolButtonChecked(int index, bool checked) {
    if (QToolButton* button = Button(index)) {
        const QSignalBlocker quiet(button);
        button->setChecked(checked);
    }
}

}  // namespace varnel

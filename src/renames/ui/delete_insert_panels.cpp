#include "renames/ui/delete_insert_panels.h"

#include <QGridLayout>
#include <QLabel>

#include "naming/ui/panel_controls.h"
#include "utilities/ui/tooltips.h"

namespace varnel {

DeletePanel::DeletePanel(MetaSymbolMenu* metaMenu, QWidget* parent) : TypedTaskPanel(parent) {
    setObjectName("DeletePanel");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 8);
    m_byPosition = MakeCombo(this, "组合框按位置", {"指定位置", "字符串(标记)"});
    m_key = Named(new QLineEdit(Utf8("1"), this), "编辑框关键字或位");
    m_side = MakeCombo(this, "组合框删左边", {"的左边删除", "的右边删除"});
    m_forward = Named(new QCheckBox(Utf8("正向寻找"), this), "选择框正向寻找");
    m_forward->setChecked(true);
    m_dropMarker = Named(new QCheckBox(Utf8("不保留标记"), this), "选择框不保留标记");
    m_ignoreCase = Named(new QCheckBox(Utf8("忽略大小写"), this), "选择框忽略大小写");
    m_count = Named(new QLineEdit(Utf8("0"), this), "编辑框删除数目");
    m_count->setMaximumWidth(80);
    m_replacement = MakeMetaBox(this, "编辑框替换文本", metaMenu);
    grid->addWidget(m_byPosition, 0, 0);
    grid->addWidget(m_key, 0, 1, 1, 2);
    grid->addWidget(m_side, 0, 3);
    grid->addWidget(m_forward, 1, 0);
    grid->addWidget(m_dropMarker, 1, 1);
    grid->addWidget(m_ignoreCase, 1, 2);
    grid->addWidget(new QLabel(Utf8("删除数目："), this), 2, 0);
    grid->addWidget(m_count, 2, 1);
    grid->addWidget(new QLabel(Utf8("替换文本："), this), 3, 0);
    grid->addWidget(m_replacement, 3, 1, 1, 3);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(4, 1);

    Bindings()
        .Combo(m_byPosition, "按位置", FirstChosen(&DeleteParams::byPosition))
        .Text(m_key, "关键字或位", &DeleteParams::keyOrPosition)
        .Combo(m_side, "删左边", FirstChosen(&DeleteParams::deleteLeft))
        .Check(m_forward, "正向寻找", &DeleteParams::forward)
        .Check(m_dropMarker, "不保留标记", &DeleteParams::dropMarker)
        .Check(m_ignoreCase, "忽略大小写", &DeleteParams::ignoreCase)
        .Text(m_count, "删除数目", IntegerField(&DeleteParams::count))
        .Text(m_replacement, "替换文本", &DeleteParams::replacement);

    RegisterTooltip(m_replacement, "支持首创的中文元变量插入。黑色边框者皆支持元变量。");
    RegisterTooltip(m_key, "按字符串(标记)时，这里输入关键字，按位置时，这里输入位置数值");
    RegisterTooltip(m_count, "删除数目小于 1 时将删除全部");
    RegisterTooltip(m_forward, "是否正向寻找。正向者，顺序也，亦即从左边寻找。反之亦然。");
    RegisterTooltip(m_dropMarker, "按字符串时，标记为该字符串，按位置时，标记为指定位置的单个字符。");
}

DeleteParams DeletePanel::CurrentParameters() const { return Bindings().Gather(); }

std::optional<DeleteParams> DeletePanel::MakeParams(RunMode) { return CurrentParameters(); }

InsertPanel::InsertPanel(MetaSymbolMenu* metaMenu, QWidget* parent) : TypedTaskPanel(parent) {
    setObjectName("InsertPanel");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 8);
    m_direction = MakeCombo(this, "组合框方向", {"按顺序方向", "按逆序方向"});
    m_position = Named(new QLineEdit(Utf8("1"), this), "编辑框位置");
    m_position->setMaximumWidth(80);
    m_byBytes = MakeCombo(this, "组合框按字节", {"位字节处插入", "个字符处插入"});
    m_byBytes->setCurrentIndex(1);
    m_text = MakeMetaBox(this, "编辑框字符", metaMenu);
    m_skipOutside = Named(new QCheckBox(Utf8("越位则不插"), this), "选择框越位不插");
    m_force = Named(new QCheckBox(Utf8("另外，插入字符后强制"), this), "选择框强制相等");
    m_forceKind = MakeCombo(this, "组合框强制类型", {"字节数相等", "字符数相等"});
    m_forceKind->setCurrentIndex(1);
    m_forcedLength = Named(new QLineEdit(Utf8("10"), this), "编辑框强制数");
    m_forcedLength->setMaximumWidth(80);
    m_cutLeft = Named(new QCheckBox(Utf8("超出限定长度截弃左边(否则右边)"), this), "选择框截弃左边");
    grid->addWidget(m_direction, 0, 0);
    grid->addWidget(new QLabel(Utf8("第"), this), 0, 1);
    grid->addWidget(m_position, 0, 2);
    grid->addWidget(m_byBytes, 0, 3);
    grid->addWidget(new QLabel(Utf8("字符："), this), 1, 0);
    grid->addWidget(m_text, 1, 1, 1, 3);
    grid->addWidget(m_skipOutside, 2, 0);
    grid->addWidget(m_force, 3, 0);
    grid->addWidget(m_forceKind, 3, 1, 1, 2);
    grid->addWidget(m_forcedLength, 3, 3);
    grid->addWidget(m_cutLeft, 4, 0, 1, 4);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(5, 1);

    Bindings()
        .Combo(m_direction, "插入方向", FirstChosen(&InsertParams::fromLeft))
        .Text(m_position, "插入位置", IntegerField(&InsertParams::position))
        .Combo(m_byBytes, "按字节", FirstChosen(&InsertParams::byBytes))
        .Text(m_text, "插入的字符", &InsertParams::text)
        .Check(m_skipOutside, "越位不插", &InsertParams::skipOutside)
        .Check(m_force, "强制相等", &InsertParams::forceLength)
        .AlsoOnChange([this] { UpdateInsertPanelControls(); })
        .Combo(m_forceKind, "强制类型", FirstChosen(&InsertParams::forceByBytes))
        .Text(m_forcedLength, "强制数", IntegerField(&InsertParams::forcedLength))
        .Check(m_cutLeft, "截弃左边", &InsertParams::cutLeft)
        .AfterLoad([this] { UpdateInsertPanelControls(); });
    RegisterTooltip(m_text, "支持首创的中文元变量插入。黑色边框者皆支持元变量。");
    UpdateInsertPanelControls();
}

void InsertPanel::UpdateInsertPanelControls() {
    const bool force = m_force->isChecked();
    m_forceKind->setEnabled(force);
    m_forcedLength->setEnabled(force);
    m_cutLeft->setEnabled(force);
}

InsertParams InsertPanel::CurrentParameters() const { return Bindings().Gather(); }

std::optional<InsertParams> InsertPanel::MakeParams(RunMode) { return CurrentParameters(); }

}  // namespace varnel

#include "filetasks/ui/split_panel.h"

#include <QGridLayout>
#include <QLabel>

#include <algorithm>
#include <climits>

#include "naming/ui/panel_controls.h"
#include "utilities/ui/tooltips.h"
#include "utilities/user_notifier.h"

namespace varnel {

SplitPanel::SplitPanel(MetaSymbolMenu* metaMenu, QWidget* parent, AskTextFunction askText)
    : TypedTaskPanel(parent), m_askText(std::move(askText)) {
    setObjectName("SplitPanel");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 8);
    m_type = MakeCombo(this, "组合框分割类型",
                       {"按份数(支持字节集)", "按字节(支持字节集)", "按字符数", "按行数", "按字符标记"});
    m_position = Named(new QLineEdit(this), "编辑框分割位置");
    m_marker = Named(new QLineEdit(this), "编辑框分割标记");
    m_editMarker = Named(new QPushButton(Utf8("..."), this), "按钮编辑标记");
    m_useCustomPath = Named(new QCheckBox(Utf8("自定义保存路径："), this), "选择框自定义路径");
    m_customPath = MakeMetaBox(this, "编辑框自定义路径", metaMenu);
    m_customPath->setText(Utf8(kDefaultSplitTemplate));
    m_editCustomPath = Named(new QPushButton(Utf8("..."), this), "按钮编辑自定义路径");
    m_deleteSource = Named(new QCheckBox(Utf8("删除分割源"), this), "选择框删除源文件");
    m_loadParts = Named(new QCheckBox(Utf8("在列表框中显示分割结果"), this), "选择框载入子文件");
    grid->addWidget(new QLabel(Utf8("分割类型："), this), 0, 0);
    grid->addWidget(m_type, 0, 1);
    grid->addWidget(new QLabel(Utf8("位置："), this), 0, 2);
    grid->addWidget(m_position, 0, 3);
    grid->addWidget(new QLabel(Utf8("标记："), this), 1, 0);
    grid->addWidget(m_marker, 1, 1, 1, 3);
    grid->addWidget(m_editMarker, 1, 4);
    grid->addWidget(m_useCustomPath, 2, 0);
    grid->addWidget(m_customPath, 2, 1, 1, 3);
    grid->addWidget(m_editCustomPath, 2, 4);
    grid->addWidget(m_deleteSource, 3, 0, 1, 2);
    grid->addWidget(m_loadParts, 3, 2, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(4, 1);

    const auto update = [this] { UpdateSplitControls(); };
    Bindings()
        .Combo(m_type, "类型",
               [](SplitParams& p, int index) { p.splitType = static_cast<SplitType>(std::max(0, index)); })
        .AlsoOnChange(update)
        .Text(m_position, "位置", IntegerField(&SplitParams::position, 0, INT32_MAX))
        .Text(m_marker, "标记", &SplitParams::marker)
        .Check(m_useCustomPath, "是否自定义路径", &SplitParams::useCustomPath)
        .AlsoOnChange(update)
        .Text(m_customPath, "自定义的路径", &SplitParams::customPath)
        .Check(m_deleteSource, "删除源文件", &SplitParams::deleteSource)
        .Check(m_loadParts, "载入子列表", &SplitParams::loadParts)
        .AfterLoad(update);
    connect(m_editMarker, &QPushButton::clicked, this, [this] {
        EditTextInDialog(m_askText, this, "输入以此为标记来分割文件的字符串：", m_marker->text().toStdString(),
                         [this](const std::string& text) { m_marker->setText(Utf8(text)); });
    });
    connect(m_editCustomPath, &QPushButton::clicked, this, [this] {
        EditTextInDialog(m_askText, this, "输入自定义保存到的路径，可配合元变量等使用：",
                         m_customPath->text().toStdString(),
                         [this](const std::string& text) { m_customPath->setText(Utf8(text)); });
    });

    RegisterTooltip(m_type, "分割的类型");
    RegisterTooltip(m_position, "当分割类型为指定位置时，用于输入位置值。");
    RegisterTooltip(m_marker, "当分割类型为字符标记时，用于输入字符串。");
    RegisterTooltip(m_deleteSource, "分割后是否删除源文件（撤销时同样支持恢复源文件）");
    RegisterTooltip(m_loadParts, "分割完毕后是否立即载入刚刚生成的子文件列表。");
    RegisterTooltip(m_useCustomPath, "是否自定义保存路径，否则将以默认路径保存([目录路径]/[主名]/[主名]_*.[扩展名])");
    RegisterTooltip(m_customPath, "通过元变量和数字递进标志符 * 组合");
    UpdateSplitControls();
}

void SplitPanel::UpdateSplitControls() {
    const bool marker = m_type->currentIndex() == static_cast<int>(SplitType::Marker);
    m_position->setEnabled(!marker);
    m_marker->setEnabled(marker);
    m_editMarker->setEnabled(marker);
    const bool custom = m_useCustomPath->isChecked();
    m_customPath->setEnabled(custom);
    m_editCustomPath->setEnabled(custom);
}

SplitParams SplitPanel::CurrentParameters() const { return Bindings().Gather(); }

std::optional<SplitParams> SplitPanel::MakeParams(RunMode mode) {
    SplitParams params = CurrentParameters();
    // Only an execute splits; a preview has nothing to refuse.
    if (mode == RunMode::Execute) {
        if (const std::string problem = SplitProblem(params); !problem.empty()) {
            ShowTrayNotice(problem);
            return std::nullopt;
        }
    }
    return params;
}

}  // namespace varnel

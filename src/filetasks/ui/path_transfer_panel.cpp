#include "filetasks/ui/path_transfer_panel.h"

#include <QGridLayout>
#include <QLabel>

#include "naming/ui/panel_controls.h"
#include "utilities/ui/folder_picker.h"
#include "utilities/ui/tooltips.h"

namespace varnel {

PathTransferPanel::PathTransferPanel(MetaSymbolMenu* metaMenu, QWidget* parent, PickFolderFunction pickFolder)
    : TypedTaskPanel(parent), m_pickFolder(std::move(pickFolder)) {
    setObjectName("PathTransferPanel");
    if (!m_pickFolder) {
        m_pickFolder = [](const std::string& prompt, const std::string& start) {
            return PickFolder(prompt, false, start, true, true);
        };
    }
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 8);
    m_move = Named(new QRadioButton(Utf8("移动到"), this), "单选框移动到");
    m_copy = Named(new QRadioButton(Utf8("复制到"), this), "单选框复制到");
    m_foldersOnly = Named(new QRadioButton(Utf8("仅生成目录"), this), "单选框仅生成目录");
    m_shortcut = Named(new QRadioButton(Utf8("创建Lnk快捷"), this), "单选框创建Lnk");
    m_starter = Named(new QRadioButton(Utf8("创建Bat快捷"), this), "单选框创建Bat");
    m_relative = Named(new QCheckBox(Utf8("相对路径"), this), "选择框相对路径");
    m_newFolder = MakeMetaBox(this, "编辑框新目录", metaMenu);
    m_pick = Named(new QPushButton(Utf8("..."), this), "按钮编辑新目录");
    m_copy->setChecked(true);
    m_relative->setChecked(true);
    m_newFolder->setText(Utf8(kDefaultNewFolder));

    grid->addWidget(m_move, 0, 0);
    grid->addWidget(m_copy, 0, 1);
    grid->addWidget(m_foldersOnly, 0, 2);
    grid->addWidget(m_shortcut, 1, 0);
    grid->addWidget(m_starter, 1, 1);
    grid->addWidget(m_relative, 1, 2);
    grid->addWidget(new QLabel(Utf8("新目录："), this), 2, 0);
    grid->addWidget(m_newFolder, 2, 1, 1, 2);
    grid->addWidget(m_pick, 2, 3);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(3, 1);

    // Each radio is kept as its own tick; the chosen one gives the mode.
    const struct {
        QRadioButton* radio;
        const char* key;
        PathMode mode;
    } modes[] = {{m_move, "移动到", PathMode::Move},
                 {m_copy, "复制到", PathMode::Copy},
                 {m_foldersOnly, "仅生成目录", PathMode::FoldersOnly},
                 {m_shortcut, "创建Lnk", PathMode::Shortcut},
                 {m_starter, "创建Bat", PathMode::StarterScript}};
    for (const auto& [radio, key, mode] : modes) {
        Bindings()
            .Check(radio, key, [mode](PathTaskParams& params, bool chosen) {
                if (chosen) params.mode = mode;
            })
            .AlsoOnChange([this] { UpdatePathControls(); });
    }
    Bindings()
        .Check(m_relative, "相对路径", &PathTaskParams::relativePath)
        .Text(m_newFolder, "新目录", &PathTaskParams::newFolder)
        .AfterLoad([this] { UpdatePathControls(); });
    connect(m_pick, &QPushButton::clicked, this, &PathTransferPanel::PickNewFolder);

    RegisterTooltip(m_move, "移动到新目录");
    RegisterTooltip(m_copy, "复制到新目录");
    RegisterTooltip(m_foldersOnly, "是否仅生成新目录（而不操作其他）");
    RegisterTooltip(m_shortcut, "创建 .Lnk 格式 Windows快捷启动文件");
    RegisterTooltip(m_starter, "创建 .Bat 格式 Windows快捷启动文件（批处理命令）");
    RegisterTooltip(m_relative,
                    "当指向目标位于移动盘且盘符经常变动时，用于创建相对路径。相对路径即无盘符，"
                    "执行Bat时系统自动搜寻所有磁盘的可能路径。");
    RegisterTooltip(m_newFolder, "新目录路径。支持首创的中文元变量插入。黑色边框者皆支持元变量。");
    UpdatePathControls();
}

void PathTransferPanel::UpdatePathControls() { m_relative->setEnabled(m_starter->isChecked()); }

void PathTransferPanel::PickNewFolder() {
    const std::string chosen =
        m_pickFolder("选择新目录路径（可作为配合元符的模板）：", m_newFolder->text().toStdString());
    if (!chosen.empty()) m_newFolder->setText(QString::fromStdString(chosen));
}

PathTaskParams PathTransferPanel::CurrentParameters() const { return Bindings().Gather(); }

std::optional<PathTaskParams> PathTransferPanel::MakeParams(RunMode) { return CurrentParameters(); }

}  // namespace varnel

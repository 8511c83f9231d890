#include "filetasks/ui/file_times_panel.h"

#include <QGridLayout>
#include <QLabel>

#include <ctime>
#include <vector>

#include "naming/ui/panel_controls.h"
#include "platform/file_times.h"
#include "settings/main_settings.h"
#include "utilities/local_time.h"
#include "utilities/ole_date.h"
#include "utilities/ui/tooltips.h"

namespace varnel {

namespace {

struct GroupDesign {
    const char* word;     // 创建, 修改, 访问
    const char* key;      // the INI key
    const char* caption;  // of the tick
    const char* tip;      // of the tick
    const char* clockHint;
    const char* clearHint;
};
constexpr GroupDesign kGroups[kTimeGroupCount] = {
    {"创建", "创建时间", "置创建时间", "是否重新设置文件的创建时间（文件被第一次在硬盘上出现的时间）",
     "读电脑时间到创建时间", "清空创建时间"},
    {"修改", "修改时间", "置修改时间", "是否重新设置文件的修改时间（文件被最后一次写入数据的时间）",
     "读电脑时间到修改时间", "清空修改时间"},
    {"访问", "访问时间", "置访问时间", "是否重新设置文件的访问时间（文件被最后一次读出数据的时间）",
     "读电脑时间到访问时间", "清空访问时间"},
};
constexpr const char* kUnitWords[6] = {"年", "月", "日", "时", "分", "秒"};

constexpr const char* kHelpHint =
    "每个文件都有创建、修改和访问时间。\r\n"
    "他们分别是第一次出现、最后一次写入、最后一次读出。\r\n"
    "勾选的项目将被设置为新时间，不勾选的保留原值。\r\n"
    "项目内的“年月日时分秒”时间单位，留空的保留原值。";

}  // namespace

FileTimesPanel::FileTimesPanel(const TimeFormat* listTimeFormat, std::function<std::string()> currentRowPath,
                               QWidget* parent)
    : TypedTaskPanel(parent), m_listTimeFormat(listTimeFormat), m_currentRowPath(std::move(currentRowPath)) {
    setObjectName("FileTimesPanel");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 8);
    for (std::size_t g = 0; g < kTimeGroupCount; ++g) {
        const GroupDesign& design = kGroups[g];
        Group& group = m_groups[g];
        const int row = static_cast<int>(g);
        group.setTime = Named(new QCheckBox(Utf8(design.caption), this), ("选择框置" + std::string(design.word)).c_str());
        grid->addWidget(group.setTime, row, 0);
        for (std::size_t u = 0; u < 6; ++u) {
            const std::string name = std::string("编辑框") + design.word + kUnitWords[u];
            group.units[u] = Named(new QLineEdit(this), name.c_str());
            group.units[u]->setMaximumWidth(u == 0 ? 48 : 32);
            grid->addWidget(group.units[u], row, 1 + static_cast<int>(u) * 2);
            grid->addWidget(new QLabel(Utf8(kUnitWords[u]), this), row, 2 + static_cast<int>(u) * 2);
        }
        group.readClock = Named(new QPushButton(Utf8("√"), this), ("超级按钮读" + std::string(design.word)).c_str());
        group.clear = Named(new QPushButton(Utf8("×"), this), ("超级按钮清空" + std::string(design.word)).c_str());
        for (QPushButton* button : {group.readClock, group.clear}) button->setMaximumWidth(28);
        grid->addWidget(group.readClock, row, 13);
        grid->addWidget(group.clear, row, 14);
        RegisterTooltip(group.setTime, design.tip);
        RegisterTooltip(group.readClock, design.clockHint);
        RegisterTooltip(group.clear, design.clearHint);
        const auto which = static_cast<TimeGroup>(g);
        // A group is kept under one key: its tick and its six boxes joined by "|".
        Bindings()
            .Check(group.setTime, "", [g](FileTimesParams& p, bool ticked) { p.groups[g].setTime = ticked; })
            .AlsoOnChange([this] { UpdateTimeControls(); });
        for (std::size_t u = 0; u < 6; ++u) {
            // An unticked group keeps every unit.
            Bindings().Text(group.units[u], "", [g, u](FileTimesParams& p, const std::string& text) {
                if (p.groups[g].setTime) p.groups[g].units[u] = TimeUnitFromText(text);
            });
        }
        std::vector<QWidget*> kept{group.setTime};
        kept.insert(kept.end(), group.units.begin(), group.units.end());
        Bindings().Joined(std::move(kept), design.key);
        connect(group.readClock, &QPushButton::clicked, this, [this, which] { FillTimeBoxes(which); });
        connect(group.clear, &QPushButton::clicked, this, [this, which] {
            for (QLineEdit* box : GroupOf(which).units) box->clear();
        });
    }
    m_readFile = Named(new QCheckBox(Utf8("读所选文件的时间信息到组件参数"), this), "选择框读文件");
    m_help = Named(new QPushButton(Utf8("？"), this), "超级按钮帮助");
    m_help->setMaximumWidth(28);
    grid->addWidget(m_readFile, 3, 0, 1, 13);
    grid->addWidget(m_help, 3, 14);
    grid->setColumnStretch(15, 1);
    grid->setRowStretch(4, 1);
    RegisterTooltip(m_help, kHelpHint);
    // Ticking 读文件 fills the boxes, which ask for the preview.
    Bindings()
        .Check(m_readFile, "读文件", nullptr)
        .NoPreview()
        .AlsoOnChange([this] { LoadFileTimesFromList(); })
        .AfterLoad([this] { UpdateTimeControls(); });
    connect(m_help, &QPushButton::clicked, this, [this] { RegisterTooltip(m_help, kHelpHint); });
    UpdateTimeControls();
}

int FileTimesPanel::ReadTimeBox(const QLineEdit* box) { return TimeUnitFromText(box->text().toStdString()); }

void FileTimesPanel::UpdateTimeControls() {
    for (Group& group : m_groups) {
        for (QLineEdit* box : group.units) box->setEnabled(group.setTime->isChecked());
    }
}

void FileTimesPanel::FillTimeBoxes(TimeGroup which, std::optional<timespec> time) {
    if (!time) {
        timespec now {};
        ::clock_gettime(CLOCK_REALTIME, &now);
        time = now;
    }
    const auto ole = UnixTimeToLocalOleDate(time->tv_sec);
    if (!ole) return;
    const CivilTime civil = OleDateToCivil(*ole, CivilRounding::Second);
    const int parts[6] = {civil.year, civil.month, civil.day, civil.hour, civil.minute, civil.second};
    Group& group = GroupOf(which);
    for (std::size_t u = 0; u < 6; ++u) group.units[u]->setText(QString::number(parts[u]));
}

void FileTimesPanel::LoadFileTimesFromList(const std::string& path) {
    if (!m_readFile->isChecked() || path.empty()) return;
    const int handle = OpenFileForTimes(path);
    if (handle == kInvalidFileHandle) return;
    const auto stamps = ReadFileTimestamps(handle);
    CloseFileHandle(handle);
    if (!stamps) return;
    if (stamps->created) FillTimeBoxes(TimeGroup::Created, stamps->created);
    FillTimeBoxes(TimeGroup::Modified, stamps->modified);
    FillTimeBoxes(TimeGroup::Accessed, stamps->accessed);
}

void FileTimesPanel::LoadFileTimesFromList() {
    if (m_currentRowPath) LoadFileTimesFromList(m_currentRowPath());
}

FileTimesParams FileTimesPanel::CurrentParameters() const {
    FileTimesParams params;
    params.listTimeFormat = m_listTimeFormat != nullptr ? *m_listTimeFormat : DefaultListTimeFormat();
    return Bindings().Gather(std::move(params));
}

std::optional<FileTimesParams> FileTimesPanel::MakeParams(RunMode) {
    FileTimesParams params = CurrentParameters();
    // A run shows the time columns it fills.
    static constexpr ListColumn kColumns[kTimeGroupCount] = {ListColumn::Created, ListColumn::Modified,
                                                             ListColumn::Accessed};
    for (std::size_t g = 0; g < kTimeGroupCount; ++g) {
        if (params.groups[g].setTime && m_showColumn) m_showColumn(kColumns[g]);
    }
    return params;
}

}  // namespace varnel

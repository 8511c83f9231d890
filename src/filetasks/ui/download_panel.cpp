#include "filetasks/ui/download_panel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

#include "filelist/ui/file_list_panel.h"
#include "naming/name_parts.h"
#include "naming/ui/panel_controls.h"
#include "platform/xdg_paths.h"
#include "platform/xdg_user_dirs.h"
#include "utilities/path_routines.h"
#include "utilities/ui/folder_picker.h"
#include "utilities/ui/tooltips.h"
#include "utilities/user_notifier.h"

namespace varnel {

namespace {

constexpr const char* kDefaultTemplate = "http://www.example.com/images/*.jpg";
constexpr const char* kSaveFolderName = "批量下载";

}  // namespace

std::string DownloadPanel::DefaultSaveFolder() {
    const std::string desktop = ReadUserDir("DESKTOP").value_or(HomeFolder() + "/Desktop");
    return WithTrailingSlash(desktop) + kSaveFolderName;
}

DownloadPanel::DownloadPanel(QWidget* parent, AskTextFunction askText, PickFolderFunction pickFolder)
    : TypedTaskPanel(parent), m_askText(std::move(askText)), m_pickFolder(std::move(pickFolder)) {
    setObjectName("DownloadPanel");
    if (!m_pickFolder) {
        m_pickFolder = [](const std::string& prompt, const std::string& start) {
            return PickFolder(prompt, false, start, true, true);
        };
    }
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 8);
    m_counterMode = Named(new QRadioButton(Utf8("递进地址"), this), "单选框递进地址");
    m_fixedMode = Named(new QRadioButton(Utf8("固定地址"), this), "单选框固定地址");
    m_counterMode->setChecked(true);
    m_template = Named(new QLineEdit(Utf8(kDefaultTemplate), this), "编辑框递进地址");
    m_start = Named(new QLineEdit(Utf8("1"), this), "编辑框开始值");
    m_end = Named(new QLineEdit(Utf8("50"), this), "编辑框结束值");
    m_step = Named(new QLineEdit(Utf8("1"), this), "编辑框增量值");
    m_zeroPad = Named(new QCheckBox(Utf8("零补齐"), this), "选择框零补齐");
    m_zeroPad->setChecked(true);
    m_letters = Named(new QCheckBox(Utf8("以英文字母递进"), this), "选择框字母递进");
    m_fixed = Named(new QPlainTextEdit(Utf8("每行一个网络地址"), this), "编辑框固定地址");
    m_fixed->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_editFixed = Named(new QPushButton(Utf8("编辑..."), this), "按钮编辑固定地址");
    m_delay = Named(new QCheckBox(Utf8("延迟策略"), this), "选择框延迟策略");
    m_delayMs = Named(new QLineEdit(this), "编辑框延迟毫秒");
    m_delayUp = Named(new QToolButton(this), "调节器延迟毫秒增");
    m_delayUp->setArrowType(Qt::UpArrow);
    m_delayDown = Named(new QToolButton(this), "调节器延迟毫秒减");
    m_delayDown->setArrowType(Qt::DownArrow);
    m_folder = Named(new QLineEdit(Utf8(DefaultSaveFolder()), this), "编辑框保存文件夹");
    m_pickFolderButton = Named(new QPushButton(Utf8("选择..."), this), "按钮选择文件夹");

    grid->addWidget(m_counterMode, 0, 0);
    grid->addWidget(m_template, 0, 1, 1, 5);
    grid->addWidget(new QLabel(Utf8("开始和结束："), this), 1, 0);
    grid->addWidget(m_start, 1, 1);
    grid->addWidget(m_end, 1, 2);
    grid->addWidget(new QLabel(Utf8("增量："), this), 1, 3);
    grid->addWidget(m_step, 1, 4);
    auto* checks = new QHBoxLayout;
    checks->addWidget(m_zeroPad);
    checks->addWidget(m_letters);
    checks->addStretch(1);
    grid->addLayout(checks, 2, 1, 1, 5);
    grid->addWidget(m_fixedMode, 3, 0);
    grid->addWidget(m_fixed, 3, 1, 2, 4);
    grid->addWidget(m_editFixed, 3, 5);
    grid->addWidget(m_delay, 5, 0);
    auto* delay = new QHBoxLayout;
    delay->addWidget(m_delayMs);
    delay->addWidget(m_delayUp);
    delay->addWidget(m_delayDown);
    delay->addWidget(new QLabel(Utf8("每次\\毫秒"), this));
    delay->addStretch(1);
    grid->addLayout(delay, 5, 1, 1, 5);
    grid->addWidget(new QLabel(Utf8("保存文件夹："), this), 6, 0);
    grid->addWidget(m_folder, 6, 1, 1, 4);
    grid->addWidget(m_pickFolderButton, 6, 5);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(4, 1);

    // The delay only paces an execute: changing it asks for no preview.
    const auto update = [this] { UpdateDownloadControls(); };
    Bindings()
        .RadioPair(m_counterMode, m_fixedMode, "是否递进（否则固定）", &DownloadParams::counterMode)
        .AlsoOnChange(update)
        .Text(m_template, "递进地址", &DownloadParams::urlTemplate)
        .Text(m_start, "开始值", IntegerField(&DownloadParams::startValue, INT32_MIN, INT32_MAX))
        .Text(m_end, "结束值", IntegerField(&DownloadParams::endValue, INT32_MIN, INT32_MAX))
        .Text(m_step, "增量值", IntegerField(&DownloadParams::step, INT32_MIN, INT32_MAX))
        .Check(m_zeroPad, "零补齐", &DownloadParams::zeroPad)
        .Check(m_letters, "字母递进", &DownloadParams::useLetters)
        .AlsoOnChange(update)
        .MultiLine(m_fixed, "固定地址", &DownloadParams::fixedAddresses)
        .Check(m_delay, "是否延迟", &DownloadParams::delay)
        .NoPreview()
        .AlsoOnChange(update)
        .Text(m_delayMs, "延迟毫秒", IntegerField(&DownloadParams::delayMs, INT32_MIN, INT32_MAX))
        .NoPreview()
        .Text(m_folder, "保存文件夹",
              [](DownloadParams& p, const std::string& folder) {
                  p.folder = folder.empty() ? folder : WithTrailingSlash(folder);
              })
        .AfterLoad(update);
    connect(m_delayUp, &QToolButton::clicked, this, [this] { StepDelay(1); });
    connect(m_delayDown, &QToolButton::clicked, this, [this] { StepDelay(-1); });
    connect(m_editFixed, &QPushButton::clicked, this, [this] {
        EditTextInDialog(m_askText, this, "请输入网络地址，每行一个：", m_fixed->toPlainText().toStdString(),
                         [this](const std::string& text) { m_fixed->setPlainText(Utf8(text)); });
    });
    connect(m_pickFolderButton, &QPushButton::clicked, this, [this] {
        const std::string folder =
            m_pickFolder("选择一个保存目录，网络文档将保存到该目录", m_folder->text().toStdString());
        if (!folder.empty()) m_folder->setText(Utf8(folder));
    });

    UpdateDownloadControls();
    RegisterDownloadTips();
}

void DownloadPanel::UpdateDownloadControls() {
    const bool counter = m_counterMode->isChecked();
    m_fixed->setEnabled(!counter);
    m_editFixed->setEnabled(!counter);
    for (QLineEdit* box : {m_template, m_start, m_end, m_step}) box->setEnabled(counter);
    m_letters->setEnabled(counter);
    m_zeroPad->setEnabled(counter && !m_letters->isChecked());
    const bool delay = m_delay->isChecked();
    m_delayMs->setEnabled(delay);
    m_delayUp->setEnabled(delay);
    m_delayDown->setEnabled(delay);
}

void DownloadPanel::StepDelay(int direction) {
    const std::int64_t now = BoxInteger(m_delayMs->text().toStdString(), INT32_MIN, INT32_MAX);
    m_delayMs->setText(QString::number(now + 1000 * direction));
    m_delayMs->setFocus();
    m_delayMs->end(false);
}

void DownloadPanel::RegisterDownloadTips() {
    RegisterTooltip(m_template, "网址模板，必须在数字递变之处插入递进动态符【*】");
    RegisterTooltip(m_letters, "是否以英文字母递进，默认是数字");
    RegisterTooltip(m_step, "指定增量值，即递进的每次推进值，通常设为 1");
    RegisterTooltip(m_zeroPad,
                    "是否以结束值的最高位数为准补齐零。如结束值是 30，那么最高位数便是 2 位，当补齐零时，"
                    "对于不足位的数值如 8 补齐为 08");
    RegisterTooltip(m_start, "递进的起始值");
    RegisterTooltip(m_end, "递进的终止值");
    RegisterTooltip(m_delay, "当目标网站限制短时间的频繁操作而导致部分下载失败时，可以采取延迟策略，"
                             "即每下载一次就延迟等待 N 毫秒。");
    RegisterTooltip(m_delayMs, "延迟多少毫秒。1000 毫秒等于 1 秒。您可以单击调节按钮按秒级即 1000 "
                               "毫秒进行增加或减少调控。");
    RegisterTooltip(m_folder, "下载的网络文档保存到的本地文件夹。可以是一个不存在的文件夹路径（这将自动创建），"
                              "单击【选择...】按钮可以选择一个本地已经存在的文件夹");
}

DownloadParams DownloadPanel::CurrentParameters() const { return Bindings().Gather(); }

std::optional<DownloadParams> DownloadPanel::MakeParams(RunMode mode) {
    DownloadParams params = CurrentParameters();
    if (mode == RunMode::Execute) {
        if (const std::string problem = DownloadProblem(params); !problem.empty()) {
            ShowTrayNotice(problem);
            return std::nullopt;
        }
    }
    if (DownloadNeedsConsent(params, mode == RunMode::AutoPreview)) {
        const std::int64_t count = AddressSeries(params).Count();
        if (ShowMessageBox(DownloadCountQuestion(count), kBoxYesNo | kBoxIconQuestion) != kAnswerYes) {
            return std::nullopt;
        }
        params.addressCap = count;
    }
    return params;
}

void ShowDownloadListing(FileListPanel& list, DownloadListing listing, std::string status) {
    FileListModel& model = list.Model();
    model.ClearRows();
    if (!listing.addresses) {
        list.LoadPathsIntoList(std::move(listing.items), true, std::move(status));
        return;
    }
    RowStore& store = model.Store();
    for (const std::string& url : listing.items) {
        const std::size_t row = store.AppendRow("", "", RowFacts{}, 0);
        store.SetCellText(row, ListColumn::Preview, url);
    }
    model.SyncRowCount();
}

}  // namespace varnel

#include "filetasks/ui/list_export_dialog.h"

#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include <numeric>

#include "settings/settings_binder.h"
#include "settings/ui/panel_settings.h"
#include "platform/shell_open.h"
#include "utilities/ui/tooltips.h"
#include "utilities/user_notifier.h"

namespace varnel {

namespace {

constexpr const char* kSection = "高级导出";
constexpr const char* kTextFilter = "文本文件(*.txt)";
constexpr const char* kScriptFilter = "启动脚本(*.sh)";
constexpr const char* kAllFilter = "所有文件(*)";

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromUtf8(name));
    return widget;
}

}  // namespace

ListExportDialog::Services ListExportDialog::DefaultServices(QWidget* owner) {
    Services s;
    s.setClipboard = [](const std::string& text) {
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (clipboard == nullptr) return false;
        clipboard->setText(QString::fromStdString(text));
        return true;
    };
    s.notice = [](const std::string& text) { ShowTrayNotice(text); };
    s.chooseFile = [owner](bool starterScript) {
        const QString filters = QString::fromUtf8(kTextFilter) + QStringLiteral(";;") + QString::fromUtf8(kScriptFilter) +
                                QStringLiteral(";;") + QString::fromUtf8(kAllFilter);
        QFileDialog dialog(owner, QString::fromUtf8("导出列表到文本文件"), QString(), filters);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(starterScript ? QStringLiteral("sh") : QStringLiteral("txt"));
        dialog.selectNameFilter(QString::fromUtf8(starterScript ? kScriptFilter : kTextFilter));
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0).toStdString() : std::string();
    };
    s.openFile = [](const std::string& path) { (void)OpenWithShell(path); };
    return s;
}

ListExportDialog::ListExportDialog(ListGlobals& app, Services services, QWidget* owner)
    : QDialog(owner), m_app(app), m_services(std::move(services)) {
    setObjectName(QStringLiteral("ListExportDialog"));
    setWindowTitle(QString::fromUtf8("导出或复制列表"));
    setModal(false);
    auto* grid = new QGridLayout(this);
    m_onlySelected = Named(new QCheckBox(QString::fromUtf8("仅导出被选定项目(否则全部)"), this), "选择框仅选定");
    m_freeColumns = Named(new QCheckBox(QString::fromUtf8("导出自由列(否则完整路径)："), this), "选择框自由重组");
    m_expression = Named(new QLineEdit(QStringLiteral("#9#1"), this), "编辑框表达式");
    m_starterScript = Named(new QCheckBox(QString::fromUtf8("导出为批量运行启动脚本"), this), "选择框导出Bat");
    m_relativePath = Named(new QCheckBox(QString::fromUtf8("相对路径"), this), "选择框相对路径");
    m_openAfter = Named(new QCheckBox(QString::fromUtf8("导出后打开"), this), "选择框打开");
    m_copy = Named(new QPushButton(QString::fromUtf8("仅复制列表"), this), "按钮复制");
    m_export = Named(new QPushButton(QString::fromUtf8("导出列表..."), this), "按钮导出");
    m_close = Named(new QPushButton(QString::fromUtf8("关闭"), this), "按钮关闭");
    m_relativePath->setEnabled(false);
    m_expression->setEnabled(false);

    int row = 0;
    grid->addWidget(m_onlySelected, row++, 0, 1, 2);
    grid->addWidget(m_freeColumns, row, 0);
    grid->addWidget(m_expression, row++, 1);
    grid->addWidget(m_starterScript, row, 0);
    grid->addWidget(m_relativePath, row++, 1);
    grid->addWidget(m_openAfter, row++, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_copy);
    buttons->addWidget(m_export);
    buttons->addStretch(1);
    buttons->addWidget(m_close);
    grid->addLayout(buttons, row, 0, 1, 2);

    LoadOrSaveExportSettings(false);
    connect(m_freeColumns, &QCheckBox::toggled, this, &ListExportDialog::ApplyControlCoupling);
    connect(m_starterScript, &QCheckBox::toggled, this, &ListExportDialog::ApplyControlCoupling);
    ApplyControlCoupling();
    connect(m_copy, &QPushButton::clicked, this, [this] { ExportOrCopyList(true); });
    connect(m_export, &QPushButton::clicked, this, [this] { ExportOrCopyList(false); });
    connect(m_close, &QPushButton::clicked, this, &QDialog::close);

    RegisterTooltip(m_expression, "# 号为列引用标志， #1 代表引用第一列，#2代表引用第二列，以此类推！");
    RegisterTooltip(m_copy, "根据导出设置复制列表项目");
    RegisterTooltip(m_export, "根据导出设置导出列表项目");
    RegisterTooltip(m_freeColumns, "启用本项后，可以在右边的编辑框中输入列引用表达式，以自由重组要导出的列");
    RegisterTooltip(m_starterScript, "是否导出为可批量运行的启动脚本（每行用默认程序打开一个路径）");
    RegisterTooltip(m_relativePath, "适用于挂载位置变动不定的路径。路径将相对于它所在的挂载点写出。");
}

ListExportDialog::~ListExportDialog() = default;

void ListExportDialog::SaveSettings() { LoadOrSaveExportSettings(true); }

void ListExportDialog::closeEvent(QCloseEvent* event) {
    SaveSettings();
    QDialog::closeEvent(event);
}

// Esc rejects the dialog without a close event.
void ListExportDialog::done(int result) {
    SaveSettings();
    QDialog::done(result);
}

void ListExportDialog::LoadOrSaveExportSettings(bool save) {
    if (!m_app.gSettings) return;
    m_app.gSettings->SelectSection(kSection);
    PanelSettings settings(*m_app.gSettings, save);
    settings.Check(m_onlySelected, "被选定项目");
    settings.Check(m_freeColumns, "自由重组列");
    settings.Text(m_expression, "重组表达式");
    settings.Check(m_openAfter, "导出后打开");
    settings.Check(m_starterScript, "导出为Bat");
    settings.Check(m_relativePath, "Bat相对路径");
}

void ListExportDialog::ApplyControlCoupling() {
    // A starter script always writes the path, so the expression has no say then.
    const bool script = m_starterScript->isChecked();
    m_relativePath->setEnabled(script);
    m_freeColumns->setEnabled(!script);
    m_expression->setEnabled(m_freeColumns->isChecked() && m_freeColumns->isEnabled());
}

ExportOptions ListExportDialog::CurrentOptions() const {
    ExportOptions options;
    options.onlySelected = m_onlySelected->isChecked();
    options.freeColumns = m_freeColumns->isChecked();
    options.expression = m_expression->text().toStdString();
    options.starterScript = m_starterScript->isChecked();
    options.relativePath = m_relativePath->isChecked();
    options.openAfter = m_openAfter->isChecked();
    return options;
}

void ListExportDialog::ExportOrCopyList(bool copy) {
    const ExportOptions options = CurrentOptions();
    std::string path;
    if (!copy) {
        path = m_services.chooseFile(options.starterScript);
        if (path.empty()) return;  // cancelled: nothing to say
    }
    std::vector<std::size_t> rows;
    if (options.onlySelected) {
        rows = m_services.selectedRows();
    } else {
        rows.resize(m_app.gListRows.RowCount());
        std::iota(rows.begin(), rows.end(), std::size_t{0});
    }
    const ExportText text = BuildExportText(m_app.gListRows, rows, options);
    const std::string skipped =
        text.skipped > 0 ? std::to_string(text.skipped) + " 个名称含换行，未能写出。" : std::string();
    if (copy) {
        m_services.notice(m_services.setClipboard(text.text) ? "复制成功！" + skipped : "复制失败！");
        return;
    }
    if (auto written = WriteExportFile(path, text.text, options.starterScript); !written) {
        m_services.notice("导出失败！" + FailureReason(written.error()));
        return;
    }
    m_services.notice("导出成功！" + skipped);
    if (options.openAfter) m_services.openFile(path);
}

}  // namespace varnel

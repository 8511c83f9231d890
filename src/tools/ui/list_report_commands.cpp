#include "tools/ui/list_report_commands.h"

#include <QPrinter>
#include <QVBoxLayout>

#include "tools/ui/report_painter.h"
#include "utilities/ui/message_box.h"

namespace varnel {

namespace {

constexpr const char* kWiderThanPaperQuestion =
    "列宽超过了设定纸张的宽度，确定将进行缩放打印，取消重新设置合适的纸张！";

}  // namespace

AskUser ListReportCommands::DefaultAsk(QWidget* parent) {
    return [parent](const std::string& text, unsigned style, const std::string& title) {
        return RunMessageBox(text, style, title, parent);
    };
}

ListReportCommands::ListReportCommands(Services services, QWidget* owner)
    : QObject(owner), m_services(std::move(services)), m_owner(owner), m_jobs([this] {
          if (m_noteText != nullptr) {
              m_noteText->setText(QString("正在生成预览，请稍候...\n%1 / %2")
                                      .arg(m_rowsDone->load())
                                      .arg(m_rowsTotal));
          }
      }) {}

ListReportCommands::~ListReportCommands() {
    m_jobs.Cancel();
    CloseNote();
}

void ListReportCommands::OpenPrintSettings() {
    if (m_window != nullptr) {
        m_window->show();
        m_window->raise();
        m_window->activateWindow();
        return;
    }
    PrintSettingsWindow::Services services;
    services.settingsFile = m_services.settingsFile;
    services.ask = m_services.ask;
    services.previewOpen = m_preview != nullptr;
    services.listFontPoints = m_services.listFontPoints ? m_services.listFontPoints() : 9;
    services.startReport = [this](ReportRequest request) { StartReport(std::move(request)); };
    m_window = new PrintSettingsWindow(m_services.source().columns, std::move(services), m_owner);
    m_window->setWindowFlag(Qt::Window);
    m_window->show();
}

void ListReportCommands::StartReport(ReportRequest request) {
    if (IsBuilding()) return;
    if (m_window != nullptr) m_window->hide();
    ReportSource source = m_services.source();
    m_rowsTotal = source.rowCount;
    m_rowsDone->store(0);
    m_note = new QDialog(m_owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    m_note->setObjectName("ReportDataWindow");
    m_note->setAttribute(Qt::WA_DeleteOnClose);
    m_noteText = new QLabel("正在生成预览，请稍候...", m_note);
    (new QVBoxLayout(m_note))->addWidget(m_noteText);
    m_note->show();
    auto rowsDone = m_rowsDone;
    m_jobs.Start([this, source = std::move(source), request, rowsDone](std::stop_token stop) -> JobRunner::Publish {
        auto built = BuildListReport(source, request, stop, [rowsDone](std::size_t rows) { rowsDone->store(rows); });
        if (!built) {
            return [this] { CloseNote(); };
        }
        auto report = std::make_shared<BuiltReport>(std::move(*built));
        return [this, report, request] { ReportBuilt(report, request); };
    });
}

void ListReportCommands::CloseNote() {
    if (m_note != nullptr) m_note->close();
    m_note = nullptr;
    m_noteText = nullptr;
}

void ListReportCommands::ReportBuilt(std::shared_ptr<BuiltReport> report, const ReportRequest& request) {
    CloseNote();
    for (const std::string& warning : report->warnings) m_services.ask(warning, 0x40, "提示");
    bool shrink = false;
    if (ReportWiderThanPage(report->table, request.paper, request.orientation)) {
        if (m_services.ask(kWiderThanPaperQuestion, 0x21, "询问") != 0) {
            if (m_window != nullptr) {
                m_window->show();
                m_window->ShowPage(0);
            }
            return;
        }
        shrink = true;
    }
    auto layout = std::make_shared<ReportLayout>(LayOutReport(report->table, request, shrink));
    if (m_window != nullptr) m_window->close();
    auto* preview = new QPrintPreviewDialog(m_owner);
    preview->setObjectName("打印预览");
    preview->setWindowTitle("打印预览");
    preview->setAttribute(Qt::WA_DeleteOnClose);
    SetUpReportPrinter(*preview->printer(), *layout);
    connect(preview, &QPrintPreviewDialog::paintRequested, preview, [report, layout](QPrinter* printer) {
        PaintReport(*printer, report->table, *layout);
    });
    m_preview = preview;
    preview->open();
    emit previewOpened();
}

}  // namespace varnel

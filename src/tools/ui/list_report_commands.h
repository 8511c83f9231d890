// The list report from the menu to the preview: 打印列表框... opens the print
// settings window; its 打印预览 builds the report on a worker behind a progress
// note (the window stays responsive), asks before shrinking a table wider than
// the paper, and opens the print preview, from which the user prints or saves a
// PDF. UI thread only.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QPrintPreviewDialog>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "tools/report_layout.h"
#include "tools/report_table.h"
#include "tools/ui/formula_dialog.h"
#include "tools/ui/print_settings_window.h"
#include "utilities/ui/ui_job_runner.h"

namespace varnel {

class ListReportCommands final : public QObject {
    Q_OBJECT
public:
    struct Services {
        // The list as it is now; its cell reader is used on the worker.
        std::function<ReportSource()> source;
        std::function<double()> listFontPoints;
        std::string settingsFile;
        AskUser ask;
    };
    // The program's message box for `ask`.
    static AskUser DefaultAsk(QWidget* parent);

    ListReportCommands(Services services, QWidget* owner);
    ~ListReportCommands() override;

    // 打印列表框...: the settings window, made anew unless it is open.
    void OpenPrintSettings();
    // Builds the report of the request and opens its preview.
    void StartReport(ReportRequest request);

    PrintSettingsWindow* SettingsWindow() const { return m_window; }
    QPrintPreviewDialog* Preview() const { return m_preview; }
    bool IsBuilding() const { return m_jobs.IsRunning() || m_note != nullptr; }
    // Waits for the build and finishes it now (tests).
    void FinishBuild() { m_jobs.FinishNow(); }

signals:
    // The preview is open (tests look at it).
    void previewOpened();

private:
    void ReportBuilt(std::shared_ptr<BuiltReport> report, const ReportRequest& request);
    void CloseNote();

    Services m_services;
    QWidget* m_owner;
    QPointer<PrintSettingsWindow> m_window;
    QPointer<QPrintPreviewDialog> m_preview;
    QPointer<QDialog> m_note;
    QLabel* m_noteText = nullptr;
    std::shared_ptr<std::atomic<std::size_t>> m_rowsDone = std::make_shared<std::atomic<std::size_t>>(0);
    std::size_t m_rowsTotal = 0;
    UiJobRunner m_jobs;
};

}  // namespace varnel

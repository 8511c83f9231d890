// The print settings window (打印预览设置): the report's texts, paper, lines,
// rows per page, columns to print, formula columns, count or statistics row and
// background colours, kept in the print settings file. 打印预览 checks them and
// hands the report request to the owner. Not modal. UI thread only.
#pragma once

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "tools/formula_columns.h"
#include "tools/print_settings.h"
#include "tools/report_table.h"
#include "tools/ui/formula_dialog.h"

namespace varnel {

class PrintSettingsWindow final : public QDialog {
    Q_OBJECT
public:
    struct Services {
        std::string settingsFile;
        AskUser ask;
        // The report request is ready: the owner builds the report.
        std::function<void(ReportRequest request)> startReport;
        // A report preview is open: the window keeps its design values.
        bool previewOpen = false;
        // The list's font size in points, for an empty 字体大小.
        double listFontPoints = 9;
    };
    PrintSettingsWindow(const std::vector<ReportSourceColumn>& columns, Services services, QWidget* owner);

    // 打印预览.
    void StartPrintPreview();
    // The colour scheme radio buttons, 0 to 3: pickers and their labels follow.
    void ShowColourScheme(int scheme);
    // The statistics list anew from the checked print columns and the formula columns.
    void RebuildStatisticsList();
    // 添加, 修改 and 删除 of the formula columns.
    void AddFormula();
    void EditFormula();
    void DeleteFormula();

    const std::vector<FormulaColumn>& FormulaColumns() const { return m_formulas; }
    // The values the settings file keeps, as the controls show them.
    PrintSettings CurrentSettings() const;
    // The request 打印预览 would hand on (checks aside).
    ReportRequest CurrentRequest() const;
    void ShowPage(int page, const QString& focus = {});
    // The dialogs of 添加 and 修改 go through this (tests answer them).
    void SetFormulaDialogRunner(std::function<int(FormulaDialog&)> run) { m_runFormulaDialog = std::move(run); }

private:
    void BuildBasicPage(QWidget* page);
    void BuildColumnsPage(QWidget* page);
    void BuildColoursPage(QWidget* page);
    void ApplySettings(const PrintSettings& settings);
    void FillColumnLists();
    void SetSummaryControlsEnabled();
    void PickColour(int picker);
    void SetPickerColour(int picker, ColourNumber colour);
    std::vector<std::string> ListTitles() const;
    std::vector<std::string> CheckedPrintTitles() const;
    std::optional<std::size_t> CurrentFormulaRow() const;

    std::vector<ReportSourceColumn> m_sourceColumns;
    Services m_services;
    std::vector<FormulaColumn> m_formulas;
    std::function<int(FormulaDialog&)> m_runFormulaDialog;
    TitleFont m_titleFont;

    QTabWidget* m_tabs;
    QLineEdit* m_title;
    QPushButton* m_font;
    QLineEdit* m_header;
    QLineEdit* m_footer;
    QLineEdit* m_notes;
    QComboBox* m_paper;
    QButtonGroup* m_orientation;
    QButtonGroup* m_lineStyle;
    QComboBox* m_pageNumber;
    QLineEdit* m_rowsPerPage;
    QLineEdit* m_fontSize;
    QCheckBox* m_centring;
    QListWidget* m_printColumns;
    QCheckBox* m_printAll;
    QTreeWidget* m_formulaList;
    QCheckBox* m_serial;
    QLineEdit* m_formulaDecimals;
    QCheckBox* m_formulaSeparators;
    QButtonGroup* m_summary;
    QListWidget* m_statistics;
    QCheckBox* m_statisticsAll;
    QLineEdit* m_statisticsDecimals;
    QCheckBox* m_statisticsSeparators;
    QButtonGroup* m_scheme;
    std::array<QPushButton*, 6> m_pickers{};
    std::array<QLabel*, 6> m_pickerLabels{};
    std::array<ColourNumber, 6> m_colours{};
    QCheckBox* m_saveSettings;
};

}  // namespace varnel

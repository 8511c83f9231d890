#include "tools/ui/print_settings_window.h"

#include <QColorDialog>
#include <QFontDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMenu>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "settings/settings_binder.h"
#include "tools/report_layout.h"
#include "tools/ui/report_painter.h"
#include "utilities/number_text.h"

namespace varnel {

namespace {

constexpr const char* kPickerNames[6] = {"标题颜色", "奇行色", "偶行色", "标题颜色1", "奇列色", "偶列色"};
constexpr const char* kPickerLabelNames[6] = {"标签12", "标签10", "标签11", "标签15", "标签16", "标签17"};
constexpr const char* kPickerCaptions[6] = {"标题行颜色：", "奇数行颜色：", "偶数行颜色：",
                                            "标题行颜色：", "奇数列颜色：", "偶数列颜色："};
constexpr double kPointsToUnits = 3.3;

// The whole part of a box's number; a number beyond int is held at int's ends.
int Truncated(const QString& text) { return SettingsBinder::ToInteger<int>(TextToNumber(text.toStdString())); }

QLineEdit* Edit(QWidget* parent, const char* name, const QString& text = {}) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    return edit;
}

QCheckBox* Check(QWidget* parent, const char* name, const char* caption, bool checked) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setChecked(checked);
    return box;
}

QRadioButton* Radio(QButtonGroup* group, QWidget* parent, const char* name, const char* caption, int id) {
    auto* radio = new QRadioButton(caption, parent);
    radio->setObjectName(name);
    group->addButton(radio, id);
    return radio;
}

// A row of a caption, a box and a hint after it.
QWidget* WithHint(QWidget* parent, QWidget* box, const char* hint) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(box);
    layout->addWidget(new QLabel(hint, row));
    return row;
}

std::vector<CheckItem> Items(const QListWidget& list) {
    std::vector<CheckItem> items;
    for (int i = 0; i < list.count(); ++i) {
        items.push_back({list.item(i)->text().toStdString(), list.item(i)->checkState() == Qt::Checked});
    }
    return items;
}

void AddCheckItem(QListWidget* list, const std::string& text, bool checked) {
    auto* item = new QListWidgetItem(QString::fromStdString(text), list);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

}  // namespace

PrintSettingsWindow::PrintSettingsWindow(const std::vector<ReportSourceColumn>& columns, Services services,
                                         QWidget* owner)
    : QDialog(owner), m_sourceColumns(columns), m_services(std::move(services)) {
    setObjectName("PrintSettingsWindow");
    setWindowTitle("打印预览设置");
    setAttribute(Qt::WA_DeleteOnClose);
    m_runFormulaDialog = [](FormulaDialog& dialog) { return dialog.exec(); };
    m_titleFont.face = ReportFontFamily().toStdString();

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName("选择夹1");
    auto* basic = new QWidget(m_tabs);
    auto* rows = new QWidget(m_tabs);
    auto* colours = new QWidget(m_tabs);
    m_tabs->addTab(basic, "基本设置");
    m_tabs->addTab(rows, "行列设置");
    m_tabs->addTab(colours, "统计/颜色");
    BuildBasicPage(basic);
    BuildColumnsPage(rows);
    BuildColoursPage(colours);

    m_saveSettings = Check(this, "保存配置", "保存配置", true);
    auto* preview = new QPushButton("打印预览", this);
    preview->setObjectName("打印预览");
    preview->setDefault(true);
    auto* cancel = new QPushButton("取消", this);
    cancel->setObjectName("取消");
    connect(preview, &QPushButton::clicked, this, &PrintSettingsWindow::StartPrintPreview);
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_saveSettings);
    buttons->addStretch();
    buttons->addWidget(preview);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addLayout(buttons);

    ShowColourScheme(0);
    SetSummaryControlsEnabled();
    // While a preview is open the window keeps its design values and empty lists.
    if (!m_services.previewOpen) {
        FillColumnLists();
        ApplySettings(LoadPrintSettings(m_services.settingsFile, CurrentSettings()));
    }
    m_title->setFocus();
}

void PrintSettingsWindow::BuildBasicPage(QWidget* page) {
    m_title = Edit(page, "标题");
    m_font = new QPushButton(QString::fromStdString(m_titleFont.face), page);
    m_font->setObjectName("字体");
    connect(m_font, &QPushButton::clicked, this, [this] {
        QFont initial(ReportFontFamily(m_titleFont.face));
        initial.setPointSizeF(m_titleFont.size / kPointsToUnits);
        initial.setBold(m_titleFont.bold);
        initial.setItalic(m_titleFont.italic);
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, initial, this, "选择字体对话框");
        if (!ok) return;
        m_titleFont.face = font.family().toStdString();
        m_titleFont.bold = font.bold();
        m_titleFont.italic = font.italic();
        m_titleFont.size = static_cast<int>(font.pointSizeF() * kPointsToUnits);
        m_font->setText(font.family());
    });
    m_header = Edit(page, "页眉");
    m_footer = Edit(page, "页脚");
    m_notes = Edit(page, "备注");
    m_paper = new QComboBox(page);
    m_paper->setObjectName("纸张");
    for (const PaperSize& paper : ReportPapers()) m_paper->addItem(paper.name);
    m_paper->setCurrentIndex(1);
    m_orientation = new QButtonGroup(page);
    auto* portrait = Radio(m_orientation, page, "纸张方向0", "纵向", 0);
    auto* landscape = Radio(m_orientation, page, "纸张方向1", "横向", 1);
    landscape->setChecked(true);
    m_lineStyle = new QButtonGroup(page);
    const char* const lineNames[4] = {"线型1", "类别2", "线型3", "线型4"};
    const char* const linePictures[4] = {"───", "━┅┅", "━━━", "┈┈┈"};
    auto* lines = new QGroupBox("线条类别:", page);
    auto* lineLayout = new QHBoxLayout(lines);
    for (int i = 0; i < 4; ++i) lineLayout->addWidget(Radio(m_lineStyle, lines, lineNames[i], linePictures[i], i + 1));
    m_lineStyle->button(1)->setChecked(true);
    m_pageNumber = new QComboBox(page);
    m_pageNumber->setObjectName("页号位置");
    m_pageNumber->addItems({"无页号", "上左", "上中", "上右", "下左", "下中", "下右"});
    m_rowsPerPage = Edit(page, "行数");
    m_fontSize = Edit(page, "字体大小", "30");
    m_centring = Check(page, "居中打印", "居中打印", false);

    auto* titleRow = new QWidget(page);
    auto* titleLayout = new QHBoxLayout(titleRow);
    titleLayout->setContentsMargins(0, 0, 0, 0);
    titleLayout->addWidget(m_title);
    titleLayout->addWidget(m_font);
    auto* paperBox = new QGroupBox("纸张设置:", page);
    auto* paperLayout = new QHBoxLayout(paperBox);
    paperLayout->addWidget(m_paper);
    paperLayout->addWidget(portrait);
    paperLayout->addWidget(landscape);
    auto* form = new QFormLayout(page);
    form->addRow("打印标题：", titleRow);
    form->addRow("页眉文字：", m_header);
    form->addRow("页脚文字：", m_footer);
    form->addRow("备注文字：", m_notes);
    form->addRow(paperBox);
    form->addRow(lines);
    form->addRow("页号位置：", m_pageNumber);
    form->addRow("每页行数：", WithHint(page, m_rowsPerPage, "(空为自动分页)"));
    form->addRow("字体大小：", WithHint(page, m_fontSize, "(可空)"));
    form->addRow(m_centring);
}

void PrintSettingsWindow::BuildColumnsPage(QWidget* page) {
    m_printColumns = new QListWidget(page);
    m_printColumns->setObjectName("显示列表框");
    m_printAll = Check(page, "打印列全选", "全选", true);
    connect(m_printAll, &QCheckBox::clicked, this, [this](bool checked) {
        for (int i = 0; i < m_printColumns->count(); ++i) {
            m_printColumns->item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
        }
        m_statistics->clear();
        if (checked) {
            for (int i = 0; i < m_printColumns->count(); ++i) {
                AddCheckItem(m_statistics, m_printColumns->item(i)->text().toStdString(), false);
            }
        }
    });
    m_formulaList = new QTreeWidget(page);
    m_formulaList->setObjectName("自定义列表框");
    m_formulaList->setHeaderLabels({"列名", "公式"});
    m_formulaList->setRootIsDecorated(false);
    m_formulaList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_formulaList, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        connect(menu.addAction("修改"), &QAction::triggered, this, &PrintSettingsWindow::EditFormula);
        connect(menu.addAction("删除"), &QAction::triggered, this, &PrintSettingsWindow::DeleteFormula);
        menu.exec(m_formulaList->viewport()->mapToGlobal(at));
    });
    auto* add = new QPushButton("添加", page);
    add->setObjectName("添加");
    connect(add, &QPushButton::clicked, this, &PrintSettingsWindow::AddFormula);
    m_serial = Check(page, "序号", "增加序号列", false);
    m_formulaDecimals = Edit(page, "新增列保留位数");
    m_formulaSeparators = Check(page, "列千分符选择框", "千分位分隔", false);

    auto* printBox = new QGroupBox("选择打印列", page);
    auto* printLayout = new QVBoxLayout(printBox);
    printLayout->addWidget(m_printColumns);
    printLayout->addWidget(m_printAll);
    auto* formulaBox = new QGroupBox("自定义列", page);
    auto* formulaLayout = new QVBoxLayout(formulaBox);
    formulaLayout->addWidget(m_formulaList);
    auto* formulaRow = new QHBoxLayout;
    formulaRow->addWidget(add);
    formulaRow->addWidget(new QLabel("保留位数：", formulaBox));
    formulaRow->addWidget(WithHint(formulaBox, m_formulaDecimals, "( -3至3 )"));
    formulaRow->addWidget(m_formulaSeparators);
    formulaLayout->addLayout(formulaRow);
    formulaLayout->addWidget(new QLabel("提示：右键选择进行修改、删除操作。", formulaBox));
    auto* layout = new QGridLayout(page);
    layout->addWidget(printBox, 0, 0);
    layout->addWidget(formulaBox, 0, 1);
    layout->addWidget(m_serial, 1, 0);
}

void PrintSettingsWindow::BuildColoursPage(QWidget* page) {
    m_summary = new QButtonGroup(page);
    auto* summaryBox = new QGroupBox("合计/统计行", page);
    auto* summaryLayout = new QVBoxLayout(summaryBox);
    summaryLayout->addWidget(Radio(m_summary, summaryBox, "不打合计", "不打印", 0));
    summaryLayout->addWidget(Radio(m_summary, summaryBox, "打合计", "打印合计", 1));
    summaryLayout->addWidget(Radio(m_summary, summaryBox, "打统计", "打印统计", 2));
    m_summary->button(0)->setChecked(true);
    connect(m_summary, &QButtonGroup::idClicked, this, [this] { SetSummaryControlsEnabled(); });
    m_statistics = new QListWidget(page);
    m_statistics->setObjectName("统计列表框");
    m_statisticsAll = Check(page, "统计列全选", "全选", false);
    connect(m_statisticsAll, &QCheckBox::clicked, this, [this](bool checked) {
        for (int i = 0; i < m_statistics->count(); ++i) {
            m_statistics->item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
        }
    });
    m_statisticsDecimals = Edit(page, "统计行保留位数");
    m_statisticsSeparators = Check(page, "统计千分符选择框", "千分位分隔", false);
    auto* statisticsBox = new QGroupBox("选择统计列", page);
    auto* statisticsLayout = new QVBoxLayout(statisticsBox);
    statisticsLayout->addWidget(m_statistics);
    statisticsLayout->addWidget(m_statisticsAll);
    auto* decimalsRow = new QHBoxLayout;
    decimalsRow->addWidget(new QLabel("保留位数:", statisticsBox));
    decimalsRow->addWidget(WithHint(statisticsBox, m_statisticsDecimals, "( -3至3 )"));
    decimalsRow->addWidget(m_statisticsSeparators);
    statisticsLayout->addLayout(decimalsRow);

    m_scheme = new QButtonGroup(page);
    auto* colourBox = new QGroupBox("背景颜色设置", page);
    auto* colourLayout = new QGridLayout(colourBox);
    colourLayout->addWidget(Radio(m_scheme, colourBox, "默认色", "默认色", 0), 0, 0);
    colourLayout->addWidget(Radio(m_scheme, colourBox, "自配色", "自带配色", 1), 0, 1);
    colourLayout->addWidget(Radio(m_scheme, colourBox, "自定义行", "自定义行", 2), 1, 0);
    colourLayout->addWidget(Radio(m_scheme, colourBox, "自定义列", "自定义列", 3), 1, 1);
    m_scheme->button(0)->setChecked(true);
    connect(m_scheme, &QButtonGroup::idClicked, this, &PrintSettingsWindow::ShowColourScheme);
    colourLayout->addWidget(new QLabel("---- [自定义行] ----", colourBox), 2, 0, 1, 2);
    colourLayout->addWidget(new QLabel("---- [自定义列] ----", colourBox), 2, 2, 1, 2);
    for (int i = 0; i < 6; ++i) {
        m_pickerLabels[i] = new QLabel(kPickerCaptions[i], colourBox);
        m_pickerLabels[i]->setObjectName(kPickerLabelNames[i]);
        m_pickers[i] = new QPushButton(colourBox);
        m_pickers[i]->setObjectName(kPickerNames[i]);
        m_pickers[i]->setFixedWidth(60);
        connect(m_pickers[i], &QPushButton::clicked, this, [this, i] { PickColour(i); });
        SetPickerColour(i, kWhite);
        colourLayout->addWidget(m_pickerLabels[i], 3 + i % 3, (i / 3) * 2);
        colourLayout->addWidget(m_pickers[i], 3 + i % 3, (i / 3) * 2 + 1);
    }
    auto* layout = new QGridLayout(page);
    layout->addWidget(summaryBox, 0, 0);
    layout->addWidget(statisticsBox, 0, 1);
    layout->addWidget(colourBox, 1, 0, 1, 2);
}

void PrintSettingsWindow::FillColumnLists() {
    m_printColumns->clear();
    // Only the columns the list shows are checked at first.
    for (const ReportSourceColumn& column : m_sourceColumns) AddCheckItem(m_printColumns, column.title, column.visible);
    m_statistics->clear();
    for (const CheckItem& item : Items(*m_printColumns)) {
        if (item.checked) AddCheckItem(m_statistics, item.text, false);
    }
    m_formulas.clear();
}

void PrintSettingsWindow::ApplySettings(const PrintSettings& settings) {
    m_title->setText(QString::fromStdString(settings.title));
    m_header->setText(QString::fromStdString(settings.header));
    m_footer->setText(QString::fromStdString(settings.footer));
    m_notes->setText(QString::fromStdString(settings.notes));
    m_pageNumber->setCurrentIndex(settings.pageNumberPosition);
    m_paper->setCurrentIndex(settings.paper);
    m_fontSize->setText(QString::fromStdString(settings.fontSize));
    m_rowsPerPage->setText(QString::fromStdString(settings.rowsPerPage));
    m_serial->setChecked(settings.serialColumn);
    m_orientation->button(settings.orientation == 0 ? 0 : 1)->setChecked(true);
    m_centring->setChecked(settings.centring);
    m_scheme->button(std::clamp(settings.colourScheme, 0, 3))->setChecked(true);
    ShowColourScheme(std::clamp(settings.colourScheme, 0, 3));
    for (int i = 0; i < 6; ++i) SetPickerColour(i, settings.colours[i]);
}

PrintSettings PrintSettingsWindow::CurrentSettings() const {
    PrintSettings settings;
    settings.title = m_title->text().toStdString();
    settings.header = m_header->text().toStdString();
    settings.footer = m_footer->text().toStdString();
    settings.notes = m_notes->text().toStdString();
    settings.pageNumberPosition = std::max(0, m_pageNumber->currentIndex());
    settings.paper = std::max(0, m_paper->currentIndex());
    settings.fontSize = m_fontSize->text().toStdString();
    settings.rowsPerPage = m_rowsPerPage->text().toStdString();
    settings.serialColumn = m_serial->isChecked();
    settings.orientation = m_orientation->checkedId() == 0 ? 0 : 1;
    settings.centring = m_centring->isChecked();
    settings.colourScheme = std::max(0, m_scheme->checkedId());
    settings.colours = m_colours;
    return settings;
}

void PrintSettingsWindow::ShowColourScheme(int scheme) {
    for (int i = 0; i < 6; ++i) {
        const bool enabled = (scheme == 2 && i < 3) || (scheme == 3 && i >= 3);
        m_pickers[i]->setEnabled(enabled);
        m_pickerLabels[i]->setStyleSheet(enabled ? "color: #000000;" : "color: #C0C0C0;");
    }
}

void PrintSettingsWindow::SetSummaryControlsEnabled() {
    const bool statistics = m_summary->checkedId() == 2;
    m_statistics->setEnabled(statistics);
    m_statisticsAll->setEnabled(statistics);
    m_statisticsDecimals->setEnabled(statistics);
}

void PrintSettingsWindow::SetPickerColour(int picker, ColourNumber colour) {
    m_colours[picker] = colour;
    m_pickers[picker]->setStyleSheet(QString("background-color: %1;").arg(ToQColor(colour).name()));
}

void PrintSettingsWindow::PickColour(int picker) {
    const QColor colour = QColorDialog::getColor(ToQColor(m_colours[picker]), this);
    if (colour.isValid()) SetPickerColour(picker, ToColourNumber(colour));
}

std::vector<std::string> PrintSettingsWindow::ListTitles() const {
    std::vector<std::string> titles;
    for (const CheckItem& item : Items(*m_printColumns)) titles.push_back(item.text);
    return titles;
}

std::vector<std::string> PrintSettingsWindow::CheckedPrintTitles() const {
    std::vector<std::string> titles;
    for (const CheckItem& item : Items(*m_printColumns)) {
        if (item.checked) titles.push_back(item.text);
    }
    return titles;
}

std::optional<std::size_t> PrintSettingsWindow::CurrentFormulaRow() const {
    QTreeWidgetItem* item = m_formulaList->currentItem();
    if (item == nullptr) return std::nullopt;
    return static_cast<std::size_t>(m_formulaList->indexOfTopLevelItem(item));
}

void PrintSettingsWindow::RebuildStatisticsList() {
    std::vector<std::string> names;
    for (const FormulaColumn& column : m_formulas) names.push_back(column.columnName);
    m_statistics->clear();
    for (const CheckItem& item : varnel::RebuildStatisticsList(Items(*m_printColumns), names, m_statisticsAll->isChecked())) {
        AddCheckItem(m_statistics, item.text, item.checked);
    }
}

void PrintSettingsWindow::AddFormula() {
    FormulaDialog dialog(CheckedPrintTitles(), std::nullopt,
                         [this](const std::string& name, const std::string& formula) {
                             return AddFormulaColumn(m_formulas, ListTitles(), name, formula);
                         },
                         m_services.ask, this);
    if (m_runFormulaDialog(dialog) != QDialog::Accepted) return;
    const FormulaColumn& added = m_formulas.back();
    new QTreeWidgetItem(m_formulaList, {QString::fromStdString(added.columnName), QString::fromStdString(added.formula)});
}

void PrintSettingsWindow::EditFormula() {
    const std::optional<std::size_t> row = CurrentFormulaRow();
    if (!row || *row >= m_formulas.size()) return;
    const FormulaColumn edited = m_formulas[*row];
    FormulaDialog dialog(CheckedPrintTitles(), edited,
                         [this, row, edited](const std::string& name, const std::string& formula) {
                             return UpdateFormulaColumn(m_formulas, ListTitles(), *row, edited.columnName, name,
                                                        formula);
                         },
                         m_services.ask, this);
    if (m_runFormulaDialog(dialog) != QDialog::Accepted) return;
    QTreeWidgetItem* item = m_formulaList->topLevelItem(static_cast<int>(*row));
    item->setText(0, QString::fromStdString(m_formulas[*row].columnName));
    item->setText(1, QString::fromStdString(m_formulas[*row].formula));
    RebuildStatisticsList();
}

void PrintSettingsWindow::DeleteFormula() {
    std::vector<std::string> statistics;
    for (const CheckItem& item : Items(*m_statistics)) statistics.push_back(item.text);
    const std::optional<std::size_t> row = CurrentFormulaRow();
    if (const auto refusal = DeleteFormulaColumn(m_formulas, row, statistics)) {
        m_services.ask(refusal->message, refusal->style, refusal->title);
        return;
    }
    // The statistics items of the column go; the others keep their checks.
    for (int i = m_statistics->count() - 1; i >= 0; --i) {
        if (std::find(statistics.begin(), statistics.end(), m_statistics->item(i)->text().toStdString()) ==
            statistics.end()) {
            delete m_statistics->takeItem(i);
        }
    }
    delete m_formulaList->takeTopLevelItem(static_cast<int>(*row));
}

void PrintSettingsWindow::ShowPage(int page, const QString& focus) {
    m_tabs->setCurrentIndex(page);
    if (focus.isEmpty()) return;
    if (auto* control = findChild<QWidget*>(focus)) control->setFocus();
}

ReportRequest PrintSettingsWindow::CurrentRequest() const {
    ReportRequest request;
    request.title = m_title->text().toStdString();
    request.titleFont = m_titleFont;
    request.headerParts = SplitLineParts(m_header->text().toStdString());
    request.footerParts = SplitLineParts(m_footer->text().toStdString());
    for (int i = 0; i < m_printColumns->count(); ++i) {
        if (m_printColumns->item(i)->checkState() == Qt::Checked) request.printColumns.push_back(i);
    }
    request.serialColumn = m_serial->isChecked();
    request.rowsPerPage = m_rowsPerPage->text().isEmpty() ? 0 : std::max(0, Truncated(m_rowsPerPage->text()));
    request.lineStyle = std::max(1, m_lineStyle->checkedId());
    request.paper = std::max(0, m_paper->currentIndex());
    request.orientation = m_orientation->checkedId() == 0 ? 0 : 1;
    request.fontSize = m_fontSize->text().isEmpty()
                           ? SettingsBinder::ToInteger<int>(m_services.listFontPoints * kPointsToUnits)
                           : Truncated(m_fontSize->text());
    // The box was checked; the list's own font is kept in the same range.
    request.fontSize = std::clamp(request.fontSize, kMinimumReportFontSize, kMaximumReportFontSize);
    request.summary.mode = static_cast<SummaryMode>(std::max(0, m_summary->checkedId()));
    for (const CheckItem& item : Items(*m_statistics)) {
        if (item.checked) request.summary.titles.push_back(item.text);
    }
    request.statisticsDecimals = Truncated(m_statisticsDecimals->text());
    request.statisticsSeparators = m_statisticsSeparators->isChecked();
    request.formulaDecimals = Truncated(m_formulaDecimals->text());
    request.formulaSeparators = m_formulaSeparators->isChecked();
    request.pageNumberPosition = std::max(0, m_pageNumber->currentIndex());
    request.colours = ColourSchemeOf(CurrentSettings());
    request.notes = m_notes->text().toStdString();
    request.formulas = m_formulas;
    request.centring = m_centring->isChecked();
    return request;
}

void PrintSettingsWindow::StartPrintPreview() {
    if (const auto problem = CheckPrintTexts(m_statisticsDecimals->text().toStdString(),
                                             m_formulaDecimals->text().toStdString(),
                                             m_header->text().toStdString(), m_footer->text().toStdString(),
                                             m_fontSize->text().toStdString())) {
        m_services.ask(problem->message, 0x40, "提示");
        ShowPage(problem->page, QString::fromStdString(problem->control));
        return;
    }
    if (m_saveSettings->isChecked()) {
        if (const auto saved = SavePrintSettings(m_services.settingsFile, CurrentSettings()); !saved) {
            m_services.ask("打印设置无法保存：" + saved.error().message, 0x30, "提示");
        }
    }
    ReportRequest request = CurrentRequest();
    if (const auto problem = CheckPrintChoices(request.printColumns, request.summary)) {
        m_services.ask(problem->message, 0x40, "提示");
        ShowPage(problem->page);
        return;
    }
    if (m_services.startReport) m_services.startReport(std::move(request));
}

}  // namespace varnel

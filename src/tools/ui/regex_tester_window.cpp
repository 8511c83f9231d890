#include "tools/ui/regex_tester_window.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>
#include <memory>
#include <stop_token>

#include "settings/window_geometry.h"
#include "tools/help_documents.h"
#include "tools/regex_reference.h"
#include "tools/regex_search.h"
#include "platform/shell_open.h"
#include "utilities/ui/list_columns.h"
#include "utilities/ui/tooltips.h"
#include "utilities/ui/window_placement.h"
#include "utilities/user_notifier.h"

namespace varnel {

namespace {

constexpr const char* kCaption = "Varnel正则调试器(Rexmoor) v1.3";

struct HelpDocument {
    const char* fileName;  // also the link's caption
    const char* resource;
};
constexpr HelpDocument kHelpDocuments[] = {
    {"正则表达式入门.html", ":/help/regex_basics.html"},
    {"正则表达式常用写法.html", ":/help/regex_patterns.html"},
};

QString Utf8(const char* text) { return QString::fromUtf8(text); }
QString Utf8(const std::string& text) { return QString::fromStdString(text); }
std::string Std(const QString& text) { return text.toStdString(); }

template <typename Control>
Control* Named(Control* control, const QString& name) {
    control->setObjectName(name);
    return control;
}

void CopyToClipboard(const QString& text) {
    if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(text);
}

QString ClipboardText() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard != nullptr ? clipboard->text() : QString();
}

// A splitter's handle positions ("tops"): the height above each handle.
std::vector<int> SplitterTops(const QSplitter& splitter) {
    std::vector<int> tops;
    const QList<int> sizes = splitter.sizes();
    int top = 0;
    for (int i = 0; i + 1 < sizes.size(); ++i) {
        top += sizes[i];
        tops.push_back(top);
        top += splitter.handleWidth();
    }
    return tops;
}

void ApplySplitterTops(QSplitter& splitter, const std::vector<int>& tops) {
    if (std::any_of(tops.begin(), tops.end(), [](int top) { return top <= 0; })) return;
    QList<int> sizes;
    int previous = 0;
    for (const int top : tops) {
        sizes.push_back(std::max(1, top - previous));
        previous = top + splitter.handleWidth();
    }
    sizes.push_back(std::max(1, splitter.height() - previous));
    splitter.setSizes(sizes);
}

// How long a search or replacement runs on the window's thread before it goes on a
// worker: an ordinary pattern answers within it, as it is typed.
constexpr auto kInlineSlice = std::chrono::milliseconds(100);

// The keepGoing of one attempt: it ends at `end` (then overBudget), or when its
// stop token (a newer keystroke, 停止) asks.
struct AttemptClock {
    std::chrono::steady_clock::time_point end;
    std::stop_token stop;
    bool overBudget = false;

    bool KeepGoing() {
        if (stop.stop_requested()) return false;
        overBudget = std::chrono::steady_clock::now() >= end;
        return !overBudget;
    }
};

// Why an attempt on the worker ended early, for the window.
std::string CutShortText(const AttemptClock& clock, int budgetMs) {
    return clock.overBudget ? RegexBudgetExceededText(budgetMs) : std::string(kRegexStoppedText);
}

}  // namespace

RegexTesterWindow::RegexTesterWindow(SettingsStore& settings, QWidget* owner)
    : QWidget(owner, Qt::Window), m_settings(settings), m_model(this) {
    setObjectName("RegexTesterWindow");
    setWindowTitle(Utf8(kCaption));
    resize(760, 560);
    m_openDocument = [](const std::string& path) { return OpenWithShell(path); };

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    auto* options = new QHBoxLayout;
    m_ignoreCase = Named(new QCheckBox(Utf8("忽略大小写"), this), Utf8("忽略大小写"));
    m_multiline = Named(new QCheckBox(Utf8("匹配多行"), this), Utf8("匹配多行"));
    m_global = Named(new QCheckBox(Utf8("全局匹配"), this), Utf8("全局匹配"));
    m_autoPreview = Named(new QCheckBox(Utf8("自动预览"), this), Utf8("自动预览"));
    m_ignoreCase->setChecked(true);
    m_global->setChecked(true);
    m_autoPreview->setChecked(true);
    for (QCheckBox* box : {m_ignoreCase, m_multiline, m_global, m_autoPreview}) {
        options->addWidget(box);
        connect(box, &QCheckBox::clicked, this, &RegexTesterWindow::RerunForPage);
    }
    options->addStretch(1);
    m_classics = Named(new QComboBox(this), Utf8("经典正则组"));
    m_classics->setPlaceholderText(Utf8("经典正则表达式"));
    for (const ClassicPatternEntry& entry : ClassicPatternEntries()) m_classics->addItem(Utf8(entry.name));
    m_classics->setCurrentIndex(-1);
    connect(m_classics, &QComboBox::activated, this, &RegexTesterWindow::ChooseClassicPattern);
    options->addWidget(m_classics);
    for (int which = 0; which < 2; ++which) {
        const QString title = Utf8(kHelpDocuments[which].fileName).section('.', 0, 0);
        auto* link = Named(new QLabel(QString("<a href=\"#\">%1</a>").arg(title.toHtmlEscaped()), this),
                           QString::fromUtf8("帮助链接%1").arg(which + 1));
        connect(link, &QLabel::linkActivated, this, [this, which] { OpenHelpDocument(which); });
        options->addWidget(link);
    }
    layout->addLayout(options);
    layout->addWidget(BuildSymbolBar());

    m_pages = Named(new QTabWidget(this), Utf8("选择夹"));
    m_pages->addTab(BuildSearchPage(), Utf8("搜索"));
    m_pages->addTab(BuildReplacePage(), Utf8("替换"));
    m_pages->addTab(BuildSyntaxPage(), Utf8("语法"));
    layout->addWidget(m_pages, 1);

    for (QPlainTextEdit* box : {m_searchPattern, m_replacePattern, m_replacement}) box->installEventFilter(this);
    for (QPlainTextEdit* box : {m_searchPattern, m_searchText}) {
        connect(box, &QPlainTextEdit::textChanged, this, [this] {
            if (m_autoPreview->isChecked()) RunSearch();
        });
    }
    for (QPlainTextEdit* box : {m_replacePattern, m_replacement, m_replaceText}) {
        connect(box, &QPlainTextEdit::textChanged, this, [this] {
            if (m_autoPreview->isChecked()) RunReplace();
        });
    }

    RegexTesterSettings loaded;
    LoadOrSaveRegexTesterSettings(m_settings, loaded, false);
    ApplySettings(loaded);
    m_ready = true;
}

QPushButton* RegexTesterWindow::StopButton(const char* name, UiJobRunner& job) {
    auto* stop = Named(new QPushButton(Utf8("停止"), this), Utf8(name));
    stop->setFlat(true);
    stop->setEnabled(false);
    connect(stop, &QPushButton::clicked, this, [&job] { job.Cancel(); });
    return stop;
}

QPlainTextEdit* RegexTesterWindow::MakeBox(const char* name) {
    auto* box = Named(new QPlainTextEdit(this), Utf8(name));
    box->setTabChangesFocus(true);
    return box;
}

QWidget* RegexTesterWindow::BoxWithActions(const char* caption, QPlainTextEdit* box, bool editable,
                                           std::vector<QWidget*> extra) {
    auto* frame = new QWidget(this);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto* header = new QHBoxLayout;
    header->addWidget(new QLabel(Utf8(caption), frame));
    header->addStretch(1);
    for (QWidget* widget : extra) header->addWidget(widget);
    const QString boxName = box->objectName();
    auto action = [&](const char* what, std::function<void()> run) {
        auto* button = Named(new QPushButton(Utf8(what), frame), Utf8(what) + "_" + boxName);
        button->setFlat(true);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QPushButton::clicked, this, std::move(run));
        header->addWidget(button);
    };
    if (editable) {
        action("清空", [box] { box->clear(); });
        action("粘贴", [box] { box->setPlainText(ClipboardText()); });
    }
    action("复制", [box] { CopyToClipboard(box->toPlainText()); });
    layout->addLayout(header);
    layout->addWidget(box, 1);
    return frame;
}

QWidget* RegexTesterWindow::BuildSearchPage() {
    m_searchPattern = MakeBox("表达式");
    m_searchText = MakeBox("搜索文本");
    m_summary = Named(new QLabel(Utf8("搜索结果"), this), Utf8("标签3"));
    m_results = Named(new QTableView(this), Utf8("搜索结果"));
    m_results->setModel(&m_model);
    m_results->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_results->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_results->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_results->verticalHeader()->hide();
    // One fixed row height: a table of many thousand matches measures nothing per row.
    m_results->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_results->setWordWrap(false);

    auto* search = Named(new QPushButton(Utf8("搜索"), this), Utf8("按钮搜索"));
    search->setFlat(true);
    connect(search, &QPushButton::clicked, this, &RegexTesterWindow::RunSearch);
    m_stopSearch = StopButton("按钮停止搜索", m_searchJob);

    auto* resultFrame = new QWidget(this);
    auto* resultLayout = new QVBoxLayout(resultFrame);
    resultLayout->setContentsMargins(0, 0, 0, 0);
    auto* header = new QHBoxLayout;
    header->addWidget(m_summary);
    header->addStretch(1);
    for (const auto& [caption, selectedOnly] : {std::pair{"复制", false}, std::pair{"复选", true}}) {
        auto* button = Named(new QPushButton(Utf8(caption), this), Utf8(caption) + Utf8("_搜索结果"));
        button->setFlat(true);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QPushButton::clicked, this,
                [this, selectedOnly] { CopyToClipboard(Utf8(ResultRowsText(selectedOnly))); });
        header->addWidget(button);
    }
    resultLayout->addLayout(header);
    resultLayout->addWidget(m_results, 1);

    m_searchSplitter = Named(new QSplitter(Qt::Vertical, this), Utf8("分隔条_搜索"));
    m_searchSplitter->setChildrenCollapsible(false);
    m_searchSplitter->addWidget(BoxWithActions("表达式：", m_searchPattern, true, {search, m_stopSearch}));
    m_searchSplitter->addWidget(BoxWithActions("搜索文本：", m_searchText, true));
    m_searchSplitter->addWidget(resultFrame);
    m_searchSplitter->setSizes({60, 160, 260});
    return m_searchSplitter;
}

QWidget* RegexTesterWindow::BuildReplacePage() {
    m_replacePattern = MakeBox("匹配表达式");
    m_replacement = MakeBox("替换表达式");
    m_replaceText = MakeBox("替换文本");
    m_replaceResult = MakeBox("替换结果");
    m_replaceResult->setReadOnly(true);
    auto* replace = Named(new QPushButton(Utf8("替换"), this), Utf8("按钮替换"));
    replace->setFlat(true);
    connect(replace, &QPushButton::clicked, this, &RegexTesterWindow::RunReplace);
    m_stopReplace = StopButton("按钮停止替换", m_replaceJob);
    m_apply = Named(new QPushButton(Utf8("应用到面板"), this), Utf8("按钮应用到面板"));
    m_apply->setVisible(false);
    RegisterTooltip(m_apply, "将当前的匹配表达式、替换表达式和参数填回打开本调试器的任务面板");
    connect(m_apply, &QPushButton::clicked, this, &RegexTesterWindow::ApplyToPanel);

    m_replaceSplitter = Named(new QSplitter(Qt::Vertical, this), Utf8("分隔条_替换"));
    m_replaceSplitter->setChildrenCollapsible(false);
    m_replaceSplitter->addWidget(BoxWithActions("匹配表达式：", m_replacePattern, true, {replace, m_stopReplace, m_apply}));
    m_replaceSplitter->addWidget(BoxWithActions("替换表达式：", m_replacement, true));
    m_replaceSplitter->addWidget(BoxWithActions("替换文本：", m_replaceText, true));
    m_replaceSplitter->addWidget(BoxWithActions("替换结果：", m_replaceResult, false));
    m_replaceSplitter->setSizes({60, 60, 160, 160});
    return m_replaceSplitter;
}

QWidget* RegexTesterWindow::BuildSyntaxPage() {
    const auto& entries = RegexSyntaxEntries();
    m_syntax = Named(new QTableWidget(static_cast<int>(entries.size()), 2, this), Utf8("语法"));
    m_syntax->setHorizontalHeaderLabels({Utf8("符"), Utf8("注释")});
    m_syntax->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_syntax->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_syntax->verticalHeader()->hide();
    m_syntax->setWordWrap(false);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        m_syntax->setItem(static_cast<int>(i), 0, new QTableWidgetItem(Utf8(entries[i].symbol)));
        m_syntax->setItem(static_cast<int>(i), 1, new QTableWidgetItem(Utf8(entries[i].description)));
    }
    FitListColumnsToText(m_syntax);
    return m_syntax;
}

QWidget* RegexTesterWindow::BuildSymbolBar() {
    auto* bar = Named(new QWidget(this), Utf8("符号栏"));
    int x = 5;
    int height = 0;
    const auto& entries = RegexSyntaxEntries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const RegexSyntaxEntry& entry = entries[i];
        auto* button = Named(new QToolButton(bar), QString::fromUtf8("符号按钮%1").arg(i + 1));
        button->setText(Utf8(entry.caption));
        button->setFocusPolicy(Qt::NoFocus);
        // The design's width per character, widened when the font needs more.
        const int width = std::max(SymbolButtonWidth(entry.caption),
                                   button->fontMetrics().horizontalAdvance(button->text()) + 8);
        button->setGeometry(x, 0, width, button->sizeHint().height());
        height = std::max(height, button->sizeHint().height());
        x += width;
        RegisterTooltip(button, entry.description);
        const QString insert = Utf8(entry.insertText);
        connect(button, &QToolButton::clicked, this, [this, button, insert, description = entry.description] {
            RegisterTooltip(button, description);
            InsertIntoPattern(insert);
        });
    }
    bar->setMinimumSize(x + 5, height);
    return bar;
}

void RegexTesterWindow::ShowAsLoaded() {
    if (m_showMaximized) {
        m_showMaximized = false;
        showMaximized();
    } else {
        show();
    }
    raise();
    activateWindow();
}

RegexFlags RegexTesterWindow::CurrentFlags() const {
    return RegexFlags{m_ignoreCase->isChecked(), m_multiline->isChecked(), m_global->isChecked()};
}

void RegexTesterWindow::RerunForPage() {
    if (!m_autoPreview->isChecked()) return;
    if (m_pages->currentIndex() == kSearchPage) {
        RunSearch();
    } else {
        RunReplace();
    }
}

template <typename Result>
void RegexTesterWindow::RunBudgeted(UiJobRunner& job, unsigned& serial, QPushButton* stop,
                                    std::function<Result(std::function<bool()>)> attempt,
                                    std::function<bool(const Result&)> cutShort,
                                    std::function<void(Result&, const std::string&)> explain,
                                    std::function<void(Result)> show, std::function<void()> busy) {
    const unsigned mine = ++serial;
    job.Cancel();  // an older attempt still running ends at its next step; its result is not shown
    const auto sliceEnd = std::chrono::steady_clock::now() + kInlineSlice;
    Result now = attempt([sliceEnd] { return std::chrono::steady_clock::now() < sliceEnd; });
    if (!cutShort(now)) {
        stop->setEnabled(false);
        show(std::move(now));
        return;
    }
    busy();
    stop->setEnabled(true);
    const int budgetMs = m_budgetMs;
    job.Start([this, mine, &serial, stop, attempt, cutShort, explain, show, budgetMs](
                  std::stop_token token) -> JobRunner::Publish {
        AttemptClock clock{std::chrono::steady_clock::now() + std::chrono::milliseconds(budgetMs), token};
        auto result = std::make_shared<Result>(attempt([&clock] { return clock.KeepGoing(); }));
        if (cutShort(*result)) explain(*result, CutShortText(clock, budgetMs));
        return [mine, &serial, stop, show, result] {
            if (mine != serial) return;  // a newer keystroke asked for another
            stop->setEnabled(false);
            show(std::move(*result));
        };
    });
}

void RegexTesterWindow::RunSearch() {
    if (!m_ready) return;
    using Search = std::shared_ptr<RegexSearch>;
    RunBudgeted<Search>(
        m_searchJob, m_searchSerial, m_stopSearch,
        [pattern = Std(m_searchPattern->toPlainText()), text = Std(m_searchText->toPlainText()),
         flags = CurrentFlags()](std::function<bool()> keepGoing) {
            return std::make_shared<RegexSearch>(SearchWithRegex(pattern, text, flags, std::move(keepGoing)));
        },
        [](const Search& search) { return WasCutShort(search->error); },
        [](Search& search, const std::string& why) { search->error->message = why; },
        [this](Search search) {
            const SearchSummary summary = SummarizeSearch(*search);
            m_summary->setText(Utf8(summary.text));
            m_summary->setStyleSheet(summary.failed ? "color: #ff0000;" : "color: #000000;");
            m_model.SetSearch(std::move(search));
            FitListColumnsToText(m_results);
        },
        [this] {
            m_summary->setText(Utf8("搜索结果 - 正在匹配…"));
            m_summary->setStyleSheet("color: #000000;");
            m_model.SetSearch(nullptr);
        });
}

void RegexTesterWindow::RunReplace() {
    if (!m_ready) return;
    using Replaced = std::expected<std::string, Error>;
    RunBudgeted<Replaced>(
        m_replaceJob, m_replaceSerial, m_stopReplace,
        [pattern = Std(m_replacePattern->toPlainText()), replacement = Std(m_replacement->toPlainText()),
         text = Std(m_replaceText->toPlainText()), flags = CurrentFlags()](std::function<bool()> keepGoing) {
            return ReplaceWithRegex(pattern, replacement, text, flags, std::move(keepGoing));
        },
        [](const Replaced& result) { return !result && WasCutShort(result.error()); },
        [](Replaced& result, const std::string& why) { result.error().message = why; },
        [this](Replaced result) {
            m_replaceResult->setPlainText(Utf8(result ? *result : result.error().message));
            m_replaceResult->setStyleSheet(result ? QString() : QString("color: #ff0000;"));
        },
        [this] {
            m_replaceResult->setPlainText(Utf8("正在替换…"));
            m_replaceResult->setStyleSheet(QString());
        });
}

std::string RegexTesterWindow::ResultRowsText(bool selectedOnly) const {
    const RegexSearch* search = m_model.Search();
    if (search == nullptr) return {};
    std::vector<int> rows;
    if (selectedOnly) {
        for (const QModelIndex& index : m_results->selectionModel()->selectedRows()) rows.push_back(index.row() + 1);
        std::sort(rows.begin(), rows.end());
    } else {
        rows.resize(static_cast<std::size_t>(search->matchCount));
        for (int i = 0; i < search->matchCount; ++i) rows[static_cast<std::size_t>(i)] = i + 1;
    }
    return MatchRowsText(*search, rows);
}

void RegexTesterWindow::FillFrom(const RegexTesterRequest& request) {
    if (request.replaceMode) {
        m_replacePattern->setPlainText(Utf8(request.pattern));
        m_replacement->setPlainText(Utf8(request.replacement));
        if (request.sampleText) m_replaceText->setPlainText(Utf8(*request.sampleText));
    } else {
        m_searchPattern->setPlainText(Utf8(request.pattern));
        if (request.sampleText) m_searchText->setPlainText(Utf8(*request.sampleText));
    }
    if (request.ignoreCase) m_ignoreCase->setChecked(*request.ignoreCase);
    if (request.multiline) m_multiline->setChecked(*request.multiline);
    if (request.global) m_global->setChecked(*request.global);
    m_pages->setCurrentIndex(request.replaceMode ? kReplacePage : kSearchPage);
}

void RegexTesterWindow::SetTakeBack(std::function<void(const TestedPattern&)> takeBack) {
    m_takeBack = std::move(takeBack);
    m_apply->setVisible(static_cast<bool>(m_takeBack));
}

void RegexTesterWindow::ApplyToPanel() {
    if (!m_takeBack) return;
    m_takeBack(TestedPattern{Std(m_replacePattern->toPlainText()), Std(m_replacement->toPlainText()),
                             m_ignoreCase->isChecked(), m_multiline->isChecked(), m_global->isChecked()});
}

void RegexTesterWindow::InsertIntoPattern(const QString& text) {
    if (m_insertTarget == nullptr) return;
    m_insertTarget->insertPlainText(text);
    if (text.isEmpty()) m_insertTarget->textCursor().removeSelectedText();
    m_insertTarget->setFocus();
}

void RegexTesterWindow::FocusPatternBox(QPlainTextEdit* box) {
    if (box != m_searchPattern && box != m_replacePattern && box != m_replacement) return;
    box->setFocus();
    m_insertTarget = box;
}

void RegexTesterWindow::ChooseClassicPattern(int index) {
    const auto& entries = ClassicPatternEntries();
    if (index < 0 || static_cast<std::size_t>(index) >= entries.size()) return;
    InsertIntoPattern(Utf8(entries[static_cast<std::size_t>(index)].pattern));
}

void RegexTesterWindow::OpenHelpDocument(int which) {
    if (which < 0 || which > 1) return;
    const HelpDocument& document = kHelpDocuments[which];
    QFile resource(Utf8(document.resource));
    if (!resource.open(QIODevice::ReadOnly)) {
        ShowMessageBox(std::string("帮助文档缺失：") + document.fileName);
        return;
    }
    const QByteArray bytes = resource.readAll();
    auto written = WriteHelpDocument(HelpDocumentFolder(), document.fileName,
                                     std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (!written) {
        ShowMessageBox("帮助文档无法写出：" + written.error().message);
        return;
    }
    if (auto opened = m_openDocument(*written); !opened) {
        ShowMessageBox("帮助文档无法打开：" + opened.error().message);
    }
}

bool RegexTesterWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        for (QPlainTextEdit* box : {m_searchPattern, m_replacePattern, m_replacement}) {
            if (watched == box) m_insertTarget = box;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void RegexTesterWindow::ApplySettings(const RegexTesterSettings& s) {
    m_searchPattern->setPlainText(Utf8(s.searchPattern));
    m_searchText->setPlainText(Utf8(s.searchText));
    m_replacePattern->setPlainText(Utf8(s.replacePattern));
    m_replacement->setPlainText(Utf8(s.replacement));
    m_replaceText->setPlainText(Utf8(s.replaceText));
    m_ignoreCase->setChecked(s.ignoreCase);
    m_multiline->setChecked(s.multiline);
    m_global->setChecked(s.global);
    m_autoPreview->setChecked(s.autoPreview);
    if (s.HasRectangle()) {
        WindowRect rect{s.windowLeft, s.windowTop, s.windowWidth, s.windowHeight};
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            rect = ClampWindowGeometry(rect, {area.x(), area.y(), area.width(), area.height()}, 320, 240);
        }
        setGeometry(rect.x, rect.y, rect.width, rect.height);
    } else if (s.windowState != 3 && parentWidget() != nullptr) {
        CentreOnOwner(*this, parentWidget());
    }
    m_showMaximized = s.windowState == 3;
    // The splitters share out the page's height only once laid out at the window's size.
    m_searchSplitter->resize(m_searchSplitter->width(), std::max(m_searchSplitter->height(), height() - 120));
    m_replaceSplitter->resize(m_replaceSplitter->width(), std::max(m_replaceSplitter->height(), height() - 120));
    ApplySplitterTops(*m_searchSplitter, {s.searchSplit1, s.searchSplit2});
    ApplySplitterTops(*m_replaceSplitter, {s.replaceSplit1, s.replaceSplit2, s.replaceSplit3});
    m_pages->setCurrentIndex(std::clamp(s.currentPage, 0, 2));
}

RegexTesterSettings RegexTesterWindow::CollectSettings() const {
    RegexTesterSettings s;
    s.searchPattern = Std(m_searchPattern->toPlainText());
    s.searchText = Std(m_searchText->toPlainText());
    s.replacePattern = Std(m_replacePattern->toPlainText());
    s.replacement = Std(m_replacement->toPlainText());
    s.replaceText = Std(m_replaceText->toPlainText());
    s.ignoreCase = m_ignoreCase->isChecked();
    s.multiline = m_multiline->isChecked();
    s.global = m_global->isChecked();
    s.autoPreview = m_autoPreview->isChecked();
    const std::vector<int> search = SplitterTops(*m_searchSplitter);
    const std::vector<int> replace = SplitterTops(*m_replaceSplitter);
    s.searchSplit1 = search.at(0);
    s.searchSplit2 = search.at(1);
    s.replaceSplit1 = replace.at(0);
    s.replaceSplit2 = replace.at(1);
    s.replaceSplit3 = replace.at(2);
    s.windowState = isMaximized() ? 3 : isMinimized() ? 2 : 0;
    const QRect rect = s.windowState == 0 ? geometry() : normalGeometry();
    s.windowLeft = rect.x();
    s.windowTop = rect.y();
    s.windowWidth = rect.width();
    s.windowHeight = rect.height();
    s.currentPage = m_pages->currentIndex();
    return s;
}

std::expected<void, Error> RegexTesterWindow::SaveSettings() {
    RegexTesterSettings s = CollectSettings();
    LoadOrSaveRegexTesterSettings(m_settings, s, true);
    return m_settings.Flush();
}

void RegexTesterWindow::closeEvent(QCloseEvent* event) {
    if (auto saved = SaveSettings(); !saved) ShowMessageBox("设置无法保存：" + saved.error().message);
    QWidget::closeEvent(event);
}

}  // namespace varnel

#include "naming/ui/meta_settings_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTableWidget>
#include <QVBoxLayout>

#include "naming/naming_globals.h"
#include "utilities/ui/window_placement.h"
#include "utilities/user_notifier.h"

namespace varnel {

namespace {

constexpr int kFrameWidth = 300;

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QTableWidgetItem* ReadOnlyItem(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

}  // namespace

MetaSettingsWindow::MetaSettingsWindow(MetaSettings& settings, SaveFunction save, QWidget* owner)
    : QWidget(owner, Qt::Window), m_settings(settings), m_save(std::move(save)) {
    setObjectName("MetaSettingsWindow");
    setWindowTitle(QString::fromUtf8(kCaption));
    resize(900, 520);

    m_list = new QTableWidget(0, 4, this);
    m_list->setObjectName(QString::fromUtf8("元框"));
    m_list->setHorizontalHeaderLabels({QString::fromUtf8("序"), QString::fromUtf8("元符名称"),
                                       QString::fromUtf8("控制参数"), QString::fromUtf8("一句注释")});
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->verticalHeader()->hide();
    // Captions stand at the left of their columns, so that a column wider than the
    // view still shows its caption where the column begins.
    m_list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    m_frame = new QFrame(this);
    m_frame->setObjectName(QString::fromUtf8("外形框"));
    m_frame->setFixedWidth(kFrameWidth);
    auto* label1 = new QLabel(QString::fromUtf8("修改参数："), m_frame);
    label1->setObjectName(QString::fromUtf8("标签1"));
    m_parameters = new QLineEdit(m_frame);
    m_parameters->setObjectName(QString::fromUtf8("参"));
    auto* label2 = new QLabel(QString::fromUtf8("参数说明："), m_frame);
    label2->setObjectName(QString::fromUtf8("标签2"));
    m_saveLink = new QLabel(QString::fromUtf8("<a href=\"save\">立即保存当前设置(退出后会自动保存)</a>"),
                            m_frame);
    m_saveLink->setObjectName(QString::fromUtf8("存"));
    m_saveLink->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    m_help = new QPlainTextEdit(m_frame);
    m_help->setObjectName(QString::fromUtf8("说"));
    m_help->setReadOnly(true);

    auto* frameLayout = new QVBoxLayout(m_frame);
    // A margin on every side: the edit boxes never touch the window's border.
    frameLayout->setContentsMargins(9, 6, 9, 9);
    frameLayout->addWidget(label1);
    frameLayout->addWidget(m_parameters);
    frameLayout->addWidget(label2);
    frameLayout->addWidget(m_saveLink);
    frameLayout->addWidget(m_help, 1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_frame);

    FillMetaCatalogue();

    connect(m_list, &QTableWidget::currentCellChanged, this, [this] { ShowSelectedMetaRow(); });
    connect(m_parameters, &QLineEdit::textChanged, this, [this] { ApplyMetaParameterText(); });
    connect(m_saveLink, &QLabel::linkActivated, this, [this] { SaveNow(); });
    // The program's settings file goes away with the program: save while it is there.
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [this] { Save(); });
}

void MetaSettingsWindow::FillMetaCatalogue() {
    m_list->setRowCount(0);
    for (const MetaVariable& entry : MetaCatalogue()) {
        const int number = static_cast<int>(entry.id);
        const int row = m_list->rowCount();
        m_list->insertRow(row);
        m_list->setItem(row, 0, ReadOnlyItem(QString::number(number)));
        m_list->setItem(row, 1, ReadOnlyItem(Text(entry.name)));
        m_list->setItem(row, kParameterColumn,
                        ReadOnlyItem(Text(MetaParameterText(number, m_settings))));
        m_list->setItem(row, 3, ReadOnlyItem(Text(entry.description)));
        m_metaHelpTexts[static_cast<std::size_t>(number)] = Text(MetaHelpText(entry.id));
    }
    m_list->setCurrentCell(-1, -1);
    FitColumns();
}

void MetaSettingsWindow::ShowSelectedMetaRow() {
    const int row = m_list->currentRow();
    if (row < 0) return;
    m_metaSelectionUpdating = true;
    m_parameters->setText(m_list->item(row, kParameterColumn)->text());
    const QString& help = m_metaHelpTexts[static_cast<std::size_t>(row) + 1];
    m_help->setPlainText(m_list->item(row, 3)->text() + "\n\n" +
                         (help.isEmpty() ? QString::fromUtf8("无参数。") : help));
    m_metaSelectionUpdating = false;
}

void MetaSettingsWindow::ApplyMetaParameterText() {
    const int row = m_list->currentRow();
    if (m_metaSelectionUpdating || row < 0) return;
    m_selectedMetaIndex = row + 1;
    ReadMetaParameterText(m_selectedMetaIndex, m_parameters->text().toStdString(), m_settings);
    m_list->item(row, kParameterColumn)
        ->setText(Text(MetaParameterText(m_selectedMetaIndex, m_settings)));
    // The text is shown as read back, so the caret is put back where the user left it.
    const int caret = m_parameters->cursorPosition();
    ShowSelectedMetaRow();
    m_parameters->setCursorPosition(caret);
    FitColumns();
}

void MetaSettingsWindow::SaveNow() {
    if (Save()) ShowTrayNotice(kSavedNotice);
}

void MetaSettingsWindow::closeEvent(QCloseEvent* event) {
    Save();
    QWidget::closeEvent(event);
}

bool MetaSettingsWindow::Save() {
    if (!m_save) return false;
    auto saved = m_save();
    if (!saved) ShowTrayNotice("元变量设置无法保存：" + saved.error().message);
    return saved.has_value();
}

void MetaSettingsWindow::FitColumns() { m_list->resizeColumnsToContents(); }

MetaSettingsWindow* OpenMetaSettingsWindow(NamingGlobals& app, QWidget* owner) {
    static QPointer<MetaSettingsWindow> open;
    if (open) {
        open->raise();
        open->activateWindow();
        return open;
    }
    auto save = [&app]() -> std::expected<void, Error> {
        if (!app.gSettings) return {};
        return LoadOrSaveMetaSettings(*app.gSettings, app.gMetaSettings, true);
    };
    open = new MetaSettingsWindow(app.gMetaSettings, save, owner);
    open->setAttribute(Qt::WA_DeleteOnClose);
    CentreOnOwner(*open, owner);
    open->show();
    return open;
}

}  // namespace varnel

#include "settings/ui/text_input_dialog.h"

#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QShortcut>
#include <QTextCursor>
#include <QVBoxLayout>

#include "settings/text_block.h"
#include "settings/ui/font_text_metrics.h"
#include "platform/file_io.h"
#include "utilities/codec.h"
#include "utilities/ui/message_box.h"
#include "utilities/user_notifier.h"

namespace varnel {

namespace {

constexpr int kMargin = 5;

QString ForDisplay(const std::string& text) {
    return QString::fromUtf8(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

std::string PathOf(const QString& name) { return QFile::encodeName(name).toStdString(); }

QPushButton* AddButton(QHBoxLayout* strip, QWidget* parent, const char* name, const char* caption) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setAutoDefault(false);
    strip->addWidget(button);
    return button;
}

}  // namespace

InputDialogServices DefaultInputDialogServices() {
    InputDialogServices services;
    services.chooseTextFile = [](QWidget* parent) {
        return PathOf(QFileDialog::getOpenFileName(
            parent, QString::fromUtf8("读入文本："), QString(),
            QString::fromUtf8("文本文件(*.txt);;所有文档(*)")));
    };
    services.chooseFiles = [](QWidget* parent) {
        std::vector<std::string> paths;
        for (const QString& name : QFileDialog::getOpenFileNames(
                 parent, QString::fromUtf8("请选择文件名（允许多个连选）："), QString(),
                 QString::fromUtf8("全部文件(*);;TXT文件(*.txt)"))) {
            paths.push_back(PathOf(name));
        }
        return paths;
    };
    services.chooseSaveFile = [](QWidget* parent) {
        QFileDialog dialog(parent, QString::fromUtf8("另存编辑框中的文本数据到文件："), QString(),
                           QString::fromUtf8("文本文件(*.txt);;所有文档(*)"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("txt"));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return std::string();
        }
        return PathOf(dialog.selectedFiles().front());
    };
    services.ask = [](QWidget* parent, const std::string& text, unsigned style) {
        return RunMessageBox(text, style, parent->windowTitle().toStdString(), parent);
    };
    return services;
}

TextInputDialog::TextInputDialog(InputDialogParams params, InputDialogServices services)
    : QDialog(params.ownerWindow), m_params(std::move(params)), m_services(std::move(services)) {
    setObjectName(QStringLiteral("TextInputDialog"));
    setWindowTitle(QString::fromUtf8(m_params.title));
    setSizeGripEnabled(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);

    m_prompt = new QLabel(QString::fromUtf8(m_params.prompt).replace(QStringLiteral("\r\n"),
                                                                       QStringLiteral("\n")),
                          this);
    m_prompt->setObjectName(QString::fromUtf8("编辑框提示"));
    m_prompt->setTextFormat(Qt::PlainText);
    m_prompt->setWordWrap(true);
    m_prompt->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_prompt->setVisible(!m_params.prompt.empty());
    layout->addWidget(m_prompt);

    m_input = new QPlainTextEdit(this);
    m_input->setObjectName(QString::fromUtf8("编辑框输入区"));
    m_input->setPlainText(ForDisplay(m_params.initialText));
    layout->addWidget(m_input, 1);

    m_buttonStrip = new QWidget(this);
    m_buttonStrip->setObjectName(QString::fromUtf8("外形框按钮容器"));
    auto* strip = new QHBoxLayout(m_buttonStrip);
    strip->setContentsMargins(0, 0, 0, 0);
    QPushButton* open = AddButton(strip, m_buttonStrip, "按钮打开文件", "读文本");
    QPushButton* choose = AddButton(strip, m_buttonStrip, "按钮选择文件", "选择文件");
    QPushButton* save = AddButton(strip, m_buttonStrip, "按钮另存文件", "另存到");
    m_metaButton = AddButton(strip, m_buttonStrip, "按钮元", "元 >>>");
    strip->addStretch(1);
    QPushButton* confirm = AddButton(strip, m_buttonStrip, "按钮确认", "确认");
    QPushButton* cancel = AddButton(strip, m_buttonStrip, "按钮取消", "取消");
    layout->addWidget(m_buttonStrip);
    m_metaButton->setVisible(static_cast<bool>(m_params.metaMenu));

    connect(open, &QPushButton::clicked, this, &TextInputDialog::ReadTextFile);
    connect(choose, &QPushButton::clicked, this, &TextInputDialog::InsertChosenFiles);
    connect(save, &QPushButton::clicked, this, &TextInputDialog::SaveTextAs);
    connect(m_metaButton, &QPushButton::clicked, this, &TextInputDialog::ShowMetaMenu);
    connect(confirm, &QPushButton::clicked, this, &TextInputDialog::Confirm);
    connect(cancel, &QPushButton::clicked, this, &TextInputDialog::Cancel);

    for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::Key_Return),
                                     QKeySequence(Qt::CTRL | Qt::Key_Enter)}) {
        auto* shortcut = new QShortcut(keys, m_input, nullptr, nullptr, Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, this, &TextInputDialog::Confirm);
    }
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), this), &QShortcut::activated, this,
            &TextInputDialog::ReadTextFile);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this), &QShortcut::activated, this,
            [this, save] {
                if (save->isVisible()) SaveTextAs();
            });

    if (m_params.ownerWindow != nullptr &&
        m_params.ownerWindow->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
    }
    FitToParams();
    m_input->setFocus();
}

void TextInputDialog::FitToParams() {
    int width = kDesignedWidth;
    int height = kDesignedHeight;
    if (m_params.clientWidth > 0) width = m_params.clientWidth + 2 * kMargin;
    if (m_params.inputHeight > 0) {
        const int promptWidth =
            m_params.clientWidth > 0 ? m_params.clientWidth : width - 2 * kMargin;
        const int promptHeight =
            m_params.prompt.empty()
                ? 0
                : MeasureTextBlock(m_params.prompt, promptWidth, true, TextMetricsOf(font()))
                      .height;
        const int spacing = layout()->spacing();
        height = promptHeight + spacing + m_params.inputHeight + spacing +
                 m_buttonStrip->sizeHint().height() + 2 * kMargin;
    }
    resize(width, height);
}

QString TextInputDialog::InputText() const { return m_input->toPlainText(); }

bool TextInputDialog::IsModified() const {
    return InputText() != ForDisplay(m_params.initialText);
}

std::string TextInputDialog::GetInputDialogText() const { return m_confirmed ? m_text : ""; }

void TextInputDialog::Confirm() {
    m_confirmed = true;
    m_text = InputText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toStdString();
    accept();
}

void TextInputDialog::Cancel() { QDialog::reject(); }

void TextInputDialog::reject() {
    if (IsModified() &&
        m_services.ask(this, "您已经对文档做了修改，请问真的要放弃吗？",
                       kBoxYesNo | kBoxIconQuestion | kBoxSystemModal) != kAnswerYes) {
        return;
    }
    QDialog::reject();
}

void TextInputDialog::ReadTextFile() {
    const std::string path = m_services.chooseTextFile(this);
    if (path.empty()) return;
    auto bytes = ReadWholeFile(path);
    if (!bytes) {
        // What the user typed stays; the message says why nothing was read.
        m_services.ask(this,
                       "读入文本失败！\r\n" + bytes.error().message + "\r\n" + bytes.error().path,
                       kBoxOk | kBoxIconExclamation);
        return;
    }
    // Replaced through the cursor, so that the user can undo the read.
    QTextCursor cursor(m_input->document());
    cursor.select(QTextCursor::Document);
    cursor.insertText(ForDisplay(DecodeTextFile(*bytes)));
}

void TextInputDialog::InsertChosenFiles() {
    QTextCursor cursor(m_input->document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    for (const std::string& path : m_services.chooseFiles(this)) {
        if (!m_input->document()->isEmpty()) cursor.insertText(QStringLiteral("\n"));
        cursor.insertText(QString::fromUtf8(path));
    }
    cursor.endEditBlock();
}

void TextInputDialog::SaveTextAs() {
    const std::string path = m_services.chooseSaveFile(this);
    if (path.empty()) return;
    auto written = WriteFileAtomically(path, InputText().toStdString());
    std::string message = written ? "写出成功！" : "写出失败！\r\n" + written.error().message;
    m_services.ask(this, message, kBoxOk | kBoxIconInformation);
}

void TextInputDialog::ShowMetaMenu() {
    if (!m_params.metaMenu) return;
    m_params.metaMenu(m_params.insertTarget != nullptr ? m_params.insertTarget : m_input);
}

InputDialogResult ShowTextInputDialog(InputDialogParams params) {
    TextInputDialog dialog(std::move(params));
    dialog.exec();
    return InputDialogResult{dialog.Confirmed(), dialog.GetInputDialogText()};
}

void EditTextInDialog(const AskTextFunction& ask, QWidget* owner, const std::string& prompt,
                      const std::string& current, const std::function<void(const std::string&)>& accept) {
    InputDialogParams params;
    params.prompt = prompt;
    params.initialText = current;
    params.ownerWindow = owner;
    const InputDialogResult result = ask ? ask(std::move(params)) : ShowTextInputDialog(std::move(params));
    if (result.confirmed) accept(result.text);
}

}  // namespace varnel

#include "tools/ui/list_merge_window.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "tools/list_names.h"
#include "tools/merge_output.h"
#include "utilities/path_routines.h"
#include "utilities/ui/folder_picker.h"
#include "utilities/ui/tooltips.h"
#include "utilities/ui/window_placement.h"
#include "utilities/user_notifier.h"

namespace varnel {

namespace {

constexpr const char* kHelpText =
    "功能：将一组列表替换到模板中的“*”而生成新列表。\n\n"
    "为了照顾“有多个 * 需要多组列表替换”的情况，所以设计为可以创建无限组来替换对应的每个 *。\n\n"
    "点击“+”按钮创建新组，“-”按钮删除选中组，“×”按钮清空全部。\n\n"
    "切换选择组，右边编辑框即显示该组列表文本。而在编辑框中更改内容时，自动修改到当前组（所以不用你自己保存）。\n\n"
    "编辑好组之后，即可点击“合并”按钮执行替换，结果显示在“结果列表”里。\n\n"
    "如果想要将“结果列表”中的每行文本保存为单独的txt文件（以递增数字命名），可以点击“递增保存”按钮\n";
// How many failed files a message names before it only counts the rest.
constexpr std::size_t kNamedFailures = 10;

QString Utf8(const char* text) { return QString::fromUtf8(text); }
QString Utf8(const std::string& text) { return QString::fromStdString(text); }
std::string Std(const QString& text) { return text.toStdString(); }

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
    auto* button = new QPushButton(Utf8(caption), parent);
    button->setObjectName(Utf8(name));
    return button;
}

}  // namespace

ListMergeDialogs DefaultListMergeDialogs() {
    ListMergeDialogs dialogs;
    dialogs.pickResultFile = [](QWidget* parent) {
        QFileDialog dialog(parent, Utf8("保存结果列表"));
        dialog.setObjectName(Utf8("对话框_结果列表"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilters({Utf8("文本文件(*.txt)"), Utf8("Xml文件(*.xml)"), Utf8("全部(*.*)")});
        dialog.setDefaultSuffix("txt");
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::string();
        return Std(dialog.selectedFiles().front());
    };
    dialogs.pickFolder = [](const std::string& initialFolder) {
        return PickFolder("选择将结果列表递增保存到的目录：", false, initialFolder, true, true);
    };
    return dialogs;
}

ListMergeWindow::ListMergeWindow(SettingsStore& settings, const RowStore& rows, QWidget* owner,
                                 ListMergeDialogs dialogs)
    : QWidget(owner, Qt::Window), m_settings(settings), m_rows(rows), m_dialogs(std::move(dialogs)) {
    setObjectName("ListMergeWindow");
    setWindowTitle(Utf8("列表合并工具"));
    resize(720, 480);

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(Utf8("模板："), this));
    m_template = new QLineEdit(Utf8(kDefaultMergeTemplate), this);
    m_template->setObjectName(Utf8("编辑框替换模板"));
    top->addWidget(m_template, 1);
    auto* generate = Button(this, "按钮生成", "合并");
    top->addWidget(generate);
    auto* help = Button(this, "超级按钮帮助", "帮助");
    help->setFlat(true);
    top->addWidget(help);
    layout->addLayout(top);

    auto* boxes = new QHBoxLayout;
    auto* groupFrame = new QGroupBox(Utf8("组"), this);
    auto* groupLayout = new QGridLayout(groupFrame);
    m_groupList = new QListWidget(groupFrame);
    m_groupList->setObjectName(Utf8("列表框组"));
    m_groupList->setMaximumWidth(90);
    m_groupBox = new QPlainTextEdit(groupFrame);
    m_groupBox->setObjectName(Utf8("编辑框操作列表"));
    m_groupBox->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* add = Button(groupFrame, "按钮添加组", "+");
    auto* remove = Button(groupFrame, "按钮删除组", "-");
    auto* clear = Button(groupFrame, "按钮清空组", "×");
    auto* readNames = Button(groupFrame, "按钮读文件名列表", "读文件名列表");
    auto* paste = Button(groupFrame, "按钮粘贴", "粘贴");
    auto* clearGroup = Button(groupFrame, "按钮清空", "清空");
    auto* groupButtons = new QHBoxLayout;
    for (QPushButton* button : {add, remove, clear}) {
        button->setMaximumWidth(28);
        groupButtons->addWidget(button);
    }
    auto* boxButtons = new QHBoxLayout;
    boxButtons->addWidget(readNames);
    boxButtons->addStretch(1);
    boxButtons->addWidget(paste);
    boxButtons->addWidget(clearGroup);
    groupLayout->addLayout(groupButtons, 0, 0);
    groupLayout->addLayout(boxButtons, 0, 1);
    groupLayout->addWidget(m_groupList, 1, 0);
    groupLayout->addWidget(m_groupBox, 1, 1);
    groupLayout->setColumnStretch(1, 1);

    auto* resultFrame = new QGroupBox(Utf8("结果列表"), this);
    auto* resultLayout = new QVBoxLayout(resultFrame);
    m_result = new QPlainTextEdit(resultFrame);
    m_result->setObjectName(Utf8("编辑框结果列表"));
    m_result->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* copy = Button(resultFrame, "按钮复制", "复制");
    auto* clearResult = Button(resultFrame, "按钮清空2", "清空");
    auto* save = Button(resultFrame, "按钮保存", "保存");
    auto* saveNumbered = Button(resultFrame, "按钮递增保存", "递增保存");
    auto* resultButtons = new QHBoxLayout;
    for (QPushButton* button : {copy, clearResult, save, saveNumbered}) resultButtons->addWidget(button);
    resultButtons->addStretch(1);
    resultLayout->addLayout(resultButtons);
    resultLayout->addWidget(m_result, 1);
    boxes->addWidget(groupFrame, 1);
    boxes->addWidget(resultFrame, 1);
    layout->addLayout(boxes, 1);

    connect(generate, &QPushButton::clicked, this, &ListMergeWindow::Generate);
    connect(help, &QPushButton::clicked, this, &ListMergeWindow::ShowHelp);
    connect(add, &QPushButton::clicked, this, &ListMergeWindow::AddGroup);
    connect(remove, &QPushButton::clicked, this, &ListMergeWindow::DeleteCurrentGroup);
    connect(clear, &QPushButton::clicked, this, &ListMergeWindow::ClearGroups);
    connect(readNames, &QPushButton::clicked, this, &ListMergeWindow::ReadListNames);
    connect(paste, &QPushButton::clicked, this, [this] {
        if (QClipboard* clipboard = QGuiApplication::clipboard()) m_groupBox->setPlainText(clipboard->text());
    });
    connect(clearGroup, &QPushButton::clicked, m_groupBox, &QPlainTextEdit::clear);
    connect(copy, &QPushButton::clicked, this, [this] {
        if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(m_result->toPlainText());
    });
    connect(clearResult, &QPushButton::clicked, m_result, &QPlainTextEdit::clear);
    connect(save, &QPushButton::clicked, this, &ListMergeWindow::SaveResult);
    connect(saveNumbered, &QPushButton::clicked, this, &ListMergeWindow::SaveNumbered);
    connect(m_groupList, &QListWidget::currentRowChanged, this, &ListMergeWindow::ChooseGroup);
    connect(m_groupBox, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_showing) m_groups.SetCurrentText(Std(m_groupBox->toPlainText()));
    });

    RegisterTooltip(add, "添加新组");
    RegisterTooltip(remove, "删除选中组");
    RegisterTooltip(clear, "清空全部组");
    RegisterTooltip(readNames, "获取Varnel更名列表框里的文件名列表");
    RegisterTooltip(save, "保存结果列表到文件...");
    RegisterTooltip(saveNumbered, "保存结果列表中的每行文本为独立txt文件，以递增数字命名。");
    RegisterTooltip(generate, "根据 组 生成结果列表");
    RegisterTooltip(m_template, "替换模板。 * 对应组，第 1 个 * 对应第 1 组，第 2 个 * 对应第 2 组...");

    ListMergeSettings loaded;
    LoadOrSaveListMergeSettings(m_settings, loaded, false);
    m_template->setText(Utf8(loaded.lineTemplate));
    m_lastFolder = loaded.lastFolder;
    m_groups.groups = std::move(loaded.groups);
    m_groups.current = m_groups.groups.empty() ? -1 : 0;
    ShowGroups();
    if (owner != nullptr) CentreOnOwner(*this, owner);
}

void ListMergeWindow::ShowGroups() {
    m_showing = true;
    {
        const QSignalBlocker quiet(m_groupList);
        m_groupList->clear();
        for (std::size_t n = 1; n <= m_groups.groups.size(); ++n) {
            m_groupList->addItem(QString::fromUtf8("组 %1").arg(n));
        }
        m_groupList->setCurrentRow(m_groups.current);
    }
    m_groupBox->setPlainText(Utf8(m_groups.CurrentText()));
    m_groupBox->setEnabled(m_groups.current >= 0);
    m_showing = false;
}

void ListMergeWindow::AddGroup() {
    m_groups.Add();
    ShowGroups();
}

void ListMergeWindow::DeleteCurrentGroup() {
    if (m_groups.current < 0) return;
    m_groups.DeleteCurrent();
    ShowGroups();
}

void ListMergeWindow::ClearGroups() {
    m_groups.Clear();
    ShowGroups();
}

void ListMergeWindow::ChooseGroup(int index) {
    if (index < 0 || index >= static_cast<int>(m_groups.groups.size())) return;
    m_groups.current = index;
    ShowGroups();
}

void ListMergeWindow::ReadListNames() { m_groupBox->setPlainText(Utf8(JoinListNames(m_rows))); }

void ListMergeWindow::Generate() {
    if (m_groups.groups.empty()) {
        ShowMessageBox("请先添加 组，每组对应次序位置的 *");
        return;
    }
    m_result->setPlainText(Utf8(MergeLists(Std(m_template->text()), m_groups.groups)));
}

void ListMergeWindow::SaveResult() {
    const std::string path = m_dialogs.pickResultFile ? m_dialogs.pickResultFile(this) : std::string();
    if (path.empty()) return;
    if (auto saved = SaveMergeResult(path, Std(m_result->toPlainText())); saved) {
        ShowMessageBox("保存成功", kBoxOk | kBoxIconInformation);
    } else {
        ShowMessageBox("保存失败：" + saved.error().message);
    }
}

void ListMergeWindow::SaveNumbered() {
    const std::string chosen = m_dialogs.pickFolder ? m_dialogs.pickFolder(m_lastFolder) : std::string();
    if (chosen.empty()) return;
    m_lastFolder = WithTrailingSlash(chosen);
    const std::string text = Std(m_result->toPlainText());
    const std::size_t lineCount = MergeResultLines(text).size();
    if (const int existing = CountExistingNumberedFiles(m_lastFolder, lineCount); existing > 0) {
        const std::string question = "目录中已有 " + std::to_string(existing) + " 个同名的编号文件（1.txt 到 " +
                                     std::to_string(lineCount) + ".txt 之间），保存将替换它们。要继续吗？";
        if (ShowMessageBox(question, kBoxOkCancel | kBoxIconQuestion | kBoxDefaultButton2) != kAnswerOk) return;
    }
    const NumberedSaveOutcome outcome = SaveNumberedLines(m_lastFolder, text);
    if (outcome.failures.empty()) {
        ShowMessageBox("OK", kBoxOk | kBoxIconInformation);
        return;
    }
    std::string message = "已保存 " + std::to_string(outcome.written) + " 个文件，" +
                          std::to_string(outcome.failures.size()) + " 个文件保存失败：";
    for (std::size_t i = 0; i < outcome.failures.size() && i < kNamedFailures; ++i) {
        message += "\n" + outcome.failures[i].path + "：" + FailureReason(outcome.failures[i]);
    }
    if (outcome.failures.size() > kNamedFailures) {
        message += "\n……另有 " + std::to_string(outcome.failures.size() - kNamedFailures) + " 个";
    }
    ShowMessageBox(message);
}

void ListMergeWindow::ShowHelp() { ShowMessageBox(kHelpText, kBoxOk | kBoxIconInformation); }

std::expected<void, Error> ListMergeWindow::SaveSettings() {
    ListMergeSettings s;
    s.lineTemplate = Std(m_template->text());
    s.lastFolder = m_lastFolder;
    s.groups = m_groups.groups;
    LoadOrSaveListMergeSettings(m_settings, s, true);
    return m_settings.Flush();
}

void ListMergeWindow::closeEvent(QCloseEvent* event) {
    if (auto saved = SaveSettings(); !saved) ShowMessageBox("设置无法保存：" + saved.error().message);
    QWidget::closeEvent(event);
}

}  // namespace varnel

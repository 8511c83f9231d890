#include "utilities/ui/message_box.h"

#include <QAbstractButton>
#include <QPushButton>

#include <array>

#include "utilities/message_box_style.h"
#include "utilities/user_notifier.h"

namespace varnel {

namespace {

struct ButtonKind {
    int answer;
    QMessageBox::StandardButton button;
    const char* caption;
};

constexpr std::array<ButtonKind, 7> kButtons = {{
    {kAnswerOk, QMessageBox::Ok, "确定"},
    {kAnswerCancel, QMessageBox::Cancel, "取消"},
    {kAnswerAbort, QMessageBox::Abort, "中止(&A)"},
    {kAnswerRetry, QMessageBox::Retry, "重试(&R)"},
    {kAnswerIgnore, QMessageBox::Ignore, "忽略(&I)"},
    {kAnswerYes, QMessageBox::Yes, "是(&Y)"},
    {kAnswerNo, QMessageBox::No, "否(&N)"},
}};

const ButtonKind& KindOf(int answer) {
    for (const ButtonKind& kind : kButtons) {
        if (kind.answer == answer) return kind;
    }
    return kButtons.front();
}

QMessageBox::Icon QtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Stop: return QMessageBox::Critical;
        case MessageIcon::Question: return QMessageBox::Question;
        case MessageIcon::Exclamation: return QMessageBox::Warning;
        case MessageIcon::Information: return QMessageBox::Information;
        case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

std::unique_ptr<QMessageBox> CreateMessageBox(const std::string& text, unsigned style,
                                              const std::string& title, QWidget* parent) {
    const MessageBoxLayout layout = DescribeMessageBoxStyle(style);
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(QString::fromUtf8(title));
    // Texts are plain: a file name with "<" in it is never taken for markup.
    box->setTextFormat(Qt::PlainText);
    box->setText(QString::fromUtf8(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    box->setIcon(QtIcon(layout.icon));
    for (int answer : layout.buttons) {
        const ButtonKind& kind = KindOf(answer);
        QPushButton* button = box->addButton(kind.button);
        button->setText(QString::fromUtf8(kind.caption));
    }
    box->setDefaultButton(KindOf(layout.defaultAnswer).button);
    box->setEscapeButton(box->button(KindOf(layout.escapeAnswer).button));
    box->setWindowModality(Qt::ApplicationModal);
    box->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    return box;
}

int MessageBoxAnswer(const QMessageBox& box, unsigned style) {
    const QMessageBox::StandardButton pressed = box.standardButton(box.clickedButton());
    for (const ButtonKind& kind : kButtons) {
        if (kind.button == pressed) return kind.answer;
    }
    return DescribeMessageBoxStyle(style).escapeAnswer;
}

int RunMessageBox(const std::string& text, unsigned style, const std::string& title,
                  QWidget* parent) {
    std::unique_ptr<QMessageBox> box = CreateMessageBox(text, style, title, parent);
    box->exec();
    return MessageBoxAnswer(*box, style);
}

}  // namespace varnel

#include "utilities/ui/tooltips.h"

#include <QString>
#include <QTextDocument>
#include <QWidget>

namespace varnel {

void RegisterTooltip(QWidget* control, std::string_view text) {
    if (control == nullptr) return;
    QString tip = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    tip.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // Qt shows a tooltip that looks like markup as rich text; such a text is
    // escaped, keeping its lines and spaces.
    if (Qt::mightBeRichText(tip)) {
        tip = QStringLiteral("<p style='white-space:pre'>") +
              tip.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>")) +
              QStringLiteral("</p>");
    }
    control->setToolTip(tip);
}

}  // namespace varnel

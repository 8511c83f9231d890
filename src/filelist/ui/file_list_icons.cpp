#include "filelist/ui/file_list_icons.h"

#include <QFileIconProvider>
#include <QMimeDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "utilities/char_forms.h"
#include "utilities/path_routines.h"

namespace varnel {

namespace {

constexpr std::size_t kMaxCachedExtensions = 512;

// Our own pictures, drawn for each size so that they stay sharp at 16 and 32 pixels.
QIcon DrawnIcon(void (*draw)(QPainter&, int)) {
    QIcon icon;
    for (int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        draw(painter, size);
        icon.addPixmap(pixmap);
    }
    return icon;
}

void DrawFolder(QPainter& p, int s) {
    const qreal u = s / 16.0;
    QPainterPath tab;
    tab.addRoundedRect(QRectF(1 * u, 2.5 * u, 6 * u, 3 * u), u, u);
    p.setPen(QPen(QColor(0xB0, 0x84, 0x1E), u * 0.8));
    p.setBrush(QColor(0xE8, 0xB8, 0x3C));
    p.drawPath(tab);
    p.drawRoundedRect(QRectF(1 * u, 4 * u, 14 * u, 10 * u), u, u);
}

void DrawFile(QPainter& p, int s) {
    const qreal u = s / 16.0;
    QPainterPath page;
    page.moveTo(3 * u, 1 * u);
    page.lineTo(10 * u, 1 * u);
    page.lineTo(13 * u, 4 * u);
    page.lineTo(13 * u, 15 * u);
    page.lineTo(3 * u, 15 * u);
    page.closeSubpath();
    p.setPen(QPen(QColor(0x70, 0x78, 0x88), u * 0.8));
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.setPen(QPen(QColor(0xA0, 0xA8, 0xB8), u * 0.7));
    for (int line = 0; line < 4; ++line) p.drawLine(QPointF(5 * u, (6 + 2 * line) * u), QPointF(11 * u, (6 + 2 * line) * u));
}

}  // namespace

// Drawn on first use and kept by the object (never in a static, which would
// outlive the application object).
QIcon FileListIcons::BuiltInFolderIcon() {
    if (m_builtInFolder.isNull()) m_builtInFolder = DrawnIcon(DrawFolder);
    return m_builtInFolder;
}

QIcon FileListIcons::BuiltInFileIcon() {
    if (m_builtInFile.isNull()) m_builtInFile = DrawnIcon(DrawFile);
    return m_builtInFile;
}

void FileListIcons::SetSource(Source source) {
    m_source = source;
    m_byExtension.clear();
    m_folderIcon = QIcon();
}

QIcon FileListIcons::IconFor(std::string_view name, bool isFolder) {
    if (m_source == Source::BuiltIn) return isFolder ? BuiltInFolderIcon() : BuiltInFileIcon();
    if (isFolder) {
        if (m_folderIcon.isNull()) {
            m_folderIcon = QFileIconProvider().icon(QAbstractFileIconProvider::Folder);
            if (m_folderIcon.isNull()) m_folderIcon = BuiltInFolderIcon();
        }
        return m_folderIcon;
    }
    std::string extension = ToLowerAscii(GetExtensionOfPath(name));
    if (const auto found = m_byExtension.find(extension); found != m_byExtension.end()) return found->second;
    // By name only: the content of a file is never read to choose its icon.
    const QMimeType type = QMimeDatabase().mimeTypeForFile(QString::fromStdString("x." + extension),
                                                           QMimeDatabase::MatchExtension);
    QIcon icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
    if (icon.isNull()) icon = BuiltInFileIcon();
    if (m_byExtension.size() >= kMaxCachedExtensions) m_byExtension.clear();
    m_byExtension.emplace(std::move(extension), icon);
    return icon;
}

}  // namespace varnel

#include "frame/ui/content_preview.h"

#include <QApplication>
#include <QImageReader>
#include <QThreadPool>

#include <sys/stat.h>

#include "filelist/ui/file_list_panel.h"
#include "filelist/ui/file_list_view.h"
#include "frame/row_preview.h"
#include "frame/ui/content_viewer_window.h"
#include "settings/main_settings.h"
#include "utilities/char_forms.h"
#include "utilities/path_routines.h"

namespace varnel {

namespace {

struct DecodedPicture {
    QImage image;
    QString failure;
};

// Reads the picture scaled down to fit `area` (never up), so a huge photo costs
// only what the viewer shows.
DecodedPicture DecodePicture(const QString& path, QSize area) {
    DecodedPicture result;
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && area.isValid() && (size.width() > area.width() || size.height() > area.height())) {
        reader.setScaledSize(size.scaled(area, Qt::KeepAspectRatio));
    }
    result.image = reader.read();
    if (result.image.isNull()) result.failure = QString::fromUtf8("无法显示图片：") + reader.errorString();
    return result;
}

}  // namespace

ContentPreview::ContentPreview(ListGlobals& app, FileListPanel& list, Services services, QWidget* owner)
    : QObject(owner), m_app(app), m_list(list), m_services(std::move(services)), m_owner(owner) {
    m_pause.setSingleShot(true);
    m_pause.setInterval(kPauseMs);
    connect(&m_pause, &QTimer::timeout, this, &ContentPreview::PreviewChangedRow);
}

ContentPreview::~ContentPreview() {
    ++m_pictures->generation;  // decodes still running drop their results
    if (m_player) m_player->Stop();
}

ContentViewerWindow* ContentPreview::Viewer() const { return m_viewer.data(); }

void ContentPreview::RowChanged(bool byRightClick) {
    m_rightClick = byRightClick;
    m_pause.start();
}

void ContentPreview::StopPlaying() {
    if (m_player) m_player->Stop();
}

ContentViewerWindow& ContentPreview::EnsureViewer() {
    if (!m_viewer) {
        m_viewer = new ContentViewerWindow(m_owner);
        connect(m_viewer, &ContentViewerWindow::adjacentPictureRequested, this, &ContentPreview::ShowAdjacentPicture);
    }
    return *m_viewer;
}

void ContentPreview::HideViewer() {
    if (m_viewer) m_viewer->hide();
}

void ContentPreview::ShowRowPreview() {
    m_pause.stop();
    const QModelIndex current = m_list.View().currentIndex();
    if (!current.isValid() || static_cast<std::size_t>(current.row()) >= m_app.gListRows.RowCount()) return;
    PreviewRow(static_cast<std::size_t>(current.row()), m_rightClick);
    m_rightClick = false;
}

void ContentPreview::PreviewChangedRow() {
    const QModelIndex current = m_list.View().currentIndex();
    if (current.isValid() && static_cast<std::size_t>(current.row()) < m_app.gListRows.RowCount() && !m_rightClick &&
        !m_previewedPath.empty() && m_app.gListRows.FullPath(static_cast<std::size_t>(current.row())) == m_previewedPath) {
        if (m_services.status) m_services.status(current.row() + 1, std::nullopt, std::nullopt);
        return;
    }
    ShowRowPreview();
}

void ContentPreview::PreviewRow(std::size_t row, bool byRightClick) {
    const MainSettings& settings = m_app.gMainSettings;
    m_lyrics.clear();
    const std::string folder = m_app.gListRows.Folder(row);
    ++m_titles->generation;  // a title still being read is for an older row
    const std::string path = folder + m_app.gListRows.Name(row);
    // A right click opened nothing: a later left click on the row still does.
    m_previewedPath = byRightClick ? std::string() : path;
    const std::string extension = ToLowerAscii(GetExtensionOfPath(path));
    struct stat st {};
    const std::optional<std::int64_t> size =
        ::stat(path.c_str(), &st) == 0 ? std::optional<std::int64_t>(st.st_size) : std::nullopt;
    const auto status = [&](std::optional<std::string> message) {
        if (m_services.status) m_services.status(static_cast<std::int64_t>(row) + 1, size, message);
    };
    StopPlaying();
    const bool opening = !byRightClick;
    switch (ClassifyPreview(extension, settings.textPreviewExtensions)) {
        case PreviewKind::Picture:
            status(std::nullopt);
            if (settings.previewImages && opening) {
                ShowPictureOf(path);
            } else {
                HideViewer();
            }
            break;
        case PreviewKind::Text:
            status(std::nullopt);
            if (settings.previewText && opening) {
                ContentViewerWindow& viewer = EnsureViewer();
                viewer.ShowText(QString::fromStdString(path), QString::fromStdString(ReadTextPreview(path)));
                viewer.ShowWithoutFocus();
            } else {
                HideViewer();
            }
            break;
        case PreviewKind::Page:
            HideViewer();
            m_lyrics.clear();
            ShowPageTitleOf(row, path, folder, extension, size);
            break;
        default: {
            HideViewer();
            TagPreviewChoice tags;
            tags.v1 = settings.id3PreviewV1 || settings.id3Complementary;
            tags.v2 = settings.id3PreviewV2 || settings.id3Complementary;
            RowSummary summary = SummarizeRow(path, folder, extension, tags);
            m_lyrics = std::move(summary.lyrics);
            status(summary.status);
            if (ClassifyPreview(extension, {}) == PreviewKind::Sound) {
                if (m_services.loadTags) m_services.loadTags();
                // MIDI has no player here: its row shows the summary only.
                if (settings.previewAudio && opening && extension != "mid") {
                    if (!m_player && m_services.makePlayer) m_player = m_services.makePlayer();
                    if (m_player) m_player->Play(path, settings.repeatPlayback);
                }
            }
        }
    }
    if (m_services.loadFileTimes) m_services.loadFileTimes();
    if (!m_lyrics.empty() && settings.id3AutoLyrics && opening && m_services.notice) {
        m_services.notice(path + ">>> 包含歌词，如下： \n\n" + m_lyrics, "歌词信息：");
    }
}

void ContentPreview::ShowPageTitleOf(std::size_t row, const std::string& path, const std::string& folder,
                                     const std::string& extension, std::optional<std::int64_t> size) {
    // Read on a worker (a page on a slow disk or a share must not hold the window);
    // the status shows it when it comes, unless a newer row came first.
    const std::uint64_t generation = ++m_titles->generation;
    std::shared_ptr<TitleJobs> jobs = m_titles;
    QPointer<ContentPreview> self(this);
    QThreadPool::globalInstance()->start([jobs, self, row, path, folder, extension, size, generation] {
        if (jobs->generation.load() != generation) return;  // a newer row came first
        RowSummary summary = SummarizeRow(path, folder, extension, {});
        QMetaObject::invokeMethod(
            qApp,
            [jobs, self, row, size, generation, status = std::move(summary.status)] {
                if (!self || jobs->generation.load() != generation) return;
                if (self->m_services.status) self->m_services.status(static_cast<std::int64_t>(row) + 1, size, status);
            },
            Qt::QueuedConnection);
    });
}

void ContentPreview::ShowPictureOf(const std::string& path) {
    ContentViewerWindow& viewer = EnsureViewer();
    viewer.ShowWithoutFocus();
    const QString shownPath = QString::fromStdString(path);
    const std::uint64_t generation = ++m_pictures->generation;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && st.st_size > kPicturePreviewLimit) {
        viewer.ShowPictureFailure(shownPath, QString::fromUtf8("图片太大，不作预览"));
        emit pictureShown();
        return;
    }
    const QSize area = viewer.PictureArea();
    std::shared_ptr<PictureJobs> jobs = m_pictures;
    QPointer<ContentPreview> self(this);
    QThreadPool::globalInstance()->start([jobs, self, shownPath, area, generation] {
        if (jobs->generation.load() != generation) return;  // a newer row came first
        ++jobs->decodes;
        DecodedPicture picture = DecodePicture(shownPath, area);
        QMetaObject::invokeMethod(
            qApp,
            [jobs, self, shownPath, generation, picture = std::move(picture)] {
                if (!self || jobs->generation.load() != generation) return;
                if (self->m_viewer) {
                    if (picture.image.isNull()) {
                        self->m_viewer->ShowPictureFailure(shownPath, picture.failure);
                    } else {
                        self->m_viewer->ShowPicture(shownPath, picture.image);
                    }
                }
                emit self->pictureShown();
            },
            Qt::QueuedConnection);
    });
}

void ContentPreview::ShowAdjacentPicture(bool backward) {
    const QModelIndex current = m_list.View().currentIndex();
    const auto rows = static_cast<std::int64_t>(m_app.gListRows.RowCount());
    std::int64_t row = current.isValid() ? current.row() : (backward ? rows : -1);
    for (row += backward ? -1 : 1; row >= 0 && row < rows; row += backward ? -1 : 1) {
        const std::string extension = GetExtensionOfPath(m_app.gListRows.Name(static_cast<std::size_t>(row)));
        if (!IsExtensionInList(extension, kPictureExtensions)) continue;
        FileListView& view = m_list.View();
        view.clearSelection();
        view.setCurrentIndex(view.model()->index(static_cast<int>(row), 0));
        view.selectRow(static_cast<int>(row));
        m_pause.stop();
        ShowPictureOf(m_app.gListRows.FullPath(static_cast<std::size_t>(row)));
        return;
    }
    if (m_services.notice) m_services.notice(std::string("已经无法") + (backward ? "向上" : "向下"), {});
}

void ContentPreview::SetTextPreviewExtensions(const std::string& answer) {
    m_app.gMainSettings.textPreviewExtensions = answer.empty() ? std::string(kDefaultTextPreviewExtensions) : answer;
}

}  // namespace varnel

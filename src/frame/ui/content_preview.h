// The preview of the list's current row: pictures and text files in the viewer
// window, sounds played, and a one-line summary (tags, page title, shortcut
// target, link, font name, folder) in the status bar. The work starts after a short
// pause in row changes, a picture is decoded on a worker thread scaled to the
// viewer, and a newer row drops an older picture; so moving through the list at
// full key repeat stays smooth. UI thread only.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "filelist/list_globals.h"
#include "frame/ui/sound_player.h"

namespace varnel {

class ContentViewerWindow;
class FileListPanel;

class ContentPreview final : public QObject {
    Q_OBJECT
public:
    struct Services {
        // Status parts: the current row (1-based), the byte size, the message (nothing:
        // left as it is).
        std::function<void(std::int64_t row, std::optional<std::int64_t> size, std::optional<std::string> message)> status;
        // Made when a sound is first played (tests give their own).
        std::function<std::unique_ptr<SoundPlayer>()> makePlayer;
        // The row's values into the panels that show them (times, tags); may be empty.
        std::function<void()> loadFileTimes;
        std::function<void()> loadTags;
        std::function<void(const std::string& text, const std::string& title)> notice;
    };
    static constexpr int kPauseMs = 100;

    ContentPreview(ListGlobals& app, FileListPanel& list, Services services, QWidget* owner);
    ~ContentPreview() override;

    // The current row changed: the preview follows after a pause in changes.
    // `byRightClick`: the change came from a right click, so nothing opens or plays.
    // A row that only moved (a sort) is the file already previewed: its new number
    // is shown, and its preview and the status message stay as they are.
    void RowChanged(bool byRightClick);
    // Previews the current row now (the menu switches).
    void ShowRowPreview();
    void StopPlaying();
    void ShowAdjacentPicture(bool backward);
    // 定义文本格式...: the answer, "" restoring the default list.
    void SetTextPreviewExtensions(const std::string& answer);

    // The viewer, nullptr before the first picture or text.
    ContentViewerWindow* Viewer() const;
    const std::string& CurrentLyrics() const { return m_lyrics; }
    // Pictures decoded so far (for tests).
    int PictureDecodes() const { return m_pictures->decodes.load(); }

signals:
    // A picture decode has ended and its result is shown (or dropped as stale).
    void pictureShown();

private:
    ContentViewerWindow& EnsureViewer();
    void HideViewer();
    void PreviewRow(std::size_t row, bool byRightClick);
    void PreviewChangedRow();
    void ShowPictureOf(const std::string& path);

    ListGlobals& m_app;
    FileListPanel& m_list;
    Services m_services;
    QWidget* m_owner;
    QPointer<ContentViewerWindow> m_viewer;
    std::unique_ptr<SoundPlayer> m_player;
    QTimer m_pause;
    bool m_rightClick = false;
    std::string m_previewedPath;  // the file the last opening preview was of
    std::string m_lyrics;
    // Shared with the decoding threads: the newest picture request (a decode that
    // finds a newer one drops its work) and the number of decodes.
    struct PictureJobs {
        std::atomic<std::uint64_t> generation{0};
        std::atomic<int> decodes{0};
    };
    std::shared_ptr<PictureJobs> m_pictures = std::make_shared<PictureJobs>();
    // The page title read on a worker for the status; each newer row moves the
    // generation on, so an older read never shows.
    void ShowPageTitleOf(std::size_t row, const std::string& path, const std::string& folder,
                         const std::string& extension, std::optional<std::int64_t> size);
    struct TitleJobs {
        std::atomic<std::uint64_t> generation{0};
    };
    std::shared_ptr<TitleJobs> m_titles = std::make_shared<TitleJobs>();
};

}  // namespace varnel

// The sliding notice popup: a text with an optional row of links that slides into
// the bottom-right corner of the screen's available area, closes by itself after a
// time that grows with the text, and slides out when closed. One popup at a time:
// a notice asked for while another slides in waits for it, one asked for while
// another is shown replaces it. Results come through the params' onClosed; nothing
// waits in a nested event loop. Link routines run on the UI thread after the click.
// ShowNoticePopup may be called from any thread; the popup lives on the UI thread.
#pragma once

#include <QPlainTextEdit>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>

#include "settings/notice_layout.h"

namespace varnel {

// The owner of popups whose caller names none (the main window).
void SetNoticeDefaultOwner(QWidget* window);

void ShowNoticePopup(NoticePopupParams params, QWidget* owner = nullptr);

class NoticePopup final : public QWidget {
    Q_OBJECT
public:
    enum class Phase { SlidingIn, Shown, SlidingOut, Closed };

    // `slideAxis` gives the axis to slide along (true = horizontal), asked when a
    // slide starts.
    NoticePopup(NoticePopupParams params, QWidget* owner, std::function<bool()> slideAxis);

    Phase CurrentPhase() const { return m_phase; }
    // The time until it closes by itself; nothing when it stays until closed.
    std::optional<int> AutoCloseInterval() const;
    // The number of the last clicked link, 0 for none.
    int Result() const { return m_result; }
    int SlideMode() const { return m_params.slideMode; }
    QString ShownText() const;

    // A click on link `number` (1-based).
    void ActivateLink(int number);
    // Closing by the user or the timer: refused while sliding in.
    void RequestClose();
    // Gone at once, without sliding out; reports the result.
    void Finish();

signals:
    void slidIn();
    void finished(int result);

protected:
    // The window system may learn the frame's size only after the notice has
    // come to rest: it then goes back wholly inside the screen's available area.
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void KeepResting();
    void BuildContents(QWidget* owner);
    // Keeps the window with its frame inside the area once the frame is known.
    void FitFrameToArea();
    void Step();
    WindowRect Place() const;
    void MoveTo(WindowRect place);

    NoticePopupParams m_params;
    std::function<bool()> m_slideAxis;
    Phase m_phase = Phase::SlidingIn;
    bool m_horizontal = false;
    int m_result = 0;
    WindowRect m_area;
    QPlainTextEdit* m_text = nullptr;
    QWidget* m_linkStrip = nullptr;
    int m_linksHeight = 0;  // the link strip and its margin
    QTimer m_slideTimer;
    QTimer m_autoCloseTimer;
};

// The popup shown now (for the program's own checks and tests), or nullptr.
NoticePopup* CurrentNoticePopup();

}  // namespace varnel

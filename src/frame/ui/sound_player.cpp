#include "frame/ui/sound_player.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QUrl>

namespace varnel {

namespace {

class DesktopSoundPlayer final : public SoundPlayer {
public:
    DesktopSoundPlayer() { m_player.setAudioOutput(&m_output); }
    ~DesktopSoundPlayer() override { m_player.stop(); }

    bool Play(const std::string& path, bool loop) override {
        m_player.stop();
        m_player.setSource(QUrl::fromLocalFile(QString::fromStdString(path)));
        if (m_player.error() != QMediaPlayer::NoError) return false;
        m_player.setLoops(loop ? QMediaPlayer::Infinite : 1);
        m_player.play();
        return m_player.error() == QMediaPlayer::NoError;
    }
    void Stop() override {
        m_player.stop();
        m_player.setSource(QUrl());
    }

private:
    QAudioOutput m_output;
    QMediaPlayer m_player;
};

}  // namespace

std::unique_ptr<SoundPlayer> MakeDesktopSoundPlayer() { return std::make_unique<DesktopSoundPlayer>(); }

}  // namespace varnel

// Plays the sound of a previewed row (MP3, WAV) through Qt Multimedia, once or in a
// loop, and stops it. UI thread only.
#pragma once

#include <memory>
#include <string>

namespace varnel {

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // False when the file cannot be played here.
    virtual bool Play(const std::string& path, bool loop) = 0;
    virtual void Stop() = 0;
};

// The player of the desktop's sound output.
std::unique_ptr<SoundPlayer> MakeDesktopSoundPlayer();

}  // namespace varnel

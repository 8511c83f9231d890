// Whether Ctrl, Alt or Shift is held for a command. The state is taken from the
// event that triggered the command (on the UI thread) and passed along, so that a
// worker or a queued routine answers from the moment of the click, never by asking
// the keyboard later.
#pragma once

namespace varnel {

struct ModifierKeys {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

inline constexpr int kKeyShift = 0x10;
inline constexpr int kKeyControl = 0x11;
inline constexpr int kKeyAlt = 0x12;

// False for any other key.
bool IsKeyDown(ModifierKeys held, int key);

}  // namespace varnel

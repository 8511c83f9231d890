#include "utilities/key_state.h"

namespace varnel {

bool IsKeyDown(ModifierKeys held, int key) {
    switch (key) {
        case kKeyShift: return held.shift;
        case kKeyControl: return held.ctrl;
        case kKeyAlt: return held.alt;
        default: return false;
    }
}

}  // namespace varnel

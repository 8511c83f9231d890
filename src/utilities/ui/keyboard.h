// The modifier keys of a Qt event, for passing along with a command.
#pragma once

#include <Qt>

#include "utilities/key_state.h"

namespace varnel {

ModifierKeys ModifierKeysOf(Qt::KeyboardModifiers modifiers);
// The keys held right now. Only the UI thread asks the keyboard; elsewhere none.
ModifierKeys CurrentModifierKeys();

}  // namespace varnel

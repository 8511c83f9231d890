// What a message box style asks for: the buttons, the icon, the default button and
// the answer when the box is closed without a button. Pure; any thread.
#pragma once

#include <vector>

namespace varnel {

enum class MessageIcon { None, Stop, Question, Exclamation, Information };

struct MessageBoxLayout {
    std::vector<int> buttons;  // MessageAnswer values, in display order
    MessageIcon icon = MessageIcon::None;
    int defaultAnswer = 0;
    int escapeAnswer = 0;
};

// An unknown button set is an OK button; a default button beyond the set is the first.
MessageBoxLayout DescribeMessageBoxStyle(unsigned style);

}  // namespace varnel

#include "utilities/message_box_style.h"

#include "utilities/user_notifier.h"

namespace varnel {

MessageBoxLayout DescribeMessageBoxStyle(unsigned style) {
    MessageBoxLayout layout;
    switch (style & 0xF) {
        case kBoxOkCancel: layout.buttons = {kAnswerOk, kAnswerCancel}; break;
        case kBoxAbortRetryIgnore: layout.buttons = {kAnswerAbort, kAnswerRetry, kAnswerIgnore}; break;
        case kBoxYesNoCancel: layout.buttons = {kAnswerYes, kAnswerNo, kAnswerCancel}; break;
        case kBoxYesNo: layout.buttons = {kAnswerYes, kAnswerNo}; break;
        case kBoxRetryCancel: layout.buttons = {kAnswerRetry, kAnswerCancel}; break;
        default: layout.buttons = {kAnswerOk}; break;
    }
    switch (style & 0xF0) {
        case kBoxIconStop: layout.icon = MessageIcon::Stop; break;
        case kBoxIconQuestion: layout.icon = MessageIcon::Question; break;
        case kBoxIconExclamation: layout.icon = MessageIcon::Exclamation; break;
        case kBoxIconInformation: layout.icon = MessageIcon::Information; break;
        default: layout.icon = MessageIcon::None; break;
    }
    const unsigned defaultIndex = (style >> 8) & 0xF;
    layout.defaultAnswer =
        layout.buttons[defaultIndex < layout.buttons.size() ? defaultIndex : 0];

    // Closing without a button is the cautious answer: Cancel, else No, else Abort
    // (stop rather than carry on), else the only button there is.
    layout.escapeAnswer = layout.buttons.front();
    for (int cautious : {kAnswerCancel, kAnswerNo, kAnswerAbort}) {
        bool found = false;
        for (int b : layout.buttons) found = found || b == cautious;
        if (found) {
            layout.escapeAnswer = cautious;
            break;
        }
    }
    return layout;
}

}  // namespace varnel

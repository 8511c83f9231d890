#include "filetasks/ui/content_panel_parts.h"

namespace varnel {

void EditTextInDialog(const AskTextFunction& ask, QWidget* owner, const std::string& prompt,
                      const std::string& current, const std::function<void(const std::string&)>& accept) {
    InputDialogParams params;
    params.prompt = prompt;
    params.initialText = current;
    params.ownerWindow = owner;
    const InputDialogResult result = ask ? ask(std::move(params)) : ShowTextInputDialog(std::move(params));
    if (result.confirmed) accept(result.text);
}

}  // namespace varnel

// The tree's questions and messages in the program's message box (all under one
// caption), and its one-line questions in an input box.
#pragma once

#include <QWidget>

#include "dirtree/tree_commands.h"

namespace varnel {

class MessageBoxTreeDialogs final : public TreeDialogs {
public:
    explicit MessageBoxTreeDialogs(QWidget* owner) : m_owner(owner) {}

    bool Confirm(const std::string& text) override;
    void Tell(const std::string& text) override;
    std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                       const std::string& initial) override;

    static constexpr const char* kCaption = "Varnel目录树";

private:
    QWidget* m_owner;
};

}  // namespace varnel

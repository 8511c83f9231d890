// The program's general text editor box: a prompt above a multi-line input area
// and buttons to read a text file, insert chosen file paths, save the text, insert
// meta-variables, confirm or cancel. Each call has its own dialog and result.
// UI thread only.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include <functional>
#include <string>
#include <vector>

namespace varnel {

struct InputDialogParams {
    std::string initialText;
    std::string prompt =
        "请输入文本，或读入文本，或选择文件路径，编辑完毕后请按下 Ctrl + 回车键 确认返回：";
    std::string title = "Varnel输入：";
    int clientWidth = 0;  // 0 keeps the designed size
    int inputHeight = 0;  // 0 keeps the designed size
    QWidget* ownerWindow = nullptr;
    // The 元 >>> button is shown when this is set; it pops up the meta-variable menu
    // for insertion into the given widget (insertTarget, or the input area).
    std::function<void(QWidget* insertTarget)> metaMenu;
    QWidget* insertTarget = nullptr;
};

// What the dialog asks of the system; tests replace the file dialogs and questions.
struct InputDialogServices {
    std::function<std::string(QWidget* parent)> chooseTextFile;
    std::function<std::vector<std::string>(QWidget* parent)> chooseFiles;
    std::function<std::string(QWidget* parent)> chooseSaveFile;
    std::function<int(QWidget* parent, const std::string& text, unsigned style)> ask;
};
InputDialogServices DefaultInputDialogServices();

class TextInputDialog final : public QDialog {
    Q_OBJECT
public:
    explicit TextInputDialog(InputDialogParams params,
                             InputDialogServices services = DefaultInputDialogServices());

    bool Confirmed() const { return m_confirmed; }
    // The confirmed text with CR LF line breaks; "" unless the user confirmed.
    std::string GetInputDialogText() const;
    // The input differs from the initial text.
    bool IsModified() const;

    // The buttons.
    void Confirm();
    void Cancel();
    void ReadTextFile();
    void InsertChosenFiles();
    void SaveTextAs();
    void ShowMetaMenu();

    // The designed size, kept when neither a client width nor an input height is given.
    static constexpr int kDesignedWidth = 484;
    static constexpr int kDesignedHeight = 342;

protected:
    // The close box and Esc: after edits, asks before the text is given up.
    void reject() override;

private:
    void FitToParams();
    QString InputText() const;

    InputDialogParams m_params;
    InputDialogServices m_services;
    QLabel* m_prompt = nullptr;
    QPlainTextEdit* m_input = nullptr;
    QWidget* m_buttonStrip = nullptr;
    QPushButton* m_metaButton = nullptr;
    bool m_confirmed = false;
    std::string m_text;
};

struct InputDialogResult {
    bool confirmed = false;
    std::string text;  // "" unless confirmed
};
// Shows the dialog modally and gives its result.
InputDialogResult ShowTextInputDialog(InputDialogParams params);

// Shows the text editor box; tests give their own.
using AskTextFunction = std::function<InputDialogResult(InputDialogParams params)>;

// Opens the editor box (`ask`, else the dialog) with `prompt` and the text
// `current`; a confirmed text is handed to `accept`.
void EditTextInDialog(const AskTextFunction& ask, QWidget* owner, const std::string& prompt,
                      const std::string& current, const std::function<void(const std::string&)>& accept);

}  // namespace varnel

// The 元符 menu: the 39 meta-variables in eight submenus, inserted as "#" and the
// name into the edit box that last had the focus among the boxes that accept them;
// the 启用元符 switch; the settings window; two explanations. The text input dialog
// pops the same menu up for its own input area (PopUpFor). UI thread only.
#pragma once

#include <QMenu>
#include <QPointer>

#include <string_view>


namespace varnel {

struct NamingGlobals;

class MetaSymbolMenu final : public QMenu {
    Q_OBJECT
public:
    explicit MetaSymbolMenu(NamingGlobals& app, QWidget* parent = nullptr);

    static constexpr const char* kNoTargetNotice =
        "当前输入焦点不支持元变量插入。只有特定功能块的编辑框才能接收元变量的插入！";

    // Makes a box (QLineEdit, QTextEdit or QPlainTextEdit) accept meta-variables:
    // whenever it gets the focus it becomes the insertion target.
    void AcceptMetaSymbols(QWidget* box);
    // The last accepting box that had the focus, while it exists.
    QWidget* MetaInsertTarget() const { return m_metaInsertTarget; }

    // Before the menu is shown from the batch task area: gives the target the focus and
    // enables the insertion items, or, without a target, disables them and says why.
    bool PrepareMetaSymbolMenu();
    // "#" + name in place of the target's selection, or at its caret; nothing while the
    // insertion items are disabled.
    void InsertMetaSymbol(std::string_view name);
    // For the 元 >>> button of the text input dialog (InputDialogParams::metaMenu):
    // pops the menu up at the mouse with `box` as the target of this one popup.
    void PopUpFor(QWidget* box);

    // 启用元符: mirrors its check into the switch the expansions read.
    QAction* SwitchAction() const { return m_switch; }

    void ShowWhatIsMetaSymbol();
    void ShowHowToInsertMetaSymbol();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetInsertionEnabled(bool enabled);
    QWidget* Target() const;

    NamingGlobals& m_app;
    QPointer<QWidget> m_metaInsertTarget;
    QPointer<QWidget> m_popupTarget;  // the dialog's input area while its popup is open
    QList<QMenu*> m_groups;
    QAction* m_switch = nullptr;
    bool m_insertionEnabled = false;
};

}  // namespace varnel

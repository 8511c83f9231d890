// The find dialog (查找...): the options of the search in the file list, written
// into the kept find options at every change so that 查找下一个 searches with them
// while the dialog is hidden, and its 查找 button. Not modal. UI thread only.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QRadioButton>

#include <functional>

#include "settings/find_options.h"

namespace varnel {

class FindInListDialog final : public QDialog {
    Q_OBJECT
public:
    // `find` runs the search with the options; `keywordEdited` runs when the user
    // changes the keyword (the next search then starts over).
    FindInListDialog(FindOptions& options, std::function<void()> find, std::function<void()> keywordEdited,
                     QWidget* owner);

signals:
    // The dialog was hidden: the owner keeps the options.
    void hidden();

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void ApplyColumnRule();

    FindOptions& m_options;
    QComboBox* m_column;
    QCheckBox* m_allColumns;
    QLineEdit* m_keyword;
};

}  // namespace varnel

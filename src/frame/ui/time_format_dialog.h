// The time column format dialog (时间列格式...): the rule of the list's three time
// columns built from clickable pieces or a ready-made rule, its numeral options,
// and a live example of the current time. 应用 puts the rule into the list's time
// format; the owner saves it when the dialog goes. Not modal. UI thread only.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QTimer>

#include <functional>

#include "utilities/time_format.h"

namespace varnel {

class TimeFormatDialog final : public QDialog {
    Q_OBJECT
public:
    // `applied` runs after 应用 changed `format` (the list shows its times anew).
    TimeFormatDialog(TimeFormat& format, std::function<void()> applied, QWidget* owner);

    // 应用: false (with a notice) for an empty rule or one without "#".
    bool Apply();
    // The format the controls describe now.
    TimeFormat EditedFormat() const;
    // The example box written from the controls and the current time.
    void RefreshExample();

private:
    void ApplyEnableRules();

    TimeFormat& m_format;
    std::function<void()> m_applied;
    QLineEdit* m_rule;
    QComboBox* m_presets;
    QCheckBox* m_zeroPad;
    QCheckBox* m_toChinese;
    QCheckBox* m_traditional;
    QCheckBox* m_singleChar;
    QCheckBox* m_zeroHandling;
    QLineEdit* m_example;
    QTimer m_clock;
};

}  // namespace varnel

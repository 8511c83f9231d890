// The options of the enhanced numeric sort (设定增强参数): which group of digits in
// each name the sort compares. 保存 changes the main settings' value in memory; the
// settings file takes it when the main settings are saved. UI thread only.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>

#include <cstdint>

namespace varnel {

class SortOptionsDialog final : public QDialog {
    Q_OBJECT
public:
    SortOptionsDialog(std::int32_t& numericSortGroup, QWidget* owner);

    // 保存: -1 when the number is on the right, else the group in the box.
    void Save();

private:
    void ShowGroup();

    std::int32_t& m_group;
    QLineEdit* m_position;
    QCheckBox* m_rightmost;
};

}  // namespace varnel

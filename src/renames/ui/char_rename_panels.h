// The panels of the convert (批量转换), clear-characters (批量清除) and pinyin
// (批量拼音) rename tasks: thin forms over ConvertOptions, ClearCharsParams and
// PinyinParams, keeping their controls in their INI sections. UI thread only.
#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

#include <array>
#include <vector>

#include "naming/char_classes.h"
#include "naming/clear_chars_name.h"
#include "naming/pinyin_name.h"
#include "naming/ui/result_template_controls.h"
#include "runs/ui/convert_options_panel.h"
#include "runs/ui/task_panel.h"
#include "utilities/key_state.h"

namespace varnel {

class MetaSymbolMenu;

// The convert task's panel: choosing a combo's dashed line selects its title again.
class ConvertPanel final : public ConvertOptionsPanel {
    Q_OBJECT
public:
    explicit ConvertPanel(QWidget* parent = nullptr) : ConvertOptionsPanel("ConvertPanel", true, parent) {}
};

// The class list is a check list of the built-in classes; clicks with Ctrl, Shift
// or Alt check ranges of it, and a clicked class is described in the status bar.
class ClearCharsPanel final : public TypedTaskPanel<ClearCharsParams> {
    Q_OBJECT
public:
    explicit ClearCharsPanel(QWidget* parent = nullptr);

    std::optional<ClearCharsParams> MakeParams(RunMode mode) override;
    ClearCharsParams CurrentParameters() const;

    QListWidget* ClassList() const { return m_list; }
    std::vector<bool> Checks() const;
    void SetChecks(const std::vector<bool>& checks);
    // mode 1 checks every class, -1 unchecks every class, 0 inverts.
    void SetAllCharClasses(int mode);
    // A click on a class with the keys held.
    void OnCharClassClicked(int row, ModifierKeys keys);
    void UpdateCharClassAvailability();

signals:
    // What the status bar shows of the clicked class.
    void statusMessage(QString text);

private:
    const std::vector<CharClassEntry>& m_classes;
    QListWidget* m_list = nullptr;
    std::size_t m_anchor = 0;  // gCharClassAnchor: the row of the previous click
};

class PinyinCasePanel final : public TypedTaskPanel<PinyinParams> {
    Q_OBJECT
public:
    // metaMenu (may be null) inserts meta-variables into 组合式.
    explicit PinyinCasePanel(MetaSymbolMenu* metaMenu, QWidget* parent = nullptr);

    std::optional<PinyinParams> MakeParams(RunMode mode) override;
    PinyinParams CurrentParameters() const;

private:
    // 全首大写, 字首大写, 全部大写, 全部小写: case 1 to 4.
    std::array<QRadioButton*, 4> m_cases{};
    QCheckBox* m_initials = nullptr;
    QLineEdit* m_separator = nullptr;
    ResultTemplateControls m_template;
};

}  // namespace varnel

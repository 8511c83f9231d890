#include "renames/ui/common_rename_panel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

#include "naming/meta_settings.h"
#include "naming/name_parts.h"
#include "naming/ui/panel_controls.h"
#include "utilities/ui/tooltips.h"

namespace varnel {

CommonRenamePanel::CommonRenamePanel(MetaSymbolMenu* metaMenu, QWidget* parent) : TypedTaskPanel(parent) {
    setObjectName("CommonRenamePanel");
    BuildControls(metaMenu);
    BindControls();
    RegisterTooltips();
    UpdateCommonPanelControls(true);
}

void CommonRenamePanel::BuildControls(MetaSymbolMenu* metaMenu) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 8);

    m_numberGroup = Named(new QGroupBox(Utf8("编号设置"), this), "分组框编号设置");
    auto* numbers = new QGridLayout(m_numberGroup);
    const auto pair = [this](QRadioButton*& first, const char* firstName, const char* firstCaption,
                             QRadioButton*& second, const char* secondName, const char* secondCaption,
                             bool firstChosen) {
        auto* holder = new QWidget(m_numberGroup);
        auto* row = new QHBoxLayout(holder);
        row->setContentsMargins(0, 0, 0, 0);
        first = Named(new QRadioButton(Utf8(firstCaption), holder), firstName);
        second = Named(new QRadioButton(Utf8(secondCaption), holder), secondName);
        auto* group = new QButtonGroup(this);
        group->addButton(first);
        group->addButton(second);
        (firstChosen ? first : second)->setChecked(true);
        row->addWidget(first);
        row->addWidget(second);
        return holder;
    };
    numbers->addWidget(pair(m_letters, "单选框字母", "字母", m_digits, "单选框数字", "数字", false), 0, 0, 1, 2);
    numbers->addWidget(pair(m_left, "单选框左边", "左边", m_right, "单选框右边", "右边", false), 0, 2, 1, 2);
    numbers->addWidget(pair(m_lower, "单选框小写", "小写", m_upper, "单选框大写", "大写", true), 0, 4, 1, 2);
    const auto box = [this](const char* name, const char* text) {
        auto* edit = Named(new QLineEdit(Utf8(text), m_numberGroup), name);
        edit->setMaximumWidth(80);
        return edit;
    };
    m_start = box("编辑框起始值", "1");
    m_step = box("编辑框增量值", "1");
    m_zeros = box("编辑框零位数", "2");
    numbers->addWidget(new QLabel(Utf8("起始值："), m_numberGroup), 1, 0);
    numbers->addWidget(m_start, 1, 1);
    numbers->addWidget(new QLabel(Utf8("增量值："), m_numberGroup), 1, 2);
    numbers->addWidget(m_step, 1, 3);
    numbers->addWidget(new QLabel(Utf8("零位数："), m_numberGroup), 1, 4);
    numbers->addWidget(m_zeros, 1, 5);
    m_uniform = Named(new QCheckBox(Utf8("保持数字编号统一队形"), m_numberGroup), "选择框保持统一队形");
    m_traditional = Named(new QCheckBox(Utf8("到繁体"), m_numberGroup), "选择框到繁体");
    m_amount = Named(new QCheckBox(Utf8("到金额"), m_numberGroup), "选择框到金额");
    m_perFolder = Named(new QCheckBox(Utf8("保持不同目录独立编号"), m_numberGroup), "选择框保持目录独立");
    numbers->addWidget(m_uniform, 2, 0, 1, 2);
    numbers->addWidget(m_traditional, 2, 2);
    numbers->addWidget(m_amount, 2, 3);
    numbers->addWidget(m_perFolder, 2, 4, 1, 2);
    m_attach = Named(new QCheckBox(Utf8("附加文本到编号："), m_numberGroup), "选择框附加文本");
    m_attachedText = MakeMetaBox(m_numberGroup, "编辑框附加的文本", metaMenu);
    m_attachSide = Named(new QComboBox(m_numberGroup), "组合框附加方向");
    m_attachSide->addItems({Utf8("附加于左边"), Utf8("附加于右边")});
    m_attachSide->setCurrentIndex(1);
    numbers->addWidget(m_attach, 3, 0, 1, 2);
    numbers->addWidget(m_attachedText, 3, 2, 1, 2);
    numbers->addWidget(m_attachSide, 3, 4, 1, 2);

    m_nameGroup = Named(new QGroupBox(Utf8("文件名设置"), this), "分组框文件名设置");
    auto* names = new QGridLayout(m_nameGroup);
    m_changeMain = Named(new QCheckBox(Utf8("修改主名："), m_nameGroup), "选择框修改主名");
    m_changeMain->setChecked(true);
    m_mainType = Named(new QComboBox(m_nameGroup), "组合框修改主名类型");
    m_mainType->addItems({Utf8("原主名编号"), Utf8("新主名编号"), Utf8("自定义主名")});
    m_mainType->setCurrentIndex(static_cast<int>(CommonMainNameType::NumberNewMain));
    m_newMain = MakeMetaBox(m_nameGroup, "编辑框新主名", metaMenu);
    m_newMain->setText(Utf8("#目录名"));
    m_changeExtension = Named(new QCheckBox(Utf8("修改扩展名："), m_nameGroup), "选择框修改扩展名");
    m_newExtension = Named(new QLineEdit(Utf8("txt"), m_nameGroup), "编辑框新扩展名");
    names->addWidget(m_changeMain, 0, 0);
    names->addWidget(m_mainType, 0, 1);
    names->addWidget(m_newMain, 0, 2);
    names->addWidget(m_changeExtension, 1, 0);
    names->addWidget(m_newExtension, 1, 1, 1, 2);
    names->setColumnStretch(2, 1);

    // The numbering group on top; hidden, the file-name group moves up into its place.
    layout->addWidget(m_numberGroup);
    layout->addWidget(m_nameGroup);
    layout->addStretch(1);
}

void CommonRenamePanel::BindControls() {
    using P = CommonRenameParams;
    // The choices that show, hide or enable other controls update them first.
    const auto update = [this] { UpdateCommonPanelControls(false); };
    Bindings()
        .Check(m_changeMain, "修改主名", &P::changeMainName)
        .AlsoOnChange(update)
        .Combo(m_mainType, "修改主名类型",
               [](P& p, int index) { p.type = static_cast<CommonMainNameType>(std::clamp(index, 0, 2)); })
        .AlsoOnChange(update)
        // A "*" typed or removed shows or hides the numbering group.
        .Text(m_newMain, "新主名", &P::newMainName)
        .AlsoOnChange(update)
        .Check(m_changeExtension, "修改扩展名", &P::changeExtension)
        .AlsoOnChange([this] {
            if (m_changeExtension->isChecked()) m_newExtension->setFocus();
            UpdateCommonPanelControls(false);
        })
        .Text(m_newExtension, "新扩展名", &P::newExtension)
        .RadioPair(m_letters, m_digits, "类型", &P::letters)
        .AlsoOnChange(update)
        .RadioPair(m_left, m_right, "位于", &P::left)
        .AlsoOnChange(update)
        .RadioPair(m_lower, m_upper, "转为", [](P& p, bool lower) { p.upper = !lower; })
        .AlsoOnChange(update)
        .Text(m_start, "起始", IntegerField(&P::start, -kCounterLimit, kCounterLimit))
        .Text(m_step, "增量",
              [](P& p, const std::string& text) {
                  p.step = BoxInteger(text, -kCounterLimit, kCounterLimit);
                  if (p.step == 0) p.step = 1;
              })
        .Text(m_zeros, "零位数", IntegerField(&P::zeroCount, 0, kMetaCountLimit))
        .Check(m_uniform, "统一队形", &P::uniform)
        .Check(m_traditional, "到繁体", &P::traditional)
        .Check(m_amount, "到金额", &P::amount)
        .Check(m_perFolder, "目录独立", &P::perFolder)
        .Check(m_attach, "附加文本", &P::attach)
        .AlsoOnChange(update)
        .Text(m_attachedText, "附加的文本", &P::attachedText)
        .Combo(m_attachSide, "附加方向", FirstChosen(&P::attachLeft))
        .AfterLoad([this] { UpdateCommonPanelControls(true); });
    connect(m_mainType, &QComboBox::activated, this, [this](int index) {
        if (index != static_cast<int>(CommonMainNameType::NumberOldMain)) m_newMain->setFocus();
    });
}

void CommonRenamePanel::RegisterTooltips() {
    const auto tip = [](QWidget* control, const char* text) { RegisterTooltip(control, text); };
    tip(m_newMain,
        "若自定义主名并想自由选择编号插入点，可插入米号(*)作为编号引用标记。支持首创的中文元变量插入。"
        "黑色边框者皆支持元变量。");
    tip(m_newExtension, "留空则清除扩展名，这将变成无格式文件");
    tip(m_zeros, "编号时前缀零的数量，如 2 个，则例【001、002、003...】");
    tip(m_uniform, "当编号的位数出现不整齐时，是否强制统一位数的队形。仅作用于小写数字编号");
    tip(m_traditional, "是否将编号转换成繁体字。仅作用于大写数字编号");
    tip(m_amount, "是否将编号转换成金额格式。仅作用于大写数字编号");
    tip(m_perFolder,
        "当同时载入不同目录的文件列表进行更改时，是否保持每个目录下文件列表的编号从起始值开始。");
    tip(m_attach,
        "这是为了进一步增强编号的作用而设的，可以在编号的左右边插入任意的字符，如通常在编号右边插入顿号【、】"
        "这类的符号，例【001、】");
    tip(m_attachedText, "支持首创的中文元变量插入。黑色边框者皆支持元变量。");
    tip(m_letters, "递进类型为字母。A-Z，Z 之后便是 AA、AB...AZ、BA、BB...BZ...");
    tip(m_digits, "递进类型为数字。1-?，? 代表未知数，由文件项目数决定");
    tip(m_left, "递进文本位于左边");
    tip(m_right, "递进文本位于右边");
    tip(m_start, "编号起始值");
    tip(m_step, "编号增量值");
}

void CommonRenamePanel::UpdateCommonPanelControls(bool relayout) {
    const bool changeMain = m_changeMain->isChecked();
    const int type = m_mainType->currentIndex();
    m_mainType->setEnabled(changeMain);
    m_newMain->setEnabled(changeMain && type != static_cast<int>(CommonMainNameType::NumberOldMain));
    m_newExtension->setEnabled(m_changeExtension->isChecked());

    const bool numbered =
        changeMain && (type != static_cast<int>(CommonMainNameType::CustomMain) || m_newMain->text().contains('*'));
    const bool shownBefore = !m_numberGroup->isHidden();
    m_numberGroup->setHidden(!numbered);

    const bool digits = m_digits->isChecked();
    m_zeros->setEnabled(digits && m_lower->isChecked());
    m_uniform->setEnabled(digits && m_lower->isChecked());
    m_traditional->setEnabled(digits && m_upper->isChecked());
    m_amount->setEnabled(digits && m_upper->isChecked());
    m_attachedText->setEnabled(m_attach->isChecked());
    m_attachSide->setEnabled(m_attach->isChecked());

    // The panel grows or shrinks with the numbering group; the area follows.
    if (relayout || shownBefore != numbered) updateGeometry();
}

CommonRenameParams CommonRenamePanel::CurrentParameters() const { return Bindings().Gather(); }

std::optional<CommonRenameParams> CommonRenamePanel::MakeParams(RunMode mode) {
    CommonRenameParams p = CurrentParameters();
    // A run the user started shows the step it runs with. An auto-preview runs while
    // the user types: "-" on the way to "-1" must stay as typed.
    if (mode != RunMode::AutoPreview &&
        BoxInteger(m_step->text().toStdString(), -kCounterLimit, kCounterLimit) == 0) {
        const QSignalBlocker quiet(m_step);  // the change asks for no preview of its own
        m_step->setText("1");
    }
    return p;
}

}  // namespace varnel

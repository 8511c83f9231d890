#include "filetasks/ui/content_insert_panel.h"

#include <QGridLayout>
#include <QLabel>

#include <algorithm>
#include <climits>

#include "naming/ui/panel_controls.h"

namespace varnel {

ContentInsertPanel::ContentInsertPanel(MetaSymbolMenu* metaMenu, QWidget* parent, AskTextFunction askText)
    : TypedTaskPanel(parent), m_askText(std::move(askText)) {
    setObjectName("ContentInsertPanel");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 8);
    m_type = MakeCombo(this, "组合框插入类型",
                       {"头部", "尾部", "行首", "行尾", "位置(字节)", "位置(字符)", "字符串(前)", "字符串(后)"});
    m_type->setCurrentIndex(static_cast<int>(InsertType::LineEnd));
    m_position = Named(new QLineEdit(this), "编辑框位置值");
    m_position->setMaximumWidth(80);
    m_locatorButton = Named(new QPushButton(Utf8("输入要定位的字符串..."), this), "按钮定位字串");
    m_text = MakeMetaBox(this, "编辑框欲插入文本", metaMenu);
    m_text->setText(Utf8("888888888888888888888888888"));
    m_editText = Named(new QPushButton(Utf8("..."), this), "按钮编辑插入文本");
    grid->addWidget(new QLabel(Utf8("插入类型："), this), 0, 0);
    grid->addWidget(m_type, 0, 1);
    grid->addWidget(new QLabel(Utf8("位置："), this), 0, 2);
    grid->addWidget(m_position, 0, 3);
    grid->addWidget(m_locatorButton, 0, 4, 1, 2);
    grid->addWidget(new QLabel(Utf8("插入文本："), this), 1, 0);
    grid->addWidget(m_text, 1, 1, 1, 4);
    grid->addWidget(m_editText, 1, 5);
    grid->setColumnStretch(4, 1);
    grid->setRowStretch(2, 1);

    Bindings()
        .Combo(m_type, "插入类型",
               [](ContentInsertParams& p, int index) { p.insertType = static_cast<InsertType>(std::max(0, index)); })
        .AlsoOnChange([this] { UpdateInsertControls(); })
        .Text(m_position, "插入位置", IntegerField(&ContentInsertParams::position, INT32_MIN, INT32_MAX))
        .Text(m_text, "欲插入文本", &ContentInsertParams::insertText)
        .HeldText(m_locator, "定位字串", &ContentInsertParams::locator)
        .AfterLoad([this] { UpdateInsertControls(); });
    connect(m_locatorButton, &QPushButton::clicked, this, [this] {
        EditTextInDialog(m_askText, this, "请输入欲定位进行文本插入的标记字符串：", m_locator,
                         [this](const std::string& text) {
                             m_locator = text;
                             emit parametersChanged();
                         });
    });
    connect(m_editText, &QPushButton::clicked, this, [this] {
        EditTextInDialog(m_askText, this, "请输入将插入到文本文件中的文本串：", m_text->text().toStdString(),
                         [this](const std::string& text) { m_text->setText(Utf8(text)); });
    });
    UpdateInsertControls();
}

void ContentInsertPanel::UpdateInsertControls() {
    const int type = m_type->currentIndex();
    m_position->setEnabled(type >= static_cast<int>(InsertType::LineStart) &&
                           type <= static_cast<int>(InsertType::CharPosition));
    m_locatorButton->setEnabled(type >= static_cast<int>(InsertType::BeforeLocator));
}

ContentInsertParams ContentInsertPanel::CurrentParameters() const { return Bindings().Gather(); }

std::optional<ContentInsertParams> ContentInsertPanel::MakeParams(RunMode) { return CurrentParameters(); }

}  // namespace varnel

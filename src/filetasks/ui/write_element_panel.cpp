#include "filetasks/ui/write_element_panel.h"

#include <QGridLayout>
#include <QLabel>

#include "utilities/user_notifier.h"

namespace varnel {

WriteElementPanel::WriteElementPanel(MetaSymbolMenu* metaMenu, QWidget* parent, AskTextFunction askText,
                                     std::function<bool(const std::string&)> ask)
    : TypedTaskPanel(parent), m_askText(askText), m_markers(this, std::move(askText), std::move(ask)) {
    setObjectName("WriteElementPanel");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 8);
    m_text = MakeMetaBox(this, "编辑框写入信息", metaMenu);
    m_editText = Named(new QPushButton(Utf8("..."), this), "按钮编辑写入信息");
    grid->addWidget(m_markers.PresetBox(), 0, 0, 1, 3);
    grid->addWidget(m_markers.EditLink(), 0, 3);
    grid->addWidget(new QLabel(Utf8("元素1："), this), 1, 0);
    grid->addWidget(m_markers.Element1(), 1, 1);
    grid->addWidget(new QLabel(Utf8("元素2："), this), 1, 2);
    grid->addWidget(m_markers.Element2(), 1, 3);
    grid->addWidget(m_markers.CaseSensitive(), 2, 0, 1, 2);
    grid->addWidget(new QLabel(Utf8("写入信息："), this), 3, 0);
    grid->addWidget(m_text, 3, 1, 1, 2);
    grid->addWidget(m_editText, 3, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(4, 1);

    connect(m_editText, &QPushButton::clicked, this, [this] {
        EditTextInDialog(m_askText, this, "输入要在两个元素之间写入的文本：", m_text->text().toStdString(),
                         [this](const std::string& text) { m_text->setText(Utf8(text)); });
    });
    m_markers.Bind(Bindings(), &WriteElementParams::element1, &WriteElementParams::element2,
                   &WriteElementParams::caseSensitive);
    Bindings().Text(m_text, "组合式", &WriteElementParams::writeText);
}

WriteElementParams WriteElementPanel::CurrentParameters() const { return Bindings().Gather(); }

std::optional<WriteElementParams> WriteElementPanel::MakeParams(RunMode mode) {
    WriteElementParams params = CurrentParameters();
    if (const std::string problem = WriteElementProblem(params); !problem.empty()) {
        if (mode != RunMode::AutoPreview) ShowTrayNotice(problem);
        return std::nullopt;
    }
    return params;
}

}  // namespace varnel

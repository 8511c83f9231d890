#include "naming/ui/meta_symbol_menu.h"

#include <QCursor>
#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

#include "naming/naming_globals.h"
#include "naming/meta_catalogue.h"
#include "naming/ui/meta_settings_window.h"
#include "utilities/user_notifier.h"

namespace varnel {

namespace {

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

constexpr const char* kWhatIsText =
    "元符，也称元变量，装载预定向动态值的字符集合。\n\n"
    "如，元符“#尺寸”，代表了该文件的尺寸字节，它的值是动态的，取出的是“尺寸字节”，则是预定向的。\n\n"
    "在Varnel里，元符全部是中文格式，完全以中文化的书写方式呈现，尤其适合汉语系人群的使用。\n\n"
    "元符格式：\n\n井号 + 元符名称 = 元符\n\n如上面举例的“#尺寸”。";
constexpr const char* kHowToText =
    "元符应用于批量任务面板。\n\n"
    "可以在任何支持元符的编辑框里输入类似这样“#尺寸”的元符，插入位置不限，插入个数不限。\n\n"
    "也可以直接点击元符菜单列表的元符项目进行插入——前提是，已经把光标置于欲插入元符的编辑框中";

}  // namespace

MetaSymbolMenu::MetaSymbolMenu(NamingGlobals& app, QWidget* parent)
    : QMenu(QString::fromUtf8("元符"), parent), m_app(app) {
    setObjectName(QString::fromUtf8("元符"));
    for (int g = 0; g < kMetaMenuGroupCount; ++g) {
        const auto group = static_cast<MetaMenuGroup>(g);
        QMenu* submenu = addMenu(Text(MetaMenuGroupCaption(group)));
        submenu->setObjectName(Text(MetaMenuGroupCaption(group)));
        for (const MetaVariable& entry : MetaCatalogue()) {
            if (entry.group != group) continue;
            const std::string_view name = entry.name;
            submenu->addAction("#" + Text(name), this, [this, name] { InsertMetaSymbol(name); });
        }
        m_groups.push_back(submenu);
    }
    addSeparator();
    m_switch = addAction(QString::fromUtf8("启用元符"));
    m_switch->setCheckable(true);
    m_switch->setChecked(m_app.gMetaSymbolsEnabled.load());
    connect(m_switch, &QAction::toggled, this,
            [this](bool checked) { m_app.gMetaSymbolsEnabled.store(checked); });
    addAction(QString::fromUtf8("设置元符..."), this, [this] {
        OpenMetaSettingsWindow(m_app, parentWidget() != nullptr ? parentWidget()->window() : nullptr);
    });
    addSeparator();
    addAction(QString::fromUtf8("什么是元符？"), this, [this] { ShowWhatIsMetaSymbol(); });
    addAction(QString::fromUtf8("如何插入元符？"), this, [this] { ShowHowToInsertMetaSymbol(); });
    SetInsertionEnabled(false);
}

void MetaSymbolMenu::AcceptMetaSymbols(QWidget* box) {
    if (box != nullptr) box->installEventFilter(this);
}

bool MetaSymbolMenu::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) m_metaInsertTarget = qobject_cast<QWidget*>(watched);
    return QMenu::eventFilter(watched, event);
}

bool MetaSymbolMenu::PrepareMetaSymbolMenu() {
    m_popupTarget = nullptr;
    if (m_metaInsertTarget) {
        m_metaInsertTarget->setFocus();
        SetInsertionEnabled(true);
    } else {
        SetInsertionEnabled(false);
        ShowTrayNotice(kNoTargetNotice);
    }
    return m_insertionEnabled;
}

void MetaSymbolMenu::PopUpFor(QWidget* box) {
    m_popupTarget = box;
    SetInsertionEnabled(box != nullptr);
    popup(QCursor::pos());
}

QWidget* MetaSymbolMenu::Target() const {
    return m_popupTarget ? m_popupTarget.data() : m_metaInsertTarget.data();
}

void MetaSymbolMenu::InsertMetaSymbol(std::string_view name) {
    QWidget* target = Target();
    if (!m_insertionEnabled || target == nullptr) return;
    const QString symbol = "#" + Text(name);
    // Each box reports the change as it reports typing, so its panel reacts alike.
    if (auto* line = qobject_cast<QLineEdit*>(target)) {
        line->insert(symbol);
    } else if (auto* text = qobject_cast<QTextEdit*>(target)) {
        text->insertPlainText(symbol);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(target)) {
        plain->insertPlainText(symbol);
    }
}

void MetaSymbolMenu::SetInsertionEnabled(bool enabled) {
    // Only the insertion items: the switch, the settings and the explanations stay usable.
    m_insertionEnabled = enabled;
    for (QMenu* group : m_groups) group->setEnabled(enabled);
}

void MetaSymbolMenu::ShowWhatIsMetaSymbol() { ShowMessageBox(kWhatIsText, kBoxOk | kBoxIconInformation); }

void MetaSymbolMenu::ShowHowToInsertMetaSymbol() { ShowTrayNotice(kHowToText); }

}  // namespace varnel

#include "filelist/ui/filter_bar.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>

#include "utilities/number_text.h"

namespace varnel {

namespace {

QCheckBox* Box(const char* name, const char* caption, QWidget* parent) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
    box->setObjectName(QString::fromUtf8(name));
    return box;
}

}  // namespace

FilterBar::FilterBar(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);

    auto* depthLabel = new QLabel(QString::fromUtf8("遍历层次："), this);
    depthLabel->setObjectName(QString::fromUtf8("标签1"));
    m_depth = new QLineEdit(QStringLiteral("1"), this);
    m_depth->setObjectName(QString::fromUtf8("编辑框遍历层次"));
    m_depth->setMaximumWidth(48);
    m_ignoreFolders = Box("选择框忽略目录", "忽略目录", this);
    m_ignoreFiles = Box("选择框忽略文件", "忽略文件", this);
    m_enabled = Box("选择框启用过滤", "启用过滤", this);
    m_engine = new QComboBox(this);
    m_engine->setObjectName(QString::fromUtf8("组合框主引擎"));
    m_engine->addItems({QString::fromUtf8("常规"), QString::fromUtf8("通配符"), QString::fromUtf8("正则")});
    m_engine->setCurrentIndex(1);
    m_pattern = new QLineEdit(QString::fromUtf8(kDefaultFilterText), this);
    m_pattern->setObjectName(QString::fromUtf8("编辑框过滤文本"));

    auto* options = new QFrame(this);
    options->setObjectName(QString::fromUtf8("外形框过滤参数"));
    auto* optionsLayout = new QHBoxLayout(options);
    optionsLayout->setContentsMargins(0, 0, 0, 0);
    m_ignoreCase = Box("选择框忽略大小写", "忽略大小写", options);
    m_wholeMatch = Box("选择框完整匹配", "完整匹配", options);
    m_invert = Box("选择框取反", "取反", options);
    m_moreFilters = Box("选择框更多过滤", "更多过滤>>", options);
    for (QWidget* w : {static_cast<QWidget*>(m_ignoreCase), static_cast<QWidget*>(m_wholeMatch),
                       static_cast<QWidget*>(m_invert), static_cast<QWidget*>(m_moreFilters)}) {
        optionsLayout->addWidget(w);
    }

    layout->addWidget(depthLabel);
    layout->addWidget(m_depth);
    layout->addWidget(m_ignoreFolders);
    layout->addWidget(m_ignoreFiles);
    layout->addWidget(m_enabled);
    layout->addWidget(m_engine);
    layout->addWidget(m_pattern, 1);
    layout->addWidget(options);

    connect(m_enabled, &QCheckBox::clicked, this, &FilterBar::UpdateFilterControls);
    connect(m_pattern, &QLineEdit::returnPressed, this, &FilterBar::filterTextConfirmed);
    UpdateFilterControls();
}

void FilterBar::UpdateFilterControls() {
    const bool on = m_enabled->isChecked();
    for (QWidget* w : {static_cast<QWidget*>(m_engine), static_cast<QWidget*>(m_pattern),
                       static_cast<QWidget*>(m_ignoreCase), static_cast<QWidget*>(m_wholeMatch),
                       static_cast<QWidget*>(m_invert)}) {
        w->setEnabled(on);
    }
}

void FilterBar::ShowSettings(const MainSettings& s) {
    m_depth->setText(QString::fromStdString(s.walkDepth));
    m_ignoreFolders->setChecked(s.ignoreFolders);
    m_ignoreFiles->setChecked(s.ignoreFiles);
    m_enabled->setChecked(s.filterEnabled);
    if (s.mainEngine >= 0 && s.mainEngine < m_engine->count()) m_engine->setCurrentIndex(s.mainEngine);
    m_pattern->setText(QString::fromStdString(s.filterText));
    m_ignoreCase->setChecked(s.filterIgnoreCase);
    m_wholeMatch->setChecked(s.filterWholeMatch);
    m_invert->setChecked(s.filterInvert);
    UpdateFilterControls();
}

void FilterBar::CollectSettings(MainSettings& s) const {
    s.walkDepth = m_depth->text().toStdString();
    s.ignoreFolders = m_ignoreFolders->isChecked();
    s.ignoreFiles = m_ignoreFiles->isChecked();
    s.filterEnabled = m_enabled->isChecked();
    s.mainEngine = m_engine->currentIndex();
    s.filterText = m_pattern->text().toStdString();
    s.filterIgnoreCase = m_ignoreCase->isChecked();
    s.filterWholeMatch = m_wholeMatch->isChecked();
    s.filterInvert = m_invert->isChecked();
}

NameFilter FilterBar::CurrentNameFilter() const {
    return NameFilter{m_enabled->isChecked(), m_engine->currentIndex(), m_pattern->text().toStdString(),
                      m_ignoreCase->isChecked(), m_wholeMatch->isChecked(), m_invert->isChecked()};
}

WalkOptions FilterBar::CurrentWalkOptions() const {
    WalkOptions options;
    const double depth = TextToNumber(m_depth->text().toStdString());
    options.depth = depth >= 1e9 ? 1'000'000'000 : depth <= -1e9 ? -1'000'000'000 : static_cast<int>(depth);
    options.ignoreFiles = m_ignoreFiles->isChecked();
    options.ignoreFolders = m_ignoreFolders->isChecked();
    return options;
}

QString FilterBar::DepthText() const { return m_depth->text(); }

}  // namespace varnel

#include "tools/ui/regex_match_model.h"

#include "utilities/utf8_text.h"

namespace varnel {

namespace {

QString Shown(const std::string& text) { return QString::fromStdString(ToDisplayText(text)); }

}  // namespace

void RegexMatchModel::SetSearch(std::shared_ptr<const RegexSearch> search) {
    beginResetModel();
    m_search = std::move(search);
    endResetModel();
}

int RegexMatchModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !m_search) return 0;
    return m_search->matchCount;
}

int RegexMatchModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return 2 + (m_search ? m_search->groupCount : 0);
}

QVariant RegexMatchModel::data(const QModelIndex& index, int role) const {
    if (!m_search || !index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return {};
    const int match = index.row() + 1;
    switch (index.column()) {
    case 0: return QString::fromUtf8("(%1)").arg(match);
    case 1: return Shown(m_search->regex.GetMatchText(match));
    default: return Shown(m_search->regex.GetSubmatchText(match, index.column() - 1));
    }
}

QVariant RegexMatchModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    if (section == 0) return QString::fromUtf8("序号");
    if (section == 1) return QString::fromUtf8("匹配文本");
    return QString::fromUtf8("子匹配文本 (%1)").arg(section - 1);
}

}  // namespace varnel

// The tester's result table as a model over the matches of one search: rows are
// made on demand from the kept match offsets, so tens of thousands of matches cost
// no widgets and no copies. Columns 序号, 匹配文本, then "子匹配文本 (j)" per group.
// UI thread only.
#pragma once

#include <QAbstractTableModel>

#include <memory>

#include "tools/regex_search.h"

namespace varnel {

class RegexMatchModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // Shows the matches of `search` (nothing for null); the model keeps it.
    void SetSearch(std::shared_ptr<const RegexSearch> search);
    const RegexSearch* Search() const { return m_search.get(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::shared_ptr<const RegexSearch> m_search;
};

}  // namespace varnel

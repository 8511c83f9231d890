#include "utilities/ui/list_columns.h"

#include <QHeaderView>
#include <QTableView>
#include <QTreeView>

#include <algorithm>

#include "utilities/utf8_text.h"

namespace varnel {

namespace {

constexpr int kDefaultSampledRows = 1000;

std::size_t TextWidth(const QVariant& value) { return GbkWidth(value.toString().toStdString()); }

}  // namespace

void FitListColumnsToText(QAbstractItemView* list) {
    if (list == nullptr || list->model() == nullptr) return;
    QHeaderView* header = nullptr;
    if (auto* tree = qobject_cast<QTreeView*>(list)) header = tree->header();
    if (auto* table = qobject_cast<QTableView*>(list)) header = table->horizontalHeader();
    if (header == nullptr) return;

    const QAbstractItemModel* model = list->model();
    const QModelIndex root = list->rootIndex();
    const int columns = model->columnCount(root);
    const int rows = model->rowCount(root);
    const int precision = header->resizeContentsPrecision();
    const int sampled =
        precision < 0 ? rows : std::min(rows, std::max(precision, kDefaultSampledRows));
    for (int c = 0; c < columns; ++c) {
        const std::size_t titleWidth = TextWidth(model->headerData(c, Qt::Horizontal));
        bool longer = false;
        for (int r = 0; r < sampled && !longer; ++r) {
            longer = TextWidth(model->index(r, c, root).data()) > titleWidth;
        }
        header->resizeSection(c, longer ? list->sizeHintForColumn(c) : header->sectionSizeHint(c));
    }
}

}  // namespace varnel

#include "tools/ui/list_report_source.h"

#include <QHeaderView>

namespace varnel {

ReportSource ReportSourceOfList(FileListPanel& list) {
    ReportSource source;
    FileListModel& model = list.Model();
    const QHeaderView* header = list.View().horizontalHeader();
    for (int c = 0; c < model.columnCount(); ++c) {
        ReportSourceColumn column;
        column.title = FileListModel::ColumnTitle(c).toStdString();
        column.widthPixels = header->sectionSize(c);
        column.visible = !header->isSectionHidden(c);
        const QVariant align = model.headerData(c, Qt::Horizontal, Qt::TextAlignmentRole);
        const int flags = align.isValid() ? align.toInt() : 0;
        // A hidden column has no width; it prints at its designed width.
        if (column.widthPixels <= 0) column.widthPixels = header->defaultSectionSize();
        column.alignment = c == ColumnIndex(ListColumn::Size) || (flags & Qt::AlignRight) ? ReportAlign::Right
                           : (flags & Qt::AlignHCenter)                                 ? ReportAlign::Centre
                                                                                        : ReportAlign::Left;
        source.columns.push_back(std::move(column));
    }
    RowStore& store = model.Store();
    source.rowCount = store.RowCount();
    source.cellText = [&store](std::size_t row, int column) { return store.GetCellText(row, column); };
    return source;
}

double ListFontPoints(FileListPanel& list) {
    const double points = list.View().font().pointSizeF();
    return points > 0 ? points : 9;
}

}  // namespace varnel

// Fitting the columns of a list (a table or tree view) to their texts. UI thread.
#pragma once

class QAbstractItemView;

namespace varnel {

// A column with a cell longer than its title is sized to its contents, any other
// to its title. Cells are sampled as Qt samples them when it sizes to contents
// (the header's resize precision), so a million-row list costs no more than a
// thousand rows. A list without columns is left alone.
void FitListColumnsToText(QAbstractItemView* list);

}  // namespace varnel

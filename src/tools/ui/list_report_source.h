// The main file list as a report source: its columns (titles, widths, alignment,
// shown or hidden) and a cell reader that the report's worker may use (the row
// store guards itself). UI thread only, except the reader.
#pragma once

#include "filelist/ui/file_list_panel.h"
#include "tools/report_table.h"

namespace varnel {

ReportSource ReportSourceOfList(FileListPanel& list);
// The list's font size in points.
double ListFontPoints(FileListPanel& list);

}  // namespace varnel

// A small list to print, for the report tests.
#pragma once

#include <string>
#include <vector>

#include "tools/report_table.h"

namespace varnel::testing {

// Columns 名称 (left), 大小 (right), 类型 (centre); row r holds "f<r>", "<r>,000", "txt".
inline ReportSource SmallList(std::size_t rows) {
    ReportSource source;
    source.columns = {{"名称", 100, ReportAlign::Left}, {"大小", 80, ReportAlign::Right},
                      {"类型", 60, ReportAlign::Centre}};
    source.rowCount = rows;
    source.cellText = [](std::size_t row, int column) -> std::string {
        switch (column) {
            case 0: return "f" + std::to_string(row + 1);
            case 1: return std::to_string(row + 1) + ",000";
            default: return "txt";
        }
    };
    return source;
}

}  // namespace varnel::testing

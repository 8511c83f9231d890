// Ordering the file list by one column: the key kinds of the sort menu, an
// eight-byte key per row (a text key taken seven bytes at a time), a sort of the
// row indexes, and one reordering of the row store. Equal keys keep their order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "filelist/row_store.h"
#include "utilities/codec.h"

namespace varnel {

// The sort menu's entries; Preset picks one of the others by the column.
enum class SortKind : int {
    Preset = -1,          // 按预置型排序
    Number = 0,           // 按数值型排序
    Text = 1,             // 按文本型排序
    Date = 2,             // 按日期型排序
    Logical = 3,          // 按逻辑型排序
    EnhancedNumber = 4,   // 按增强型数值排序
    TextLength = 5,       // 按文本长度
    RowValue = 6,         // the row value (the file size); only through Preset
    Icon = 7,             // 按图标排序
};

// The kind Preset means for a column: the size column by the row value, the time
// columns by date, any other by text.
SortKind PresetSortKind(int column);
// The caption of 按预置型排序 for a column: "按预置型<字节>排序" and so on.
std::string PresetSortCaption(int column);
// The title mark of the sorted column.
std::string_view SortMark(bool ascending);

// A text's byte key in GBK order (common Chinese names come out roughly by pinyin).
// A character GBK cannot hold, or an invalid byte, becomes 0xFF followed by its
// bytes, so every text has one key and the order is total.
class TextSortKeys {
public:
    TextSortKeys();
    std::string KeyOf(std::string_view text);

private:
    CodecEncoder m_encoder;
};

// True for "真", "true" in any case and a leading number other than 0.
bool LogicalCellValue(std::string_view text);

class ListSorter {
public:
    // The numbers in the text ("-\d+\.\d+|\d+\.\d+|-\d+|\d+", leftmost first): the
    // last one for index < 0, the index-th (from 1) when there are that many, else
    // their sum. 0 for a text without digits.
    static double GetEnhancedNumberKey(std::string_view text, int index);

    // The new order of the rows (element i: the row to show at i), rows of equal
    // keys in their present order. numberIndex is the group of the enhanced numeric
    // key. Preset is resolved by the column. It only reads the store, so it may run
    // on a worker while the window goes on; beside the rows it holds 12 bytes a row.
    static std::vector<std::uint32_t> SortOrder(const RowStore& rows, int column, bool ascending, SortKind kind,
                                                int numberIndex);
};

// SortOrder applied to the store.
void SortRows(RowStore& rows, int column, bool ascending, SortKind kind, int numberIndex);

}  // namespace varnel

#include "filelist/list_sorter.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

#include "utilities/number_text.h"
#include "utilities/ole_date.h"
#include "utilities/utf8_text.h"

namespace varnel {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The length of a run of digits at pos.
std::size_t DigitRun(std::string_view text, std::size_t pos) {
    std::size_t end = pos;
    while (end < text.size() && IsDigit(text[end])) ++end;
    return end - pos;
}

// The match of "\d+\.\d+|\d+" at pos, which holds a digit: its length.
std::size_t UnsignedNumberAt(std::string_view text, std::size_t pos) {
    std::size_t length = DigitRun(text, pos);
    if (pos + length < text.size() && text[pos + length] == '.') {
        const std::size_t fraction = DigitRun(text, pos + length + 1);
        if (fraction > 0) length += 1 + fraction;
    }
    return length;
}

// NaN has no place in an order; it sorts with the lowest values.
double Orderable(double value) { return std::isnan(value) ? -std::numeric_limits<double>::infinity() : value; }

template <typename Key>
std::vector<std::uint32_t> StableOrder(const std::vector<Key>& keys, bool ascending) {
    std::vector<std::uint32_t> order(keys.size());
    std::iota(order.begin(), order.end(), 0u);
    if (ascending) {
        std::stable_sort(order.begin(), order.end(), [&keys](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; });
    } else {
        std::stable_sort(order.begin(), order.end(), [&keys](std::uint32_t a, std::uint32_t b) { return keys[b] < keys[a]; });
    }
    return order;
}

bool IsTimeColumn(int column) {
    return column == static_cast<int>(ListColumn::Created) || column == static_cast<int>(ListColumn::Modified) ||
           column == static_cast<int>(ListColumn::Accessed);
}

// The stored time of a time column; NaN when the row has none to show.
double StoredTime(const RowStore& rows, std::size_t row, int column) {
    if ((rows.Filled(row) & ColumnBit(static_cast<ListColumn>(column))) == 0) return kNoTime;
    const auto facts = rows.Facts(row);
    if (!facts) return kNoTime;
    switch (static_cast<ListColumn>(column)) {
        case ListColumn::Created: return facts->created;
        case ListColumn::Modified: return facts->modified;
        default: return facts->accessed;
    }
}

}  // namespace

SortKind PresetSortKind(int column) {
    if (column == static_cast<int>(ListColumn::Size)) return SortKind::RowValue;
    if (IsTimeColumn(column)) return SortKind::Date;
    return SortKind::Text;
}

std::string PresetSortCaption(int column) {
    const char* what = column == static_cast<int>(ListColumn::Size) ? "<字节>" : IsTimeColumn(column) ? "<时间>" : "<文本>";
    return std::string("按预置型") + what + "排序";
}

std::string_view SortMark(bool ascending) { return ascending ? " ∴" : " ∵"; }

TextSortKeys::TextSortKeys() : m_encoder(kCodecGbk) {}

std::string TextSortKeys::KeyOf(std::string_view text) {
    if (IsAscii(text)) return std::string(text);
    if (auto whole = m_encoder.Encode(text)) return std::move(*whole);
    std::string key;
    key.reserve(text.size() + 4);
    for (std::size_t pos = 0; pos < text.size();) {
        const Utf8Step step = DecodeUtf8At(text, pos);
        const std::string_view piece = text.substr(pos, step.length);
        auto encoded = step.valid ? m_encoder.Encode(piece) : std::expected<std::string, Error>();
        if (step.valid && encoded) {
            key += *encoded;
        } else {
            key += '\xFF';
            key += piece;
        }
        pos += step.length;
    }
    return key;
}

bool LogicalCellValue(std::string_view text) {
    if (text == "真") return true;
    if (text.size() == 4) {
        std::string lower(text);
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
        if (lower == "true") return true;
    }
    return TextToNumber(text) != 0;
}

double ListSorter::GetEnhancedNumberKey(std::string_view text, int index) {
    double sum = 0;
    double last = 0;
    int count = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t length = 0;
        if (IsDigit(text[pos])) {
            length = UnsignedNumberAt(text, pos);
        } else if (text[pos] == '-' && pos + 1 < text.size() && IsDigit(text[pos + 1])) {
            length = 1 + UnsignedNumberAt(text, pos + 1);
        }
        if (length == 0) {
            ++pos;
            continue;
        }
        const double value = TextToNumber(text.substr(pos, length));
        ++count;
        if (count == index) return value;
        sum += value;
        last = value;
        pos += length;
    }
    if (index < 0) return last;
    return sum;
}

std::vector<std::uint32_t> ListSorter::SortOrder(const RowStore& rows, int column, bool ascending, SortKind kind,
                                                 int numberIndex) {
    if (kind == SortKind::Preset) kind = PresetSortKind(column);
    const std::size_t count = rows.RowCount();
    switch (kind) {
        case SortKind::Text: {
            TextSortKeys keyMaker;
            std::vector<std::string> keys(count);
            for (std::size_t row = 0; row < count; ++row) keys[row] = keyMaker.KeyOf(rows.GetCellText(row, column));
            return StableOrder(keys, ascending);
        }
        case SortKind::Date: {
            std::vector<double> keys(count);
            for (std::size_t row = 0; row < count; ++row) {
                if (IsTimeColumn(column)) {
                    keys[row] = StoredTime(rows, row, column);
                } else {
                    keys[row] = TextToOleDate(rows.GetCellText(row, column)).value_or(kNoTime);
                }
                keys[row] = Orderable(keys[row]);
            }
            return StableOrder(keys, ascending);
        }
        case SortKind::Logical: {
            // True rows first when ascending.
            std::vector<std::uint8_t> keys(count);
            for (std::size_t row = 0; row < count; ++row) keys[row] = LogicalCellValue(rows.GetCellText(row, column)) ? 0 : 1;
            return StableOrder(keys, ascending);
        }
        case SortKind::TextLength: {
            TextSortKeys keyMaker;
            std::vector<std::size_t> keys(count);
            for (std::size_t row = 0; row < count; ++row) keys[row] = keyMaker.KeyOf(rows.GetCellText(row, column)).size();
            return StableOrder(keys, ascending);
        }
        case SortKind::RowValue: {
            std::vector<std::int64_t> keys(count);
            for (std::size_t row = 0; row < count; ++row) {
                const auto facts = rows.Facts(row);
                keys[row] = facts ? facts->size : 0;
            }
            return StableOrder(keys, ascending);
        }
        case SortKind::Icon: {
            std::vector<std::uint16_t> keys(count);
            for (std::size_t row = 0; row < count; ++row) keys[row] = rows.Icon(row);
            return StableOrder(keys, ascending);
        }
        case SortKind::Number:
        case SortKind::EnhancedNumber:
        default: {
            std::vector<double> keys(count);
            for (std::size_t row = 0; row < count; ++row) {
                const std::string cell = rows.GetCellText(row, column);
                keys[row] = Orderable(kind == SortKind::EnhancedNumber ? GetEnhancedNumberKey(cell, numberIndex)
                                                                      : TextToNumber(cell));
            }
            return StableOrder(keys, ascending);
        }
    }
}

void SortRows(RowStore& rows, int column, bool ascending, SortKind kind, int numberIndex) {
    rows.ApplyOrder(ListSorter::SortOrder(rows, column, ascending, kind, numberIndex));
}

}  // namespace varnel

#include "filelist/list_sorter.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <numeric>
#include <span>

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

// Every kind of sort reduces its rows to one unsigned 64-bit key each, whose order
// is the order of the values: eight bytes a row, with the four of the row order,
// is all a sort of a million rows holds beside the rows themselves.
constexpr std::uint64_t kTopBit = std::uint64_t{1} << 63;

std::uint64_t OrderedBits(double value) {
    value = Orderable(value);
    if (value == 0) value = 0;  // -0 and +0 are one value
    const auto bits = std::bit_cast<std::uint64_t>(value);
    return (bits & kTopBit) != 0 ? ~bits : bits | kTopBit;
}

std::uint64_t OrderedBits(std::int64_t value) { return static_cast<std::uint64_t>(value) ^ kTopBit; }

// Sorts order[first, last) by keys[row]. Equal keys keep the rows' present order
// (the row number decides), so the sort is stable without a stable sort's buffer.
void SortByKeys(std::vector<std::uint32_t>& order, std::size_t first, std::size_t last,
                const std::vector<std::uint64_t>& keys, bool ascending) {
    const auto begin = order.begin() + static_cast<std::ptrdiff_t>(first);
    const auto end = order.begin() + static_cast<std::ptrdiff_t>(last);
    if (ascending) {
        std::sort(begin, end, [&keys](std::uint32_t a, std::uint32_t b) {
            return keys[a] != keys[b] ? keys[a] < keys[b] : a < b;
        });
    } else {
        std::sort(begin, end, [&keys](std::uint32_t a, std::uint32_t b) {
            return keys[a] != keys[b] ? keys[b] < keys[a] : a < b;
        });
    }
}

// Seven bytes of a text key from `offset` (zeros past its end), then how many of
// them the key has (7: it may go on). Keys compared piece by piece this way
// compare as whole keys do: a key that ends sorts before a longer one it begins.
constexpr std::size_t kPieceBytes = 7;

std::uint64_t KeyPiece(std::string_view key, std::size_t offset) {
    std::uint64_t piece = 0;
    for (std::size_t i = 0; i < kPieceBytes; ++i) {
        piece <<= 8;
        if (offset + i < key.size()) piece |= static_cast<unsigned char>(key[offset + i]);
    }
    const std::size_t available = offset < key.size() ? std::min(kPieceBytes, key.size() - offset) : 0;
    return piece << 8 | available;
}

// The piece of a text's key from `offset`; a text of plain ASCII is its own key.
std::uint64_t TextKeyPiece(TextSortKeys& keyMaker, std::string_view text, std::size_t offset) {
    return IsAscii(text) ? KeyPiece(text, offset) : KeyPiece(keyMaker.KeyOf(text), offset);
}

// A range this small is sorted as (piece, row) pairs side by side, without looking
// each key up by its row; a larger one by the row indexes alone, to keep its memory.
constexpr std::size_t kPairedRange = std::size_t{1} << 16;

struct KeyedRow {
    std::uint64_t key;
    std::uint32_t row;
};

// The text sort without a whole key per row: the rows are sorted by the first
// piece of their keys; each run of rows that agree on a full piece is sorted again
// by the next piece, made afresh, until the keys differ or end.
void SortByTextKeys(const RowStore& rows, int column, bool ascending, std::vector<std::uint32_t>& order,
                    std::vector<std::uint64_t>& keys) {
    TextSortKeys keyMaker;
    struct Range {
        std::size_t first;
        std::size_t last;
        std::size_t offset;
    };
    std::vector<Range> pending{{0, order.size(), 0}};
    std::vector<KeyedRow> paired;
    // The runs of equal full pieces in order[first, last), whose keys keyAt gives.
    const auto queueRuns = [&](const Range& range, const auto& keyAt) {
        for (std::size_t start = range.first; start < range.last;) {
            const std::uint64_t key = keyAt(start);
            std::size_t end = start + 1;
            while (end < range.last && keyAt(end) == key) ++end;
            if (end - start > 1 && (key & 0xFF) == kPieceBytes) {
                pending.push_back({start, end, range.offset + kPieceBytes});
            }
            start = end;
        }
    };
    while (!pending.empty()) {
        const Range range = pending.back();
        pending.pop_back();
        const std::span<const std::uint32_t> rowsOfRange(order.data() + range.first, range.last - range.first);
        if (range.last - range.first > kPairedRange) {
            rows.VisitCellTexts(rowsOfRange, column, [&](std::size_t i, std::string_view text) {
                keys[rowsOfRange[i]] = TextKeyPiece(keyMaker, text, range.offset);
            });
            SortByKeys(order, range.first, range.last, keys, ascending);
            queueRuns(range, [&](std::size_t at) { return keys[order[at]]; });
            continue;
        }
        paired.resize(rowsOfRange.size());
        rows.VisitCellTexts(rowsOfRange, column, [&](std::size_t i, std::string_view text) {
            paired[i] = {TextKeyPiece(keyMaker, text, range.offset), rowsOfRange[i]};
        });
        if (ascending) {
            std::sort(paired.begin(), paired.end(), [](const KeyedRow& a, const KeyedRow& b) {
                return a.key != b.key ? a.key < b.key : a.row < b.row;
            });
        } else {
            std::sort(paired.begin(), paired.end(), [](const KeyedRow& a, const KeyedRow& b) {
                return a.key != b.key ? b.key < a.key : a.row < b.row;
            });
        }
        for (std::size_t i = 0; i < paired.size(); ++i) order[range.first + i] = paired[i].row;
        queueRuns(range, [&](std::size_t at) { return paired[at - range.first].key; });
    }
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
    std::vector<std::uint32_t> order(count);
    std::iota(order.begin(), order.end(), 0u);
    std::vector<std::uint64_t> keys(count);
    if (kind == SortKind::Text) {
        SortByTextKeys(rows, column, ascending, order, keys);
        return order;
    }
    TextSortKeys keyMaker;
    for (std::size_t row = 0; row < count; ++row) {
        std::uint64_t& key = keys[row];
        switch (kind) {
            case SortKind::Date: {
                const double time = IsTimeColumn(column)
                                        ? StoredTime(rows, row, column)
                                        : TextToOleDate(rows.GetCellText(row, column)).value_or(kNoTime);
                key = OrderedBits(time);
                break;
            }
            case SortKind::Logical:
                // True rows first when ascending.
                key = LogicalCellValue(rows.GetCellText(row, column)) ? 0 : 1;
                break;
            case SortKind::TextLength: key = keyMaker.KeyOf(rows.GetCellText(row, column)).size(); break;
            case SortKind::RowValue: {
                const auto facts = rows.Facts(row);
                key = OrderedBits(std::int64_t{facts ? facts->size : 0});
                break;
            }
            case SortKind::Icon: key = rows.Icon(row); break;
            case SortKind::EnhancedNumber:
                key = OrderedBits(GetEnhancedNumberKey(rows.GetCellText(row, column), numberIndex));
                break;
            case SortKind::Number:
            default: key = OrderedBits(TextToNumber(rows.GetCellText(row, column))); break;
        }
    }
    SortByKeys(order, 0, count, keys, ascending);
    return order;
}

void SortRows(RowStore& rows, int column, bool ascending, SortKind kind, int numberIndex) {
    rows.ApplyOrder(ListSorter::SortOrder(rows, column, ascending, kind, numberIndex));
}

}  // namespace varnel

#include "runs/undo_manager.h"

#include <algorithm>
#include <utility>

#include "utilities/attribute_names.h"
#include "utilities/codec.h"
#include "utilities/local_time.h"
#include "utilities/ole_date.h"

namespace varnel {

namespace {

constexpr std::size_t kContentShownBytes = 50;

std::size_t EntryCount(const UndoRecord& r, UndoKind kind) {
    switch (kind) {
        case UndoKind::Transfers: return r.transfers.size();
        case UndoKind::Renames: return r.renames.size();
        case UndoKind::AttributeChanges: return r.attributeChanges.size();
        case UndoKind::TimeChanges: return r.timeChanges.size();
        case UndoKind::ContentChanges: return r.contentChanges.size();
        case UndoKind::Splits: return r.splits.size();
        case UndoKind::TitleChanges: return r.titleChanges.size();
        case UndoKind::TagChanges:
        case UndoKind::ShortcutChanges: return FamilyEntryCount(r, kind);
    }
    return 0;
}

// A recorded time as a local date-time; "" when it was not recorded.
std::string TimeText(const std::optional<timespec>& when) {
    const auto local = when ? UnixTimeToLocalOleDate(when->tv_sec) : std::nullopt;
    return local ? OleDateToText(*local) : std::string();
}

// The first bytes of a former content, up to its first zero byte, as text.
std::string ContentStartText(const ContentEntry& entry) {
    auto bytes = entry.originalBytes.ReadPrefix(kContentShownBytes);
    if (!bytes) return {};
    std::string text = std::move(*bytes);
    if (const std::size_t zero = text.find('\0'); zero != std::string::npos) text.resize(zero);
    return DecodeTextFile(text);
}

// The entry `row` of the family kind `kind`; nullptr past its last.
const FamilyUndoEntry* FamilyEntry(const UndoRecord& record, UndoKind kind, std::size_t row) {
    for (const FamilyUndoEntry& entry : record.familyChanges) {
        if (entry.Kind() == kind && row-- == 0) return &entry;
    }
    return nullptr;
}

// The columns of a family's kind follow the record's first entry of it.
std::vector<std::string> FamilyTitles(const UndoRecord& record, UndoKind kind, const UndoFamilyRegistry& families) {
    const FamilyUndoEntry* first = FamilyEntry(record, kind, 0);
    return first ? families.Titles(*first) : std::vector<std::string>{};
}

std::vector<std::string> TitlesOf(const UndoRecord& record, UndoKind kind, const UndoFamilyRegistry& families) {
    switch (kind) {
        case UndoKind::Renames: return {"原文件名", "新文件名", "目录"};
        case UndoKind::Transfers: return {"原路径", "新路径"};
        case UndoKind::AttributeChanges: return {"路径", "原属性"};
        case UndoKind::TimeChanges: return {"路径", "原创建时间", "原修改时间", "原访问时间"};
        case UndoKind::ContentChanges: return {"路径", "原内容"};
        case UndoKind::Splits: return {"父文件", "分割的子文件数量"};
        case UndoKind::TitleChanges: return {"网页文件", "原网页标题"};
        case UndoKind::TagChanges:
        case UndoKind::ShortcutChanges: return FamilyTitles(record, kind, families);
    }
    return {};
}

// Keeps the elements whose index is not in `drop` (sorted, unique).
template <typename T>
void EraseIndexes(std::vector<T>& list, const std::vector<std::size_t>& drop) {
    std::size_t out = 0;
    auto next = drop.begin();
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (next != drop.end() && *next == i) {
            ++next;
            continue;
        }
        if (out != i) list[out] = std::move(list[i]);
        ++out;
    }
    list.resize(out);
}

// Keeps the entries of `kind` whose index among that kind's entries is not in
// `drop` (sorted, unique), and every entry of another kind.
void EraseFamilyRows(std::vector<FamilyUndoEntry>& entries, UndoKind kind, const std::vector<std::size_t>& drop) {
    std::size_t index = 0;
    auto next = drop.begin();
    std::erase_if(entries, [&](const FamilyUndoEntry& entry) {
        if (entry.Kind() != kind) return false;
        const bool dropped = next != drop.end() && *next == index;
        if (dropped) ++next;
        ++index;
        return dropped;
    });
}

}  // namespace

UndoRecordLine DescribeUndoRecord(const UndoRecord& record) {
    const std::optional<UndoKind> kind = FirstUndoKind(record, kUndoRecordListOrder);
    if (!kind) return {};
    return {std::string(UndoKindName(*kind)), EntryCount(record, *kind)};
}

UndoDetailLayout UndoDetailLayoutOf(const UndoRecord& record, const UndoFamilyRegistry& families) {
    UndoDetailLayout layout;
    layout.kind = FirstUndoKind(record, kUndoDetailOrder);
    if (!layout.kind) return layout;
    layout.titles = TitlesOf(record, *layout.kind, families);
    layout.rows = EntryCount(record, *layout.kind);
    return layout;
}

std::vector<std::string> UndoDetailCells(const UndoRecord& record, UndoKind kind, std::size_t row,
                                         const UndoFamilyRegistry& families) {
    if (row >= EntryCount(record, kind)) return {};
    switch (kind) {
        case UndoKind::Renames: {
            const RenameEntry& e = record.renames[row];
            return {e.oldName, e.newName, e.folder};
        }
        case UndoKind::Transfers: {
            const TransferEntry& e = record.transfers[row];
            return {e.originalPath, e.newPath};
        }
        case UndoKind::AttributeChanges: {
            const AttributeEntry& e = record.attributeChanges[row];
            return {e.path, FormatAttributeNames(e.oldAttributes)};
        }
        case UndoKind::TimeChanges: {
            const FileTimesEntry& e = record.timeChanges[row];
            return {e.path, TimeText(e.created), TimeText(e.modified), TimeText(e.accessed)};
        }
        case UndoKind::ContentChanges: {
            const ContentEntry& e = record.contentChanges[row];
            return {e.path, ContentStartText(e)};
        }
        case UndoKind::Splits: {
            const SplitEntry& e = record.splits[row];
            return {e.sourcePath, std::to_string(e.pieceFiles.size()) + " 个"};
        }
        case UndoKind::TitleChanges: {
            const TitleEntry& e = record.titleChanges[row];
            return {e.path, e.oldTitle};
        }
        case UndoKind::TagChanges:
        case UndoKind::ShortcutChanges: {
            const FamilyUndoEntry* e = FamilyEntry(record, kind, row);
            if (!e) return {};
            std::vector<std::string> cells = {e->Path()};
            for (std::string& cell : families.Cells(*e)) cells.push_back(std::move(cell));
            cells.resize(FamilyTitles(record, kind, families).size());
            return cells;
        }
    }
    return {};
}

std::string UndoDetailImagePath(const UndoRecord& record, UndoKind kind, std::size_t row) {
    if (row >= EntryCount(record, kind)) return {};
    switch (kind) {
        case UndoKind::Renames: return record.renames[row].folder + record.renames[row].newName;
        case UndoKind::Transfers: {
            const TransferEntry& e = record.transfers[row];
            return e.originalPath.empty() ? e.newPath : e.originalPath;
        }
        case UndoKind::AttributeChanges: return record.attributeChanges[row].path;
        case UndoKind::TimeChanges: return record.timeChanges[row].path;
        default: return {};
    }
}

std::optional<std::size_t> MoveUndoRecord(std::vector<UndoRecord>& history, std::size_t index, bool up) {
    if (index >= history.size()) return std::nullopt;
    if (up ? index == 0 : index + 1 == history.size()) return std::nullopt;
    const std::size_t other = up ? index - 1 : index + 1;
    std::swap(history[index], history[other]);
    return other;
}

std::string UndoMoveRefusedText(bool up) {
    return std::string("这是") + (up ? "第一个" : "最后一个") + "撤销记录，不能" + (up ? "上移" : "下移") + "啦！";
}

std::size_t DeleteUndoEntries(UndoRecord& record, std::vector<std::size_t> rows) {
    const std::optional<UndoKind> kind = FirstUndoKind(record, kUndoDetailOrder);
    if (!kind) return 0;
    const std::size_t count = EntryCount(record, *kind);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(std::lower_bound(rows.begin(), rows.end(), count), rows.end());
    switch (*kind) {
        case UndoKind::Renames: EraseIndexes(record.renames, rows); break;
        case UndoKind::Transfers: EraseIndexes(record.transfers, rows); break;
        case UndoKind::AttributeChanges: EraseIndexes(record.attributeChanges, rows); break;
        case UndoKind::TimeChanges: EraseIndexes(record.timeChanges, rows); break;
        case UndoKind::ContentChanges: EraseIndexes(record.contentChanges, rows); break;
        case UndoKind::Splits: EraseIndexes(record.splits, rows); break;
        case UndoKind::TitleChanges: EraseIndexes(record.titleChanges, rows); break;
        case UndoKind::TagChanges:
        case UndoKind::ShortcutChanges: EraseFamilyRows(record.familyChanges, *kind, rows); break;
    }
    return rows.size();
}

int ClampUndoSelection(int index, std::size_t size) {
    if (size == 0 || index < 0) return -1;
    return std::min(index, static_cast<int>(size) - 1);
}

}  // namespace varnel

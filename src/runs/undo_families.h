// The undo entry kinds the task families above this folder own (shortcut
// properties, ID3 tags): each family enters, beside its runners, how an entry of
// its kind is put back and how the undo manager shows it. The replay and the undo
// manager ask here by the entry's kind; an entry of a kind nobody entered cannot
// be undone and says so. Filled on the UI thread at start-up; an undo works on its
// own copy.
#pragma once

#include <expected>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/posix_api.h"
#include "runs/undo_record.h"
#include "utilities/error.h"

namespace varnel {

// Why an entry of a kind without a restorer (or without its payload) was left.
inline constexpr const char* kUndoKindUnknownReason = "无法撤销此类更改";

// What a family enters for its kind, over the payload type its entries carry
// (FamilyUndoEntry::Of).
template <typename Payload>
struct UndoFamily {
    // Puts one entry back; the error says why its path was left as it is.
    std::function<std::expected<void, Error>(const Payload& entry, PosixApi& os)> restore;
    // The path is listed again even when its restore failed (a restore may have
    // changed the file before it failed).
    bool listAgainOnFailure = false;
    // The undo manager's column titles after "序号" for a record of this kind, the
    // path's column first; they may follow the record's first entry.
    std::function<std::vector<std::string>(const Payload& first)> titles;
    // An entry's cells after its path.
    std::function<std::vector<std::string>(const Payload& entry)> cells;
};

class UndoFamilyRegistry {
public:
    // Enters (or replaces) what undoes and shows the entries of `kind`.
    template <typename Payload>
    void Register(UndoKind kind, UndoFamily<Payload> family) {
        Entered& entered = m_families[kind];
        entered.listAgainOnFailure = family.listAgainOnFailure;
        entered.restore = [restore = std::move(family.restore)](const FamilyUndoEntry& entry,
                                                                PosixApi& os) -> std::expected<void, Error> {
            const Payload* payload = entry.As<Payload>();
            if (!payload || !restore)
                return std::unexpected(Error{Error::kInvalidInput, kUndoKindUnknownReason, entry.Path()});
            return restore(*payload, os);
        };
        entered.titles = [titles = std::move(family.titles)](const FamilyUndoEntry& first) {
            const Payload* payload = first.As<Payload>();
            return payload && titles ? titles(*payload) : std::vector<std::string>{};
        };
        entered.cells = [cells = std::move(family.cells)](const FamilyUndoEntry& entry) {
            const Payload* payload = entry.As<Payload>();
            return payload && cells ? cells(*payload) : std::vector<std::string>{};
        };
    }

    bool Has(UndoKind kind) const { return m_families.contains(kind); }
    // Undoes one entry by its kind's restorer; an error with kUndoKindUnknownReason
    // when its kind has none.
    std::expected<void, Error> Restore(const FamilyUndoEntry& entry, PosixApi& os) const;
    bool ListsAgainOnFailure(UndoKind kind) const;
    // The detail columns of a record whose first entry of the kind is `first`; a
    // kind nobody entered shows its paths only.
    std::vector<std::string> Titles(const FamilyUndoEntry& first) const;
    // The entry's cells after its path (none for a kind nobody entered).
    std::vector<std::string> Cells(const FamilyUndoEntry& entry) const;

private:
    struct Entered {
        std::function<std::expected<void, Error>(const FamilyUndoEntry&, PosixApi&)> restore;
        bool listAgainOnFailure = false;
        std::function<std::vector<std::string>(const FamilyUndoEntry&)> titles;
        std::function<std::vector<std::string>(const FamilyUndoEntry&)> cells;
    };
    const Entered* Find(UndoKind kind) const;

    std::map<UndoKind, Entered> m_families;
};

}  // namespace varnel

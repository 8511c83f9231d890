#include "runs/undo_families.h"

namespace varnel {

std::expected<void, Error> UndoFamilyRegistry::Restore(const FamilyUndoEntry& entry, PosixApi& os) const {
    const Entered* entered = Find(entry.Kind());
    if (!entered) return std::unexpected(Error{Error::kInvalidInput, kUndoKindUnknownReason, entry.Path()});
    return entered->restore(entry, os);
}

bool UndoFamilyRegistry::ListsAgainOnFailure(UndoKind kind) const {
    const Entered* entered = Find(kind);
    return entered && entered->listAgainOnFailure;
}

std::vector<std::string> UndoFamilyRegistry::Titles(const FamilyUndoEntry& first) const {
    const Entered* entered = Find(first.Kind());
    std::vector<std::string> titles = entered ? entered->titles(first) : std::vector<std::string>{};
    if (titles.empty()) titles.push_back("路径");
    return titles;
}

std::vector<std::string> UndoFamilyRegistry::Cells(const FamilyUndoEntry& entry) const {
    const Entered* entered = Find(entry.Kind());
    return entered ? entered->cells(entry) : std::vector<std::string>{};
}

const UndoFamilyRegistry::Entered* UndoFamilyRegistry::Find(UndoKind kind) const {
    const auto found = m_families.find(kind);
    return found == m_families.end() ? nullptr : &found->second;
}

}  // namespace varnel

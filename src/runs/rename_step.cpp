#include "runs/rename_step.h"

#include <algorithm>
#include <array>
#include <vector>

#include "fileops/copy_move.h"
#include "runs/recorded_transfer.h"
#include "runs/undo_record.h"

namespace varnel {

namespace {

constexpr std::size_t kLongestName = 255;

struct FullWidthForm {
    char ascii;
    std::string_view wide;
};
// In the order they are replaced.
constexpr std::array<FullWidthForm, 9> kFullWidthForms = {{
    {'\\', "\xEF\xBC\xBC"},  // U+FF3C
    {'/', "\xEF\xBC\x8F"},   // U+FF0F
    {':', "\xEF\xBC\x9A"},   // U+FF1A
    {'*', "\xEF\xBC\x8A"},   // U+FF0A
    {'?', "\xEF\xBC\x9F"},   // U+FF1F
    {'<', "\xEF\xBC\x9C"},   // U+FF1C
    {'>', "\xEF\xBC\x9E"},   // U+FF1E
    {'|', "\xEF\xBD\x9C"},   // U+FF5C
    {'"', "\xEF\xBC\x82"},   // U+FF02
}};

std::string_view WideFormOf(char c) {
    for (const FullWidthForm& form : kFullWidthForms) {
        if (form.ascii == c) return form.wide;
    }
    return {};
}

// The bytes SanitizeFileName acts on.
constexpr std::array<bool, 256> kSanitizedBytes = [] {
    std::array<bool, 256> table{};
    for (const FullWidthForm& form : kFullWidthForms) table[static_cast<unsigned char>(form.ascii)] = true;
    table['\r'] = true;
    return table;
}();

}  // namespace

void SanitizeFileName(std::string& name) {
    // Nearly every name is clean: one pass over it, and no copy.
    const bool clean = std::none_of(name.begin(), name.end(),
                                    [](char c) { return kSanitizedBytes[static_cast<unsigned char>(c)]; });
    if (clean) return;
    std::string out;
    out.reserve(name.size() + 8);
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if (c == '\r' && i + 1 < name.size() && name[i + 1] == '\n') {
            ++i;
            continue;
        }
        const std::string_view wide = WideFormOf(c);
        if (wide.empty()) {
            out += c;
        } else {
            out += wide;
        }
    }
    name = std::move(out);
}

std::string FailedStatus(std::string_view reason) {
    std::string status = kStatusFailed;
    if (!reason.empty()) status.append(" ").append(reason);
    return status;
}

std::optional<std::string> FileNameProblem(std::string_view name) {
    if (name == "." || name == "..") return "名称不能是“.”或“..”";
    if (name.size() > kLongestName) return "名称长于 255 字节";
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) return "名称含有控制字符";
        // Only a caller that skipped SanitizeFileName can get here with one.
        if (c == '/') return "名称含有“/”";
    }
    return std::nullopt;
}

RenameStep::RenameStep(RunContext& run, RunRows& rows, PosixApi& os)
    : m_run(run), m_rows(rows), m_os(os), m_symbolsEnabled(run.Settings().metaSymbols) {
    m_meta.settings = run.Settings().meta;
    m_meta.symbolsEnabled = &m_symbolsEnabled;
    m_meta.os = &m_os;
}

void RenameStep::ApplyNewNameToRow(std::size_t row, std::string& newName) {
    ApplyNewNameToRow(row, m_rows.Name(row), newName);
}

void RenameStep::ApplyNewNameToRow(std::size_t row, const std::string& oldName, std::string& newName) {
    if (oldName.empty()) return;  // the row has left the list
    std::string folder;
    // Only a "#" can start a meta-variable; most names need no path for the expansion.
    if (m_symbolsEnabled.load(std::memory_order_relaxed) && newName.find('#') != std::string::npos) {
        folder = m_rows.Folder(row);
        MetaExpansionRequest request;
        request.path = folder + oldName;
        request.text = newName;
        request.row = static_cast<std::int64_t>(row) + 1;
        auto expanded = ExpandMetaVariables(m_meta, request);
        if (!expanded) {
            FailRow(row, request.path, FailureReason(expanded.error()));
            return;
        }
        newName = std::move(*expanded);
    }
    ApplyMadeNameToRow(row, oldName, newName, std::move(folder));
}

void RenameStep::ApplyMadeNameToRow(std::size_t row, const std::string& oldName, std::string& newName) {
    if (oldName.empty()) return;  // the row has left the list
    ApplyMadeNameToRow(row, oldName, newName, {});
}

void RenameStep::ApplyMadeNameToRow(std::size_t row, const std::string& oldName, std::string& newName,
                                    std::string folder) {
    SanitizeFileName(newName);
    // A preview needs no folder; most rows are previewed, so it is not read for them.
    if (folder.empty() && m_run.IsExecute()) folder = m_rows.Folder(row);
    if (m_run.Settings().transferMode) {
        Transfer(row, folder, oldName, newName);
    } else {
        Rename(row, folder, oldName, newName);
    }
}

bool RenameStep::RenameRowFile(std::size_t row, const std::string& newName) {
    const std::string oldName = m_rows.Name(row);
    if (oldName.empty()) return false;
    return Rename(row, m_rows.Folder(row), oldName, newName);
}

bool RenameStep::TransferRowFile(std::size_t row, const std::string& newName) {
    const std::string oldName = m_rows.Name(row);
    if (oldName.empty()) return false;
    return Transfer(row, m_rows.Folder(row), oldName, newName);
}

bool RenameStep::Rename(std::size_t row, const std::string& folder, const std::string& oldName,
                        const std::string& newName) {
    if (!m_run.IsExecute()) {
        // The name as it would be, also when equal or empty; a name that no file can
        // have shows as failed, with the reason.
        if (auto problem = FileNameProblem(newName)) {
            FailRow(row, folder + oldName, std::move(*problem));
        } else {
            m_rows.SetCell(row, ListColumn::Preview, newName);
        }
        return true;
    }
    // Nothing to do: nothing is renamed, recorded or logged.
    if (newName == oldName || newName.empty()) return true;
    if (auto problem = FileNameProblem(newName)) {
        FailRow(row, folder + oldName, std::move(*problem));
        return false;
    }
    // Through the folder held open: a run renames many names of one folder.
    const int folderFd = m_folder.Get(folder);
    if (auto moved = MoveNameNoReplace(folderFd, folder, oldName, newName, m_os); !moved) {
        FailRow(row, folder + oldName, FailureReason(moved.error()));
        return false;
    }
    m_rows.SetCell(row, ListColumn::Name, newName);
    const bool isFolder = m_rows.IsFolder(row);
    // The rows under a renamed folder are renamed later in the run: they must name it as it is now.
    if (isFolder) m_rows.FollowFolderMove(folder + oldName, folder + newName);
    m_run.Record().renames.push_back({newName, oldName, folder, isFolder, PathIdentity{}});
    RecordIdentity(folderFd, folder, newName);
    return true;
}

void RenameStep::RecordIdentity(int folderFd, const std::string& folder, const std::string& newName) {
    // Which object now bears the new name, so that undo renames back only that one.
    std::vector<RenameEntry>& renames = m_run.Record().renames;
    if (m_rows.Count() < IdentityReader::kBackgroundFrom) {
        auto identity = folderFd >= 0 ? ReadPathIdentityAt(folderFd, newName.c_str(), m_os)
                                      : ReadPathIdentity(folder + newName, m_os);
        renames.back().identity = identity.value_or(PathIdentity{});
        return;
    }
    m_batch.push_back({folder, newName});
    m_batchEntries.push_back(renames.size() - 1);
    if (m_batch.size() >= IdentityReader::kBatch) SubmitIdentityBatch();
}

namespace {

// The identities read for a batch, into its rename entries (a record taken from
// the run already is left alone).
void StoreIdentities(std::vector<RenameEntry>& renames, const std::vector<std::size_t>& entries,
                     const std::vector<PathIdentity>& identities) {
    for (std::size_t i = 0; i < entries.size() && i < identities.size(); ++i) {
        if (entries[i] < renames.size()) renames[entries[i]].identity = identities[i];
    }
}

}  // namespace

void RenameStep::SubmitIdentityBatch() {
    if (!m_reader) m_reader = std::make_unique<IdentityReader>(m_os);
    const std::size_t ticket = m_reader->Submit(std::move(m_batch));
    m_inFlight.emplace_back(ticket, std::move(m_batchEntries));
    m_batch.clear();
    m_batchEntries.clear();
    // What is read already goes into the record now, so nothing piles up.
    std::vector<RenameEntry>& renames = m_run.Record().renames;
    while (!m_inFlight.empty()) {
        auto identities = m_reader->TryTake(m_inFlight.front().first);
        if (!identities) break;
        const std::vector<std::size_t>& entries = m_inFlight.front().second;
        StoreIdentities(renames, entries, *identities);
        m_inFlight.pop_front();
    }
}

void RenameStep::FinishIdentities() {
    if (!m_batch.empty()) SubmitIdentityBatch();
    std::vector<RenameEntry>& renames = m_run.Record().renames;
    for (const auto& [ticket, entries] : m_inFlight) {
        StoreIdentities(renames, entries, m_reader->Take(ticket));
    }
    m_inFlight.clear();
}

RenameStep::~RenameStep() { FinishIdentities(); }

bool RenameStep::Transfer(std::size_t row, const std::string& folder, const std::string& oldName,
                          const std::string& newName) {
    const std::string& transferFolder = m_run.Settings().transferFolder;
    const std::string originalPath = folder + oldName;
    if (auto problem = FileNameProblem(newName); problem && !newName.empty()) {
        FailRow(row, originalPath, std::move(*problem));
        return false;
    }
    if (!m_run.IsExecute()) {
        m_rows.SetCell(row, ListColumn::Preview, kTransferPreviewPrefix + transferFolder + newName);
        return true;
    }
    if (newName.empty()) return true;
    if (transferFolder.empty()) {
        FailRow(row, originalPath, kNoTransferFolder);
        return false;
    }
    const std::string newPath = transferFolder + newName;
    // The source always stays where it is: a transfer copies.
    if (auto copied = TransferPathRecorded(m_run, originalPath, newPath, true, m_os); !copied) {
        FailRow(row, originalPath, std::move(copied.error()));
        return false;
    }
    m_rows.SetCell(row, ListColumn::Folder, transferFolder);
    m_rows.SetCell(row, ListColumn::Name, newName);
    return true;
}

void RenameStep::FailRow(std::size_t row, const std::string& path, std::string reason) {
    m_rows.SetCell(row, ListColumn::Preview, FailedStatus(reason));
    if (m_run.IsExecute()) m_run.LogFailure(path, std::move(reason));
}

}  // namespace varnel

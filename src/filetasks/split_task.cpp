#include "filetasks/split_task.h"

#include <cerrno>
#include <set>

#include <fcntl.h>
#include <sys/stat.h>

#include "filetasks/content_text.h"
#include "fileops/copy_move.h"
#include "naming/meta_expansion.h"
#include "naming/name_parts.h"
#include "platform/file_io.h"
#include "platform/owned_fd.h"
#include "platform/retry_on_eintr.h"
#include "runs/run_meta.h"
#include "runs/undo_record.h"
#include "utilities/path_routines.h"

namespace varnel {

namespace {

// The text pieces, each in the source's encoding.
std::expected<std::vector<SplitPiece>, Error> TextPieces(const std::vector<std::string>& texts, TextEncoding encoding) {
    std::vector<SplitPiece> pieces;
    for (const std::string& text : texts) {
        auto bytes = EncodeFileText(text, encoding);
        if (!bytes) return std::unexpected(bytes.error());
        SplitPiece piece;
        piece.length = static_cast<std::int64_t>(bytes->size());
        piece.bytes = std::move(*bytes);
        piece.ownBytes = true;
        pieces.push_back(std::move(piece));
    }
    return pieces;
}

std::size_t Utf8Length(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return std::min(length, text.size() - at);
}

std::vector<std::string> SplitText(const SplitParams& params, std::string_view text) {
    std::vector<std::string> texts;
    const auto count = static_cast<std::size_t>(params.position);
    switch (params.splitType) {
        case SplitType::Characters:
            for (std::size_t at = 0; at < text.size();) {
                std::size_t end = at;
                for (std::size_t i = 0; i < count && end < text.size(); ++i) end += Utf8Length(text, end);
                texts.emplace_back(text.substr(at, end - at));
                at = end;
            }
            break;
        case SplitType::Lines:
            for (std::size_t at = 0; at < text.size();) {
                std::size_t end = at;
                for (std::size_t i = 0; i < count && end < text.size(); ++i) {
                    end = OffsetOfLine(text.substr(end), 2, true) + end;
                }
                texts.emplace_back(text.substr(at, end - at));
                at = end;
            }
            break;
        case SplitType::Marker:
            for (std::size_t at = 0;;) {
                const std::size_t found = text.find(params.marker, at);
                texts.emplace_back(text.substr(at, found == std::string_view::npos ? std::string_view::npos : found - at));
                if (found == std::string_view::npos) break;
                at = found + params.marker.size();
            }
            break;
        default: break;
    }
    return texts;
}

}  // namespace

std::string SplitProblem(const SplitParams& params) {
    if (params.splitType == SplitType::Marker) {
        if (params.marker.empty()) return "请输入用来分割文件的字符标记！";
    } else if (params.position < 1) {
        return "分割位置值必须是不小于 1 的整数！";
    }
    if (params.useCustomPath && params.customPath.find('*') == std::string::npos) {
        return "自定义的保存路径须含有数字递进标志符 *，否则各子文件将同名！";
    }
    return {};
}

std::expected<std::vector<SplitPiece>, Error> PlanSplit(const SplitParams& params, std::int64_t length,
                                                        std::string_view content) {
    std::vector<SplitPiece> pieces;
    if (!SplitProblem(params).empty()) return std::unexpected(Error{EINVAL, SplitProblem(params), {}});
    if (params.splitType == SplitType::PieceCount || params.splitType == SplitType::ByteSize) {
        if (length == 0) return pieces;
        // No piece is ever empty: more pieces than bytes give one byte each.
        const std::int64_t count = params.splitType == SplitType::PieceCount ? std::min(params.position, length)
                                                                             : (length + params.position - 1) / params.position;
        const std::int64_t size = params.splitType == SplitType::PieceCount ? length / count : params.position;
        for (std::int64_t i = 0; i < count; ++i) {
            SplitPiece piece;
            piece.offset = i * size;
            piece.length = (i + 1 == count) ? length - piece.offset : size;
            pieces.push_back(piece);
        }
        return pieces;
    }
    auto decoded = DecodeFileText(content);
    if (!decoded) return std::unexpected(decoded.error());
    if (decoded->text.empty()) return pieces;
    return TextPieces(SplitText(params, decoded->text), decoded->encoding);
}

namespace {

class SplitRow {
public:
    SplitRow(const SplitParams& params, const MetaEnvironment& meta, PosixApi& os)
        : m_params(params), m_meta(meta), m_os(os) {}

    // The piece paths of the row, all distinct, none existing, none the source.
    std::expected<std::vector<std::string>, Error> PiecePaths(const std::string& source, std::int64_t row,
                                                             std::size_t count) {
        std::vector<std::string> paths;
        std::set<std::string> seen;
        const std::string folder = GetParentOfPath(source) + "/";
        const std::string main = GetMainNameOfPath(source);
        const std::string extension = GetExtensionOfPath(source);
        for (std::size_t i = 1; i <= count; ++i) {
            const std::string number = std::to_string(i);
            std::expected<std::string, Error> path;
            if (m_params.useCustomPath) {
                // A custom template expands its meta-variables only while they are on.
                MetaExpansionRequest request;
                const std::string numbered = ReplaceMarks(m_params.customPath, '*', number);
                request.path = source;
                request.text = numbered;
                request.row = row;
                path = ExpandMetaVariables(m_meta, request);
            } else {
                // The default: a folder named after the file, beside it.
                path = folder + main + "/" + main + "_" + number + (extension.empty() ? "" : "." + extension);
            }
            if (!path) return std::unexpected(path.error());
            if (path->empty() || path->front() != '/' || path->back() == '/') {
                return std::unexpected(Error{EINVAL, "子文件路径无效", *path});
            }
            if (*path == source || !seen.insert(*path).second) {
                return std::unexpected(Error{EEXIST, "子文件路径重复", *path});
            }
            if (PathExists(*path, m_os)) return std::unexpected(Error{EEXIST, "子文件已存在", *path});
            paths.push_back(std::move(*path));
        }
        return paths;
    }

    // Writes one piece whole beside its path, then puts it there unless the path
    // was taken meanwhile. A piece is a new file beside a source that stays: it is
    // synced only when the source is to be removed (`sync`).
    std::expected<void, Error> WritePiece(const std::string& path, int sourceFd, const SplitPiece& piece, bool sync) {
        OwnedFd out;
        const auto made = MakeAtTemporaryPath(path, [&](const std::string& candidate) {
            out = OwnedFd(m_os.Open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666), m_os);
            return out.IsOpen() ? 0 : -1;
        });
        if (!made) return std::unexpected(MakeSystemError(made.error(), path, "无法创建文件"));
        const int fd = out.Get();
        std::expected<void, Error> written;
        if (piece.ownBytes) {
            written = WriteToDescriptor(fd, piece.bytes, path, m_os);
        } else {
            std::string buffer;
            for (std::int64_t done = 0; written && done < piece.length;) {
                buffer.resize(static_cast<std::size_t>(std::min<std::int64_t>(piece.length - done, 1 << 20)));
                const ssize_t got =
                    RetryOnEintr([&] { return m_os.Pread(sourceFd, buffer.data(), buffer.size(), piece.offset + done); });
                if (got <= 0) {
                    written = std::unexpected(MakeSystemError(got < 0 ? errno : EIO, path, "读取源文件失败"));
                    break;
                }
                written = WriteToDescriptor(fd, std::string_view(buffer.data(), static_cast<std::size_t>(got)), path, m_os);
                done += got;
            }
        }
        if (written && sync && m_os.Fsync(fd) != 0) written = std::unexpected(MakeSystemError(errno, path, "写入失败"));
        if (auto closed = out.Close(path); !closed && written) written = std::unexpected(closed.error());
        if (written) written = MovePathNoReplace(*made, path, m_os);
        if (!written) m_os.Unlink(made->c_str());
        return written;
    }

    // Takes back what a failed row made, last first: its pieces, then the folders
    // it made for them once they are empty. Only what still is the object this row
    // left there goes; anything else is left alone. Whatever stays remains in the
    // entry for undo.
    void TakeBack(SplitEntry& entry) {
        RemoveMatching(entry.pieceFiles);
        RemoveMatching(entry.createdFolders);
    }

private:
    void RemoveMatching(std::vector<CreatedPath>& paths) {
        for (std::size_t i = paths.size(); i-- > 0;) {
            const CreatedPath& made = paths[i];
            const auto now = ReadPathIdentity(made.path, m_os);
            if (!now) {
                if (now.error().code == ENOENT) paths.erase(paths.begin() + static_cast<std::ptrdiff_t>(i));
                continue;
            }
            if (!MatchesIdentity(made.identity, *now)) continue;
            if ((now->isFolder ? m_os.Rmdir(made.path.c_str()) : m_os.Unlink(made.path.c_str())) == 0) {
                paths.erase(paths.begin() + static_cast<std::ptrdiff_t>(i));
            }
        }
    }

    const SplitParams& m_params;
    const MetaEnvironment& m_meta;
    PosixApi& m_os;
};

}  // namespace

void RunFileSplitTask(RunContext& run, RunRows& rows, const SplitParams& params, std::vector<std::string>* pieces,
                      PosixApi& os) {
    if (!run.IsExecute() || !SplitProblem(params).empty()) return;
    const RunMetaEnvironment runMeta(run, os);
    const MetaEnvironment& meta = runMeta.Get();
    SplitRow split(params, meta, os);

    ForEachRunRow(run, rows, [&](std::size_t index) {
        const std::string name = rows.Name(index);
        if (name.empty()) return;
        const std::string source = rows.FullPath(index);
        const auto fail = [&](const Error& error) {
            rows.SetCell(index, ListColumn::Preview, kSplitFailed);
            run.LogFailure(source, FailureReason(error));
        };
        // Opened as every reader of a user's file is: a FIFO never holds the run.
        struct stat info {};
        auto sourceFd = OpenUserFileForReading(source, os, &info);
        if (!sourceFd) return fail(sourceFd.error());
        const int fd = sourceFd->Get();
        std::string content;
        if (params.splitType != SplitType::PieceCount && params.splitType != SplitType::ByteSize) {
            auto read = ReadOpenFileInChunksWhile(
                fd, source,
                [&content](std::string_view chunk) {
                    content.append(chunk);
                    return true;
                },
                os);
            if (!read) return fail(read.error());
        }
        auto plan = PlanSplit(params, info.st_size, content);
        if (!plan) return fail(plan.error());
        if (plan->empty()) return fail(Error{EINVAL, "文件为空", source});
        auto paths = split.PiecePaths(source, static_cast<std::int64_t>(index) + 1, plan->size());
        if (!paths) return fail(paths.error());

        SplitEntry entry;
        entry.sourcePath = source;
        bool complete = true;
        bool stopped = false;
        std::optional<Error> failure;
        for (std::size_t i = 0; i < plan->size(); ++i) {
            std::vector<std::string> folders;
            if (!EnsureFolderChain((*paths)[i], folders, os)) {
                failure = Error{EIO, "无法创建文件夹", (*paths)[i]};
            } else if (auto written = split.WritePiece((*paths)[i], fd, (*plan)[i], params.deleteSource); !written) {
                failure = written.error();
            }
            AppendCreatedPaths(entry.createdFolders, folders, os);
            if (failure) {
                complete = false;
                break;  // a piece missing: the rest would not make the file again
            }
            AppendCreatedPaths(entry.pieceFiles, {(*paths)[i]}, os);
            rows.SetCell(index, ListColumn::Preview, "已分割..." + std::to_string(i + 1));
            if (i + 1 < plan->size() && !run.PollTaskContinue()) {
                stopped = true;
                complete = false;
                break;
            }
        }
        *sourceFd = OwnedFd();

        if (complete && params.deleteSource) {
            // The row's own object goes: for a link row the link, never its target.
            struct stat self {};
            const bool isLink = os.Lstat(source.c_str(), &self) == 0 && S_ISLNK(self.st_mode);
            std::optional<std::string> linkTarget;
            if (isLink) {
                char target[4096];
                const ssize_t length = os.Readlink(source.c_str(), target, sizeof target);
                if (length > 0) linkTarget.emplace(target, static_cast<std::size_t>(length));
            }
            const auto identity = ReadPathIdentity(source, os);
            // The source goes only once it is safe in the spool (a second name of it
            // there where the file system allows, else a copy of its bytes); a link
            // whose target text is known can always be made again.
            auto kept = run.Spool() ? run.Spool()->StoreLinkOf(source, true) : std::unexpected(Error{EINVAL, "无法保存撤销数据", source});
            if ((isLink && !linkTarget) || (!kept && !linkTarget)) {
                failure = kept ? Error{EINVAL, "无法读取链接", source} : kept.error();
            } else if (os.Unlink(source.c_str()) != 0) {
                failure = MakeSystemError(errno, source, "无法删除源文件");
            } else {
                if (kept) entry.sourceBytes = std::move(*kept);
                entry.sourceIdentity = identity.value_or(PathIdentity{});
                entry.sourceLinkTarget = std::move(linkTarget);
                // As it was before this row read it: reading may move the access time.
                const struct stat& was = isLink ? self : info;
                entry.sourceState = {was.st_mode & 07777, was.st_uid, was.st_gid, was.st_atim, was.st_mtim};
            }
        }
        // A row that fails leaves nothing of itself behind: its pieces without the
        // source beside them (a full disk, say) are no result, only clutter.
        if (failure) split.TakeBack(entry);
        const bool wroteAny = !entry.pieceFiles.empty();
        if (pieces != nullptr && !failure) {
            for (const CreatedPath& piece : entry.pieceFiles) pieces->push_back(piece.path);
        }
        if (wroteAny || !entry.createdFolders.empty()) run.Record().splits.push_back(std::move(entry));
        if (failure) return fail(*failure);
        if (stopped) {
            rows.SetCell(index, ListColumn::Preview, kSplitFailed);
            return;
        }
        rows.SetCell(index, ListColumn::Preview, kSplitDone);
    });
}

}  // namespace varnel

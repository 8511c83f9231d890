#include "tools/help_documents.h"

#include "platform/file_io.h"
#include "platform/xdg_paths.h"

namespace varnel {

std::string HelpDocumentFolder() { return CacheHome() + "/Varnel/帮助"; }

std::expected<std::string, Error> WriteHelpDocument(const std::string& folder, std::string_view fileName,
                                                    std::string_view bytes, PosixApi& os) {
    if (auto made = EnsureDirectory(folder, 0700, os); !made) return std::unexpected(made.error());
    std::string path = folder + "/" + std::string(fileName);
    if (auto written = WriteFileAtomically(path, bytes, os); !written) return std::unexpected(written.error());
    return path;
}

}  // namespace varnel

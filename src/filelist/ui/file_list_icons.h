// The icons of the file list's rows: the two built-in pictures (folder, file) or
// the desktop theme's icon for each file type. Icons are looked up only for rows
// that are shown, cached per extension with a bounded cache; one folder icon serves
// every folder. UI thread only.
#pragma once

#include <QIcon>
#include <QString>

#include <string_view>
#include <unordered_map>

namespace varnel {

class FileListIcons {
public:
    enum class Source { BuiltIn, System };

    void SetSource(Source source);
    Source GetSource() const { return m_source; }
    // 32 for large icons, 16 for small ones.
    static int IconSize(bool large) { return large ? 32 : 16; }

    QIcon IconFor(std::string_view name, bool isFolder);

    QIcon BuiltInFolderIcon();
    QIcon BuiltInFileIcon();

private:
    QIcon m_builtInFolder;
    QIcon m_builtInFile;
    Source m_source = Source::BuiltIn;
    QIcon m_folderIcon;
    std::unordered_map<std::string, QIcon> m_byExtension;
};

}  // namespace varnel

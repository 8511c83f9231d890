// The name makers of the name list task (each row in list order gets the next line
// of a typed list) and the font name task (a font file is named after the face name
// stored in it). Pure apart from the font file read; safe on any thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "naming/name_parts.h"
#include "platform/posix_api.h"

namespace varnel {

// The name list task's parameters (批量列表).
struct NameListParams {
    NamePart scope = NamePart::WholeName;
    std::string names;            // the list, one name a line
    bool useTemplate = false;     // 扩展组合
    std::string pattern = "?";    // 组合式
};

// The font name task's parameters (批量字体).
struct FontNameParams {
    NamePart scope = NamePart::WholeName;
    bool useTemplate = false;
    std::string pattern = "?";
};

// The lines of a typed list, split at LF or CR LF. A break at the very end starts no
// further line: a list typed with a final Enter has no empty last entry.
std::vector<std::string> SplitNameList(std::string_view names);

// The new name of a file name from its list entry. An empty entry leaves the name
// unchanged, so does an entry the template and part leave as it was.
std::string MakeListName(std::string_view name, std::string_view entry, const NameListParams& params);

// The new name of the file at path (a full path) from the font's face name. A file
// that is not a font, or cannot be read, keeps its name.
std::string MakeFontName(std::string_view path, const FontNameParams& params, PosixApi& os = SystemPosix());

}  // namespace varnel

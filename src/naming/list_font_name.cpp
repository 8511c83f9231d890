#include "naming/list_font_name.h"

#include "platform/font_face_name.h"

namespace varnel {

std::vector<std::string> SplitNameList(std::string_view names) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < names.size()) {
        std::size_t end = names.find('\n', at);
        if (end == std::string_view::npos) end = names.size();
        std::string_view line = names.substr(at, end - at);
        if (line.ends_with('\r')) line.remove_suffix(1);
        lines.emplace_back(line);
        at = end + 1;
    }
    return lines;
}

std::string MakeListName(std::string_view name, std::string_view entry, const NameListParams& params) {
    return PutTextInNamePart(name, params.scope, entry, params.useTemplate, params.pattern);
}

std::string MakeFontName(std::string_view path, const FontNameParams& params, PosixApi& os) {
    const std::string face = GetFontFaceName(std::string(path), os);
    return PutTextInNamePart(path, params.scope, face, params.useTemplate, params.pattern);
}

}  // namespace varnel

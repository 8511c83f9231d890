#include "naming/list_font_name.h"

#include "platform/font_face_name.h"

namespace varnel {

namespace {

// The chosen part of input replaced by text (through the template, when on); an
// empty text keeps the name as it was.
std::string PutTextInPart(std::string_view input, NamePart scope, std::string_view text, bool useTemplate,
                          std::string_view pattern) {
    const TakenNamePart taken = TakeNamePart(input, scope);
    if (text.empty()) return taken.name;
    const std::string part = useTemplate ? ApplyResultTemplate(pattern, text) : std::string(text);
    return ReassembleName(taken, part, scope);
}

}  // namespace

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
    return PutTextInPart(name, params.scope, entry, params.useTemplate, params.pattern);
}

std::string MakeFontName(std::string_view path, const FontNameParams& params, PosixApi& os) {
    const std::string face = GetFontFaceName(std::string(path), os);
    return PutTextInPart(path, params.scope, face, params.useTemplate, params.pattern);
}

}  // namespace varnel

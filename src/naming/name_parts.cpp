#include "naming/name_parts.h"

#include <algorithm>
#include <cmath>

#include "utilities/number_text.h"
#include "utilities/path_routines.h"

namespace varnel {

TakenNamePart TakeNamePart(std::string_view input, NamePart part) {
    TakenNamePart taken;
    taken.name = GetFileNameOfPath(input);
    if (auto split = SplitMainAndExtension(input)) {
        taken.main = std::move(split->main);
        taken.extension = std::move(split->extension);
    }
    switch (part) {
        case NamePart::WholePath: taken.part = std::string(input); break;
        case NamePart::WholeName: taken.part = taken.name; break;
        case NamePart::MainName: taken.part = taken.main; break;
        case NamePart::Extension: taken.part = taken.extension; break;
    }
    return taken;
}

std::string ReassembleName(const TakenNamePart& taken, std::string_view newPart, NamePart part) {
    // An unchanged part leaves the name exactly as it was ("x." is not rebuilt as "x").
    if (newPart == taken.part) return part == NamePart::WholePath ? taken.part : taken.name;
    std::string main;
    std::string_view extension;
    switch (part) {
        case NamePart::WholePath:
        case NamePart::WholeName: return std::string(newPart);
        case NamePart::MainName:
            main = newPart;
            extension = taken.extension;
            break;
        case NamePart::Extension:
            main = taken.main;
            extension = newPart;
            break;
    }
    if (main.empty() && !taken.main.empty()) return taken.name;
    if (!extension.empty()) {
        main += '.';
        main += extension;
    }
    return main;
}

std::string ReplaceMarks(std::string_view text, char mark, std::string_view with) {
    std::string out;
    out.reserve(text.size() + with.size());
    for (const char c : text) {
        if (c == mark) {
            out += with;
        } else {
            out += c;
        }
    }
    return out;
}

std::string ApplyResultTemplate(std::string_view pattern, std::string_view result) {
    if (pattern.empty()) return std::string(result);
    return ReplaceMarks(pattern, '?', result);
}

std::string PutTextInNamePart(std::string_view input, NamePart part, std::string_view text, bool useTemplate,
                              std::string_view pattern) {
    const TakenNamePart taken = TakeNamePart(input, part);
    if (text.empty()) return taken.name;
    const std::string newPart = useTemplate ? ApplyResultTemplate(pattern, text) : std::string(text);
    return ReassembleName(taken, newPart, part);
}

std::int64_t BoxInteger(std::string_view text, std::int64_t low, std::int64_t high) {
    const double value = std::trunc(TextToNumber(text));
    if (std::isnan(value)) return std::clamp<std::int64_t>(0, low, high);
    if (value <= static_cast<double>(low)) return low;
    if (value >= static_cast<double>(high)) return high;
    return static_cast<std::int64_t>(value);
}

}  // namespace varnel

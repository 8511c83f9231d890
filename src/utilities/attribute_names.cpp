#include "utilities/attribute_names.h"

namespace varnel {

std::string FormatAttributeNames(std::uint32_t attributes, std::string_view separator) {
    static constexpr struct {
        std::uint32_t bit;
        std::string_view word;
    } kWords[] = {
        {kAttributeReadOnly, "只读"}, {kAttributeHidden, "隐藏"},   {kAttributeSystem, "系统"},
        {kAttributeDirectory, "目录"}, {kAttributeArchive, "存档"},
    };
    if (separator.empty()) separator = ",";
    std::string names;
    for (const auto& entry : kWords) {
        if ((attributes & entry.bit) == 0) continue;
        if (!names.empty()) names += separator;
        names += entry.word;
    }
    return names;
}

}  // namespace varnel

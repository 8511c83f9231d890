#include "utilities/program_version.h"

namespace varnel {

std::string CaptionVersion(std::string_view version) {
    std::string caption = "v";
    const std::size_t firstDot = version.find('.');
    caption.append(version.substr(0, firstDot));
    if (firstDot == std::string_view::npos) return caption;
    caption.push_back('.');
    for (char c : version.substr(firstDot + 1)) {
        if (c != '.') caption.push_back(c);
    }
    return caption;
}

}  // namespace varnel

#include "tools/regex_tester_text.h"

namespace varnel {

std::string StoreTesterText(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::string LoadTesterText(std::string_view stored) {
    std::string out;
    out.reserve(stored.size());
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const char c = stored[i];
        if (c == '\\' && i + 1 < stored.size() && (stored[i + 1] == '\\' || stored[i + 1] == 'n')) {
            out += stored[i + 1] == 'n' ? '\n' : '\\';
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace varnel

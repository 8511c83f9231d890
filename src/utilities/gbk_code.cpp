#include "utilities/gbk_code.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "utilities/codec.h"
#include "utilities/utf8_text.h"

namespace varnel {

namespace {

// Both directions over the basic plane, where every GBK character lies.
struct GbkTables {
    std::array<GbkCode, 0x10000> codeOf{};     // 0: no code (U+0000 is handled apart)
    std::array<char16_t, 0x10000> charOf{};    // 0: no character
};

std::unique_ptr<GbkTables> BuildTables() {
    auto tables = std::make_unique<GbkTables>();
    for (GbkCode b = 1; b < 0x80; ++b) {
        tables->codeOf[b] = b;
        tables->charOf[b] = b;
    }
    // Every candidate code on a line of its own, decoded in one call: a code that
    // names no character comes back as U+FFFD or as more than one character and is
    // left out. No byte of a candidate is a line feed, so the lines stay apart.
    std::string bytes;
    std::vector<GbkCode> codes;
    const auto add = [&](GbkCode code) {
        if (code > 0xFF) bytes += static_cast<char>(code >> 8);
        bytes += static_cast<char>(code & 0xFF);
        bytes += '\n';
        codes.push_back(code);
    };
    for (GbkCode b = 0x80; b <= 0xFF; ++b) add(b);
    for (unsigned first = 0x81; first <= 0xFE; ++first) {
        for (unsigned second = 0x40; second <= 0xFE; ++second) {
            if (second != 0x7F) add(static_cast<GbkCode>(first << 8 | second));
        }
    }
    auto decoded = DecodeFromCodec(bytes, kCodecGbk, CodecMode::Lenient);
    if (!decoded) return tables;
    std::string_view text = *decoded;
    for (const GbkCode code : codes) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos) break;
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        if (line.empty()) continue;
        const Utf8Step step = DecodeUtf8At(line, 0);
        if (!step.valid || step.length != line.size() || step.codePoint == 0xFFFD || step.codePoint > 0xFFFF) {
            continue;
        }
        // The first code of a character wins: the table's own round trip.
        if (tables->codeOf[step.codePoint] == 0) tables->codeOf[step.codePoint] = code;
        tables->charOf[code] = static_cast<char16_t>(step.codePoint);
    }
    return tables;
}

const GbkTables& Tables() {
    static const std::unique_ptr<GbkTables> tables = BuildTables();
    return *tables;
}

}  // namespace

std::optional<GbkCode> GbkCodeOf(char32_t codePoint) {
    if (codePoint == 0) return GbkCode{0};
    if (codePoint < 0x80) return static_cast<GbkCode>(codePoint);
    if (codePoint > 0xFFFF) return std::nullopt;
    const GbkCode code = Tables().codeOf[codePoint];
    if (code == 0) return std::nullopt;
    return code;
}

std::optional<char32_t> CharOfGbkCode(GbkCode code) {
    if (code == 0) return char32_t{0};
    if (code < 0x80) return char32_t{code};
    const char16_t c = Tables().charOf[code];
    if (c == 0) return std::nullopt;
    return char32_t{c};
}

}  // namespace varnel

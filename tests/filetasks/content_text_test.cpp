#include "filetasks/content_text.h"

#include <optional>
#include <string>

#include <gtest/gtest.h>

namespace varnel {
namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (const int v : values) out += static_cast<char>(v);
    return out;
}

// NUL bytes in alternate places say UTF-16 without a BOM, and which byte order;
// anything else with NULs is no text.
TEST(ContentText, Utf16WithoutBomIsFoundByItsNulBytes) {
    using E = TextEncoding;
    const struct {
        const char* what;
        std::string bytes;
        std::optional<E> encoding;  // nothing: refused
        const char* text;
    } cases[] = {
        {"little-endian ASCII", Bytes({'a', 0, '\r', 0, '\n', 0}), E::Utf16LeNoBom, "a\r\n"},
        {"big-endian ASCII", Bytes({0, 'a', 0, 'b'}), E::Utf16BeNoBom, "ab"},
        // 一 is U+4E00: a NUL of its own on the other side, outnumbered by the letters'.
        {"little-endian with 一", Bytes({0x00, 0x4E, 'x', 0, 'y', 0}), E::Utf16LeNoBom, "一xy"},
        {"a surrogate pair", Bytes({0x3D, 0xD8, 0x00, 0xDE, 'a', 0, 'b', 0}), E::Utf16LeNoBom, "😀ab"},
        {"odd length", Bytes({'a', 0, 'b'}), std::nullopt, ""},
        {"a NUL character", Bytes({'a', 0, 0, 0}), std::nullopt, ""},
        {"NULs on both sides alike", Bytes({1, 0, 0, 2}), std::nullopt, ""},
        {"a lone surrogate", Bytes({'a', 0, 0x00, 0xDC}), std::nullopt, ""},
        {"UTF-8 with a NUL", std::string("甲\0乙", 7), std::nullopt, ""},
        {"with a BOM it is what the BOM says", Bytes({0xFF, 0xFE, 'a', 0}), E::Utf16Le, "a"},
        {"no NUL: UTF-8", "ab", E::Utf8, "ab"},
    };
    for (const auto& c : cases) {
        const auto decoded = DecodeFileText(c.bytes);
        ASSERT_EQ(decoded.has_value(), c.encoding.has_value()) << c.what;
        if (!decoded) continue;
        EXPECT_EQ(decoded->encoding, *c.encoding) << c.what;
        EXPECT_EQ(decoded->text, c.text) << c.what;
        // Written back in its own encoding, it is the same bytes: no BOM is added.
        EXPECT_EQ(EncodeFileText(decoded->text, decoded->encoding), c.bytes) << c.what;
    }
}

// An edit of such a file writes UTF-16 of the same order, never UTF-8 bytes into it.
TEST(ContentText, AnEditOfUtf16WithoutBomStaysUtf16) {
    for (const TextEncoding encoding : {TextEncoding::Utf16LeNoBom, TextEncoding::Utf16BeNoBom}) {
        const std::string before = *EncodeFileText("line 1\r\n行 2\r\n", encoding);
        StringSink sink;
        const auto edited = EditFileText(before, sink, [](std::string_view text, TextEncoding, TextWriter& out) {
            (void)out.Append(text.substr(0, 8));
            (void)out.Append("新");
            (void)out.Append(text.substr(8));
            return std::expected<bool, Error>(true);
        });
        ASSERT_TRUE(edited.value_or(false)) << int(encoding);
        EXPECT_EQ(sink.Bytes(), *EncodeFileText("line 1\r\n新行 2\r\n", encoding)) << int(encoding);
        EXPECT_EQ(sink.Bytes().size() % 2, 0u);
    }
}

}  // namespace
}  // namespace varnel

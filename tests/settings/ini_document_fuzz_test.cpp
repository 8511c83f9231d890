#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "settings/ini_document.h"
#include "support/mutation_fuzz.h"
#include "utilities/char_forms.h"

namespace varnel {
namespace {

using testing::MutationFuzzer;

TEST(IniDocumentFuzz, RewritesKeepEveryValueAndTouchOnlyTheKeySet) {
    MutationFuzzer fuzzer({
        .seeds = {"; comment\r\n[过滤参数]\r\n过滤文本 = *.txt|*.doc \r\n公式=a=b\r\n空=\r\n",
                  "[a]\nk=\" quoted \"\nk=second\n\n[B]\nx=y\r\r\nlast=z\r",
                  "[节]\n多行=一;;;二\n[ 带 空格 ]\n 键 = 值 \n"},
        .dictionary = {"[", "]", "=", "\r", "\n", "\r\n", "\"", ";", " ", "\t", "节", "key", "[a]\n", "k=v\n"},
    });
    fuzzer.Run([&](std::string_view input) {
        const IniDocument document = IniDocument::Parse(input);
        const std::string once = document.Serialize();
        const IniDocument again = IniDocument::Parse(once);
        EXPECT_EQ(again.Serialize(), once);
        const auto keys = document.KeyList();
        EXPECT_EQ(again.KeyList(), keys);
        for (const auto& [section, key] : keys) EXPECT_EQ(again.Get(section, key), document.Get(section, key));

        // Set one key (an existing one when there is one) to a value taken from the
        // input; after a write and a read only that key has changed.
        std::string section = "新节";
        std::string key = "新键";
        if (!keys.empty()) std::tie(section, key) = keys[input.size() % keys.size()];
        if (!IniDocument::IsValidSectionName(section) || !IniDocument::IsValidKeyName(key)) return;
        std::string value(input.substr(input.size() / 2, 40));
        std::erase_if(value, [](char c) { return c == '\r' || c == '\n'; });
        IniDocument edited = again;
        edited.Set(section, key, value);
        const IniDocument reread = IniDocument::Parse(edited.Serialize());
        EXPECT_EQ(reread.Get(section, key), value);
        for (const auto& [otherSection, otherKey] : keys) {
            if (EqualsIgnoringAsciiCase(otherSection, section) && EqualsIgnoringAsciiCase(otherKey, key)) continue;
            EXPECT_EQ(reread.Get(otherSection, otherKey), again.Get(otherSection, otherKey));
        }
    });
}

}  // namespace
}  // namespace varnel

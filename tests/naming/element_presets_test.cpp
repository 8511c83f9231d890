#include "naming/element_presets.h"

#include <gtest/gtest.h>

namespace varnel {
namespace {

TEST(ElementPresets, EntriesAreCutOrPaddedToFourFields) {
    struct Case {
        const char* entry;
        ElementPreset preset;
    };
    const Case cases[] = {
        {"网页标题<title>[分隔]<title>[分隔]</title>[分隔]假", {"网页标题<title>", "<title>", "</title>", false}},
        {"A[分隔]x[分隔]y[分隔]真", {"A", "x", "y", true}},
        {"A[分隔]x[分隔]y[分隔]真[分隔]extra", {"A", "x", "y", true}},
        {"A[分隔]x", {"A", "x", "", false}},
        {"A[分隔]x[分隔]y[分隔]true", {"A", "x", "y", false}},  // only "真" is true
        {"", {"", "", "", false}},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseElementPreset(c.entry), c.preset) << c.entry;
}

TEST(ElementPresets, StoredTextRoundTrip) {
    const std::vector<ElementPreset> defaults = ParseElementPresets(kDefaultElementPresets);
    ASSERT_EQ(defaults.size(), 1u);
    EXPECT_EQ(defaults[0], (ElementPreset{"网页标题<title>", "<title>", "</title>", false}));
    EXPECT_EQ(FormatElementPresets(defaults), kDefaultElementPresets);

    const std::vector<ElementPreset> two{{"标题", "<h1>", "</h1>", true}, {"作者", "作者：", "\n", false}};
    const std::string stored = FormatElementPresets(two);
    EXPECT_EQ(stored, "标题[分隔]<h1>[分隔]</h1>[分隔]真[换行]作者[分隔]作者：[分隔]\n[分隔]假");
    EXPECT_EQ(ParseElementPresets(stored), two);
    // Emptied presets stay empty after a save and a load.
    EXPECT_EQ(FormatElementPresets({}), "");
    EXPECT_TRUE(ParseElementPresets("").empty());
}

}  // namespace
}  // namespace varnel

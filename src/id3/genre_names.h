// The genre table of MP3 tags: number n names genre n as "n.Name"; entry 0 is "0.NO"
// (no genre). Filled once on first use and never changed, so any thread may read it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnel {

inline constexpr const char* kNoGenreName = "0.NO";
inline constexpr int kLastGenreNumber = 147;

// Fills `genres` with the 147 built-in names, "1.ClassicRock" to "147.Synthpop".
void LoadGenreNames(std::vector<std::string>& genres);
// The whole table of 148 entries, "0.NO" first: an index of the genre box is a genre number.
const std::vector<std::string>& GenreNames();

// The genre number a text starts with, when it names a genre (1 to 147).
std::optional<int> GenreNumberOf(std::string_view text);
// The genre number of a genre's name ("Rock", "classic rock": case and blanks
// do not count), when the table has it.
std::optional<int> GenreNumberOfName(std::string_view name);
// "" for "", the table's entry for a genre number, "0.NO" for any other text.
std::string GenreName(std::string_view genreText);

// Whether a tag's genre text is a genre number ("17"), not a name.
bool IsGenreNumberText(std::string_view genre);
// How a tag's genre is shown: GenreName of a number, a name the table lacks
// (a tag may hold any name) as it is.
std::string GenreDisplayText(std::string_view genre);

}  // namespace varnel

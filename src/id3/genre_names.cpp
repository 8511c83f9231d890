#include "id3/genre_names.h"

#include <algorithm>
#include <cmath>

#include "utilities/char_forms.h"

#include "utilities/number_text.h"

namespace varnel {

namespace {

// The 147 names of the genre numbers 1 to 147, joined by "|".
constexpr std::string_view kBuiltInGenres =
    "1.ClassicRock|2.Country|3.Dance|4.Disco|5.Funk|6.Grunge|7.Hip-Hop|8.Jazz|9.Metal|"
    "10.NewAge|11.Oldies|12.Other|13.Pop|14.R&B|15.Rap|16.Reggae|17.Rock|18.Techno|"
    "19.Industrial|20.Alternative|21.Ska|22.DeathMetal|23.Pranks|24.Soundtrack|"
    "25.Euro-Techno|26.Ambient|27.Trip-Hop|28.Vocal|29.Jazz+Funk|30.Fusion|31.Trance|"
    "32.Classical|33.Instrumental|34.Acid|35.House|36.Game|37.SoundClip|38.Gospel|39.Noise|"
    "40.AlternRock|41.Bass|42.Soul|43.Punk|44.Space|45.Meditative|46.InstrumentalPop|"
    "47.InstrumentalRock|48.Ethnic|49.Gothic|50.Darkwave|51.Techno-Industrial|52.Electronic|"
    "53.Pop-Folk|54.Eurodance|55.Dream|56.SouthernRock|57.Comedy|58.Cult|59.Gangsta|60.Top40|"
    "61.ChristianRap|62.Pop/Funk|63.Jungle|64.NativeAmerican|65.Cabaret|66.NewWave|"
    "67.Psychadelic|68.Rave|69.Showtunes|70.Trailer|71.Lo-Fi|72.Tribal|73.AcidPunk|"
    "74.AcidJazz|75.Polka|76.Retro|77.Musical|78.Rock&Roll|79.HardRock|80.Folk|81.Folk-Rock|"
    "82.NationalFolk|83.Swing|84.FastFusion|85.Bebob|86.Latin|87.Revival|88.Celtic|"
    "89.Bluegrass|90.Avantgarde|91.GothicRock|92.ProgessiveRock|93.PsychedelicRock|"
    "94.SymphonicRock|95.SlowRock|96.BigBand|97.Chorus|98.EasyListening|99.Acoustic|"
    "100.Humour|101.Speech|102.Chanson|103.Opera|104.ChamberMusic|105.Sonata|106.Symphony|"
    "107.BootyBass|108.Primus|109.PornGroove|110.Satire|111.SlowJam|112.Club|113.Tango|"
    "114.Samba|115.Folklore|116.Ballad|117.PowerBallad|118.RhythmicSoul|119.Freestyle|"
    "120.Duet|121.PunkRock|122.DrumSolo|123.Acapella|124.Euro-House|125.DanceHall|126.Goa|"
    "127.Drum&Bass|128.Club-House|129.Hardcore|130.Terror|131.Indie|132.BritPop|"
    "133.Negerpunk|134.PolskPunk|135.Beat|136.ChristianGangstaRap|137.HeavyMetal|"
    "138.BlackMetal|139.Crossover|140.ContemporaryChristian|141.ChristianRock|142.Merengue|"
    "143.Salsa|144.TrashMetal|145.Anime|146.JPop|147.Synthpop";

// A name as names are compared: lower case, without blanks.
std::string ComparableName(std::string_view name) {
    std::string out;
    for (const char c : name) {
        if (c != ' ') out += LowerAsciiChar(c);
    }
    return out;
}

}  // namespace

void LoadGenreNames(std::vector<std::string>& genres) {
    genres.clear();
    std::string_view rest = kBuiltInGenres;
    while (!rest.empty()) {
        const std::size_t bar = rest.find('|');
        genres.emplace_back(rest.substr(0, bar));
        rest = bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1);
    }
}

const std::vector<std::string>& GenreNames() {
    static const std::vector<std::string> table = [] {
        std::vector<std::string> genres;
        LoadGenreNames(genres);
        genres.insert(genres.begin(), kNoGenreName);
        return genres;
    }();
    return table;
}

std::optional<int> GenreNumberOf(std::string_view text) {
    const double value = TextToNumber(text);
    if (!(value >= 1 && value <= kLastGenreNumber)) return std::nullopt;
    return static_cast<int>(std::floor(value));
}

std::optional<int> GenreNumberOfName(std::string_view name) {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> comparable;
        for (const std::string& entry : GenreNames()) comparable.push_back(ComparableName(entry.substr(entry.find('.') + 1)));
        return comparable;
    }();
    // No name of the table is this long: a long text is not compared at all.
    constexpr std::size_t kLongestName = 64;
    if (name.empty() || name.size() > kLongestName) return std::nullopt;
    const std::string wanted = ComparableName(name);
    for (std::size_t number = 1; number < names.size(); ++number) {
        if (names[number] == wanted) return static_cast<int>(number);
    }
    return std::nullopt;
}

std::string GenreName(std::string_view genreText) {
    if (genreText.empty()) return {};
    const std::vector<std::string>& table = GenreNames();
    return table[static_cast<std::size_t>(GenreNumberOf(genreText).value_or(0))];
}

bool IsGenreNumberText(std::string_view genre) {
    return !genre.empty() && std::ranges::all_of(genre, [](char c) { return c >= '0' && c <= '9'; });
}

std::string GenreDisplayText(std::string_view genre) {
    return genre.empty() || IsGenreNumberText(genre) ? GenreName(genre) : std::string(genre);
}

}  // namespace varnel

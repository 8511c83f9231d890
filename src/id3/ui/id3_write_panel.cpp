#include "id3/ui/id3_write_panel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

#include "id3/genre_names.h"
#include "id3/id3v1_tag.h"
#include "id3/id3v2_tag.h"
#include "naming/ui/meta_symbol_menu.h"
#include "naming/ui/panel_controls.h"
#include "utilities/ui/tooltips.h"
#include "utilities/user_notifier.h"

namespace varnel {

namespace {

enum FieldIndex {
    kTitle, kArtist, kAlbum, kYear, kTrack, kGenre, kComment,
    kOriginalArtist, kComposer, kLyrics, kLink, kCopyright, kEncodedBy, kFieldCount
};

using TagField = std::optional<std::string> TagEditParams::*;

struct FieldDesign {
    const char* name;  // 歌名: 选择框歌名, 编辑框歌名, keys "写歌名" and "歌名"
    bool v2Only;
    TagField field;
};

constexpr FieldDesign kFieldDesigns[kFieldCount] = {
    {"歌名", false, &TagEditParams::title},          {"歌手", false, &TagEditParams::artist},
    {"专辑", false, &TagEditParams::album},          {"年代", false, &TagEditParams::year},
    {"音轨", false, &TagEditParams::track},          {"流派", false, &TagEditParams::genre},
    {"注释", false, &TagEditParams::comment},        {"原创", true, &TagEditParams::originalArtist},
    {"作曲", true, &TagEditParams::composer},        {"歌词", true, &TagEditParams::lyrics},
    {"链接", true, &TagEditParams::link},            {"版权", true, &TagEditParams::copyright},
    {"编码", true, &TagEditParams::encodedBy},
};

// A field's tick gives it a value (empty for now) or leaves it alone; the value
// control declared after the tick then fills a ticked field.
auto TickOf(TagField field) {
    return [field](TagEditParams& p, bool ticked) {
        p.*field = ticked ? std::optional<std::string>(std::string()) : std::nullopt;
    };
}

auto ValueOf(TagField field) {
    return [field](TagEditParams& p, const std::string& value) {
        if (p.*field) p.*field = value;
    };
}

constexpr int kFirstYear = 1900;
constexpr int kLastYear = 2050;

constexpr const char* kHelpText =
    "在大多数播放器上播放 MP3 时，都会看到显示出一些与此 MP3 相关的信息，这些信息就是内置于 MP3 文件的标签，英文称为 "
    "ID3 信息。 \r\n\r\nID3有两个版本：v1和v2。显然，V2是V1的升级版，但是即使如此，V1至今也还是经常被使用。V2包含了V1"
    "的全部标签项目，并在此基础上新增了更多标签项目。";

std::string Name(const char* prefix, const char* field) { return std::string(prefix) + field; }

// The genre box's index for a tag's genre text: its number, 0 ("0.NO") for none.
int GenreIndexOf(const std::string& genre) {
    const std::string number = TagGenreNumberText(genre);
    return number.empty() ? 0 : std::stoi(number);
}

}  // namespace

Id3WritePanel::Id3WritePanel(MetaSymbolMenu* metaMenu, CurrentRowPath currentPath, QWidget* parent,
                             AskTextFunction askText)
    : TypedTaskPanel(parent), m_currentPath(std::move(currentPath)), m_askText(std::move(askText)) {
    setObjectName("Id3WritePanel");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 8);
    const auto update = [this] { UpdateId3WriteFieldStates(); };
    for (int i = 0; i < kFieldCount; ++i) {
        const FieldDesign& design = kFieldDesigns[i];
        Field field;
        field.v2Only = design.v2Only;
        field.tick = new QCheckBox(Utf8(std::string(design.name) + "："), this);
        field.tick->setObjectName(Utf8(Name("选择框", design.name)));
        Bindings().Check(field.tick, Name("写", design.name), TickOf(design.field)).AlsoOnChange(update);
        if (i == kYear) {
            m_year = new QComboBox(this);
            m_year->setObjectName(Utf8(Name("组合框", design.name)));
            m_year->setEditable(true);
            for (int year = kFirstYear; year <= kLastYear; ++year) m_year->addItem(QString::number(year));
            m_year->setEditText(Utf8("2009"));
            // The year box is kept and read as its typed text.
            Bindings().Text(m_year->lineEdit(), design.name, ValueOf(design.field));
            field.value = m_year;
        } else if (i == kGenre) {
            m_genre = new QComboBox(this);
            m_genre->setObjectName(Utf8(Name("组合框", design.name)));
            for (const std::string& genre : GenreNames()) m_genre->addItem(Utf8(genre));
            m_genre->setCurrentIndex(-1);
            Bindings().ComboText(m_genre, design.name, ValueOf(design.field));
            field.value = m_genre;
        } else {
            // The copyright and the encoder are written as typed: they take no meta-variables.
            const bool plain = i == kCopyright || i == kEncodedBy;
            QLineEdit* box = MakeMetaBox(this, Name("编辑框", design.name).c_str(), plain ? nullptr : metaMenu);
            Bindings().Text(box, design.name, ValueOf(design.field));
            field.value = box;
        }
        const int row = i % 7;
        const int column = i < 7 ? 0 : 2;
        grid->addWidget(field.tick, row, column);
        if (i == kLyrics) {
            auto* line = new QHBoxLayout;
            line->addWidget(field.value, 1);
            m_editLyrics = Named(new QPushButton(Utf8("..."), this), "按钮编辑歌词");
            m_editLyrics->setMaximumWidth(28);
            line->addWidget(m_editLyrics);
            grid->addLayout(line, row, column + 1);
        } else {
            grid->addWidget(field.value, row, column + 1);
        }
        m_fields.push_back(field);
    }
    connect(m_editLyrics, &QPushButton::clicked, this, [this] {
        EditTextInDialog(m_askText, this, "编辑歌词信息：", Edit(kLyrics)->text().toStdString(),
                         [this](const std::string& text) { SetEdit(kLyrics, text); });
    });

    auto* versions = new QHBoxLayout;
    versions->addWidget(new QLabel(Utf8("写入版本："), this));
    m_v1 = Named(new QCheckBox(Utf8("Id3v1"), this), "选择框v1");
    m_v1->setChecked(true);
    m_v2 = Named(new QCheckBox(Utf8("Id3v2"), this), "选择框v2");
    versions->addWidget(m_v1);
    versions->addWidget(m_v2);
    versions->addStretch(1);
    m_readFromList = Named(new QCheckBox(Utf8("读所选文件的标签信息到组件参数"), this), "选择框读mp3");
    versions->addWidget(m_readFromList);
    auto* help = Named(new QPushButton(Utf8("？"), this), "超级按钮帮助");
    help->setFlat(true);
    help->setMaximumWidth(24);
    versions->addWidget(help);
    grid->addLayout(versions, 7, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(8, 1);
    Bindings()
        .Check(m_v1, "v1", &TagEditParams::writeV1)
        .AlsoOnChange(update)
        .Check(m_v2, "v2", &TagEditParams::writeV2)
        .AlsoOnChange(update)
        .AfterLoad([this] {
            // The store keeps the lyrics' line breaks as ";;;".
            Edit(kLyrics)->setText(Edit(kLyrics)->text().replace(Utf8(";;;"), Utf8("\r\n")));
            UpdateId3WriteFieldStates();
        });
    connect(m_readFromList, &QCheckBox::clicked, this, &Id3WritePanel::LoadId3EditorFromList);
    connect(help, &QPushButton::clicked, this, [] { ShowMessageBox(kHelpText); });

    RegisterTooltip(Edit(kTrack), " * 代表递进");
    RegisterTooltip(m_genre,
                    "流派是以数值标记的，共 147 个流派。这里显示对应的流派名称，实际写入的是数值而非名称。");
    RegisterTooltip(Edit(kLink), "URL链接。可以填入你的网站、博客等网址");
    RegisterTooltip(Edit(kLyrics), "歌词信息，在播放 MP3 时可以显示出来。");
    RegisterTooltip(m_v1, "写入 Id3 v1 版本");
    RegisterTooltip(m_v2, "写入 Id3 v2 版本");
    UpdateId3WriteFieldStates();
}

QLineEdit* Id3WritePanel::Edit(int field) const {
    return qobject_cast<QLineEdit*>(m_fields[static_cast<std::size_t>(field)].value);
}

void Id3WritePanel::SetEdit(int field, const std::string& text) { Edit(field)->setText(Utf8(text)); }

void Id3WritePanel::UpdateId3WriteFieldStates() {
    const bool any = m_v1->isChecked() || m_v2->isChecked();
    for (const Field& field : m_fields) {
        field.tick->setEnabled(field.v2Only ? m_v2->isChecked() : any);
        field.value->setEnabled(field.tick->isEnabled() && field.tick->isChecked());
    }
    m_editLyrics->setEnabled(Edit(kLyrics)->isEnabled());
}

TagEditParams Id3WritePanel::CurrentParameters() const { return Bindings().Gather(); }

std::optional<TagEditParams> Id3WritePanel::MakeParams(RunMode mode) {
    if (!m_v1->isChecked() && !m_v2->isChecked()) {
        if (mode == RunMode::Execute) ShowTrayNotice(kNoVersionChosenText);
        return std::nullopt;
    }
    return CurrentParameters();
}

void Id3WritePanel::LoadId3EditorFromList() {
    if (!m_readFromList->isChecked() || !m_currentPath) return;
    const std::optional<std::string> path = m_currentPath();
    if (!path) return;
    const bool useV1 = m_v1->isChecked();
    // The six fields both versions have, beside the year box and the genre box.
    struct Common {
        int field;
        std::string Id3v1Tag::*v1;
        std::string Id3v2Tag::*v2;
    };
    const Common common[] = {{kTitle, &Id3v1Tag::title, &Id3v2Tag::title},
                             {kArtist, &Id3v1Tag::artist, &Id3v2Tag::artist},
                             {kAlbum, &Id3v1Tag::album, &Id3v2Tag::album},
                             {kComment, &Id3v1Tag::comment, &Id3v2Tag::comment},
                             {kTrack, &Id3v1Tag::track, &Id3v2Tag::track}};
    if (useV1) {
        Id3v1Tag tag;
        ReadId3v1Tag(*path, tag);
        for (const Common& c : common) SetEdit(c.field, tag.*c.v1);
        m_year->setEditText(Utf8(tag.year));
        m_genre->setCurrentIndex(GenreIndexOf(tag.genre));
    }
    if (m_v2->isChecked()) {
        Id3v2Tag tag;
        ReadId3v2Tag(*path, tag);
        // With both versions ticked, ID3v2 fills only what ID3v1 left empty.
        const auto fill = [useV1](const QString& now, const std::string& value) {
            return now.isEmpty() || (!useV1 && !value.empty());
        };
        for (const Common& c : common) {
            if (fill(Edit(c.field)->text(), tag.*c.v2)) SetEdit(c.field, tag.*c.v2);
        }
        if (fill(m_year->currentText(), tag.year)) m_year->setEditText(Utf8(tag.year));
        if (m_genre->currentIndex() < 1 || (!useV1 && !tag.genre.empty())) {
            m_genre->setCurrentIndex(GenreIndexOf(tag.genre));
        }
        SetEdit(kOriginalArtist, tag.originalArtist);
        SetEdit(kComposer, tag.composer);
        SetEdit(kLyrics, tag.lyrics);
        SetEdit(kLink, tag.link);
        SetEdit(kCopyright, tag.copyright);
        SetEdit(kEncodedBy, tag.encodedBy);
    }
}

}  // namespace varnel

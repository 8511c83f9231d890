#include "naming/meta_settings.h"

#include <algorithm>
#include <vector>

#include "settings/settings_binder.h"
#include "naming/meta_catalogue.h"
#include "utilities/number_text.h"

namespace varnel {

namespace {

constexpr std::string_view kEscapedLineBreak = "\\n";

// The counted text keeps line breaks as "\n" characters; its stored and shown forms
// write them as the two characters backslash and n, so that the line stays one line.
// A CR LF pair of a text typed elsewhere counts as one line break.
std::string EscapeLineBreaks(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (text[i] == '\n') {
            out += kEscapedLineBreak;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string UnescapeLineBreaks(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i, kEscapedLineBreak.size()) == kEscapedLineBreak) {
            out += '\n';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::int32_t ReadCount(double value) {
    return std::min(SettingsBinder::ToInteger<std::int32_t>(value), kMetaCountLimit);
}

std::string StoreKey(const MetaVariable& entry, const MetaParameter& parameter) {
    std::string key(entry.storeName);
    if (!parameter.key.empty()) {
        key += '.';
        key += parameter.key;
    }
    return key;
}

void SaveParameter(SettingsStore& store, const std::string& key, const MetaParameter& p,
                   MetaSettings& settings) {
    switch (p.kind) {
        case MetaParameterKind::Level:
        case MetaParameterKind::Count: store.WriteNumber(key, p.number(settings)); break;
        case MetaParameterKind::Logical: store.WriteBool(key, p.logical(settings)); break;
        case MetaParameterKind::Text: store.WriteText(key, p.text(settings)); break;
        case MetaParameterKind::EscapedText:
            store.WriteText(key, EscapeLineBreaks(p.text(settings)));
            break;
    }
}

void LoadParameter(SettingsStore& store, const std::string& key, const MetaParameter& p,
                   MetaSettings& settings) {
    switch (p.kind) {
        case MetaParameterKind::Level:
            p.number(settings) =
                SettingsBinder::ToInteger<std::int32_t>(store.ReadNumber(key, p.numberDefault));
            break;
        case MetaParameterKind::Count:
            p.number(settings) = ReadCount(store.ReadNumber(key, p.numberDefault));
            break;
        case MetaParameterKind::Logical: p.logical(settings) = store.ReadBool(key, false); break;
        case MetaParameterKind::Text: p.text(settings) = store.ReadText(key, p.textDefault); break;
        case MetaParameterKind::EscapedText:
            p.text(settings) = UnescapeLineBreaks(store.ReadText(key, p.textDefault));
            break;
    }
}

std::string ShowParameter(const MetaParameter& p, MetaSettings& settings) {
    switch (p.kind) {
        case MetaParameterKind::Level:
        case MetaParameterKind::Count:
            return NumberToText(static_cast<std::int64_t>(p.number(settings)));
        case MetaParameterKind::Logical:
            return std::string(p.logical(settings) ? SettingsStore::kTrue : SettingsStore::kFalse);
        case MetaParameterKind::Text: return p.text(settings);
        case MetaParameterKind::EscapedText: return EscapeLineBreaks(p.text(settings));
    }
    return {};
}

void ReadParameter(const MetaParameter& p, std::string_view field, MetaSettings& settings) {
    switch (p.kind) {
        case MetaParameterKind::Level: {
            const auto level = SettingsBinder::ToInteger<std::int32_t>(TextToNumber(field));
            p.number(settings) = field.empty() || level < 0 ? 1 : level;
            break;
        }
        case MetaParameterKind::Count: p.number(settings) = ReadCount(TextToNumber(field)); break;
        case MetaParameterKind::Logical: p.logical(settings) = field == SettingsStore::kTrue; break;
        case MetaParameterKind::Text: p.text(settings) = std::string(field); break;
        case MetaParameterKind::EscapedText: p.text(settings) = UnescapeLineBreaks(field); break;
    }
}

bool IsTextKind(MetaParameterKind kind) {
    return kind == MetaParameterKind::Text || kind == MetaParameterKind::EscapedText;
}

// Splits a parameter text into exactly as many fields as the entry has. Without a
// text field every "," separates. With one, the fields before it end at the first
// commas and those after it begin at the last ones, so the text field keeps every
// comma between; fields that are not there read as empty.
std::vector<std::string_view> SplitFields(std::string_view text,
                                          std::span<const MetaParameter> parameters) {
    const std::size_t count = parameters.size();
    const auto textField = std::find_if(parameters.begin(), parameters.end(),
                                        [](const MetaParameter& p) { return IsTextKind(p.kind); });
    const auto pivot = static_cast<std::size_t>(textField - parameters.begin());
    std::vector<std::string_view> fields(count);
    std::string_view rest = text;
    for (std::size_t i = 0; i < std::min(pivot, count); ++i) {
        const std::size_t comma = rest.find(',');
        fields[i] = rest.substr(0, comma);
        rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
    }
    if (pivot >= count) return fields;
    std::vector<std::string_view> after;
    while (after.size() < count - pivot - 1) {
        const std::size_t comma = rest.rfind(',');
        if (comma == std::string_view::npos) break;
        after.insert(after.begin(), rest.substr(comma + 1));
        rest = rest.substr(0, comma);
    }
    fields[pivot] = rest;
    std::copy(after.begin(), after.end(), fields.begin() + static_cast<std::ptrdiff_t>(pivot) + 1);
    return fields;
}

}  // namespace

std::expected<void, Error> LoadOrSaveMetaSettings(SettingsStore& store, MetaSettings& settings,
                                                  bool save) {
    store.SelectSection(kMetaSettingsSection);
    for (const MetaVariable& entry : MetaCatalogue()) {
        std::vector<const MetaParameter*> byKey;
        for (const MetaParameter& p : entry.parameters) byKey.push_back(&p);
        std::sort(byKey.begin(), byKey.end(), [](const MetaParameter* a, const MetaParameter* b) {
            return a->storeOrder < b->storeOrder;
        });
        for (const MetaParameter* p : byKey) {
            const std::string key = StoreKey(entry, *p);
            if (save) {
                SaveParameter(store, key, *p, settings);
            } else {
                LoadParameter(store, key, *p, settings);
            }
        }
    }
    if (!save) return {};
    return store.Flush();
}

std::string MetaParameterText(int number, const MetaSettings& settings) {
    const MetaVariable* entry = MetaEntryByNumber(number);
    if (entry == nullptr) return {};
    // The table hands out writable fields; this copy is only read.
    MetaSettings copy = settings;
    std::string text;
    for (std::size_t i = 0; i < entry->parameters.size(); ++i) {
        if (i > 0) text += ',';
        text += ShowParameter(entry->parameters[i], copy);
    }
    return text;
}

void ReadMetaParameterText(int number, std::string_view text, MetaSettings& settings) {
    const MetaVariable* entry = MetaEntryByNumber(number);
    if (entry == nullptr || entry->parameters.empty()) return;
    const auto fields = SplitFields(text, entry->parameters);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        ReadParameter(entry->parameters[i], fields[i], settings);
    }
}

}  // namespace varnel

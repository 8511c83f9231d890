#include "naming/pinyin_name.h"

#include <memory>
#include <mutex>
#include <unordered_map>

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include "utilities/char_forms.h"
#include "utilities/gbk_code.h"
#include "utilities/utf8_text.h"

namespace varnel {

namespace {

// The transliterator and the readings found so far. ICU's transliterators are not
// safe for use from two threads at once, and making one takes long: one for the
// process, used under the lock.
class PinyinTable {
public:
    std::string Get(char32_t codePoint) {
        const std::lock_guard lock(m_mutex);
        const auto found = m_readings.find(codePoint);
        if (found != m_readings.end()) return found->second;
        std::string reading = Transliterate(codePoint);
        m_readings.emplace(codePoint, reading);
        return reading;
    }

private:
    std::string Transliterate(char32_t codePoint) {
        if (!m_opened) {
            m_opened = true;
            UErrorCode status = U_ZERO_ERROR;
            // Latin-ASCII drops the tone marks (and turns ü into u).
            m_transliterator.reset(
                icu::Transliterator::createInstance("Han-Latin; Latin-ASCII", UTRANS_FORWARD, status));
            if (U_FAILURE(status)) m_transliterator.reset();
        }
        if (!m_transliterator) return {};
        icu::UnicodeString text(static_cast<UChar32>(codePoint));
        m_transliterator->transliterate(text);
        std::string reading;
        text.toUTF8String(reading);
        // A character without a reading comes back as it was; anything but letters
        // is no reading either.
        for (const char c : reading) {
            if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return {};
        }
        return ToLowerAscii(reading);
    }

    std::mutex m_mutex;
    bool m_opened = false;
    std::unique_ptr<icu::Transliterator> m_transliterator;
    std::unordered_map<char32_t, std::string> m_readings;
};

PinyinTable& Readings() {
    static PinyinTable table;
    return table;
}

bool IsHanziCode(GbkCode code) {
    const unsigned b1 = code >> 8;
    const unsigned b2 = code & 0xFF;
    return (b1 >= 0x81 && b1 <= 0xA0 && b2 >= 0x40 && b2 <= 0xFE) ||
           (b1 >= 0xAA && b1 <= 0xFE && b2 >= 0x40 && b2 <= 0xA0) ||
           (b1 >= 0xB0 && b1 <= 0xF7 && b2 >= 0xA1 && b2 <= 0xFE);
}

bool IsHanziCodePoint(char32_t codePoint) {
    if (codePoint < 0x80) return false;
    const std::optional<GbkCode> code = GbkCodeOf(codePoint);
    return code && IsHanziCode(*code);
}

char UpperLetter(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

}  // namespace

bool IsHanziChar(std::string_view character) {
    if (character.empty()) return false;
    const Utf8Step step = DecodeUtf8At(character, 0);
    return step.valid && step.length == character.size() && IsHanziCodePoint(step.codePoint);
}

std::string GetPinyin(char32_t codePoint) { return Readings().Get(codePoint); }

std::string MakePinyinName(std::string_view name, const PinyinParams& params) {
    return ChangeNamePart(name, params.scope, [&](std::string_view part) {
        std::string result;
        result.reserve(part.size() * 2);
        bool previous = false;
        bool first = true;  // at the part's first character
        for (std::size_t at = 0; at < part.size(); first = false) {
            const Utf8Step step = DecodeUtf8At(part, at);
            const std::string_view character = part.substr(at, step.length);
            at += step.length;
            std::string py;
            if (step.valid && IsHanziCodePoint(step.codePoint)) py = GetPinyin(step.codePoint);
            if (py.empty()) {
                result += character;
                previous = false;
                continue;
            }
            switch (params.letterCase) {
                case PinyinCase::FirstUpper:
                    if (first) py[0] = UpperLetter(py[0]);
                    break;
                case PinyinCase::SyllablesUpper: py[0] = UpperLetter(py[0]); break;
                case PinyinCase::AllUpper: py = ToUpperAscii(py); break;
                case PinyinCase::AllLower: break;
            }
            if (params.initialsOnly) py.resize(1);
            if (previous && !result.empty()) result += params.separator;
            result += py;
            previous = true;
        }
        return params.useTemplate ? ApplyResultTemplate(params.pattern, result) : result;
    });
}

}  // namespace varnel

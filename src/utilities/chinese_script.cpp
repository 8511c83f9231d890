#include "utilities/chinese_script.h"

#include <algorithm>
#include <array>
#include <mutex>

#include <opencc.h>

#include "utilities/utf8_text.h"

namespace varnel {

namespace {

Error ConversionError(std::string message) { return Error{Error::kConversion, std::move(message), {}}; }

using Loaded = std::expected<std::shared_ptr<const ScriptConverter>, Error>;

// Building a converter reads its dictionaries, which takes far longer than
// converting a name, so each table is loaded once; a table that failed to load
// keeps its error.
const Loaded& SharedConverter(ScriptTable table) {
    static const std::array<const char*, 4> kConfigs = {"s2t.json", "t2s.json", "s2tw.json", "tw2s.json"};
    static std::array<Loaded, 4> loaded;
    static std::array<std::once_flag, 4> once;
    const auto index = static_cast<std::size_t>(table);
    std::call_once(once[index], [index] { loaded[index] = ScriptConverter::Load(kConfigs[index]); });
    return loaded[index];
}

}  // namespace

std::expected<std::shared_ptr<const ScriptConverter>, Error> ScriptConverter::Load(const std::string& config) {
    opencc_t handle = opencc_open(config.c_str());
    if (handle == reinterpret_cast<opencc_t>(-1)) {
        const char* why = opencc_error();
        return std::unexpected(ConversionError("无法载入繁简转换词典 " + config + "（" +
                                               (why != nullptr ? why : "") + "）"));
    }
    return std::shared_ptr<const ScriptConverter>(new ScriptConverter(handle));
}

ScriptConverter::~ScriptConverter() { opencc_close(m_handle); }

std::expected<std::string, Error> ScriptConverter::Convert(std::string_view utf8) const {
    if (utf8.empty()) return std::string();
    char* converted = opencc_convert_utf8(m_handle, utf8.data(), utf8.size());
    if (converted == nullptr) return std::unexpected(ConversionError("繁简转换失败"));
    std::string out(converted);
    opencc_convert_utf8_free(converted);
    return out;
}

std::expected<std::string, Error> ConvertChineseScript(std::string_view text, ScriptTable table) {
    const bool ascii = std::all_of(text.begin(), text.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) return std::string(text);
    const Loaded& converter = SharedConverter(table);
    if (!converter) return std::unexpected(converter.error());

    std::string out;
    out.reserve(text.size() + text.size() / 4);
    std::size_t runStart = 0;
    auto flush = [&](std::size_t runEnd) -> std::expected<void, Error> {
        if (runEnd == runStart) return {};
        auto converted = (*converter)->Convert(text.substr(runStart, runEnd - runStart));
        if (!converted) return std::unexpected(converted.error());
        out += *converted;
        return {};
    };
    for (std::size_t pos = 0; pos < text.size();) {
        const Utf8Step step = DecodeUtf8At(text, pos);
        if (!step.valid || text[pos] == '\0') {
            if (auto done = flush(pos); !done) return std::unexpected(done.error());
            out += text[pos];
            runStart = pos + 1;
        }
        pos += step.length;
    }
    if (auto done = flush(text.size()); !done) return std::unexpected(done.error());
    return out;
}

}  // namespace varnel

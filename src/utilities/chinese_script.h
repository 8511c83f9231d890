// Simplified and traditional Chinese, converted by words and not only by characters
// (钟情 -> 鍾情, 头发 -> 頭髮, 乾隆 stays 乾隆), through OpenCC's phrase tables. Each
// table is loaded once, on first use, and shared by every thread.
#pragma once

#include <expected>
#include <memory>
#include <string>
#include <string_view>

#include "utilities/error.h"

namespace varnel {

enum class ScriptTable {
    SimplifiedToTraditional,  // the standard traditional forms
    TraditionalToSimplified,
    SimplifiedToTaiwan,       // the forms used in Taiwan, all of which Big5 holds
    TaiwanToSimplified,
};

// The UTF-8 text with its Chinese words converted. Bytes that are not UTF-8 and
// zero bytes stay where they are; each run of text between them is converted on
// its own. Fails when the table cannot be loaded (the data files are missing).
std::expected<std::string, Error> ConvertChineseScript(std::string_view text, ScriptTable table);

// One loaded table, safe to use from several threads at once.
class ScriptConverter {
public:
    // `config` is an OpenCC configuration: a file name found in OpenCC's data
    // folder ("s2t.json") or a path.
    static std::expected<std::shared_ptr<const ScriptConverter>, Error> Load(const std::string& config);
    ~ScriptConverter();
    ScriptConverter(const ScriptConverter&) = delete;
    ScriptConverter& operator=(const ScriptConverter&) = delete;

    // Valid UTF-8 without zero bytes; ConvertChineseScript takes any text.
    std::expected<std::string, Error> Convert(std::string_view utf8) const;

private:
    explicit ScriptConverter(void* handle) : m_handle(handle) {}
    void* m_handle;  // opencc_t
};

}  // namespace varnel

#include "filelist/list_formatting.h"

#include <array>
#include <mutex>
#include <unordered_map>

#include <gio/gio.h>

#include "utilities/char_forms.h"
#include "utilities/number_text.h"

namespace varnel {

namespace {

std::string LookUpDescription(std::string_view extension) {
    const std::string fileName = "x." + std::string(extension);
    gboolean uncertain = FALSE;
    gchar* type = g_content_type_guess(fileName.c_str(), nullptr, 0, &uncertain);
    std::string description;
    if (type != nullptr && !g_content_type_is_unknown(type)) {
        if (gchar* text = g_content_type_get_description(type)) {
            description = text;
            g_free(text);
        }
    }
    g_free(type);
    return description;
}

}  // namespace

std::string FormatByteSize(double size, int maxUnit) {
    static constexpr std::array<const char*, 7> kUnits = {" B", " KB", " MB", "GB", "TB", "PB", "EB"};
    if (maxUnit < 0 || maxUnit > 6) maxUnit = 0;
    int level = 0;
    while (level < 6) {
        if (size - 1024 < -0.0000001) break;
        if (maxUnit != 0 && level == maxUnit) break;
        size /= 1024;
        ++level;
    }
    return NumberToText(RoundToDigits(size, 2)) + kUnits[static_cast<std::size_t>(level)];
}

std::string GetFileTypeDescription(std::string_view extension) {
    if (extension.empty()) return "无格式文件";
    static std::mutex mutex;
    static std::unordered_map<std::string, std::string> cache;
    {
        std::lock_guard lock(mutex);
        if (const auto found = cache.find(std::string(extension)); found != cache.end()) return found->second;
    }
    std::string description = LookUpDescription(extension);
    if (description.empty()) description = ToUpperAscii(extension) + " 文件";
    std::lock_guard lock(mutex);
    // Names with random extensions would grow the cache without bound: keep it small.
    if (cache.size() > 4096) cache.clear();
    cache.emplace(std::string(extension), description);
    return description;
}

}  // namespace varnel

#include "tools/http_request.h"

#include <mutex>

#include "utilities/char_forms.h"
#include "utilities/codec.h"

namespace varnel {

namespace {

// The charset parameter of a Content-Type value, lowered, without quotes.
std::string CharsetOf(std::string_view contentType) {
    const std::string lowered = ToLowerAscii(contentType);
    const auto at = lowered.find("charset=");
    if (at == std::string::npos) return {};
    std::string_view value = std::string_view(lowered).substr(at + 8);
    value = value.substr(0, value.find(';'));
    while (!value.empty() && (value.front() == ' ' || value.front() == '"' || value.front() == '\'')) value.remove_prefix(1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '"' || value.back() == '\'')) value.remove_suffix(1);
    return std::string(value);
}

}  // namespace

std::string DecodeWebText(std::string_view bytes, std::string_view contentType) {
    const std::string charset = CharsetOf(contentType);
    if (!charset.empty()) {
        // GB2312 pages hold GBK characters as often as not: read them with the wider table.
        const char* codec = charset == "gb2312" || charset == "gbk" ? kCodecGbk : charset.c_str();
        if (auto text = DecodeFromCodec(bytes, codec, CodecMode::Lenient)) return *text;
    }
    return DecodeTextFile(bytes);
}

HttpTextResult HttpRequest(const std::string& url, const HttpOptions& options, std::size_t maxBytes) {
    static std::mutex oneAtATime;
    std::unique_lock lock(oneAtATime, std::try_to_lock);
    HttpTextResult result;
    if (!lock.owns_lock()) {
        result.error = "已有网络请求正在进行";
        return result;
    }
    HttpClient client;
    HttpOptions request = options;
    request.userAgent = ProgramUserAgent();
    std::string body;
    const HttpResult answer =
        client.SendRequest(url, request, [&body, maxBytes](std::string_view piece, std::string& error) {
            if (piece.size() > maxBytes - body.size()) {
                error = "网页过大（超过 " + std::to_string(maxBytes / 1024) + " KB），没有读完";
                body.clear();
                return false;
            }
            body.append(piece);
            return true;
        });
    result.status = answer.status;
    if (!answer.Succeeded()) {
        result.error = answer.FailureText();
        return result;
    }
    result.ok = true;
    result.text = DecodeWebText(body, answer.contentType);
    return result;
}

}  // namespace varnel

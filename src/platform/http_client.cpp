#include "platform/http_client.h"

#include <charconv>
#include <mutex>
#include <utility>

#include <curl/curl.h>

#include "utilities/char_forms.h"
#include "utilities/program_version.h"

namespace varnel {

namespace {

CURL* Handle(void* handle) { return static_cast<CURL*>(handle); }

void InitialiseCurlOnce() {
    // curl_global_init is not thread-safe by itself; once per process is enough.
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Transfer {
    CURL* handle = nullptr;
    const HttpClient::BodySink* sink = nullptr;
    const std::function<bool()>* keepGoing = nullptr;
    std::int64_t written = 0;
    bool statusChecked = false;
    bool refusedStatus = false;
    bool cancelled = false;
    std::string sinkError;
};

size_t OnBody(char* data, size_t size, size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    const size_t length = size * count;
    if (!transfer.statusChecked) {
        // Only the body of the final 2xx answer is the caller's: an error page must
        // never become the downloaded file.
        long status = 0;
        curl_easy_getinfo(transfer.handle, CURLINFO_RESPONSE_CODE, &status);
        transfer.statusChecked = true;
        transfer.refusedStatus = status < 200 || status >= 300;
    }
    if (transfer.refusedStatus) return 0;
    if (!(*transfer.sink)(std::string_view(data, length), transfer.sinkError)) {
        if (transfer.sinkError.empty()) transfer.sinkError = "写入失败";
        return 0;
    }
    transfer.written += static_cast<std::int64_t>(length);
    return length;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto& transfer = *static_cast<Transfer*>(user);
    if (transfer.keepGoing == nullptr || !*transfer.keepGoing || (*transfer.keepGoing)()) return 0;
    transfer.cancelled = true;
    return 1;
}

// Whether the answer, not the address, was at fault: a reply that is no HTTP at all
// (curl says "unsupported protocol" for that too, as it would read it as HTTP/0.9),
// a reply cut or mangled. A reused connection that gives one of these may hold the
// rest of an earlier answer, so the request is worth one more try on a new one.
bool IsProtocolFailure(CURLcode code) {
    switch (code) {
        case CURLE_UNSUPPORTED_PROTOCOL:
        case CURLE_WEIRD_SERVER_REPLY:
        case CURLE_GOT_NOTHING:
        case CURLE_RECV_ERROR:
        case CURLE_SEND_ERROR:
        case CURLE_PARTIAL_FILE:
        case CURLE_BAD_CONTENT_ENCODING:
        case CURLE_HTTP2:
        case CURLE_HTTP2_STREAM: return true;
        default: return false;
    }
}

std::string TransportError(CURLcode code, const char* detail, bool schemeSupported) {
    std::string reason;
    switch (code) {
        case CURLE_UNSUPPORTED_PROTOCOL:
            reason = schemeSupported ? "服务器的应答不是有效的 HTTP" : "不支持的协议（只支持 http 和 https）";
            break;
        case CURLE_WEIRD_SERVER_REPLY: reason = "服务器的应答不是有效的 HTTP"; break;
        case CURLE_BAD_CONTENT_ENCODING: reason = "无法解压服务器发来的内容"; break;
        case CURLE_URL_MALFORMAT: reason = "网络地址格式不正确"; break;
        case CURLE_COULDNT_RESOLVE_HOST: reason = "无法解析主机名"; break;
        case CURLE_COULDNT_RESOLVE_PROXY: reason = "无法解析代理服务器"; break;
        case CURLE_COULDNT_CONNECT: reason = "无法连接服务器"; break;
        case CURLE_OPERATION_TIMEDOUT: reason = "网络超时或传输过慢"; break;
        case CURLE_TOO_MANY_REDIRECTS: reason = "重定向次数过多"; break;
        case CURLE_PARTIAL_FILE: reason = "传输中断，内容不完整"; break;
        case CURLE_RECV_ERROR:
        case CURLE_SEND_ERROR:
        case CURLE_GOT_NOTHING: reason = "网络连接中断"; break;
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CACERT_BADFILE: reason = "安全连接失败"; break;
        default: reason = "网络错误"; break;
    }
    const std::string text = detail != nullptr && detail[0] != '\0' ? detail : curl_easy_strerror(code);
    return reason + "：" + text;
}

bool HasHeader(const std::vector<std::string>& headers, std::string_view name) {
    for (const std::string& line : headers) {
        if (line.size() > name.size() && line[name.size()] == ':' &&
            EqualsIgnoringAsciiCase(std::string_view(line).substr(0, name.size()), name)) {
            return true;
        }
    }
    return false;
}

// Where the host part of an address starts: after "http://" or "https://".
std::size_t HostStart(std::string_view url) {
    for (std::string_view scheme : {std::string_view("http://"), std::string_view("https://")}) {
        if (url.size() >= scheme.size() && EqualsIgnoringAsciiCase(url.substr(0, scheme.size()), scheme)) {
            return scheme.size();
        }
    }
    return 0;
}

bool IsHttps(std::string_view url) { return HostStart(url) == 8; }

// An address curl will take as http or https: one of those schemes, or none.
bool HasSupportedScheme(std::string_view url) {
    if (HostStart(url) > 0) return true;
    const auto colon = url.find("://");
    return colon == std::string_view::npos || url.find_first_of("/?#") < colon;
}

// The host part with its port and user: up to the first "/", "?" or "#".
std::string_view HostPart(std::string_view url) {
    std::string_view rest = url.substr(HostStart(url));
    rest = rest.substr(0, rest.find_first_of("/?#"));
    if (const auto at = rest.rfind('@'); at != std::string_view::npos) rest.remove_prefix(at + 1);
    return rest;
}

}  // namespace

std::string HttpResult::FailureText() const {
    if (!error.empty()) return error;
    if (status == 0) return "服务器没有应答";
    return "服务器返回 HTTP " + std::to_string(status);
}

HttpClient::HttpClient() {
    InitialiseCurlOnce();
    m_handle = curl_easy_init();
    if (m_handle != nullptr) {
        // Cookies the servers set are kept in this client only, never written out.
        curl_easy_setopt(Handle(m_handle), CURLOPT_COOKIEFILE, "");
    }
}

HttpClient::~HttpClient() {
    if (m_handle != nullptr) curl_easy_cleanup(Handle(m_handle));
}

HttpResult HttpClient::SendRequest(const std::string& url, const HttpOptions& options, const BodySink& sink) {
    HttpResult result;
    if (m_handle == nullptr) {
        result.error = "网络组件无法初始化";
        return result;
    }
    const bool post = options.method == "POST";
    if (!options.method.empty() && options.method != "GET" && !post) {
        result.error = "不支持的请求方法：" + options.method;
        return result;
    }
    bool stale = false;
    result = Perform(url, options, sink, std::exchange(m_freshConnection, false), stale);
    // A GET that failed on a reused connection before any of its body was handed on
    // may have read what the server left of an earlier answer (more bytes than that
    // answer announced): once more, on a new connection. A POST is never sent twice.
    if (stale && !post && result.bytesWritten == 0 && !result.cancelled) {
        result = Perform(url, options, sink, std::exchange(m_freshConnection, false), stale);
    }
    return result;
}

HttpResult HttpClient::Perform(const std::string& url, const HttpOptions& options, const BodySink& sink, bool fresh,
                               bool& staleConnection) {
    HttpResult result;
    const bool post = options.method == "POST";
    CURL* curl = Handle(m_handle);
    // The handle is not reset between requests (that would drop its cookie list):
    // every option a request depends on is set anew below.

    Transfer transfer;
    transfer.handle = curl;
    transfer.sink = &sink;
    transfer.keepGoing = &options.keepGoing;
    char detail[CURL_ERROR_SIZE] = {};

    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_DEFAULT_PROTOCOL, "http");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, options.maxRedirects);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, options.connectTimeoutMs);
    // A stalled or trickling transfer ends; a large file that keeps coming may take
    // as long as it needs unless the caller set an overall limit.
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, std::max(1L, options.lowSpeedBytesPerSecond));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, std::max(1L, (options.stallTimeoutMs + 999) / 1000));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, std::max(0L, options.totalTimeoutMs));
    // Every encoding this curl can decode is asked for and decoded: what the caller
    // gets is the resource itself, never its compressed form.
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(curl, CURLOPT_FRESH_CONNECT, fresh ? 1L : 0L);
    curl_easy_setopt(curl, CURLOPT_PROXY, options.proxy.c_str());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, detail);
    curl_easy_setopt(curl, CURLOPT_USERAGENT,
                     options.userAgent.empty() ? ProgramUserAgent().c_str() : options.userAgent.c_str());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);

    // Sites that refuse requests from elsewhere accept one that names the address
    // itself as where it came from.
    std::vector<std::string> headers = options.headers;
    if (!HasHeader(headers, "Referer")) headers.push_back("Referer: " + url);
    if (!HasHeader(headers, "Accept-Language")) headers.push_back("Accept-Language: zh-CN");
    curl_slist* list = nullptr;
    for (const std::string& line : headers) list = curl_slist_append(list, line.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, list);
    if (post) {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(options.body.size()));
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, options.body.data());
    } else {
        curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    }

    const CURLcode code = curl_easy_perform(curl);
    // Our option strings die with this call: nothing of them may stay in the handle.
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
    curl_slist_free_all(list);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);

    long connects = 0;
    curl_easy_getinfo(curl, CURLINFO_NUM_CONNECTS, &connects);
    staleConnection = connects == 0 && IsProtocolFailure(code);
    // Whatever went wrong, the connection it went wrong on may hold a half-read
    // answer: the next request starts on a new one.
    if (code != CURLE_OK) m_freshConnection = true;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.status);
    if (const char* type = nullptr; curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type) {
        result.contentType = type;
    }
    result.bytesWritten = transfer.written;
    if (transfer.cancelled) {
        result.cancelled = true;
        result.error = "已停止";
    } else if (transfer.refusedStatus) {
        result.error.clear();  // the status tells why
    } else if (!transfer.sinkError.empty()) {
        result.error = transfer.sinkError;
    } else if (code != CURLE_OK) {
        result.error = TransportError(code, detail, HasSupportedScheme(url));
    }
    return result;
}

HttpResult HttpClient::SendRequest(const std::string& url, const HttpOptions& options, std::string& body) {
    body.clear();
    HttpResult result = SendRequest(url, options, [&body](std::string_view piece, std::string&) {
        body.append(piece);
        return true;
    });
    if (!result.Succeeded()) body.clear();
    return result;
}

std::string ProgramUserAgent() { return "Varnel/" + std::string(kProgramVersion); }

std::string GetUrlHost(std::string_view url) {
    std::string_view host = HostPart(url);
    if (!host.empty() && host.front() == '[') {
        // An IPv6 literal keeps its colons: the port follows the "]".
        return ToLowerAscii(host.substr(0, host.find(']') + 1));
    }
    return ToLowerAscii(host.substr(0, host.find(':')));
}

int GetUrlPort(std::string_view url) {
    std::string_view host = HostPart(url);
    if (!host.empty() && host.front() == '[') {
        const auto close = host.find(']');
        host = close == std::string_view::npos ? std::string_view() : host.substr(close + 1);
    }
    const int fallback = IsHttps(url) ? 443 : 80;
    const auto colon = host.find(':');
    if (colon == std::string_view::npos) return fallback;
    int port = 0;
    const std::string_view digits = host.substr(colon + 1);
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), port);
    if (error != std::errc() || end != digits.data() + digits.size() || port <= 0 || port > 65535) return fallback;
    return port;
}

std::string GetUrlPath(std::string_view url) {
    const std::size_t start = HostStart(url);
    const auto slash = url.find('/', start);
    // A "/" inside the query or fragment is not where the path begins.
    const auto other = url.find_first_of("?#", start);
    if (slash == std::string_view::npos || (other != std::string_view::npos && other < slash)) return "/";
    return std::string(url.substr(slash));
}

}  // namespace varnel

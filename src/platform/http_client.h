// The HTTP client (http and https through libcurl) that the download task and the
// update check share, and the splitting of a web address into host, port and path.
// One client serves one caller at a time and keeps its connections and the cookies
// servers set for as long as it lives (a run, or one check); a connection that
// failed is never used again. Bodies sent compressed (gzip, deflate, ...) are
// handed on decoded. Redirects are followed up to a limit; connecting and a
// stalled or trickling transfer time out; the caller's keepGoing
// is asked throughout a transfer and cancels it. Errors are values: a transport
// failure, a status that is not 2xx, a cancel or a refused body never throw.
// Any thread; never touches a widget.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace varnel {

struct HttpOptions {
    // "" or "GET", or "POST" (sent with `body`); any other method is refused.
    std::string method;
    std::string body;
    // Request header lines ("Name: value"); each replaces the client's own of that name.
    std::vector<std::string> headers;
    std::string userAgent;
    // An empty proxy means a direct connection whatever the environment says.
    std::string proxy;
    long connectTimeoutMs = 18000;
    // A transfer slower than lowSpeedBytesPerSecond, on average over stallTimeoutMs,
    // ends as a failure: a server that trickles a few bytes a second never holds a
    // run. 1 KiB/s over 18 s is far below any working link and far above a trickle.
    long lowSpeedBytesPerSecond = 1024;
    long stallTimeoutMs = 18000;
    // The whole exchange ends as a failure after this long (0: no overall limit, as
    // a large download may take as long as it keeps coming).
    long totalTimeoutMs = 0;
    long maxRedirects = 10;
    // Asked during the transfer (often, at least once a second); false cancels it.
    std::function<bool()> keepGoing;
};

struct HttpResult {
    // The status of the last response (after redirects); 0 when none came.
    long status = 0;
    // Why the exchange failed ("" when it completed, whatever the status).
    std::string error;
    // Body bytes handed to the caller; a body of a status that is not 2xx is not.
    std::int64_t bytesWritten = 0;
    // The response's Content-Type header ("" when it has none).
    std::string contentType;
    bool cancelled = false;

    bool Succeeded() const { return error.empty() && status >= 200 && status < 300; }
    // Why a request that did not succeed failed, for a failure notice.
    std::string FailureText() const;
};

class HttpClient {
public:
    HttpClient();
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // Receives the body of a 2xx response piece by piece; false refuses the rest
    // (the request then fails with the sink's reason in `error`).
    using BodySink = std::function<bool(std::string_view piece, std::string& error)>;

    // Sends one request and hands the 2xx body to `sink`.
    HttpResult SendRequest(const std::string& url, const HttpOptions& options, const BodySink& sink);
    // The same, collecting the body in `body` (left empty unless the request succeeded).
    HttpResult SendRequest(const std::string& url, const HttpOptions& options, std::string& body);

private:
    // One exchange; `fresh` asks for a new connection. `staleConnection`: it failed
    // as an answer that is no HTTP, on a connection an earlier request had used.
    HttpResult Perform(const std::string& url, const HttpOptions& options, const BodySink& sink, bool fresh,
                       bool& staleConnection);

    void* m_handle = nullptr;  // the CURL easy handle
    // The last request failed: the next one opens a new connection.
    bool m_freshConnection = false;
};

// The user agent the program names itself with: "Varnel/<version>".
std::string ProgramUserAgent();

// The host of a web address in lower case, without port or user: "http://A.b:8080/x"
// gives "a.b". An address without "http://" or "https://" is taken from its start.
std::string GetUrlHost(std::string_view url);
// The port the address names, else 443 for https and 80 otherwise.
int GetUrlPort(std::string_view url);
// The path from the first "/" after the host, query included, else "/".
std::string GetUrlPath(std::string_view url);

}  // namespace varnel

// The update check's web request: one GET or POST through the shared HTTP client,
// its body decoded to UTF-8 text. One request at a time in the whole program: a
// request made while another is under way is refused at once. Any thread; the
// caller's keepGoing cancels it.
#pragma once

#include <cstddef>
#include <string>

#include "platform/http_client.h"

namespace varnel {

struct HttpTextResult {
    bool ok = false;
    // The body as UTF-8 (ok only).
    std::string text;
    // Why there is no text: a transport failure or a status that is not 2xx.
    std::string error;
    long status = 0;
};

// The most of a body HttpRequest reads: a web page a person reads is a few hundred
// KiB at most; anything larger is not the page sought, and is not held.
inline constexpr std::size_t kMaxWebPageBytes = 2 * 1024 * 1024;

// Sends the request (options as HttpClient takes them; the user agent is the
// program's own). The body is decoded by the charset its Content-Type names, else
// as UTF-8 when it is valid UTF-8, else as GBK. A body longer than `maxBytes` fails
// the request with that reason.
HttpTextResult HttpRequest(const std::string& url, const HttpOptions& options = {},
                           std::size_t maxBytes = kMaxWebPageBytes);

// The text of a web page's bytes as its Content-Type header describes them.
std::string DecodeWebText(std::string_view bytes, std::string_view contentType);

}  // namespace varnel

// The update check's web request: one GET or POST through the shared HTTP client,
// its body decoded to UTF-8 text. One request at a time in the whole program: a
// request made while another is under way is refused at once. Any thread; the
// caller's keepGoing cancels it.
#pragma once

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

// Sends the request (options as HttpClient takes them; the user agent is the
// program's own). The body is decoded by the charset its Content-Type names, else
// as UTF-8 when it is valid UTF-8, else as GBK.
HttpTextResult HttpRequest(const std::string& url, const HttpOptions& options = {});

// The text of a web page's bytes as its Content-Type header describes them.
std::string DecodeWebText(std::string_view bytes, std::string_view contentType);

}  // namespace varnel

// A local HTTP server for tests and benchmarks: Python's http.server in a child
// process on a free port of 127.0.0.1, with the answers the network code must
// handle (files, error statuses, redirect chains and loops, a slow body, a body that
// ends early, cookies, pages in a given charset). Stopped when the object goes.
//
//   /files/<name>?size=N   200, N bytes (default 100) of the path repeated
//   /sized/<N>/<name>      the same without a query
//   /status/<code>         that status with an error page
//   /redirect/<n>          302 to /redirect/<n-1>; /redirect/0 answers 200 "arrived"
//   /loop                  302 to itself
//   /slow                  200 announcing 10 MB, sent 10 bytes every 50 ms
//   /short                 200 announcing 1000 bytes, 500 sent, then the connection ends
//   /disposition           200 with Content-Disposition naming "../escape.txt"
//   /cookie/set, /cookie/get   sets a cookie; echoes the Cookie header
//   /headers               echoes the request's header lines
//   /page?body=..&charset=..&declare=1   the (percent-encoded UTF-8) body in that
//                          charset, declared in Content-Type when declare is given
//   /trickle               200 announcing 1000 bytes, sent 2 bytes every 500 ms
//   /gzip[/name]?size=N    200, N bytes (default 100) of "/files/gzip" repeated,
//                          sent gzip-compressed
//   /overlong              200 announcing 5 bytes and sending more: the next answer
//                          on the same connection starts with the surplus
//   /big?size=N            200, N bytes of "x" sent in 64 KiB pieces (never held whole)
//   /release?items=N&version=V   a release page naming version V (default 99.0)
//                          with N download items, texts holding ESC, BEL and NUL
//   anything else          200 "root"
#pragma once

#include <csignal>
#include <cstdio>
#include <string>

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace varnel::testing {

inline constexpr const char* kHttpTestServerScript = R"PY(
import gzip, sys, time, urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    def log_message(self, *args):
        pass
    surplus = b""
    def handle(self):
        try:
            super().handle()
        except OSError:
            pass  # a client that went away mid-answer (the tests make some do so)
    def answer(self, code, body, headers=()):
        if self.surplus:
            self.wfile.write(self.surplus)
            self.surplus = b""
        self.send_response(code)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)
    def drip(self, announced, piece, count, pause):
        # A body that comes a piece at a time, until the client goes.
        self.send_response(200)
        self.send_header("Content-Length", str(announced))
        self.end_headers()
        try:
            for _ in range(count):
                self.wfile.write(piece)
                self.wfile.flush()
                time.sleep(pause)
        except OSError:
            pass
        self.close_connection = True
    def do_POST(self):
        length = int(self.headers.get("Content-Length", "0"))
        data = self.rfile.read(length)
        self.answer(200, b"posted:" + data)
    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        query = urllib.parse.parse_qs(url.query)
        parts = url.path.split("/")
        if url.path.startswith("/files/") or url.path.startswith("/sized/"):
            size = int(parts[2]) if parts[1] == "sized" else int(query.get("size", ["100"])[0])
            seed = url.path.encode()
            body = (seed * (size // len(seed) + 1))[:size]
            self.answer(200, body, [("Content-Type", "application/octet-stream")])
        elif url.path.startswith("/status/"):
            self.answer(int(parts[2]), b"<html>error page</html>", [("Content-Type", "text/html")])
        elif url.path.startswith("/redirect/"):
            n = int(parts[2])
            if n == 0:
                self.answer(200, b"arrived")
            else:
                self.answer(302, b"", [("Location", "/redirect/%d" % (n - 1))])
        elif url.path == "/loop":
            self.answer(302, b"", [("Location", "/loop")])
        elif url.path == "/slow":
            self.drip(10 * 1000 * 1000, b"0123456789", 100000, 0.05)
        elif url.path == "/short":
            self.send_response(200)
            self.send_header("Content-Length", "1000")
            self.end_headers()
            self.wfile.write(b"s" * 500)
            self.wfile.flush()
            self.close_connection = True
        elif url.path == "/trickle":
            self.drip(1000, b"tt", 500, 0.5)
        elif url.path.startswith("/gzip"):
            size = int(query.get("size", ["100"])[0])
            seed = b"/files/gzip"
            body = (seed * (size // len(seed) + 1))[:size]
            self.answer(200, gzip.compress(body), [("Content-Encoding", "gzip"),
                                                  ("Content-Type", "application/octet-stream")])
        elif url.path == "/overlong":
            self.send_response(200)
            self.send_header("Content-Length", "5")
            self.end_headers()
            self.wfile.write(b"hello")
            self.wfile.flush()
            # What a broken server sends beyond its length reaches the client only
            # with the next answer, so the client cannot see it at the end of this one.
            self.surplus = b"surplus bytes beyond the length\r\n"
        elif url.path == "/big":
            size = int(query.get("size", ["100"])[0])
            self.send_response(200)
            self.send_header("Content-Length", str(size))
            self.send_header("Content-Type", "text/html")
            self.end_headers()
            piece = b"x" * 65536
            try:
                while size > 0:
                    self.wfile.write(piece[:min(size, len(piece))])
                    size -= len(piece)
            except OSError:
                pass
            self.close_connection = True
        elif url.path == "/release":
            items = int(query.get("items", ["0"])[0])
            version = query.get("version", ["99.0"])[0]
            links = "[分隔]".join("下载%d\x1b[31m；http://127.0.0.1/d%d.zip" % (i, i) for i in range(items))
            page = ("<html>[版本]" + version + "[版本][大小]1\x07 MB[大小][日期]2026\x00-01[日期]"
                    "[内容]新\x1b]0;title\x07功能[内容][地址]" + links + "[地址]</html>")
            self.answer(200, page.encode("utf-8"), [("Content-Type", "text/html; charset=utf-8")])
        elif url.path == "/disposition":
            self.answer(200, b"named by the server",
                        [("Content-Disposition", 'attachment; filename="../escape.txt"')])
        elif url.path == "/cookie/set":
            self.answer(200, b"set", [("Set-Cookie", "token=abc; Path=/")])
        elif url.path == "/cookie/get":
            self.answer(200, self.headers.get("Cookie", "").encode())
        elif url.path == "/headers":
            self.answer(200, str(self.headers).encode())
        elif url.path == "/page":
            charset = query.get("charset", ["utf-8"])[0]
            body = query.get("body", [""])[0].encode(charset)
            kind = "text/html; charset=" + charset if "declare" in query else "text/html"
            self.answer(200, body, [("Content-Type", kind)])
        else:
            self.answer(200, b"root")

server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
server.daemon_threads = True
print(server.server_address[1], flush=True)
server.serve_forever()
)PY";

class HttpTestServer {
public:
    HttpTestServer() {
        int out[2];
        if (::pipe(out) != 0) return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            ::execlp("python3", "python3", "-c", kHttpTestServerScript, static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(out[1]);
        FILE* in = ::fdopen(out[0], "r");
        if (in == nullptr) return;
        char line[32] = {};
        if (std::fgets(line, sizeof line, in) != nullptr) m_port = std::atoi(line);
        std::fclose(in);
    }
    ~HttpTestServer() {
        if (m_pid <= 0) return;
        ::kill(m_pid, SIGTERM);
        ::waitpid(m_pid, nullptr, 0);
    }
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    bool Running() const { return m_port > 0; }
    int Port() const { return m_port; }
    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(m_port) + path;
    }

private:
    pid_t m_pid = -1;
    int m_port = 0;
};

// One server for the whole test program (a Python start costs about a second).
inline HttpTestServer& SharedHttpTestServer() {
    static HttpTestServer server;
    return server;
}

// A port of 127.0.0.1 where nothing listens (it was free a moment ago).
inline int ClosedLocalPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

}  // namespace varnel::testing

#include "platform/http_client.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "support/http_test_server.h"

namespace varnel {
namespace {

using testing::HttpTestServer;

struct UrlPartsCase {
    const char* url;
    const char* host;
    int port;
    const char* path;
};

TEST(UrlParts, SplitsHostPortAndPath) {
    const UrlPartsCase cases[] = {
        {"http://WWW.Example.COM:8080/a/b?c=1", "www.example.com", 8080, "/a/b?c=1"},
        {"http://example.com", "example.com", 80, "/"},
        {"https://Example.com/x", "example.com", 443, "/x"},
        {"HTTP://a.b/", "a.b", 80, "/"},
        {"example.com/page.html", "example.com", 80, "/page.html"},
        {"http://user@host.cn:81/p", "host.cn", 81, "/p"},
        {"http://a.cn?next=/b", "a.cn", 80, "/"},
        {"http://[::1]:8000/v", "[::1]", 8000, "/v"},
    };
    for (const UrlPartsCase& c : cases) {
        EXPECT_EQ(GetUrlHost(c.url), c.host) << c.url;
        EXPECT_EQ(GetUrlPort(c.url), c.port) << c.url;
        EXPECT_EQ(GetUrlPath(c.url), c.path) << c.url;
    }
}

class HttpClientTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.Running()); }
    HttpResult Get(const std::string& path, std::string& body, HttpOptions options = {}) {
        return client.SendRequest(server.Url(path), options, body);
    }
    HttpTestServer& server = testing::SharedHttpTestServer();
    HttpClient client;
};

TEST_F(HttpClientTest, AnswersOfTheServer) {
    struct Case {
        const char* path;
        long status;
        bool succeeded;
        const char* body;
    };
    const Case cases[] = {
        {"/files/a?size=12", 200, true, "/files/a/fil"},
        {"/status/404", 404, false, ""},
        {"/status/500", 500, false, ""},
        {"/redirect/3", 200, true, "arrived"},
    };
    for (const Case& c : cases) {
        std::string body;
        const HttpResult result = Get(c.path, body);
        EXPECT_EQ(result.status, c.status) << c.path;
        EXPECT_EQ(result.Succeeded(), c.succeeded) << c.path;
        EXPECT_EQ(body, c.body) << c.path;
        EXPECT_EQ(result.bytesWritten, static_cast<std::int64_t>(body.size())) << c.path;
    }
}

TEST_F(HttpClientTest, StatusOfAnErrorPageIsTheReason) {
    std::string body;
    const HttpResult result = Get("/status/404", body);
    EXPECT_TRUE(result.error.empty());
    EXPECT_EQ(result.FailureText(), "服务器返回 HTTP 404");
}

TEST_F(HttpClientTest, TransportFailuresAreValues) {
    std::string body;
    HttpResult loop = Get("/loop", body);
    EXPECT_FALSE(loop.Succeeded());
    EXPECT_NE(loop.error.find("重定向次数过多"), std::string::npos) << loop.error;

    HttpResult shortBody = Get("/short", body);
    EXPECT_FALSE(shortBody.Succeeded());
    EXPECT_NE(shortBody.error.find("内容不完整"), std::string::npos) << shortBody.error;
    EXPECT_TRUE(body.empty());

    HttpResult refused =
        client.SendRequest("http://127.0.0.1:" + std::to_string(testing::ClosedLocalPort()) + "/", {}, body);
    EXPECT_FALSE(refused.Succeeded());
    EXPECT_EQ(refused.status, 0);
    EXPECT_NE(refused.error.find("无法连接服务器"), std::string::npos) << refused.error;

    HttpResult ftp = client.SendRequest("ftp://127.0.0.1/x", {}, body);
    EXPECT_FALSE(ftp.Succeeded());
    EXPECT_NE(ftp.error.find("不支持的协议"), std::string::npos) << ftp.error;
}

TEST_F(HttpClientTest, KeepGoingCancelsASlowBody) {
    std::atomic<bool> go{true};
    HttpOptions options;
    options.keepGoing = [&go] { return go.load(); };
    std::thread stopper([&go] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        go = false;
    });
    const auto start = std::chrono::steady_clock::now();
    std::string body;
    const HttpResult result = Get("/slow", body, options);
    stopper.join();
    EXPECT_TRUE(result.cancelled);
    EXPECT_FALSE(result.Succeeded());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(HttpClientTest, CookiesLastAsLongAsTheClient) {
    std::string body;
    ASSERT_TRUE(Get("/cookie/set", body).Succeeded());
    ASSERT_TRUE(Get("/cookie/get", body).Succeeded());
    EXPECT_EQ(body, "token=abc");
    HttpClient fresh;
    ASSERT_TRUE(fresh.SendRequest(server.Url("/cookie/get"), {}, body).Succeeded());
    EXPECT_EQ(body, "");
}

TEST_F(HttpClientTest, RequestHeadersNameTheProgram) {
    std::string body;
    HttpOptions options;
    options.headers = {"referer: http://elsewhere/"};
    ASSERT_TRUE(Get("/headers", body, options).Succeeded());
    EXPECT_NE(body.find("User-Agent: Varnel/"), std::string::npos) << body;
    EXPECT_NE(body.find("Accept-Language: zh-CN"), std::string::npos) << body;
    // The caller's own Referer (any case) is the only one.
    EXPECT_NE(body.find("referer: http://elsewhere/"), std::string::npos) << body;
    EXPECT_EQ(body.find("Referer:"), std::string::npos) << body;
}

TEST_F(HttpClientTest, PostSendsTheBodyAndOtherMethodsAreRefused) {
    std::string body;
    HttpOptions post;
    post.method = "POST";
    post.body = "a=1&b=2";
    ASSERT_TRUE(Get("/", body, post).Succeeded());
    EXPECT_EQ(body, "posted:a=1&b=2");
    HttpOptions lower;
    lower.method = "post";
    const HttpResult refused = Get("/", body, lower);
    EXPECT_FALSE(refused.Succeeded());
    EXPECT_EQ(refused.status, 0);
}

TEST_F(HttpClientTest, ARefusingSinkFailsWithItsReason) {
    const HttpResult result = client.SendRequest(
        server.Url("/files/x?size=5000"), {}, [](std::string_view, std::string& error) {
            error = "磁盘已满";
            return false;
        });
    EXPECT_FALSE(result.Succeeded());
    EXPECT_EQ(result.error, "磁盘已满");
}

// A server that sends a couple of bytes a second fails the transfer once the
// low-speed window has passed, with the reason; nothing of it is handed on as a body.
TEST_F(HttpClientTest, ATricklingServerFailsTheTransfer) {
    HttpOptions options;
    options.stallTimeoutMs = 2000;  // the window a test can wait for; the limit is the default
    std::string body;
    const HttpResult result = Get("/trickle", body, options);
    EXPECT_FALSE(result.Succeeded());
    EXPECT_FALSE(result.cancelled);
    EXPECT_NE(result.error.find("传输过慢"), std::string::npos) << result.error;
    EXPECT_TRUE(body.empty());
}

// An overall deadline ends even a transfer that keeps above the low-speed limit.
TEST_F(HttpClientTest, AnOverallDeadlineEndsTheExchange) {
    HttpOptions options;
    options.lowSpeedBytesPerSecond = 1;
    options.totalTimeoutMs = 1500;
    std::string body;
    const HttpResult result = Get("/slow", body, options);
    EXPECT_FALSE(result.Succeeded());
    EXPECT_NE(result.error.find("网络超时"), std::string::npos) << result.error;
}

// A compressed body reaches the caller as the resource itself.
TEST_F(HttpClientTest, CompressedBodiesAreDecoded) {
    for (const int size : {0, 11, 200000}) {
        std::string body;
        const HttpResult result = Get("/gzip?size=" + std::to_string(size), body);
        ASSERT_TRUE(result.Succeeded()) << result.FailureText();
        std::string expected;
        while (expected.size() < static_cast<std::size_t>(size)) expected += "/files/gzip";
        expected.resize(static_cast<std::size_t>(size));
        EXPECT_EQ(body, expected) << size;
    }
}

// A server that sent more than it announced leaves its surplus on the connection:
// the next address must not read it as its answer, nor fail for it.
TEST_F(HttpClientTest, SurplusOfOneAnswerNeverSpoilsTheNext) {
    for (int round = 0; round < 3; ++round) {
        std::string body;
        const HttpResult first = Get("/overlong", body);
        EXPECT_EQ(body, "hello");
        (void)first;
        const HttpResult next = Get("/files/a?size=12", body);
        EXPECT_TRUE(next.Succeeded()) << next.FailureText();
        EXPECT_EQ(body, "/files/a/fil");
    }
}

// An answer that is no HTTP is said to be so, not taken for an address of another scheme.
TEST(HttpClientProtocol, AnAnswerThatIsNoHttpIsNamedAsSuch) {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    std::thread answerer([listener] {
        const int connection = ::accept(listener, nullptr, nullptr);
        char request[4096];
        (void)::recv(connection, request, sizeof request, 0);
        const char reply[] = "this is not http at all\r\n\r\n";
        (void)::send(connection, reply, sizeof reply - 1, MSG_NOSIGNAL);
        ::shutdown(connection, SHUT_RDWR);
        ::close(connection);
    });
    HttpClient client;
    std::string body;
    const HttpResult result = client.SendRequest(
        "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/x", {}, body);
    answerer.join();
    ::close(listener);
    EXPECT_FALSE(result.Succeeded());
    EXPECT_NE(result.error.find("不是有效的 HTTP"), std::string::npos) << result.error;
    EXPECT_EQ(result.error.find("不支持的协议"), std::string::npos) << result.error;
}

}  // namespace
}  // namespace varnel

// HttpRequest on the wire: what goes out (method, headers, body, credentials) and how the
// outcome is read back (status, text decoding, headers, cookies across a redirect, time-out).

#include "net/http_request.h"
#include "net/multipart_source.h"
#include "support/net_fixture.h"

#include <QString>
#include <thread>

namespace pelloran {
namespace {

using test::NetFixture;

class HttpRequestTest : public NetFixture {
protected:
    void SetUp() override {
        auto& s = server.server();
        s.Get("/page", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("<html><title>Page</title>hello</html>", "text/html");
        });
        s.Post("/form", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("ok", "text/plain");
        });
        s.Get("/missing", [](const httplib::Request&, httplib::Response& res) {
            res.status = 404;
            res.set_content("not here", "text/plain");
        });
        s.Get("/latin1", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(std::string("caf\xE9"), "text/html");
        });
        s.Get("/utf8", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("caf\xC3\xA9 \xE2\x82\xAC", "text/html");
        });
        s.Get("/empty", [](const httplib::Request&, httplib::Response& res) { res.status = 204; });
        s.Get("/slow", [](const httplib::Request&, httplib::Response& res) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2500));
            res.set_content("late", "text/plain");
        });
        s.Get("/redirect", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("Set-Cookie", "sid=abc123; Path=/");
            res.set_redirect("/landing");
        });
        s.Get("/landing", [](const httplib::Request& req, httplib::Response& res) {
            res.set_header("X-Transmission-Session-Id", "token-42");
            res.set_content("cookie=" + req.get_header_value("Cookie"), "text/plain");
        });
        startServer();
    }

    std::string requestHeader(const std::string& name) { return server.lastRequest().header(name); }
};

TEST_F(HttpRequestTest, GetSendsHtmlContentTypeAndNoLength) {
    HttpRequest r(server.url(QStringLiteral("/page")), net());
    r.request();
    EXPECT_TRUE(r.isResponseValid());
    EXPECT_EQ(r.result(), QStringLiteral("<html><title>Page</title>hello</html>"));
    const auto sent = server.lastRequest();
    EXPECT_EQ(sent.method, "GET");
    EXPECT_EQ(sent.header("Content-Type"), "text/html");
    EXPECT_FALSE(sent.hasHeader("Content-Length"));
    EXPECT_FALSE(sent.hasHeader("Authorization"));
    EXPECT_EQ(sent.header("User-Agent"), std::string(kDesktopUserAgent.data()));
}

TEST_F(HttpRequestTest, FormPostCarriesExactBodyAndByteLength) {
    struct Case {
        QString body;
        std::string bytes;
        std::string length;
    };
    const Case cases[] = {
        {QStringLiteral("a=1&b=2"), "a=1&b=2", "7"},
        // Content-Length counts UTF-8 bytes, not characters: "é" is two bytes, "€" three.
        {QString::fromUtf8("n=\xC3\xA9\xE2\x82\xAC"), "n=\xC3\xA9\xE2\x82\xAC", "7"},
        {QString(), "", "0"},
    };
    for (const Case& c : cases) {
        HttpRequest r(server.url(QStringLiteral("/form")), net());
        r.setType(QStringLiteral("POST"));
        r.setPostData(c.body);
        r.request();
        const auto sent = server.lastRequest();
        EXPECT_EQ(sent.method, "POST");
        EXPECT_EQ(sent.body, c.bytes);
        EXPECT_EQ(sent.header("Content-Type"), "application/x-www-form-urlencoded");
        EXPECT_EQ(sent.header("Content-Length"), c.length);
        EXPECT_FALSE(sent.hasHeader("Expect"));
    }
}

class FixedBody : public MultipartSource {
public:
    QByteArray getData() override { return QByteArray("--part\r\n\x00\xFF binary", 17); }
};

TEST_F(HttpRequestTest, MultipartPostCarriesClientBodyAndUploadHeaders) {
    FixedBody body;
    HttpRequest r(server.url(QStringLiteral("/form")), net());
    r.setType(QStringLiteral("POST"));
    r.setClient(&body);
    r.setPostData(QStringLiteral("ignored"));
    r.request();
    const auto sent = server.lastRequest();
    EXPECT_EQ(sent.body, std::string("--part\r\n\x00\xFF binary", 17));
    EXPECT_EQ(sent.header("Content-Type"),
              "multipart/form-data; boundary=---------------------------"
              "20072377098235644401115438165");
    EXPECT_EQ(sent.header("Keep-Alive"), "115");
    EXPECT_EQ(sent.header("Accept"),
              "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8");
    EXPECT_EQ(sent.header("Content-Length"), "17");
}

TEST_F(HttpRequestTest, BasicAuthOnlyWithNonEmptyUserName) {
    struct Case {
        std::optional<QString> user;
        std::optional<QString> password;
        std::string expected;  // "" = no header
    };
    const Case cases[] = {
        {std::nullopt, QStringLiteral("pw"), ""},
        {QStringLiteral(""), QStringLiteral("pw"), ""},
        {QStringLiteral("admin"), QStringLiteral("secret"), "Basic YWRtaW46c2VjcmV0"},
        {QStringLiteral("admin"), std::nullopt, "Basic YWRtaW46"},
        // Non-ASCII credentials are encoded as UTF-8 before Base64.
        {QString::fromUtf8("j\xC3\xBCrgen"), QStringLiteral("p:w"), "Basic asO8cmdlbjpwOnc="},
    };
    for (const Case& c : cases) {
        HttpRequest r(server.url(QStringLiteral("/page")), net());
        r.setUsername(c.user);
        r.setPassword(c.password);
        r.request();
        EXPECT_EQ(requestHeader("Authorization"), c.expected);
        EXPECT_EQ(server.lastRequest().hasHeader("Authorization"), !c.expected.empty());
    }
}

TEST_F(HttpRequestTest, ExtraHeadersAndMobileUserAgent) {
    HttpRequest r(server.url(QStringLiteral("/page")), net());
    r.setExtraHeaders({{QStringLiteral("X-Requested-With"), QStringLiteral("XMLHttpRequest")},
                       {QStringLiteral("Content-Type"), QStringLiteral("application/json")}});
    r.setOverwriteUserAgent(false);
    r.request();
    EXPECT_EQ(requestHeader("X-Requested-With"), "XMLHttpRequest");
    EXPECT_EQ(requestHeader("Content-Type"), "application/json");  // replaces, not doubles
    EXPECT_EQ(requestHeader("User-Agent"), std::string(kMobileUserAgent.data()));
}

TEST_F(HttpRequestTest, ErrorStatusKeepsBodyButIsNotValid) {
    HttpRequest r(server.url(QStringLiteral("/missing")), net());
    r.request();
    EXPECT_FALSE(r.isResponseValid());
    EXPECT_EQ(r.statusCode(), 404);
    EXPECT_EQ(r.result(), QStringLiteral("not here"));
}

TEST_F(HttpRequestTest, DecodesUtf8AndGivesAbsentTextForOtherBytes) {
    HttpRequest utf8(server.url(QStringLiteral("/utf8")), net());
    utf8.request();
    EXPECT_EQ(utf8.result(), QString::fromUtf8("caf\xC3\xA9 \xE2\x82\xAC"));

    HttpRequest latin1(server.url(QStringLiteral("/latin1")), net());
    latin1.request();
    EXPECT_TRUE(latin1.isResponseValid());
    EXPECT_FALSE(latin1.result().has_value());
    EXPECT_EQ(latin1.responseData(), QByteArray("caf\xE9"));

    HttpRequest empty(server.url(QStringLiteral("/empty")), net());
    empty.request();
    ASSERT_TRUE(empty.result().has_value());
    EXPECT_TRUE(empty.result()->isEmpty());
}

TEST_F(HttpRequestTest, NoConnectionAndTimeOutGiveNoResponseAndEmptyText) {
    // A port nothing listens on: stop a server and reuse its port.
    test::TestServer closed;
    ASSERT_TRUE(closed.start());
    const QString deadUrl = closed.url(QStringLiteral("/page"));
    closed.stop();

    HttpRequest refused(deadUrl, net());
    refused.request();
    HttpRequest slow(server.url(QStringLiteral("/slow")), net());
    slow.setTimeout(1);
    slow.request();
    for (HttpRequest* r : {&refused, &slow}) {
        EXPECT_FALSE(r->urlResponse().has_value());
        EXPECT_FALSE(r->isResponseValid());
        EXPECT_TRUE(r->responseData().isEmpty());
        EXPECT_EQ(r->result(), QString());
        EXPECT_TRUE(r->result().has_value());
    }
}

TEST_F(HttpRequestTest, RedirectKeepsCookieAndSendsItBackAndExposesFinalHeaders) {
    HttpRequest r(server.url(QStringLiteral("/redirect")), net());
    r.request();
    EXPECT_TRUE(r.isResponseValid());
    EXPECT_EQ(r.result(), QStringLiteral("cookie=sid=abc123"));
    // Header names are matched without regard to case, as HTTP defines them.
    EXPECT_EQ(headerValue(r.headers(), "x-transmission-session-id"), QByteArray("token-42"));
    bool found = false;
    for (const Cookie& c : cookies.cookies()) {
        found |= c.name == QStringLiteral("sid") && c.value == QStringLiteral("abc123") &&
                 c.domain == QStringLiteral("127.0.0.1");
    }
    EXPECT_TRUE(found);
}

TEST_F(HttpRequestTest, RegExResultIsFirstGroupOrWholePage) {
    HttpRequestRegEx titled(server.url(QStringLiteral("/page")), QString::fromLatin1(kTitlePattern),
                            net());
    titled.request();
    EXPECT_EQ(titled.result(), QStringLiteral("Page"));
    ASSERT_TRUE(titled.elements().has_value());
    EXPECT_EQ(titled.elements()->size(), 2);

    HttpRequestRegEx untitled(server.url(QStringLiteral("/form")),
                              QString::fromLatin1(kTitlePattern), net());
    untitled.setType(QStringLiteral("POST"));
    untitled.request();
    EXPECT_EQ(untitled.result(), QStringLiteral("ok"));
    EXPECT_FALSE(untitled.elements().has_value());
}

}  // namespace
}  // namespace pelloran

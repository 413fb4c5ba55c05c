// Redirects on the wire, against a strict server (one that waits for the body a Content-Length
// announces, as real servers do): followed as browsers follow them, keeping cookies, and never
// carrying a body or credentials to another host.

#include "net/cookie_store.h"
#include "net/http_request.h"
#include "net/session.h"
#include "support/hostile_server.h"
#include "text/qstring_printer.h"

#include <gtest/gtest.h>

namespace pelloran {
namespace {

using test::HostileRequest;
using test::HostileServer;

// A limit well under the suites' own, so a hang shows up as a failure, not a stuck run.
constexpr int kLimitSeconds = 10;

class RedirectTest : public ::testing::Test {
protected:
    void SetUp() override {
        site.route("", "/landing", test::page("<html><title>Front</title>landed</html>"));
        other.route("", "*", test::page("<html><title>Elsewhere</title></html>"));
        ASSERT_TRUE(site.start());
        ASSERT_TRUE(other.start()) << "127.0.0.5 must be bindable on loopback";
    }

    NetContext net() { return NetContext{&cookies, nullptr}; }

    std::unique_ptr<HttpRequest> post(const QString& url, const QString& body) {
        auto r = std::make_unique<HttpRequest>(url, net());
        r->setType(QStringLiteral("POST"));
        r->setPostData(body);
        r->setTimeout(kLimitSeconds);
        r->request();
        return r;
    }

    std::vector<HostileRequest> arrivedAt(const HostileServer& server, const std::string& path) {
        std::vector<HostileRequest> found;
        for (const HostileRequest& r : server.requests()) {
            if (r.path == path) {
                found.push_back(r);
            }
        }
        return found;
    }

    HostileServer site;
    HostileServer other{HostileServer::Mode::Answer, "127.0.0.5"};
    CookieStore cookies;
};

TEST_F(RedirectTest, AfterPostMovedFoundOrSeeOtherTheNextRequestIsABodylessGet) {
    for (const int status : {301, 302, 303}) {
        SCOPED_TRACE(status);
        site.clearRecords();
        cookies.clear();
        test::Reply moved = test::redirect(status, "/landing");
        moved.headers.emplace_back("Set-Cookie", "sid=s" + std::to_string(status) + "; Path=/");
        site.route("POST", "/login", moved);

        const auto r = post(site.url(QStringLiteral("/login")), QStringLiteral("user=a&pw=b"));
        EXPECT_TRUE(r->isResponseValid());
        EXPECT_EQ(r->result(), QStringLiteral("<html><title>Front</title>landed</html>"));
        const auto landed = arrivedAt(site, "/landing");
        ASSERT_EQ(landed.size(), 1u);
        EXPECT_TRUE(landed[0].complete) << "the server was left waiting for a body";
        EXPECT_EQ(landed[0].method, "GET");
        EXPECT_EQ(landed[0].body, "");
        EXPECT_FALSE(landed[0].hasHeader("Content-Length"));
        EXPECT_FALSE(landed[0].hasHeader("Content-Type"));
        // The cookie set by the redirect goes along to the page it points to.
        EXPECT_EQ(landed[0].header("Cookie"), "sid=s" + std::to_string(status));
    }
}

TEST_F(RedirectTest, TemporaryAndPermanentRedirectsRepeatMethodAndBodyOnTheSameHost) {
    for (const int status : {307, 308}) {
        SCOPED_TRACE(status);
        site.clearRecords();
        site.route("POST", "/login", test::redirect(status, "/landing"));

        const auto r = post(site.url(QStringLiteral("/login")), QStringLiteral("user=a&pw=b"));
        EXPECT_TRUE(r->isResponseValid());
        const auto landed = arrivedAt(site, "/landing");
        ASSERT_EQ(landed.size(), 1u);
        EXPECT_EQ(landed[0].method, "POST");
        EXPECT_EQ(landed[0].body, "user=a&pw=b");
        EXPECT_EQ(landed[0].header("Content-Type"), "application/x-www-form-urlencoded");
        EXPECT_EQ(landed[0].header("Content-Length"), "11");
    }
}

TEST_F(RedirectTest, BodyIsNeverRepeatedToAnotherHost) {
    // Another host is another scheme, address or port: the same address on another port counts.
    HostileServer samePortless;
    samePortless.route("", "*", test::page("<html>wrong port</html>"));
    ASSERT_TRUE(samePortless.start());
    const std::string targets[] = {
        other.url(QStringLiteral("/steal")).toStdString(),
        samePortless.url(QStringLiteral("/steal")).toStdString(),
    };
    for (const std::string& target : targets) {
        for (const int status : {307, 308}) {
            SCOPED_TRACE(target + " " + std::to_string(status));
            site.route("POST", "/login", test::redirect(status, target));
            const auto r =
                post(site.url(QStringLiteral("/login")), QStringLiteral("password=secret"));
            EXPECT_FALSE(r->urlResponse().has_value());
            EXPECT_FALSE(r->isResponseValid());
            EXPECT_EQ(r->result(), QString());
        }
    }
    EXPECT_EQ(other.requests().size(), 0u);
    EXPECT_EQ(samePortless.requests().size(), 0u);
}

TEST_F(RedirectTest, CredentialsStayWithTheirHost) {
    site.route("GET", "/away", test::redirect(302, other.url(QStringLiteral("/x")).toStdString()));
    site.route("GET", "/near", test::redirect(302, "/landing"));

    HttpRequest away(site.url(QStringLiteral("/away")), net());
    away.setUsername(QStringLiteral("admin"));
    away.setPassword(QStringLiteral("secret"));
    away.setTimeout(kLimitSeconds);
    away.request();
    EXPECT_TRUE(away.isResponseValid());

    // Credentials written into the address itself.
    QString withUserInfo = site.url(QStringLiteral("/away"));
    withUserInfo.replace(QStringLiteral("http://"), QStringLiteral("http://admin:secret@"));
    HttpRequest inUrl(withUserInfo, net());
    inUrl.setTimeout(kLimitSeconds);
    inUrl.request();
    EXPECT_TRUE(inUrl.isResponseValid());

    const auto elsewhere = other.requests();
    ASSERT_EQ(elsewhere.size(), 2u);
    for (const HostileRequest& r : elsewhere) {
        EXPECT_FALSE(r.hasHeader("Authorization"));
    }
    for (const HostileRequest& r : arrivedAt(site, "/away")) {
        EXPECT_EQ(r.header("Authorization"), "Basic YWRtaW46c2VjcmV0");
    }

    // On the same host they go along.
    HttpRequest near(site.url(QStringLiteral("/near")), net());
    near.setUsername(QStringLiteral("admin"));
    near.setPassword(QStringLiteral("secret"));
    near.setTimeout(kLimitSeconds);
    near.request();
    const auto landed = arrivedAt(site, "/landing");
    ASSERT_EQ(landed.size(), 1u);
    EXPECT_EQ(landed[0].header("Authorization"), "Basic YWRtaW46c2VjcmV0");
}

TEST_F(RedirectTest, AnUploadThatAsksNotToFollowGetsTheRedirectAsItsAnswer) {
    for (const int status : {301, 302, 303, 307, 308}) {
        SCOPED_TRACE(status);
        site.clearRecords();
        site.route("POST", "/upload", test::redirect(status, "/landing"));
        HttpRequest upload(site.url(QStringLiteral("/upload")), net());
        upload.setType(QStringLiteral("POST"));
        upload.setPostData(QStringLiteral("torrent"));
        upload.setFollowRedirects(false);
        upload.setTimeout(kLimitSeconds);
        upload.request();
        EXPECT_EQ(upload.statusCode(), status);
        EXPECT_FALSE(upload.isResponseValid());
        EXPECT_EQ(site.count("", "/landing"), 0);
    }
}

TEST_F(RedirectTest, RedirectLoopEndsWithNoResponse) {
    site.route("", "/loop", test::redirect(302, "/loop"));
    HttpRequest r(site.url(QStringLiteral("/loop")), net());
    r.setTimeout(kLimitSeconds);
    r.request();
    EXPECT_FALSE(r.urlResponse().has_value());
    EXPECT_LE(site.count("GET", "/loop"), 21);
}

}  // namespace
}  // namespace pelloran

// Listing fetches on the wire: what a page fetch comes back with (rows, the end of the
// listing, no page, a page not understood), the favorites scan's window of ten in page order,
// and a site that never keeps its session, which must cost only a few sign-in posts.

#include "net/cookie_store.h"
#include "net/session.h"
#include "site/favorites_scan.h"
#include "site/session_renewer.h"
#include "site/sign_in.h"
#include "site/site_config.h"
#include "site/site_urls.h"
#include "site/snatch_list.h"
#include "site/torrent_listing.h"
#include "site/user_info.h"
#include "store/settings_store.h"
#include "support/temp_home.h"
#include "support/test_server.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTest>

#include <atomic>
#include <mutex>
#include <numeric>
#include <thread>

namespace pelloran {
namespace {

const QString kLoginTitle = QStringLiteral("Login :: Test Tracker");
const std::string kLoginPage =
    "<html><head><title>Login :: Test Tracker</title></head><body>form</body></html>";

std::string savedListing() {
    QFile f(QStringLiteral(PELLORAN_TEST_DATA_DIR "/listing_small.html"));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll().toStdString();
}

// What a front end owns, pointed at a TestServer standing in for the site.
class ListingFetchTest : public ::testing::Test {
protected:
    void startSite() {
        ASSERT_TRUE(server.start());
        config = SiteConfig::buildDefaults();
        config.siteHost = server.hostPort();
        config.cookieDomain = QStringLiteral("127.0.0.1");
        config.loginTitle = kLoginTitle;
        session = std::make_unique<Session>(config.loginUrl(), config.loginTitle);
    }

    SiteContext site() { return {{&cookies, session.get()}, &config, &settings, &userInfo}; }

    ListingOutcome fetch(const QString& url) {
        std::optional<ListingOutcome> got;
        OperationQueue queue(1);
        QObject context;
        queue.addOperation(std::make_unique<FetchPageAllTorrents>(
            url, site(), &context, [&](ListingOutcome o) { got = std::move(o); }));
        EXPECT_TRUE(QTest::qWaitFor([&] { return got.has_value(); }, 20000));
        return got.value_or(ListingOutcome{});
    }

    size_t requestsTo(const std::string& method, const std::string& path) const {
        size_t n = 0;
        for (const auto& r : server.requests()) {
            n += r.method == method && r.path == path;
        }
        return n;
    }

    test::TestServer server;
    test::TempHome home;
    SettingsStore settings{home.path()};
    CookieStore cookies;
    UserInfo userInfo;
    SiteConfig config;
    std::unique_ptr<Session> session;
};

TEST_F(ListingFetchTest, OutcomeOfOnePageFetch) {
    const std::string listing = savedListing();
    auto& s = server.server();
    s.Get("/rows", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content(listing, "text/html");
    });
    s.Get("/end", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<html><title>Browse</title><table><tr><th>Name</th></tr></table>",
                        "text/html");
    });
    s.Get("/changed", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content(QString::fromStdString(listing)
                            .replace(QStringLiteral("<a href="), QStringLiteral("<a rel=x href="))
                            .toStdString(),
                        "text/html");
    });
    s.Get("/missing", [&](const httplib::Request&, httplib::Response& res) {
        res.status = 404;
        res.set_content(listing, "text/html");  // even a listing-like body: not the page asked
    });
    s.Get("/binary", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(std::string("\xff\xfe<tr>\x80\x81", 8), "text/html");
    });
    ASSERT_NO_FATAL_FAILURE(startSite());
    test::TestServer closed;
    ASSERT_TRUE(closed.start());
    const QString closedUrl = closed.url(QStringLiteral("/rows"));
    closed.stop();

    struct Case {
        QString url;
        ListingStatus status;
        qsizetype rows;
    } cases[] = {
        {server.url(QStringLiteral("/rows")), ListingStatus::Rows, 3},
        {server.url(QStringLiteral("/end")), ListingStatus::Empty, 0},
        {server.url(QStringLiteral("/changed")), ListingStatus::NotUnderstood, 0},
        {server.url(QStringLiteral("/missing")), ListingStatus::NoPage, 0},
        {server.url(QStringLiteral("/binary")), ListingStatus::NotUnderstood, 0},
        {closedUrl, ListingStatus::NoPage, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url.toStdString());
        const ListingOutcome outcome = fetch(c.url);
        EXPECT_EQ(outcome.status, c.status);
        EXPECT_EQ(outcome.torrents.size(), c.rows);
        EXPECT_EQ(outcome.url, c.url);
        EXPECT_EQ(outcome.sessionStop, SessionStop::None);
    }
}

TEST_F(ListingFetchTest, AListFetchWaitsForAReloginNoLongerThanItsActionLimit) {
    // The session is lost and the re-login never comes back (the front end is going away, say):
    // the page and the snatch list still end, without a page, at their action's limit.
    auto& s = server.server();
    for (const char* path : {"/rows", "/user/account/snatchlist"}) {
        s.Get(path, [](const httplib::Request&, httplib::Response& res) {
            res.set_content(kLoginPage, "text/html");
        });
        s.Post(path, [](const httplib::Request&, httplib::Response& res) {
            res.set_content(kLoginPage, "text/html");
        });
    }
    ASSERT_NO_FATAL_FAILURE(startSite());
    std::atomic<int> relogins{0};
    session->setReloginHandler([&] { ++relogins; });
    session->setShowLogin(true);
    session->setSessionValidated(true);
    constexpr std::chrono::milliseconds kLimit{300};
    OperationQueue queue(1);
    QObject context;

    std::optional<ListingOutcome> page;
    auto fetchPage = std::make_unique<FetchPageAllTorrents>(
        server.url(QStringLiteral("/rows")), site(), &context,
        [&](ListingOutcome o) { page = std::move(o); });
    fetchPage->setActionLimit(kLimit);
    queue.addOperation(std::move(fetchPage));
    ASSERT_TRUE(QTest::qWaitFor([&] { return page.has_value(); }, 20000));
    EXPECT_EQ(page->status, ListingStatus::NoPage);
    EXPECT_EQ(page->sessionStop, SessionStop::OutOfTime);

    bool snatchDelivered = false;
    std::optional<TorrentList> snatched = TorrentList{};
    auto fetchSnatch = std::make_unique<FetchPageAllSnatchTorrents>(
        server.url(QStringLiteral("/user/account/snatchlist")), QStringLiteral("a=1"), site().net,
        &context, [&](std::optional<TorrentList> rows) {
            snatched = std::move(rows);
            snatchDelivered = true;
        });
    fetchSnatch->setActionLimit(kLimit);
    queue.addOperation(std::move(fetchSnatch));
    ASSERT_TRUE(QTest::qWaitFor([&] { return snatchDelivered; }, 20000));
    EXPECT_FALSE(snatched.has_value());
    EXPECT_EQ(relogins.load(), 1);
}

TEST_F(ListingFetchTest, FavoritesScanKeepsTenPagesInFlightAndHandsThemOverInOrder) {
    constexpr int kPages = 30;
    std::atomic<int> handedOver{0};
    std::mutex mutex;
    std::vector<std::string> tooEarly;  // pages asked for before their window opened
    server.server().Get(
        R"(/torrents/browse/index/categories/[0-9,]+/page/(\d+))",
        [&](const httplib::Request& req, httplib::Response& res) {
            const int page = std::stoi(req.matches[1]);
            if (page - FavoritesScan::kWindow > handedOver.load()) {
                std::lock_guard lock(mutex);
                tooEarly.push_back(req.path);
            }
            // Within each window the later pages answer first.
            std::this_thread::sleep_for(std::chrono::milliseconds((10 - page % 10) * 3));
            res.set_content("<html><title>Browse</title><table></table></html>", "text/html");
        });
    ASSERT_NO_FATAL_FAILURE(startSite());

    std::vector<int> order;
    bool done = false;
    int mostInFlight = 0;
    FavoritesScan* running = nullptr;
    FavoritesScan scan(
        site(),
        [&](int page, const ListingOutcome& outcome) {
            ++handedOver;
            order.push_back(page);
            mostInFlight = std::max(mostInFlight, running->inFlight() + 1);
            EXPECT_EQ(outcome.status, ListingStatus::Empty);
        },
        [&] { done = true; });
    running = &scan;
    EXPECT_FALSE(scan.start(1, kMaxFavoritesPages + 1));
    EXPECT_FALSE(scan.start(kMaxPageNumber - 1, 3));
    EXPECT_FALSE(scan.start(0, 3));
    ASSERT_TRUE(scan.start(1, kPages));
    EXPECT_FALSE(scan.start(1, 1));  // one block at a time
    ASSERT_TRUE(QTest::qWaitFor([&] { return done; }, 30000));

    std::vector<int> expected(kPages);
    std::iota(expected.begin(), expected.end(), 1);
    EXPECT_EQ(order, expected);
    EXPECT_EQ(mostInFlight, FavoritesScan::kWindow);
    EXPECT_TRUE(tooEarly.empty()) << tooEarly.front();
    EXPECT_EQ(server.requestCount(), size_t(kPages));
}

// A site that takes the sign-in form but answers every other page with its login page: the
// session cookie it sets names another domain, so it is never sent back.
class SignInStormTest : public ListingFetchTest {
protected:
    void SetUp() override {
        auto& s = server.server();
        s.Post("/user/account/login/", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("Set-Cookie", "sid=1; Domain=elsewhere.example; Path=/");
            res.set_content("<html><head><title>Browse :: Test Tracker</title></head></html>",
                            "text/html");
        });
        s.Get(R"(/.*)", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(kLoginPage, "text/html");
        });
        ASSERT_NO_FATAL_FAILURE(startSite());
        storeCredentials(settings, QStringLiteral("member"), QStringLiteral("secret&pass"), true);
    }

    size_t signInPosts() const { return requestsTo("POST", "/user/account/login/"); }

    // The member signs in by hand and the main interface comes up.
    void signInByHand() {
        std::shared_ptr<HttpRequest> answer;
        OperationQueue queue(1);
        QObject context;
        queue.addOperation(std::make_unique<FetchPageSignIn>(
            config.loginUrl(), QStringLiteral("member"), QStringLiteral("secret&pass"),
            std::nullopt, QString(), site(), &context,
            [&](std::shared_ptr<HttpRequest> r) { answer = std::move(r); }));
        ASSERT_TRUE(QTest::qWaitFor([&] { return answer != nullptr; }, 20000));
        ASSERT_TRUE(judgeSignIn(*answer, *session).ok);
        session->signInAccepted();
        session->setShowLogin(true);
    }
};

TEST_F(SignInStormTest, FavoritesScanCostsAtMostFourSignInPosts) {
    // Forty pages: four windows, more than the re-logins a minute allows.
    constexpr int kPages = 40;
    std::vector<QString> failures;
    SessionRenewer renewer(site(), [&](const SignInVerdict& verdict) {
        // What the app does: its login face comes up. The test also lets go of the requests
        // that would wait there for a sign-in by hand.
        failures.push_back(verdict.message);
        session->setShowLogin(false);
        session->abandonWaits();
    });
    renewer.install();
    ASSERT_NO_FATAL_FAILURE(signInByHand());

    std::vector<ListingOutcome> pages;
    bool done = false;
    FavoritesScan scan(
        site(), [&](int, const ListingOutcome& outcome) { pages.push_back(outcome); },
        [&] { done = true; });
    ASSERT_TRUE(scan.start(1, kPages));
    ASSERT_TRUE(QTest::qWaitFor([&] { return done; }, 60000));

    EXPECT_LE(signInPosts(), 4u);
    EXPECT_EQ(session->reloginCount(), Session::kMaxReloginsPerWindow);
    EXPECT_EQ(failures, std::vector<QString>{QString(kSiteKeepsAskingMessage)});
    ASSERT_EQ(pages.size(), size_t(kPages));
    int stopped = 0;
    for (const ListingOutcome& page : pages) {
        // Nothing to show: pages the session stopped, then the login page as a plain page
        // once the login face is up.
        EXPECT_TRUE(page.status == ListingStatus::NoPage || page.status == ListingStatus::Empty);
        EXPECT_TRUE(page.torrents.isEmpty());
        stopped += page.sessionStop != SessionStop::None;
    }
    EXPECT_GE(stopped, 1);
}

}  // namespace
}  // namespace pelloran

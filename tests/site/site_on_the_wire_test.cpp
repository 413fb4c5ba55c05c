// The site scrapers against the demo tracker, on the wire: signing in (short and CAPTCHA
// forms, every failure message), the member bar, listings with history marks and working
// download addresses, the snatch list, details, profiles, the forum, and a session lost in
// the middle of a listing fetch.

#include "net/http_request.h"
#include "net/operation_queue.h"
#include "net/url_loader.h"
#include "site/announcement.h"
#include "site/captcha.h"
#include "site/page_rewriting.h"
#include "site/session_renewer.h"
#include "site/sign_in.h"
#include "site/site_urls.h"
#include "site/snatch_list.h"
#include "site/torrent_listing.h"
#include "store/settings_keys.h"
#include "support/demo_fixture.h"
#include "support/test_server.h"
#include "text/url_escaping.h"

#include <QImage>
#include <QTest>
#include <QUrl>
#include <map>
#include <mutex>
#include <thread>

namespace pelloran {
namespace {

using test::DemoFixture;

// Runs one operation on a queue and waits on the UI thread for what it delivers.
template <typename Op, typename... Args>
auto runOperation(Args&&... args) {
    using Result = std::decay_t<decltype(std::declval<Op>().returnObject())>;
    std::optional<Result> got;
    OperationQueue queue(1);
    QObject context;
    queue.addOperation(std::make_unique<Op>(std::forward<Args>(args)..., &context,
                                            [&](Result r) { got = std::move(r); }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return got.has_value(); }, 20000));
    return got.value_or(Result{});
}

class SiteOnTheWireTest : public DemoFixture {
protected:
    std::shared_ptr<HttpRequest> signIn(const QString& user, const QString& password,
                                        const std::optional<QString>& challenge = std::nullopt,
                                        const QString& answer = QString()) {
        return runOperation<FetchPageSignIn>(config.loginUrl(), user, password, challenge, answer,
                                             siteContext());
    }
    SignInVerdict signInVerdict(const QString& user, const QString& password) {
        auto request = signIn(user, password);
        return request ? judgeSignIn(*request, *session) : SignInVerdict{};
    }
    QString lastLoginPostBody() {
        QString body;
        for (const auto& r : site.requestLog(QStringLiteral("site"))) {
            if (r.method == QStringLiteral("POST") &&
                r.path == QStringLiteral("/user/account/login/")) {
                body = QString::fromUtf8(r.body);
            }
        }
        return body;
    }
};

TEST_F(SiteOnTheWireTest, SignInRoundTripFillsMemberBarAndCookies) {
    auto check = runOperation<FetchPageLoginCheck>(config.sessionCheckUrl(), siteContext());
    ASSERT_TRUE(check);
    EXPECT_FALSE(isStillSignedIn(*check, *session));  // nobody signed in yet
    EXPECT_EQ(check->result(), site.loginTitle());

    auto request = signIn(site.memberName(), site.memberPassword());
    const SignInVerdict verdict = judgeSignIn(*request, *session);
    EXPECT_TRUE(verdict.ok);
    EXPECT_EQ(verdict.message, QString());
    EXPECT_FALSE(hasCaptchaRequest(request->result()));
    EXPECT_EQ(lastLoginPostBody(),
              QStringLiteral("username=demo&password=demo-pass-42&remember_me=on&login=submit"));
    EXPECT_EQ(userInfo.username(), QStringLiteral("demo"));
    EXPECT_EQ(userInfo.ids(), site.memberId());
    EXPECT_EQ(userInfo.ratio(), site.member(QStringLiteral("demo"))->ratio);

    auto again = runOperation<FetchPageLoginCheck>(config.sessionCheckUrl(), siteContext());
    EXPECT_TRUE(isStillSignedIn(*again, *session));
    // The cookies outlive this store: a second program start finds the member signed in.
    CookieStore reloaded(home.file(QStringLiteral("cookies.txt")));
    QStringList names;
    for (const Cookie& c : reloaded.cookies()) {
        if (c.domain == site.cookieDomain()) {
            names.append(c.name);
        }
    }
    EXPECT_TRUE(names.contains(QStringLiteral("qauid")));
    EXPECT_TRUE(names.contains(QStringLiteral("pelloran_session")));
}

TEST_F(SiteOnTheWireTest, PasswordWithReservedCharactersSignsIn) {
    const SignInVerdict verdict =
        signInVerdict(QStringLiteral("quietfox"), QStringLiteral("p&ss%41+x"));
    EXPECT_TRUE(verdict.ok) << verdict.message.toStdString();
    EXPECT_EQ(userInfo.username(), QStringLiteral("quietfox"));
}

TEST_F(SiteOnTheWireTest, EachFailureMessage) {
    EXPECT_EQ(signInVerdict(site.memberName(), QStringLiteral("wrong")).message,
              QStringLiteral("Bad username or password."));

    site.setRequireCaptcha(true);
    auto noWords = signIn(site.memberName(), site.memberPassword());
    EXPECT_EQ(judgeSignIn(*noWords, *session).message,
              QStringLiteral("Bad captcha image information.  Try again."));
    EXPECT_TRUE(hasCaptchaRequest(noWords->result()));
    // Right words, wrong password: the page says both, the user name message wins.
    auto challenge = runOperation<FetchPageCaptcha>(config.loginUrl(), siteContext());
    ASSERT_TRUE(challenge.has_value());
    auto both = signIn(site.memberName(), QStringLiteral("wrong"), challenge->token,
                       site.captchaAnswerFor(challenge->token).value_or(QString()));
    EXPECT_TRUE(isInvalidUsername(both->result()));
    EXPECT_EQ(judgeSignIn(*both, *session).message, QStringLiteral("Bad username or password."));
    EXPECT_TRUE(hasCaptchaRequest(both->result()));

    // A login page with none of the known markers.
    test::TestServer odd;
    odd.server().Post("/user/account/login/", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content("<html><title>" + site.loginTitle().toStdString() + "</title>?</html>",
                        "text/html");
    });
    ASSERT_TRUE(odd.start());
    auto unknown = runOperation<FetchPageSignIn>(odd.url(QStringLiteral("/user/account/login/")),
                                                 QStringLiteral("a"), QStringLiteral("b"),
                                                 std::nullopt, QString(), siteContext());
    EXPECT_EQ(judgeSignIn(*unknown, *session).message,
              QStringLiteral("Unknown login error.  Verify you have cookies enabled.  Goto "
                             "Settings->Safari->Accept Cookies.  Select 'From visited' or "
                             "'Always' and restart the app."));
    EXPECT_FALSE(hasCaptchaRequest(unknown->result()));

    site.stop();
    auto offline = signIn(site.memberName(), site.memberPassword());
    EXPECT_EQ(judgeSignIn(*offline, *session).message, QStringLiteral("Connection error."));
    EXPECT_FALSE(hasCaptchaRequest(offline->result()));  // no page: the CAPTCHA area goes
}

TEST_F(SiteOnTheWireTest, CaptchaChallengeThenLongFormSignsIn) {
    site.setRequireCaptcha(true);
    auto challenge = runOperation<FetchPageCaptcha>(config.loginUrl(), siteContext());
    ASSERT_TRUE(challenge.has_value());
    EXPECT_EQ(challenge->imageUrl, QStringLiteral("http://") + site.captchaHost() +
                                       QStringLiteral("/image?c=") + challenge->token);
    UrlLoadRequest picture;
    picture.url = challenge->imageUrl;
    const UrlLoadResult png = loadUrl(picture, *cookies);
    EXPECT_FALSE(QImage::fromData(png.body).isNull());

    const QString answer = site.captchaAnswerFor(challenge->token).value_or(QString());
    auto request = signIn(site.memberName(), site.memberPassword(), challenge->token, answer);
    EXPECT_TRUE(judgeSignIn(*request, *session).ok);
    EXPECT_EQ(lastLoginPostBody(),
              QStringLiteral("username=demo&password=demo-pass-42&recaptcha_challenge_field=") +
                  challenge->token + QStringLiteral("&recaptcha_response_field=") + answer +
                  QStringLiteral("&remember_me=on&login=submit"));

    // Without a CAPTCHA on the login page there is nothing to load.
    site.setRequireCaptcha(false);
    EXPECT_FALSE(runOperation<FetchPageCaptcha>(config.loginUrl(), siteContext()).has_value());
}

// The challenge token goes into the picture address as one query value: a token holding
// "&", "=", "#", "+" or a space still reaches the CAPTCHA service whole.
TEST_F(SiteOnTheWireTest, CaptchaTokenStaysOneQueryValue) {
    const std::string token = "t0k&c=other#frag +%41";
    test::TestServer service;
    std::mutex mutex;
    std::vector<std::multimap<std::string, std::string>> pictureQueries;
    service.server().Get(
        "/user/account/login/", [&](const httplib::Request&, httplib::Response& res) {
            res.set_content(
                "<html><script type=\"text/javascript\" src=\"" +
                    service.url(QStringLiteral("/recaptcha/api/challenge?k=1")).toStdString() +
                    "\"></script></html>",
                "text/html");
        });
    service.server().Get(
        "/recaptcha/api/challenge", [&](const httplib::Request&, httplib::Response& res) {
            res.set_content(
                "var RecaptchaState = {\n challenge : '" + token + "',\n timeout : 1800\n};",
                "text/javascript");
        });
    service.server().Get("/image", [&](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard lock(mutex);
        pictureQueries.emplace_back(req.params.begin(), req.params.end());
        res.set_content("picture", "image/png");
    });
    ASSERT_TRUE(service.start());
    config.captchaHost = service.hostPort();
    const auto challenge = runOperation<FetchPageCaptcha>(
        service.url(QStringLiteral("/user/account/login/")), siteContext());
    ASSERT_TRUE(challenge.has_value());
    EXPECT_EQ(challenge->token, QString::fromStdString(token));
    UrlLoadRequest picture;
    picture.url = challenge->imageUrl;
    EXPECT_EQ(loadUrl(picture, *cookies).body, QByteArray("picture"));
    std::lock_guard lock(mutex);
    ASSERT_EQ(pictureQueries.size(), 1u);
    EXPECT_EQ(pictureQueries[0], (std::multimap<std::string, std::string>{{"c", token}}));
}

TEST_F(SiteOnTheWireTest, ListingRowsMarksAndDownloadAddressesThatWork) {
    ASSERT_TRUE(judgeSignIn(*signIn(site.memberName(), site.memberPassword()), *session).ok);
    int checkedDownloads = 0;
    for (int page = 1; page <= 4; ++page) {
        const QString url = browseUrl(config, *settings, page);
        const auto expected = demo::DemoSite::clientRows(site.listing(QUrl(url).path()));
        ASSERT_FALSE(expected.empty());
        settings->setValue(keys::torrentHistory, QStringList{expected.front().name});
        const ListingOutcome listing = runOperation<FetchPageAllTorrents>(url, siteContext());
        ASSERT_EQ(listing.status, ListingStatus::Rows);
        const TorrentList& rows = listing.torrents;
        ASSERT_EQ(rows.size(), qsizetype(expected.size()));
        for (qsizetype i = 0; i < rows.size(); ++i) {
            const TorrentPtr& t = rows[i];
            const demo::DemoTorrent& d = expected[size_t(i)];
            EXPECT_EQ(t->name(), d.name);
            EXPECT_EQ(t->size(), d.sizeText);
            EXPECT_EQ(t->up(), QString::number(d.seeders));
            EXPECT_EQ(t->date(), d.date);
            EXPECT_EQ(t->type(), d.categoryImage);
            EXPECT_EQ(t->isDownloaded(), t->name() == expected.front().name);
            // Every download address the reader builds fetches that row's own file.
            UrlLoadRequest file;
            file.url = torrentFileUrl(config, t->downloadUrl().value_or(QString()));
            const UrlLoadResult got = loadUrl(file, *cookies);
            EXPECT_EQ(got.body, d.torrentFile) << file.url.toStdString();
            ++checkedDownloads;
        }
    }
    EXPECT_GT(checkedDownloads, 80);
    // Past the last page: the end of the listing, not a failure.
    const ListingOutcome past =
        runOperation<FetchPageAllTorrents>(browseUrl(config, *settings, 999), siteContext());
    EXPECT_EQ(past.status, ListingStatus::Empty);
    EXPECT_TRUE(past.torrents.isEmpty());
}

// Search words are one path segment, whatever they hold: the site reads back exactly the
// words typed and finds the torrent. Raw, "/" would split them, "?" and "#" end the path.
TEST_F(SiteOnTheWireTest, SearchWordsStayOnePathSegment) {
    ASSERT_TRUE(judgeSignIn(*signIn(site.memberName(), site.memberPassword()), *session).ok);
    for (const QString& words : {QStringLiteral("AC/DC"), QStringLiteral("What?"),
                                 QStringLiteral("#1 Record"), QStringLiteral("100% Pure")}) {
        SCOPED_TRACE(words.toStdString());
        const demo::DemoTorrent* wanted = nullptr;
        for (const demo::DemoTorrent& t : site.torrents()) {
            wanted = !wanted && t.name.contains(words) ? &t : wanted;
        }
        ASSERT_NE(wanted, nullptr) << "the demo catalog lost its punctuated names";
        site.clearRequestLog();
        const ListingOutcome listing = runOperation<FetchPageAllTorrents>(
            searchUrl(config, *settings, escapedSearchWords(words), 1), siteContext());
        ASSERT_EQ(listing.status, ListingStatus::Rows);
        bool found = false;
        for (const TorrentPtr& t : listing.torrents) {
            found = found || t->name() == wanted->name;
            EXPECT_TRUE(t->name().value_or(QString()).contains(words, Qt::CaseInsensitive));
        }
        EXPECT_TRUE(found);
        const auto log = site.requestLog(QStringLiteral("site"));
        ASSERT_EQ(log.size(), 1u);
        EXPECT_EQ(log[0].query, QString());
        const std::optional<demo::ListingQuery> query = demo::ListingQuery::fromPath(log[0].path);
        ASSERT_TRUE(query.has_value()) << log[0].target.toStdString();
        EXPECT_EQ(query->search, words);
    }
}

TEST_F(SiteOnTheWireTest, SnatchListShowsTheFirstFifty) {
    ASSERT_TRUE(judgeSignIn(*signIn(site.memberName(), site.memberPassword()), *session).ok);
    const auto rows = runOperation<FetchPageAllSnatchTorrents>(
        snatchListUrl(config), snatchListBody(userInfo.ids().value_or(QString())), net());
    const auto expected = site.snatchList(site.memberName());
    ASSERT_GT(expected.size(), 50u);
    ASSERT_TRUE(rows.has_value());
    ASSERT_EQ(rows->size(), 50);
    bool slash = false, quote = false, beyondAscii = false;
    for (int i = 0; i < 50; ++i) {
        const demo::DemoSnatch& s = expected[size_t(i)];
        EXPECT_EQ((*rows)[i]->detailsUrl(), s.detailsHref);
        EXPECT_EQ((*rows)[i]->ratio(), s.ratio);
        EXPECT_EQ((*rows)[i]->size(), s.sizeText);
        // The name the listing shows: no JSON escape ("\/", "\"", "\u5343") and no
        // character reference left.
        EXPECT_EQ((*rows)[i]->name(), s.name);
        slash = slash || s.name.contains(QLatin1Char('/'));
        quote = quote || s.name.contains(QLatin1Char('"'));
        beyondAscii = beyondAscii || std::any_of(s.name.begin(), s.name.end(),
                                                 [](QChar c) { return c.unicode() > 127; });
    }
    EXPECT_TRUE(slash && quote && beyondAscii) << "the demo's first rows lost their hard names";
}

TEST_F(SiteOnTheWireTest, DetailsProfileAndForumPages) {
    ASSERT_TRUE(judgeSignIn(*signIn(site.memberName(), site.memberPassword()), *session).ok);
    const demo::DemoTorrent* film = nullptr;
    for (const auto& t : site.torrents()) {
        film = (!film && !t.imdbId.isEmpty()) ? &t : film;
    }
    ASSERT_NE(film, nullptr);
    HttpRequestRegExDetails details(detailsPageUrl(config, film->detailsHref), siteContext());
    details.request();
    EXPECT_EQ(details.imdb(),
              QStringLiteral("http://www.imdb.com/title/") + film->imdbId + QLatin1Char('/'));
    ASSERT_TRUE(details.result().has_value());
    EXPECT_TRUE(details.result()->contains(QStringLiteral("<div id=\"torrent\">")));
    EXPECT_FALSE(details.result()->contains(QStringLiteral("pageTools")));
    EXPECT_FALSE(details.result()->contains(QStringLiteral("memberBar")));

    HttpRequestRegExProfileDetails nobody(profileUrl(config, QStringLiteral("nobody here")), net());
    nobody.request();
    EXPECT_EQ(nobody.result(), kProfileErrorPage);
    HttpRequestRegExProfileDetails member(profileUrl(config, site.memberName()), net());
    member.request();
    EXPECT_TRUE(member.result()->contains(QStringLiteral("<div id=\"profile\">")));

    HttpRequestRegExForum forum(config.forumUrl(QStringLiteral("/")), net());
    forum.request();
    EXPECT_TRUE(forum.isResponseValid());
    const auto log = site.requestLog(QStringLiteral("forum"));
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().userAgent(), QString(kMobileUserAgent));
}

TEST_F(SiteOnTheWireTest, AnnouncementAnswersAndItsTimeLimit) {
    site.setAnnouncement(QStringLiteral("STOP:Closed for maintenance"));
    const Announcement stop = checkAnnouncement(config, net(), QStringLiteral("1.2.3"));
    EXPECT_EQ(stop.kind, Announcement::Kind::Stop);
    EXPECT_EQ(stop.message, QStringLiteral("Closed for maintenance"));
    const auto log = site.requestLog(QStringLiteral("announce"));
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].path, QStringLiteral("/pelloran.php"));
    EXPECT_TRUE(log[0].query.startsWith(QStringLiteral("v=1.2.3&m=")));
    EXPECT_TRUE(log[0].query.contains(QStringLiteral("&p=")));

    site.setAnnouncement(QString());
    EXPECT_EQ(checkAnnouncement(config, net(), QStringLiteral("1")).kind,
              Announcement::Kind::Proceed);

    // An endpoint that doesn't answer in time lets the member in after the limit.
    test::TestServer silent;
    silent.server().Get("/pelloran.php", [](const httplib::Request&, httplib::Response& res) {
        std::this_thread::sleep_for(std::chrono::seconds(5));
        res.set_content("STOP:too late", "text/plain");
    });
    ASSERT_TRUE(silent.start());
    SiteConfig slow = config;
    slow.announceHost = silent.hostPort();
    // Proceed, not the late "STOP": the check gave up at its own limit, before the answer.
    EXPECT_EQ(checkAnnouncement(slow, net(), QStringLiteral("1")).kind,
              Announcement::Kind::Proceed);
}

TEST_F(SiteOnTheWireTest, SessionLostMidListingIsRenewedSilently) {
    storeCredentials(*settings, site.memberName(), site.memberPassword(), true);
    ASSERT_TRUE(judgeSignIn(*signIn(site.memberName(), site.memberPassword()), *session).ok);
    session->setShowLogin(true);  // the main interface is on screen
    std::atomic<int> failures{0};
    SessionRenewer renewer(siteContext(), [&](const SignInVerdict&) { ++failures; });
    renewer.install();

    site.expireAllSessions();
    const ListingOutcome rows =
        runOperation<FetchPageAllTorrents>(browseUrl(config, *settings, 1), siteContext());
    ASSERT_EQ(rows.status, ListingStatus::Rows);
    EXPECT_FALSE(rows.torrents.isEmpty());
    EXPECT_EQ(session->reloginCount(), 1);
    EXPECT_EQ(failures.load(), 0);
    EXPECT_TRUE(session->sessionValidated());

    // Stored credentials that no longer work: the renewer reports it and the front end gives
    // up on the waiting request, which ends without a page.
    storeCredentials(*settings, site.memberName(), QStringLiteral("changed"), true);
    QString failureMessage;
    SessionRenewer failing(siteContext(), [&](const SignInVerdict& verdict) {
        failureMessage = verdict.message;
        ++failures;
        session->abandonWaits();
    });
    failing.install();
    site.expireAllSessions();
    const ListingOutcome none =
        runOperation<FetchPageAllTorrents>(browseUrl(config, *settings, 1), siteContext());
    EXPECT_EQ(none.status, ListingStatus::NoPage);
    EXPECT_EQ(none.sessionStop, SessionStop::Abandoned);
    EXPECT_EQ(failures.load(), 1);
    EXPECT_EQ(failureMessage, QStringLiteral("Bad username or password."));
    EXPECT_FALSE(session->sessionValidated());
}

TEST_F(SiteOnTheWireTest, SignInWhoseCookiesCannotBeSavedIsAFailure) {
    // A regular file stands where the cookies' folder would have to be.
    QFile plain(home.file(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    cookies = std::make_unique<CookieStore>(home.file(QStringLiteral("plain/cookies.txt")));
    auto request = signIn(site.memberName(), site.memberPassword());
    ASSERT_TRUE(request);
    EXPECT_TRUE(judgeSignIn(*request, *session).ok);  // the site did sign the member in
    const SignInVerdict verdict = judgeSignIn(*request, *session, cookies.get());
    EXPECT_FALSE(verdict.ok);
    EXPECT_EQ(verdict.message, cookies->saveProblem().value_or(QString()));
    EXPECT_TRUE(verdict.message.contains(cookies->filePath()));
}

}  // namespace
}  // namespace pelloran

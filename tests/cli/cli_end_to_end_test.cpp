// pelloran-cli end to end: the built program against the demo tracker and a real
// transmission-daemon, as a member (or a script) would use it.

#include "cli/cli_fixture.h"
#include "net/cookie_store.h"
#include "site/filter.h"
#include "site/listing_outcome.h"
#include "site/sign_in.h"
#include "support/demo_fixture.h"
#include "support/need_installed.h"
#include "support/qbittorrent_daemon.h"
#include "support/temp_home.h"
#include "support/test_server.h"
#include "support/transmission_daemon.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QUrl>
#include <cstdlib>
#include <memory>
#include <vector>

namespace pelloran {
namespace {

const QStringList kListingCommands[] = {
    {QStringLiteral("browse")},
    {QStringLiteral("search"), QStringLiteral("x264")},
    {QStringLiteral("favorites"), QStringLiteral("--pages"), QStringLiteral("3")},
    {QStringLiteral("push"), QStringLiteral("--browse-row"), QStringLiteral("0")},
};

TEST_F(CliTest, TwentyRunsAddingFiltersAtOnceKeepAllTwenty) {
    std::vector<QStringList> runs;
    QStringList expected;
    for (int i = 0; i < 20; ++i) {
        const QString keyword = QStringLiteral("keyword%1").arg(i);
        runs.push_back({QStringLiteral("filters"), QStringLiteral("add"), keyword});
        expected.append(keyword);
    }
    for (const CliRun& run : cliTogether(runs)) {
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.err, QString());
    }
    QStringList kept;
    for (const QString& line : cli({QStringLiteral("filters")}).out.split(QLatin1Char('\n'))) {
        if (!line.isEmpty()) {
            kept.append(line.section(QLatin1Char(' '), -1));
        }
    }
    kept.sort();
    expected.sort();
    EXPECT_EQ(kept, expected);
}

TEST_F(CliTest, TwentyPushesAtOnceToRealTransmissionAreAllInTheHistory) {
    PELLORAN_NEED_INSTALLED(daemonAvailable(), "transmission-daemon");
    test::TransmissionDaemon daemon;
    ASSERT_TRUE(useTransmission(daemon));
    ASSERT_EQ(signIn().exitCode, 0);

    std::vector<QStringList> runs;
    QStringList names;
    for (int page = 1; runs.size() < 20 && page <= 3; ++page) {
        for (const QJsonValue& row : jsonRows(
                 {QStringLiteral("browse"), QStringLiteral("--page"), QString::number(page)})) {
            if (runs.size() == 20) {
                break;
            }
            const QJsonObject o = row.toObject();
            const QString name = o.value(QStringLiteral("name")).toString();
            runs.push_back({QStringLiteral("push"), QStringLiteral("--url"),
                            QStringLiteral("http://") + test::configFor(site).siteHost +
                                o.value(QStringLiteral("downloadUrl")).toString(),
                            QStringLiteral("--name"), name});
            names.append(name);
        }
    }
    ASSERT_EQ(runs.size(), 20u);
    for (const CliRun& run : cliTogether(runs)) {
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    }
    const auto held = daemon.torrents();
    ASSERT_TRUE(held.has_value());
    EXPECT_EQ(held->size(), 20u);
    QStringList history;
    for (const QString& line : cli({QStringLiteral("history")}).out.split(QLatin1Char('\n'))) {
        if (!line.isEmpty()) {
            history.append(line.mid(5));  // after the row number column
        }
    }
    history.sort();
    names.sort();
    EXPECT_EQ(history, names);
    // Twenty programs wrote the activity database at once: every push is there, once.
    const QJsonArray logged =
        QJsonDocument::fromJson(cli({QStringLiteral("activity"), QStringLiteral("--json"),
                                     QStringLiteral("--limit"), QStringLiteral("100")})
                                    .out.toUtf8())
            .array();
    QStringList loggedNames;
    for (const QJsonValue& v : logged) {
        const QJsonObject p = v.toObject();
        EXPECT_EQ(p.value(QStringLiteral("outcome")).toString(), QStringLiteral("sent"));
        EXPECT_EQ(p.value(QStringLiteral("origin")).toString(), QStringLiteral("commandLine"));
        loggedNames.append(p.value(QStringLiteral("name")).toString());
    }
    loggedNames.sort();
    EXPECT_EQ(loggedNames, names);
}

// Files the stores can't use: each is set aside and named once on stderr, and a sign-in whose
// cookies can't be kept fails with the reason instead of claiming success.
TEST_F(CliTest, FileProblemsAreToldOnceAndASignInThatCantBeKeptFails) {
    const QString settingsFile = QDir(home.path()).filePath(QStringLiteral("settings.json"));
    const QString cookieFile = QDir(home.path()).filePath(QStringLiteral("cookies.txt"));
    QFile broken(settingsFile);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("{\"Pelloran_filters\": [");
    broken.close();
    QFile huge(cookieFile);
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(8 * 1024 * 1024));
    huge.close();

    const CliRun first = cli({QStringLiteral("filters")});
    EXPECT_EQ(first.exitCode, 0);
    const QStringList lines = first.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << first.err.toStdString();
    const QStringList asides =
        QDir(home.path()).entryList({QStringLiteral("*.unreadable-*")}, QDir::Files);
    ASSERT_EQ(asides.size(), 2);
    for (const QString& aside : asides) {
        const QString original = aside.section(QStringLiteral(".unreadable-"), 0, 0);
        EXPECT_EQ(first.err.count(QDir(home.path()).filePath(aside)), 1) << aside.toStdString();
        EXPECT_EQ(first.err.count(QDir(home.path()).filePath(original) + QLatin1Char(' ')), 1);
    }
    EXPECT_EQ(
        QFileInfo(QDir(home.path()).filePath(asides.filter(QStringLiteral("cookies"))[0])).size(),
        8 * 1024 * 1024);                                        // kept whole, not overwritten
    EXPECT_EQ(cli({QStringLiteral("filters")}).err, QString());  // said once

    // A folder stands where the cookies' lock file goes: the sign-in works on the site but
    // its session can't be saved. (The lock file an earlier save left goes first.)
    QFile::remove(cookieFile + QStringLiteral(".lock"));
    ASSERT_TRUE(QDir().mkdir(cookieFile + QStringLiteral(".lock")));
    const CliRun login = signIn();
    EXPECT_EQ(login.exitCode, 1);
    ASSERT_TRUE(login.err.startsWith(QStringLiteral("Login failed.\nThe cookies could not be "
                                                    "saved in ") +
                                     cookieFile))
        << login.err.toStdString();
    EXPECT_EQ(login.err.count(QLatin1Char('\n')), 2) << login.err.toStdString();  // once
}

TEST_F(CliTest, SignInBrowseAndPushToRealTransmission) {
    PELLORAN_NEED_INSTALLED(daemonAvailable(), "transmission-daemon");
    test::TransmissionDaemon daemon;
    QString error;
    ASSERT_TRUE(daemon.start(&error)) << error.toStdString();

    const CliRun set =
        cli({QStringLiteral("remote"), QStringLiteral("set"), QStringLiteral("--client"),
             QStringLiteral("transmission"), QStringLiteral("--address"), daemon.address(),
             QStringLiteral("--port"), QString::number(daemon.port()), QStringLiteral("--user"),
             daemon.username(), QStringLiteral("--password-stdin")},
            daemon.password().toUtf8() + '\n');
    ASSERT_EQ(set.exitCode, 0) << set.err.toStdString();
    const CliRun show = cli({QStringLiteral("remote"), QStringLiteral("show")});
    EXPECT_TRUE(show.out.contains(QStringLiteral("Transmission")));
    EXPECT_TRUE(show.out.contains(QStringLiteral("(set)")));
    EXPECT_FALSE(show.out.contains(daemon.password()));
    EXPECT_EQ(cli({QStringLiteral("remote"), QStringLiteral("test")}).exitCode, 0);

    const CliRun login = signIn();
    ASSERT_EQ(login.exitCode, 0) << login.err.toStdString();
    EXPECT_TRUE(login.out.contains(QStringLiteral("Signed in as demo")));

    const QJsonArray rows = jsonRows({QStringLiteral("browse")});
    const auto expected =
        demo::DemoSite::clientRows(site.listing(QStringLiteral("/torrents/browse/index/page/1")));
    ASSERT_EQ(rows.size(), qsizetype(expected.size()));
    EXPECT_EQ(rows[0].toObject().value(QStringLiteral("name")).toString(), expected[0].name);
    EXPECT_FALSE(rows[0].toObject().contains(QStringLiteral("ratio")));  // absent fields left out

    const CliRun push =
        cli({QStringLiteral("push"), QStringLiteral("--browse-row"), QStringLiteral("0")});
    ASSERT_EQ(push.exitCode, 0) << push.err.toStdString();
    EXPECT_EQ(push.out.trimmed(), QStringLiteral("Sent ") + expected[0].name);
    const auto held = daemon.torrents();
    ASSERT_TRUE(held.has_value());
    ASSERT_EQ(held->size(), 1u);
    EXPECT_EQ(held->front().name, expected[0].fileName);

    EXPECT_TRUE(cli({QStringLiteral("history")})
                    .out.startsWith(QStringLiteral("   0 ") + expected[0].name));
    EXPECT_TRUE(jsonRows({QStringLiteral("browse")})[0]
                    .toObject()
                    .value(QStringLiteral("isDownloaded"))
                    .toBool());

    // The daemon gone: the push fails with the client alert and the history stays as it was.
    daemon.stop();
    const CliRun failed =
        cli({QStringLiteral("push"), QStringLiteral("--browse-row"), QStringLiteral("1")});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(failed.err,
              QStringLiteral("Connection with server failed.\nPlease make sure you have "
                             "correctly setup your remote download settings.\n"));
    EXPECT_EQ(cli({QStringLiteral("history")}).out.count(QLatin1Char('\n')), 1);
}

TEST_F(CliTest, PushToRealQBittorrentTwiceSaysItWasAlreadyThere) {
    PELLORAN_NEED_INSTALLED(!test::QBittorrentDaemon::binaryPath().isEmpty(), "qbittorrent-nox");
    test::QBittorrentDaemon daemon;
    QString error;
    ASSERT_TRUE(daemon.start(&error)) << error.toStdString();

    // The client's name in any case; choosing it brings its default port.
    ASSERT_EQ(cli({QStringLiteral("remote"), QStringLiteral("set"), QStringLiteral("--client"),
                   QStringLiteral("qbittorrent")})
                  .exitCode,
              0);
    EXPECT_TRUE(cli({QStringLiteral("remote")}).out.contains(QStringLiteral("Port:     8080")));
    const CliRun set =
        cli({QStringLiteral("remote"), QStringLiteral("set"), QStringLiteral("--address"),
             daemon.address(), QStringLiteral("--port"), QString::number(daemon.port()),
             QStringLiteral("--user"), daemon.username(), QStringLiteral("--password-stdin")},
            daemon.password().toUtf8() + '\n');
    ASSERT_EQ(set.exitCode, 0) << set.err.toStdString();
    EXPECT_TRUE(cli({QStringLiteral("remote")}).out.contains(QStringLiteral("qBittorrent")));
    EXPECT_EQ(cli({QStringLiteral("remote"), QStringLiteral("test")}).exitCode, 0);
    ASSERT_EQ(signIn().exitCode, 0);

    const auto rows =
        demo::DemoSite::clientRows(site.listing(QStringLiteral("/torrents/browse/index/page/1")));
    const QStringList push{QStringLiteral("push"), QStringLiteral("--browse-row"),
                           QStringLiteral("0")};
    const CliRun sent = cli(push);
    ASSERT_EQ(sent.exitCode, 0) << sent.err.toStdString();
    EXPECT_EQ(sent.out.trimmed(), QStringLiteral("Sent ") + rows[0].name);
    const CliRun again = cli(push);
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_EQ(again.out.trimmed(), QStringLiteral("Already on server: ") + rows[0].name +
                                       QStringLiteral(" (your BitTorrent client already has it)"));
    EXPECT_EQ(again.err, QString());
    EXPECT_EQ(cli({QStringLiteral("history")}).out, QStringLiteral("   0 ") + rows[0].name + '\n');
    EXPECT_EQ(daemon.torrents().value_or(std::vector<test::DaemonTorrent>{}).size(), 1u);

    // Its session is not kept with the site's cookies.
    const QByteArray cookieFile = [this] {
        QFile f(home.file(QStringLiteral("cookies.txt")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    EXPECT_FALSE(cookieFile.isEmpty());
    EXPECT_FALSE(cookieFile.contains("SID")) << "the client's session went into the cookie file";

    EXPECT_EQ(cli({QStringLiteral("remote"), QStringLiteral("set"), QStringLiteral("--client"),
                   QStringLiteral("BitComet")})
                  .exitCode,
              2);
}

TEST_F(CliTest, CaptchaRoundTripAndLogout) {
    const CliRun wrong = cli({QStringLiteral("login"), QStringLiteral("--username"),
                              site.memberName(), QStringLiteral("--password-stdin")},
                             "not the password\n");
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_EQ(wrong.err, QStringLiteral("Login failed.\nBad username or password.\n"));

    site.setRequireCaptcha(true);
    const CliRun asked = signIn();
    ASSERT_EQ(asked.exitCode, 3) << asked.err.toStdString();
    EXPECT_EQ(asked.err,
              QStringLiteral("Login failed.\nBad captcha image information.  Try again.\n"));
    const QString picture = QDir(home.path()).filePath(QStringLiteral("captcha.png"));
    EXPECT_TRUE(asked.out.contains(picture));
    EXPECT_FALSE(QImage(picture).isNull());

    const QString answer = site.captchaAnswerFor(site.lastCaptchaToken()).value_or(QString());
    const CliRun answered = cli({QStringLiteral("login"), QStringLiteral("--captcha"), answer});
    ASSERT_EQ(answered.exitCode, 0) << answered.err.toStdString();
    EXPECT_TRUE(answered.out.contains(QStringLiteral("Signed in as demo")));
    // Answering again needs a new picture first.
    EXPECT_EQ(cli({QStringLiteral("login"), QStringLiteral("--captcha"), answer}).exitCode, 2);

    EXPECT_EQ(cli({QStringLiteral("logout")}).exitCode, 0);
    CookieStore cookies(QDir(home.path()).filePath(QStringLiteral("cookies.txt")));
    for (const Cookie& c : cookies.cookies()) {
        EXPECT_NE(c.domain, site.cookieDomain());
        EXPECT_NE(c.domain, site.captchaCookieDomain());
    }
}

TEST_F(CliTest, LostSessionIsRenewedAndAFailedReloginEndsTheCommand) {
    ASSERT_EQ(signIn().exitCode, 0);
    site.expireAllSessions();
    EXPECT_FALSE(jsonRows({QStringLiteral("browse")}).isEmpty());

    // Wrong credentials stored by a failed attempt: the next lost session can't be renewed.
    cli({QStringLiteral("login"), QStringLiteral("--password-stdin")}, "changed\n");
    site.expireAllSessions();
    for (const QString& command :
         {QStringLiteral("browse"), QStringLiteral("favorites"), QStringLiteral("snatchlist")}) {
        const CliRun r = cli({command});
        EXPECT_EQ(r.exitCode, 1) << command.toStdString();
        EXPECT_EQ(r.err, QStringLiteral("Login failed.\nBad username or password.\n"));
    }
}

TEST_F(CliTest, FavoritesArriveInPageOrderThroughTheSavedFilters) {
    ASSERT_EQ(signIn().exitCode, 0);
    ASSERT_EQ(cli({QStringLiteral("filters"), QStringLiteral("add"), QStringLiteral("x264|FLAC")})
                  .exitCode,
              0);
    site.setListingDelay(1, 400);  // the first page answers last
    site.setListingDelay(2, 200);
    const QJsonArray rows =
        jsonRows({QStringLiteral("favorites"), QStringLiteral("--pages"), QStringLiteral("4")});
    QStringList expected;
    const Filter filter(QStringLiteral("x264|FLAC"));
    for (int page = 1; page <= 4; ++page) {
        for (const auto& t :
             demo::DemoSite::clientRows(site.listing(demo::DemoSite::favoritesPath(page)))) {
            if (filter.isAccepted(t.name)) {
                expected.append(t.name);
            }
        }
    }
    ASSERT_FALSE(expected.isEmpty());
    QStringList got;
    for (const QJsonValue& row : rows) {
        got.append(row.toObject().value(QStringLiteral("name")).toString());
    }
    EXPECT_EQ(got, expected);
}

TEST_F(CliTest, AnnouncementAfterSignInAndJsonMemberBar) {
    site.setAnnouncement(QStringLiteral("STOP:Closed for maintenance"));
    const CliRun stopped = signIn();
    EXPECT_EQ(stopped.exitCode, 1);
    EXPECT_EQ(stopped.err, QStringLiteral("Login error\nClosed for maintenance\n"));

    site.setAnnouncement(QStringLiteral("GO:Welcome back"));
    const CliRun go = cli({QStringLiteral("login"), QStringLiteral("--json")});
    ASSERT_EQ(go.exitCode, 0) << go.err.toStdString();
    EXPECT_TRUE(go.out.startsWith(QStringLiteral("Welcome back\n")));
    const QJsonObject bar =
        QJsonDocument::fromJson(go.out.mid(go.out.indexOf(QLatin1Char('{'))).toUtf8()).object();
    EXPECT_EQ(bar.value(QStringLiteral("username")).toString(), site.memberName());
    EXPECT_EQ(bar.value(QStringLiteral("ids")).toString(), site.memberId());
    EXPECT_TRUE(bar.contains(QStringLiteral("ratio")));

    // The table fits 100 columns.
    const CliRun table =
        cli({QStringLiteral("browse"), QStringLiteral("--page"), QStringLiteral("2")});
    ASSERT_EQ(table.exitCode, 0);
    for (const QString& line : table.out.split(QLatin1Char('\n'))) {
        EXPECT_LE(line.size(), 100) << line.toStdString();
    }
}

TEST_F(CliTest, UnreachableSiteIsAConnectionErrorNotAnEmptyList) {
    test::TestServer closed;
    ASSERT_TRUE(closed.start());
    useSite(closed);
    closed.stop();
    for (const QStringList& command : kListingCommands) {
        const CliRun r = cli(command);
        EXPECT_EQ(r.exitCode, 1) << command.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(r.err, QStringLiteral("Connection error.\n")) << r.err.toStdString();
        EXPECT_FALSE(r.out.contains(QStringLiteral("No torrents.")));
    }
}

TEST_F(CliTest, PagesTheReaderNoLongerUnderstandsAreNamed) {
    // The site now writes a class before every link's address: its rows can't be read.
    QFile saved(QStringLiteral(PELLORAN_TEST_DATA_DIR "/listing_small.html"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QString changed =
        QString::fromUtf8(saved.readAll())
            .replace(QStringLiteral("<a href="), QStringLiteral("<a class=\"l\" href="));
    test::TestServer stand;
    stand.server().Get(R"(/torrents/browse/.*)", [&](const httplib::Request& req,
                                                     httplib::Response& res) {
        // Past page 2 the listing ends, as it does on the site.
        const bool end = req.path.find("/page/3") != std::string::npos;
        res.set_content(end ? "<html><title>Browse</title><table></table>" : changed.toStdString(),
                        "text/html");
    });
    ASSERT_TRUE(stand.start());
    useSite(stand);
    for (const QStringList& command : kListingCommands) {
        const CliRun r = cli(command);
        EXPECT_EQ(r.exitCode, 1) << command.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(r.err.startsWith(QString(kPageNotUnderstoodTitle) +
                                     QStringLiteral("\nThe site's page http://") +
                                     stand.hostPort() + QStringLiteral("/torrents/browse/")))
            << r.err.toStdString();
    }
    // A page with no torrent rows at all is still the end of the listing.
    const CliRun end =
        cli({QStringLiteral("browse"), QStringLiteral("--page"), QStringLiteral("3")});
    EXPECT_EQ(end.exitCode, 0) << end.err.toStdString();
    EXPECT_EQ(end.out, QStringLiteral("No torrents.\n"));
}

TEST_F(CliTest, SiteThatKeepsAskingToSignInCostsOneSignInPerCommand) {
    // The site takes the sign-in, but the session cookie it sets names another domain, so it
    // is never sent back: every page is the login page.
    test::TestServer storm;
    storm.server().Post("/user/account/login/", [](const httplib::Request&,
                                                   httplib::Response& res) {
        res.set_header("Set-Cookie", "sid=1; Domain=elsewhere.example; Path=/");
        res.set_content("<html><head><title>Browse :: Stand-in</title></head></html>", "text/html");
    });
    storm.server().Get(R"(/.*)", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<html><head><title>Login :: Stand-in</title></head></html>", "text/html");
    });
    ASSERT_TRUE(storm.start());
    useSite(storm);
    const CliRun login = cli({QStringLiteral("login"), QStringLiteral("--username"),
                              QStringLiteral("member"), QStringLiteral("--password-stdin")},
                             "secret\n");
    ASSERT_EQ(login.exitCode, 0) << login.err.toStdString();
    const QString keepsAsking = QString(kLoginFailedTitle) + QLatin1Char('\n') +
                                QString(kSiteKeepsAskingMessage) + QLatin1Char('\n');
    for (const QStringList& command :
         {QStringList{QStringLiteral("browse")},
          QStringList{QStringLiteral("favorites"), QStringLiteral("--pages"),
                      QStringLiteral("100")},
          QStringList{QStringLiteral("snatchlist")}}) {
        const CliRun r = cli(command);
        EXPECT_EQ(r.exitCode, 1) << command.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(r.err, keepsAsking) << r.err.toStdString();
    }
    size_t posts = 0;
    for (const test::RecordedRequest& r : storm.requests()) {
        posts += r.method == "POST" && r.path == "/user/account/login/";
    }
    EXPECT_EQ(posts, 4u);  // the sign-in, then one silent re-login per command
}

TEST_F(CliTest, UsageErrorsAndDisplaySettings) {
    EXPECT_EQ(cli({QStringLiteral("frobnicate")}).exitCode, 2);
    EXPECT_EQ(cli({QStringLiteral("push")}).exitCode, 2);
    EXPECT_EQ(
        cli({QStringLiteral("browse"), QStringLiteral("--page"), QStringLiteral("zero")}).exitCode,
        2);
    // An unknown option is refused even when the other options are fine.
    EXPECT_EQ(cli({QStringLiteral("browse"), QStringLiteral("--bogus")}).exitCode, 2);
    // Page numbers and counts are checked before anything is fetched or allocated.
    for (const QStringList& absurd : {
             QStringList{QStringLiteral("favorites"), QStringLiteral("--pages"),
                         QStringLiteral("0")},
             QStringList{QStringLiteral("favorites"), QStringLiteral("--pages"),
                         QStringLiteral("101")},
             QStringList{QStringLiteral("favorites"), QStringLiteral("--pages"),
                         QStringLiteral("2147483647")},
             QStringList{QStringLiteral("favorites"), QStringLiteral("--start"),
                         QStringLiteral("2147483647"), QStringLiteral("--pages"),
                         QStringLiteral("3")},
             QStringList{QStringLiteral("favorites"), QStringLiteral("--start"),
                         QStringLiteral("999999"), QStringLiteral("--pages"), QStringLiteral("3")},
             QStringList{QStringLiteral("browse"), QStringLiteral("--page"),
                         QStringLiteral("1000001")},
             QStringList{QStringLiteral("search"), QStringLiteral("x"), QStringLiteral("--page"),
                         QStringLiteral("2147483648")},
             QStringList{QStringLiteral("push"), QStringLiteral("--browse-row"),
                         QStringLiteral("0"), QStringLiteral("--page"), QStringLiteral("0")},
             QStringList{QStringLiteral("settings"), QStringLiteral("set"),
                         QStringLiteral("favoritesCount"), QStringLiteral("101")},
         }) {
        const CliRun r = cli(absurd);
        EXPECT_EQ(r.exitCode, 2) << absurd.join(QLatin1Char(' ')).toStdString();
    }
    EXPECT_TRUE(site.requestLog(QStringLiteral("site")).empty());
    EXPECT_EQ(cli({QStringLiteral("filters"), QStringLiteral("add"), QStringLiteral("(unbalanced")})
                  .exitCode,
              2);
    EXPECT_EQ(cli({QStringLiteral("settings"), QStringLiteral("set"), QStringLiteral("orderBy"),
                   QStringLiteral("orderby/name")})
                  .exitCode,
              2);
    EXPECT_EQ(cli({QStringLiteral("settings"), QStringLiteral("set"),
                   QStringLiteral("Pelloran_password"), QStringLiteral("x")})
                  .exitCode,
              2);
    ASSERT_EQ(cli({QStringLiteral("settings"), QStringLiteral("set"), QStringLiteral("categories"),
                   QStringLiteral("13,8,abc,99")})
                  .exitCode,
              0);
    EXPECT_EQ(cli({QStringLiteral("settings"), QStringLiteral("get"),
                   QStringLiteral("Pelloran_categories")})
                  .out,
              QStringLiteral("8,13\n"));
    // The browse request then carries the categories: only rows of those categories come back.
    ASSERT_EQ(signIn().exitCode, 0);
    for (const QJsonValue& row : jsonRows({QStringLiteral("browse")})) {
        const QString type = row.toObject().value(QStringLiteral("type")).toString();
        EXPECT_TRUE(type == QStringLiteral("cam.png") || type == QStringLiteral("hd.png"))
            << type.toStdString();
    }
}

}  // namespace
}  // namespace pelloran

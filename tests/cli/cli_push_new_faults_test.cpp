// The automatic push where it used to harm the member's account, on the wire with the real
// clients: a refused qBittorrent password costs one refusal per run (five would ban the
// address), two runs at once send each torrent once, a favorites page that fails is named and
// fails the run after the others were pushed, a site that asks to slow down is obeyed, a
// CAPTCHA at re-login ends the run after one sign-in, what was sent stays sent after the
// download history forgot it, a client that can't take torrents costs the site no download, and
// a torrent the client refused is not downloaded again.

#include "cli/cli_fixture.h"
#include "site/filter.h"
#include "store/settings_keys.h"
#include "store/settings_store.h"
#include "support/hostile_server.h"
#include "support/loopback_port.h"
#include "support/need_installed.h"
#include "support/qbittorrent_daemon.h"
#include "text/qstring_printer.h"

namespace pelloran {
namespace {

// The names a favorites scan of the pages accepts for `keyword`, first occurrence only, in
// page order.
QStringList acceptedNames(const demo::DemoSite& site, const QString& keyword,
                          const QList<int>& pages) {
    const Filter filter(keyword);
    QStringList names;
    for (const int page : pages) {
        for (const auto& t :
             demo::DemoSite::clientRows(site.listing(demo::DemoSite::favoritesPath(page)))) {
            if (filter.isAccepted(t.name) && !names.contains(t.name)) {
                names.append(t.name);
            }
        }
    }
    return names;
}

QStringList linesStartingWith(const QString& text, const QString& prefix) {
    QStringList found;
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (line.startsWith(prefix)) {
            found.append(line.mid(prefix.size()));
        }
    }
    return found;
}

class CliPushNewFaultsTest : public CliTest {
protected:
    // Signs the member in and saves one keyword.
    void prepare(const QString& keyword) {
        ASSERT_EQ(signIn().exitCode, 0);
        ASSERT_EQ(cli({QStringLiteral("filters"), QStringLiteral("add"), keyword}).exitCode, 0);
    }

    QStringList pushNew(const QStringList& more) const {
        return QStringList{QStringLiteral("favorites"), QStringLiteral("--push-new")} + more;
    }

    int siteRequests(const QString& pathStart) const {
        int n = 0;
        for (const demo::LoggedRequest& r : site.requestLog(QStringLiteral("site"))) {
            n += r.path.startsWith(pathStart);
        }
        return n;
    }

    size_t held() {
        return transmission.torrents().value_or(std::vector<test::DaemonTorrent>{}).size();
    }

    test::TransmissionDaemon transmission;
    const QStringList unpaced{QStringLiteral("--min-interval"), QStringLiteral("0")};
};

TEST_F(CliPushNewFaultsTest, RefusedQBittorrentPasswordIsTriedOncePerRunSoTheAddressIsNotBanned) {
    PELLORAN_NEED_INSTALLED(!test::QBittorrentDaemon::binaryPath().isEmpty(), "qbittorrent-nox");
    test::QBittorrentDaemon qbittorrent;
    QString error;
    ASSERT_TRUE(qbittorrent.start(&error)) << error.toStdString();
    ASSERT_NO_FATAL_FAILURE(prepare(QStringLiteral(".")));
    const QStringList names = acceptedNames(site, QStringLiteral("."), {1});
    ASSERT_GE(names.size(), 6) << "more new torrents than the refusals that ban the address";
    const auto useQBittorrent = [&](const QString& password) {
        return setClient(QStringLiteral("qBittorrent"), qbittorrent.address(), qbittorrent.port(),
                         qbittorrent.username(), password);
    };
    ASSERT_EQ(useQBittorrent(qbittorrent.password() + QStringLiteral("x")), 0);

    site.clearRequestLog();
    const CliRun refused =
        cli(pushNew(unpaced + QStringList{QStringLiteral("--pages"), QStringLiteral("1")}));
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err.count(QStringLiteral("Connection with server failed.")), 1)
        << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains(QStringLiteral("qBittorrent refused the password")));
    EXPECT_EQ(linesStartingWith(refused.err, QStringLiteral("Not sent (tried again next run): ")),
              names);
    EXPECT_EQ(siteRequests(QStringLiteral("/download/")), 0);  // no grab for a refusing client
    EXPECT_TRUE(refused.out.contains(
        QStringLiteral("already on server 0, not sent %1, pages failed 0").arg(names.size())));

    // Had the run signed in once per torrent, qBittorrent would refuse even the right password
    // now.
    ASSERT_EQ(useQBittorrent(qbittorrent.password()), 0);
    const CliRun sent =
        cli(pushNew(unpaced + QStringList{QStringLiteral("--pages"), QStringLiteral("1")}));
    EXPECT_EQ(sent.exitCode, 0) << sent.err.toStdString();
    EXPECT_EQ(linesStartingWith(sent.out, QStringLiteral("Sent ")), names);
    EXPECT_EQ(qbittorrent.torrents().value_or(std::vector<test::DaemonTorrent>{}).size(),
              size_t(names.size()));
}

// Every download is a grab on the site: a client that can't take torrents is found out before
// the first one, and its password is tried once.
TEST_F(CliPushNewFaultsTest, AClientThatCantTakeTorrentsCostsTheSiteNoDownload) {
    PELLORAN_NEED_INSTALLED(daemonAvailable(), "transmission-daemon");
    QString error;
    ASSERT_TRUE(transmission.start(&error)) << error.toStdString();
    ASSERT_NO_FATAL_FAILURE(prepare(QStringLiteral(".")));
    const struct {
        const char* what;
        int port;
        QString password;
        QString said;
    } cases[] = {
        {"refused password", transmission.port(), transmission.password() + QStringLiteral("x"),
         QStringLiteral("Transmission refused the password")},
        {"nobody listening", test::freeLoopbackPort(), transmission.password(),
         QStringLiteral("Transmission could not be reached")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(setClient(QStringLiteral("Transmission"), transmission.address(), c.port,
                            transmission.username(), c.password),
                  0);
        site.clearRequestLog();
        const CliRun run =
            cli(pushNew(unpaced + QStringList{QStringLiteral("--pages"), QStringLiteral("1")}));
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains(c.said)) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("Not sent (tried again next run): ")));
        EXPECT_EQ(siteRequests(QStringLiteral("/download/")), 0);
    }
    EXPECT_EQ(held(), 0u);
}

// A client that answers an upload without taking the torrent: the run stops after that one
// download, and no later run downloads it again.
TEST_F(CliPushNewFaultsTest, ATorrentTheClientRefusedIsDownloadedOnceAndLeftToTheMember) {
    test::HostileServer client;
    client.route("GET", "*", test::page("<html>Vuze</html>"));
    client.route("POST", "*", test::page("<html>error</html>", 500));
    ASSERT_TRUE(client.start());
    ASSERT_NO_FATAL_FAILURE(prepare(QStringLiteral(".")));
    const QStringList names = acceptedNames(site, QStringLiteral("."), {1});
    ASSERT_GE(names.size(), 3);
    ASSERT_EQ(setClient(QStringLiteral("Vuze"), QStringLiteral("127.0.0.1"), client.port(),
                        QString(), QString()),
              0);
    const QStringList args =
        pushNew(unpaced + QStringList{QStringLiteral("--pages"), QStringLiteral("1")});

    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        site.clearRequestLog();
        const int uploads = client.count("POST", "/index.tmpl");
        const CliRun refused = cli(args);
        EXPECT_EQ(refused.exitCode, 1);
        EXPECT_EQ(siteRequests(QStringLiteral("/download/")), 1);
        EXPECT_EQ(client.count("POST", "/index.tmpl") - uploads, 1);
        EXPECT_TRUE(refused.err.contains(QStringLiteral("Vuze refused %1.").arg(names[run])))
            << refused.err.toStdString();
        // The ones after it wait for the next run; the one refused before is only named.
        EXPECT_EQ(
            linesStartingWith(refused.err, QStringLiteral("Not sent (tried again next run): ")),
            names.mid(run + 1));
        EXPECT_EQ(
            linesStartingWith(refused.out,
                              QStringLiteral("Not sent again (refused by the client before): ")),
            names.mid(0, run));
    }
}

TEST_F(CliPushNewFaultsTest, TwoRunsAtOnceSendEachTorrentOnce) {
    PELLORAN_NEED_INSTALLED(daemonAvailable(), "transmission-daemon");
    ASSERT_TRUE(useTransmission(transmission));
    ASSERT_NO_FATAL_FAILURE(prepare(QStringLiteral("x264|FLAC")));
    const QStringList names = acceptedNames(site, QStringLiteral("x264|FLAC"), {1, 2});
    ASSERT_FALSE(names.isEmpty());
    site.setListingDelay(1, 1500);  // the first run still scans when the second starts
    const QStringList args =
        pushNew(unpaced + QStringList{QStringLiteral("--pages"), QStringLiteral("2")});
    const std::vector<CliRun> runs = cliTogether({args, args});

    QStringList sentByBoth;
    int stoodAside = 0;
    for (const CliRun& run : runs) {
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        sentByBoth += linesStartingWith(run.out, QStringLiteral("Sent "));
        stoodAside += run.out == QStringLiteral("Another automatic push is running.\n");
    }
    EXPECT_EQ(stoodAside, 1);
    sentByBoth.sort();
    QStringList expected = names;
    expected.sort();
    EXPECT_EQ(sentByBoth, expected);
    EXPECT_EQ(held(), size_t(names.size()));
    const QStringList history =
        SettingsStore(home.path()).stringList(keys::torrentHistory).value_or(QStringList());
    EXPECT_EQ(QSet<QString>(history.begin(), history.end()).size(), history.size());
}

TEST_F(CliPushNewFaultsTest, AFailedPageIsNamedAndFailsTheRunAfterTheOthersWerePushed) {
    PELLORAN_NEED_INSTALLED(daemonAvailable(), "transmission-daemon");
    ASSERT_TRUE(useTransmission(transmission));
    ASSERT_NO_FATAL_FAILURE(prepare(QStringLiteral("x264|FLAC")));
    const QStringList names = acceptedNames(site, QStringLiteral("x264|FLAC"), {1, 3});
    site.setListingFailure(2, 500);
    const CliRun run =
        cli(pushNew(unpaced + QStringList{QStringLiteral("--pages"), QStringLiteral("3")}));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Favorites page 2 could not be fetched")))
        << run.err.toStdString();
    EXPECT_EQ(linesStartingWith(run.out, QStringLiteral("Sent ")), names);
    EXPECT_TRUE(run.out.endsWith(QStringLiteral("pages failed 1\n")));
    EXPECT_EQ(held(), size_t(names.size()));
}

TEST_F(CliPushNewFaultsTest, ASiteAskingToSlowDownIsAskedOnceMoreAtThePolitePace) {
    PELLORAN_NEED_INSTALLED(daemonAvailable(), "transmission-daemon");
    ASSERT_TRUE(useTransmission(transmission));
    ASSERT_NO_FATAL_FAILURE(prepare(QStringLiteral("x264|FLAC")));
    const QStringList names = acceptedNames(site, QStringLiteral("x264|FLAC"), {1});
    ASSERT_FALSE(names.isEmpty());
    site.setListingFailure(1, 429, QStringLiteral("2"), 1);
    site.clearRequestLog();
    // The default pace: one request to the site at a time, two seconds apart.
    const CliRun run = cli(pushNew({QStringLiteral("--pages"), QStringLiteral("1")}));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(linesStartingWith(run.out, QStringLiteral("Sent ")), names) << run.out.toStdString();
    EXPECT_EQ(siteRequests(demo::DemoSite::favoritesPath(1)), 2);

    // Asked again, and again told to wait: no third try, and the run says for how long.
    site.setListingFailure(1, 429, QStringLiteral("1"), 2);
    const CliRun twice =
        cli(pushNew(unpaced + QStringList{QStringLiteral("--pages"), QStringLiteral("1")}));
    EXPECT_EQ(twice.exitCode, 1);
    EXPECT_TRUE(twice.err.contains(QStringLiteral("The site asked to slow down for 1 second.")))
        << twice.err.toStdString();
}

TEST_F(CliPushNewFaultsTest, ACaptchaAtReloginEndsTheRunAfterOneSignIn) {
    ASSERT_NO_FATAL_FAILURE(prepare(QStringLiteral("x264")));
    ASSERT_EQ(setClient(QStringLiteral("Transmission"), QStringLiteral("127.0.0.1"), 9, QString(),
                        QString()),
              0);
    site.expireAllSessions();
    site.setRequireCaptcha(true);
    site.clearRequestLog();
    const CliRun run = cli(pushNew({QStringLiteral("--pages"), QStringLiteral("3")}));
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_TRUE(run.err.contains(QStringLiteral("CAPTCHA"))) << run.err.toStdString();
    int signIns = 0;
    for (const demo::LoggedRequest& r : site.requestLog(QStringLiteral("site"))) {
        signIns += r.method == QLatin1StringView("POST");
    }
    EXPECT_EQ(signIns, 1);
    EXPECT_EQ(siteRequests(QStringLiteral("/download/")), 0);
    EXPECT_EQ(site.requestLog(QStringLiteral("captcha")).size(), 0u);
}

TEST_F(CliPushNewFaultsTest, WhatWasSentStaysSentAfterTheHistoryForgotIt) {
    PELLORAN_NEED_INSTALLED(daemonAvailable(), "transmission-daemon");
    ASSERT_TRUE(useTransmission(transmission));
    ASSERT_NO_FATAL_FAILURE(prepare(QStringLiteral("x264|FLAC")));
    const QStringList args =
        pushNew(unpaced + QStringList{QStringLiteral("--pages"), QStringLiteral("1")});
    const CliRun first = cli(args);
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    const size_t sent = held();
    ASSERT_GT(sent, 0u);

    // Fifty other pushes later, none of these names is in the history any more.
    QStringList others;
    for (int i = 0; i < 50; ++i) {
        others.append(QStringLiteral("other %1").arg(i));
    }
    {
        SettingsStore settings(home.path());
        settings.setValue(keys::torrentHistory, others);
        ASSERT_TRUE(settings.flush());
    }
    site.clearRequestLog();
    const CliRun again = cli(args);
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_TRUE(again.out.startsWith(QStringLiteral("Nothing new to send.\n")));
    EXPECT_EQ(siteRequests(QStringLiteral("/download/")), 0);
    EXPECT_EQ(held(), sent);
}

TEST_F(CliPushNewFaultsTest, ThePaceIsAStoredSettingOrAnOptionWithinItsRange) {
    for (const QStringList& refused : {
             QStringList{QStringLiteral("favorites"), QStringLiteral("--push-new"),
                         QStringLiteral("--min-interval"), QStringLiteral("-1")},
             QStringList{QStringLiteral("favorites"), QStringLiteral("--push-new"),
                         QStringLiteral("--min-interval"), QStringLiteral("3601")},
             QStringList{QStringLiteral("favorites"), QStringLiteral("--notify")},
             QStringList{QStringLiteral("settings"), QStringLiteral("set"),
                         QStringLiteral("pushMinInterval"), QStringLiteral("soon")},
         }) {
        EXPECT_EQ(cli(refused).exitCode, 2) << refused.join(QLatin1Char(' ')).toStdString();
    }
    EXPECT_TRUE(site.requestLog(QStringLiteral("site")).empty());
    ASSERT_EQ(cli({QStringLiteral("settings"), QStringLiteral("set"),
                   QStringLiteral("pushMinInterval"), QStringLiteral("0")})
                  .exitCode,
              0);
    EXPECT_EQ(
        cli({QStringLiteral("settings"), QStringLiteral("get"), QStringLiteral("pushMinInterval")})
            .out,
        QStringLiteral("0\n"));
}

}  // namespace
}  // namespace pelloran

// Where pelloran-cli sends a torrent: push options a client has not are refused with exit 2
// before anything is fetched; the defaults are stored per client and shown; the automatic push
// routes each torrent by the first filter that accepted it, and its caps hold back what they
// should until a later run lets it through. On the wire with the real qbittorrent-nox.

#include "cli/cli_fixture.h"
#include "site/filter.h"
#include "support/need_installed.h"
#include "support/qbittorrent_daemon.h"
#include "text/qstring_printer.h"

#include <QDeadlineTimer>
#include <QThread>

namespace pelloran {
namespace {

QStringList args(std::initializer_list<const char*> words) {
    QStringList list;
    for (const char* w : words) {
        list.append(QString::fromUtf8(w));
    }
    return list;
}

QStringList outLines(const CliRun& run) {
    return run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

TEST_F(CliTest, PushOptionsAClientHasNotAreRefusedWithUsageBeforeAnythingIsAsked) {
    ASSERT_EQ(cli(args({"remote", "set", "--client", "Utorrent"})).exitCode, 0);
    site.clearRequestLog();
    const struct {
        QStringList args;
        QString error;
    } cases[] = {
        {args({"push", "--url", "http://x/t.torrent", "--name", "n", "--category", "Films"}),
         QStringLiteral("push: uTorrent has no category.")},
        {args({"push", "--url", "http://x/t.torrent", "--name", "n", "--paused", "--no-paused"}),
         QStringLiteral("push: --paused and --no-paused together")},
        {args({"filters", "add", "x264", "--tags", "hd"}),
         QStringLiteral("filters: uTorrent has no tags.")},
        {args({"remote", "set", "--save-path", "/data"}),
         QStringLiteral("remote: uTorrent has no save path.")},
        {args({"remote", "set", "--client", "Transmission", "--category", "Films"}),
         QStringLiteral("remote: Transmission has no category.")},
        {args({"remote", "set", "--client", "Deluge", "--paused", "yes"}),
         QStringLiteral("remote: --paused is on or off")},
        {args({"favorites", "--max-size", "big"}),
         QStringLiteral("favorites: --max-size is a size such as 20GB or 700MB or off")},
    };
    for (const auto& c : cases) {
        const CliRun run = cli(c.args);
        EXPECT_EQ(run.exitCode, 2) << c.args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(run.err.contains(c.error)) << run.err.toStdString();
    }
    EXPECT_TRUE(site.requestLog().empty());
    // Nothing refused was stored: the client is still uTorrent, without a filter.
    EXPECT_TRUE(cli(args({"remote", "show"})).out.contains(QStringLiteral("Client:   Utorrent")));
    EXPECT_EQ(cli(args({"filters"})).out, QStringLiteral("No favorite filters.\n"));

    // Deluge's category is a label, in a filter's route too.
    ASSERT_EQ(cli(args({"remote", "set", "--client", "Deluge"})).exitCode, 0);
    ASSERT_EQ(cli(args({"filters", "add", "x264", "--category", "Films"})).exitCode, 0);
    EXPECT_EQ(cli(args({"filters"})).out, QStringLiteral("   0 x264  -> label Films\n"));
}

class CliPushOptionsTest : public CliTest {
protected:
    void SetUp() override {
        CliTest::SetUp();
        PELLORAN_NEED_INSTALLED(!test::QBittorrentDaemon::binaryPath().isEmpty(),
                                "qbittorrent-nox");
        QString error;
        ASSERT_TRUE(daemon.start(&error)) << error.toStdString();
        ASSERT_EQ(
            cli({QStringLiteral("remote"), QStringLiteral("set"), QStringLiteral("--client"),
                 QStringLiteral("qBittorrent"), QStringLiteral("--address"), daemon.address(),
                 QStringLiteral("--port"), QString::number(daemon.port()), QStringLiteral("--user"),
                 daemon.username(), QStringLiteral("--password-stdin")},
                daemon.password().toUtf8() + '\n')
                .exitCode,
            0);
        ASSERT_EQ(signIn().exitCode, 0);
    }

    // The torrents the daemon holds, by file name: their category and whether they are paused
    // (asked again while one is still checking its folder, before it says).
    QMap<QString, QPair<QString, bool>> held() {
        QMap<QString, QPair<QString, bool>> found;
        QDeadlineTimer patience(std::chrono::seconds(10));
        bool checking = true;
        while (checking) {
            found.clear();
            checking = false;
            for (const test::DaemonTorrent& t :
                 daemon.torrents().value_or(std::vector<test::DaemonTorrent>{})) {
                const QString state = t.details.value(QStringLiteral("state")).toString();
                checking = checking || state.startsWith(QLatin1StringView("checking"));
                found.insert(t.name, {t.details.value(QStringLiteral("category")).toString(),
                                      state.startsWith(QLatin1StringView("paused"))});
            }
            if (checking && patience.hasExpired()) {
                break;
            }
            if (checking) {
                QThread::msleep(100);
            }
        }
        return found;
    }

    test::QBittorrentDaemon daemon;
};

TEST_F(CliPushOptionsTest, TwoFiltersRouteToTwoCategoriesAndCapsHoldBackUntilTheyPass) {
    ASSERT_EQ(cli(args({"remote", "set", "--category", "Default", "--paused", "on"})).exitCode, 0);
    const QStringList shown = outLines(cli(args({"remote", "show"})));
    EXPECT_TRUE(shown.contains(QStringLiteral("Category:  Default")))
        << shown.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("Paused:    on")));
    EXPECT_TRUE(shown.contains(QStringLiteral("Save path: (client's default)")));

    ASSERT_EQ(cli(args({"filters", "add", "x264|XviD", "--category", "Films", "--paused", "off"}))
                  .exitCode,
              0);
    ASSERT_EQ(cli(args({"filters", "add", "FLAC|MP3", "--category", "Music"})).exitCode, 0);
    EXPECT_EQ(cli(args({"filters"})).out,
              QStringLiteral("   0 x264|XviD  -> category Films; started\n"
                             "   1 FLAC|MP3  -> category Music\n"));

    // Page 1's accepted torrents, each routed by the first filter that accepts it.
    const Filter films(QStringLiteral("x264|XviD"));
    const Filter music(QStringLiteral("FLAC|MP3"));
    QMap<QString, QPair<QString, bool>> expected;
    for (const auto& t :
         demo::DemoSite::clientRows(site.listing(demo::DemoSite::favoritesPath(1)))) {
        if (films.isAccepted(t.name)) {
            expected.insert(t.fileName, {QStringLiteral("Films"), false});
        } else if (music.isAccepted(t.name)) {
            expected.insert(t.fileName, {QStringLiteral("Music"), true});  // the default's paused
        }
    }
    ASSERT_GE(expected.size(), 3);
    const QList<QPair<QString, bool>> routes = expected.values();
    ASSERT_TRUE(routes.contains(QPair<QString, bool>(QStringLiteral("Films"), false)) &&
                routes.contains(QPair<QString, bool>(QStringLiteral("Music"), true)))
        << "page 1 should hold torrents of both filters";
    const QStringList pushNew =
        args({"favorites", "--push-new", "--min-interval", "0", "--pages", "1"});

    // Every size is over a 1 KB cap: all held back, none recorded.
    ASSERT_EQ(cli(args({"favorites", "--max-size", "1KB"})).exitCode, 0);
    const CliRun tooBig = cli(pushNew);
    EXPECT_EQ(tooBig.exitCode, 0) << tooBig.err.toStdString();
    EXPECT_TRUE(tooBig.out.contains(
        QStringLiteral("Summary: sent 0 to qBittorrent, already on server 0, not sent 0, pages "
                       "failed 0, held back %1 (largest size 1 KB)")
            .arg(expected.size())))
        << tooBig.out.toStdString();
    EXPECT_TRUE(held().isEmpty());

    // One a day: the first goes, the rest wait.
    ASSERT_EQ(cli(args({"favorites", "--max-size", "off", "--max-per-day", "1"})).exitCode, 0);
    const QStringList rules = outLines(cli(args({"favorites", "--show-rules"})));
    EXPECT_TRUE(rules.contains(QStringLiteral("  Largest size:   (no cap)")))
        << rules.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(rules.contains(QStringLiteral("  Torrents a day: 1")));
    EXPECT_TRUE(rules.contains(QStringLiteral("   1 FLAC|MP3  -> category Music")))
        << rules.join(QLatin1Char('\n')).toStdString();
    const CliRun one = cli(pushNew);
    EXPECT_EQ(one.exitCode, 0) << one.err.toStdString();
    EXPECT_TRUE(one.out.contains(
        QStringLiteral("held back %1 (at most 1 torrent a day)").arg(expected.size() - 1)))
        << one.out.toStdString();
    EXPECT_EQ(held().size(), 1);

    // The cap lifted: the next run sends what waited, each to its filter's category.
    ASSERT_EQ(cli(args({"favorites", "--max-per-day", "off"})).exitCode, 0);
    const CliRun rest = cli(pushNew);
    EXPECT_EQ(rest.exitCode, 0) << rest.err.toStdString();
    EXPECT_EQ(held(), expected);
}

}  // namespace
}  // namespace pelloran

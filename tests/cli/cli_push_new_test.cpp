// pelloran-cli favorites --push-new, as the systemd timer runs it: every new favorite goes to a
// real transmission-daemon once, in page order; a run with nothing new sends nothing; a push
// that fails stays out of the history and goes at the next run.

#include "cli/cli_fixture.h"
#include "site/filter.h"
#include "support/need_installed.h"
#include "text/qstring_printer.h"

#include <QSet>
#include <cmath>

namespace pelloran {
namespace {

const QString kKeyword = QStringLiteral("x264|FLAC");

// The names a favorites scan of `pages` accepts, first occurrence only, in page order.
QStringList acceptedNames(const demo::DemoSite& site, int firstPage, int lastPage) {
    const Filter filter(kKeyword);
    QStringList names;
    for (int page = firstPage; page <= lastPage; ++page) {
        for (const auto& t :
             demo::DemoSite::clientRows(site.listing(demo::DemoSite::favoritesPath(page)))) {
            if (filter.isAccepted(t.name) && !names.contains(t.name)) {
                names.append(t.name);
            }
        }
    }
    return names;
}

QStringList sentLines(const QStringList& names) {
    QStringList lines;
    for (const QString& name : names) {
        lines.append(QStringLiteral("Sent ") + name);
    }
    return lines;
}

QStringList lines(const QString& text) {
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// The line every run ends with.
QString summary(qsizetype sent, qsizetype notSent,
                const QString& client = QStringLiteral("Transmission")) {
    return QStringLiteral(
               "Summary: sent %1 to %2, already on server 0, not sent %3, pages failed 0")
        .arg(sent)
        .arg(client)
        .arg(notSent);
}

TEST_F(CliTest, PushNewSendsEachNewFavoriteOnceAndRetriesWhatFailed) {
    PELLORAN_NEED_INSTALLED(daemonAvailable(), "transmission-daemon");
    test::TransmissionDaemon daemon;
    ASSERT_TRUE(useTransmission(daemon));
    const auto setPort = [&](int port) {
        return setClient(QStringLiteral("Transmission"), daemon.address(), port, daemon.username(),
                         daemon.password());
    };
    ASSERT_EQ(signIn().exitCode, 0);
    const QStringList pushNew{QStringLiteral("favorites"), QStringLiteral("--push-new"),
                              QStringLiteral("--min-interval"), QStringLiteral("0"),
                              QStringLiteral("--pages")};

    // No keyword: nothing can be accepted, and the site is not asked.
    site.clearRequestLog();
    const CliRun noFilters = cli(pushNew + QStringList{QStringLiteral("1")});
    EXPECT_EQ(noFilters.exitCode, 0) << noFilters.err.toStdString();
    EXPECT_TRUE(site.requestLog().empty());

    ASSERT_EQ(cli({QStringLiteral("filters"), QStringLiteral("add"), kKeyword}).exitCode, 0);
    const QStringList first = acceptedNames(site, 1, 1);
    QStringList second = acceptedNames(site, 1, 2).mid(first.size());
    ASSERT_FALSE(first.isEmpty());
    ASSERT_FALSE(second.isEmpty());

    site.setListingDelay(1, 300);  // page 1 answers after page 2: still sent first
    const CliRun sent = cli(pushNew + QStringList{QStringLiteral("1")});
    ASSERT_EQ(sent.exitCode, 0) << sent.err.toStdString();
    EXPECT_EQ(lines(sent.out), sentLines(first) << summary(first.size(), 0));
    EXPECT_EQ(daemon.torrents().value_or(std::vector<test::DaemonTorrent>{}).size(),
              size_t(first.size()));

    const CliRun again = cli(pushNew + QStringList{QStringLiteral("1")});
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_EQ(again.out,
              QStringLiteral("Nothing new to send.\n") + summary(0, 0) + QLatin1Char('\n'));

    // The client can't be reached: page 2's new rows fail, and stay unsent.
    test::TestServer closed;
    ASSERT_TRUE(closed.start());
    const int closedPort = closed.port();
    closed.stop();
    ASSERT_EQ(setPort(closedPort), 0);
    const CliRun failed = cli(pushNew + QStringList{QStringLiteral("2")});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(failed.out, summary(0, second.size()) + QLatin1Char('\n'));
    for (const QString& name : second) {
        EXPECT_TRUE(failed.err.contains(QStringLiteral("Not sent (tried again next run): ") + name))
            << failed.err.toStdString();
    }
    EXPECT_EQ(failed.err.count(QStringLiteral("Connection with server failed.")), 1);

    ASSERT_EQ(setPort(daemon.port()), 0);
    const CliRun retried = cli(pushNew + QStringList{QStringLiteral("2")});
    ASSERT_EQ(retried.exitCode, 0) << retried.err.toStdString();
    EXPECT_EQ(lines(retried.out), sentLines(second) << summary(second.size(), 0));
    EXPECT_EQ(daemon.torrents().value_or(std::vector<test::DaemonTorrent>{}).size(),
              size_t(first.size() + second.size()));
}

// The ratio guard: while the bar's ratio (the demo member's 1.234) is below "Warn below ratio",
// every new favorite is held back, nothing is sent or recorded as sent, the desktop is told once
// a day; raised above it, the next run sends them all. Every push is in the activity log and
// every page read left a sample.
TEST_F(CliTest, TheRatioGuardHoldsBackEveryNewTorrentUntilTheRatioIsAboveIt) {
    PELLORAN_NEED_INSTALLED(daemonAvailable(), "transmission-daemon");
    test::TransmissionDaemon daemon;
    ASSERT_TRUE(useTransmission(daemon));
    ASSERT_EQ(signIn().exitCode, 0);
    ASSERT_EQ(cli({QStringLiteral("filters"), QStringLiteral("add"), kKeyword}).exitCode, 0);
    const QStringList names = acceptedNames(site, 1, 1);
    ASSERT_FALSE(names.isEmpty());
    env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));  // the notification comes as a line
    const QStringList pushNew{QStringLiteral("favorites"),      QStringLiteral("--push-new"),
                              QStringLiteral("--min-interval"), QStringLiteral("0"),
                              QStringLiteral("--pages"),        QStringLiteral("1"),
                              QStringLiteral("--notify")};
    const auto setGuard = [this](const QString& value) {
        return cli({QStringLiteral("settings"), QStringLiteral("set"),
                    QStringLiteral("warnBelowRatio"), value})
            .exitCode;
    };
    EXPECT_EQ(setGuard(QStringLiteral("abc")), 2);
    EXPECT_EQ(setGuard(QStringLiteral("0")), 2);
    ASSERT_EQ(setGuard(QStringLiteral("1.5")), 0);

    for (int run = 0; run < 2; ++run) {
        const CliRun held = cli(pushNew);
        EXPECT_EQ(held.exitCode, 0) << held.err.toStdString();
        for (const QString& name : names) {
            EXPECT_TRUE(
                held.out.contains(QStringLiteral("Held back (ratio 1.23 below 1.50): ") + name));
        }
        EXPECT_TRUE(held.out.contains(
            QStringLiteral(", held back %1 (ratio 1.23 below 1.50)").arg(names.size())))
            << held.out.toStdString();
        // Told once a day, however often the timer runs.
        EXPECT_EQ(held.err.contains(QStringLiteral("Holding back every new torrent")), run == 0)
            << held.err.toStdString();
    }
    EXPECT_TRUE(daemon.torrents().value_or(std::vector<test::DaemonTorrent>{}).empty());
    EXPECT_TRUE(QJsonDocument::fromJson(
                    cli({QStringLiteral("activity"), QStringLiteral("--json")}).out.toUtf8())
                    .array()
                    .isEmpty());

    ASSERT_EQ(setGuard(QStringLiteral("1.2")), 0);
    const CliRun sent = cli(pushNew);
    ASSERT_EQ(sent.exitCode, 0) << sent.err.toStdString();
    EXPECT_EQ(lines(sent.out), sentLines(names) << summary(names.size(), 0));
    EXPECT_EQ(daemon.torrents().value_or(std::vector<test::DaemonTorrent>{}).size(),
              size_t(names.size()));

    const QJsonArray pushes =
        QJsonDocument::fromJson(
            cli({QStringLiteral("activity"), QStringLiteral("--json")}).out.toUtf8())
            .array();
    ASSERT_EQ(pushes.size(), names.size());
    QStringList logged;
    for (const QJsonValue& v : pushes) {
        const QJsonObject p = v.toObject();
        EXPECT_EQ(p.value(QStringLiteral("outcome")).toString(), QStringLiteral("sent"));
        EXPECT_EQ(p.value(QStringLiteral("origin")).toString(), QStringLiteral("automatic"));
        EXPECT_EQ(p.value(QStringLiteral("infoHash")).toString().size(), 40);
        EXPECT_TRUE(p.value(QStringLiteral("detailsPath"))
                        .toString()
                        .startsWith(QStringLiteral("/torrent/")));
        logged.prepend(p.value(QStringLiteral("name")).toString());  // newest first
    }
    EXPECT_EQ(logged, names);

    const CliRun stats = cli({QStringLiteral("stats"), QStringLiteral("--json")});
    ASSERT_EQ(stats.exitCode, 0) << stats.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(stats.out.toUtf8()).object();
    EXPECT_EQ(o.keys(), (QStringList{QStringLiteral("pushes"), QStringLiteral("samples")}));
    EXPECT_EQ(o.value(QStringLiteral("pushes")).toObject(),
              (QJsonObject{{QStringLiteral("sent"), names.size()},
                           {QStringLiteral("duplicate"), 0},
                           {QStringLiteral("failed"), 0}}));
    // The bar never changed: one sample however many pages were read within ten minutes.
    const QJsonArray samples = o.value(QStringLiteral("samples")).toArray();
    ASSERT_EQ(samples.size(), 1) << stats.out.toStdString();
    const QJsonObject sample = samples[0].toObject();
    EXPECT_EQ(sample.value(QStringLiteral("ratio")).toDouble(), 1.234);
    EXPECT_EQ(sample.value(QStringLiteral("uploaded")).toDouble(), std::round(120.5 * (1 << 30)));
    EXPECT_EQ(sample.value(QStringLiteral("downloaded")).toDouble(), std::round(97.66 * (1 << 30)));
    EXPECT_TRUE(
        QDateTime::fromString(sample.value(QStringLiteral("time")).toString(), Qt::ISODateWithMs)
            .isValid());
    const CliRun text = cli({QStringLiteral("stats")});
    EXPECT_TRUE(text.out.contains(QStringLiteral("ratio 1.23, uploaded 120.50 GB")))
        << text.out.toStdString();
}

}  // namespace
}  // namespace pelloran

// pelloran-cli favorites --push-new, as the systemd timer runs it: every new favorite goes to a
// real transmission-daemon once, in page order; a run with nothing new sends nothing; a push
// that fails stays out of the history and goes at the next run.

#include "cli/cli_fixture.h"
#include "site/filter.h"
#include "support/need_installed.h"
#include "text/qstring_printer.h"

#include <QSet>

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
    QString error;
    ASSERT_TRUE(daemon.start(&error)) << error.toStdString();
    const auto setPort = [&](int port) {
        return cli({QStringLiteral("remote"), QStringLiteral("set"), QStringLiteral("--client"),
                    QStringLiteral("Transmission"), QStringLiteral("--address"), daemon.address(),
                    QStringLiteral("--port"), QString::number(port), QStringLiteral("--user"),
                    daemon.username(), QStringLiteral("--password-stdin")},
                   daemon.password().toUtf8() + '\n')
            .exitCode;
    };
    ASSERT_EQ(setPort(daemon.port()), 0);
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

}  // namespace
}  // namespace pelloran

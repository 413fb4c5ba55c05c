// pelloran-demo-site: serves the fake tracker site on loopback until SIGINT or SIGTERM.
//
// Standard output gets shell-ready lines, then is flushed so a script can read them:
//   PELLORAN_SITE_HOST=127.0.0.1:PORT ... PELLORAN_IMDB_HOST=www.imdb.com
//   PELLORAN_DEMO_USER=demo and PELLORAN_DEMO_PASSWORD=demo-pass-42 (made-up account)
// Lines starting with "#" are comments (left out with --quiet). Values are single-quoted when
// the shell needs it, so `eval "$(pelloran-demo-site ... | head -n 12)"` works.

#include <pthread.h>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <algorithm>
#include <csignal>
#include <cstdio>

#include "demo_site.h"

using pelloran::demo::DemoSite;
using pelloran::demo::DemoSiteOptions;
using pelloran::demo::LoggedRequest;

namespace {

QString shellQuoted(const QString& value) {
    static const QString safe =
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.:/_-,+@%");
    const bool plain = !value.isEmpty() && std::all_of(value.begin(), value.end(),
                                                       [](QChar c) { return safe.contains(c); });
    if (plain) {
        return value;
    }
    QString quoted = value;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

void printLine(const QString& line) {
    std::fputs((line + QLatin1Char('\n')).toUtf8().constData(), stdout);
}

void printVariable(const char* name, const QString& value) {
    printLine(QString::fromLatin1(name) + QLatin1Char('=') + shellQuoted(value));
}

}  // namespace

int main(int argc, char* argv[]) {
    // Block the stop signals before any server thread starts, so only sigwait() sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pelloran-demo-site"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Serves a fake tracker site with made-up data on loopback for the Pelloran client.\n"
        "With --port N the site listens on 127.0.0.1:N, the forum on 127.0.0.2:N+1, the CAPTCHA\n"
        "service on 127.0.0.3:N+2 and the announcement on 127.0.0.4:N+3; otherwise on free "
        "ports."));
    parser.addHelpOption();
    const QCommandLineOption captcha(QStringLiteral("captcha"),
                                     QStringLiteral("Require a CAPTCHA to sign in."));
    const QCommandLineOption crlf(QStringLiteral("crlf"),
                                  QStringLiteral("Write pages with CRLF line ends."));
    const QCommandLineOption delay(QStringLiteral("delay-ms"),
                                   QStringLiteral("Delay every listing page by N ms."),
                                   QStringLiteral("N"));
    const QCommandLineOption announce(
        QStringLiteral("announce"),
        QStringLiteral("Announcement text: \"GO:text\", \"STOP:text\" or \"\"."),
        QStringLiteral("text"));
    const QCommandLineOption seed(QStringLiteral("seed"),
                                  QStringLiteral("Seed of the generated data."),
                                  QStringLiteral("N"), QStringLiteral("7"));
    const QCommandLineOption torrents(QStringLiteral("torrents"),
                                      QStringLiteral("Number of torrents."), QStringLiteral("N"),
                                      QStringLiteral("300"));
    const QCommandLineOption rows(QStringLiteral("rows-per-page"),
                                  QStringLiteral("Rows per listing page."), QStringLiteral("N"),
                                  QStringLiteral("25"));
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("Base port (see above)."),
                                  QStringLiteral("N"));
    const QCommandLineOption quiet(QStringLiteral("quiet"),
                                   QStringLiteral("Print only the variable lines."));
    const QCommandLineOption verbose(
        QStringLiteral("verbose"),
        QStringLiteral("Print each request's service, method and path to stderr."));
    parser.addOptions({captcha, crlf, delay, announce, seed, torrents, rows, port, quiet, verbose});
    parser.process(app);

    DemoSiteOptions options;
    options.seed = parser.value(seed).toUInt();
    options.torrentCount = parser.value(torrents).toInt();
    options.rowsPerPage = std::max(parser.value(rows).toInt(), 1);
    options.basePort = parser.isSet(port) ? parser.value(port).toInt() : 0;

    DemoSite site(options);
    site.setRequireCaptcha(parser.isSet(captcha));
    site.setCrlf(parser.isSet(crlf));
    if (parser.isSet(delay)) {
        site.setListingDelay(0, parser.value(delay).toInt());
    }
    if (parser.isSet(announce)) {
        site.setAnnouncement(parser.value(announce));
    }
    if (parser.isSet(verbose)) {
        // Method and path only: queries and bodies may carry passwords, headers carry cookies.
        site.setRequestObserver([](const LoggedRequest& r) {
            std::fprintf(stderr, "%s %s %s\n", qPrintable(r.host), qPrintable(r.method),
                         qPrintable(r.path));
        });
    }
    if (!site.start()) {
        std::fprintf(
            stderr, "pelloran-demo-site: cannot listen on 127.0.0.1%s\n",
            options.basePort > 0 ? qPrintable(QStringLiteral(":%1").arg(options.basePort)) : "");
        return 1;
    }
    for (const QString& warning : site.warnings()) {
        std::fprintf(stderr, "pelloran-demo-site: %s\n", qPrintable(warning));
    }

    const bool comments = !parser.isSet(quiet);
    if (comments) {
        printLine(QStringLiteral(
            "# Pelloran demo tracker: made-up data on loopback. Stop it with Ctrl-C."));
    }
    printVariable("PELLORAN_SITE_HOST", site.siteHost());
    printVariable("PELLORAN_FORUM_HOST", site.forumHost());
    printVariable("PELLORAN_COOKIE_DOMAIN", site.cookieDomain());
    printVariable("PELLORAN_CAPTCHA_HOST", site.captchaHost());
    printVariable("PELLORAN_CAPTCHA_COOKIE_DOMAIN", site.captchaCookieDomain());
    printVariable("PELLORAN_ANNOUNCE_HOST", site.announceHost());
    printVariable("PELLORAN_LOGIN_TITLE", site.loginTitle());
    printVariable("PELLORAN_IMDB_HOST", QStringLiteral("www.imdb.com"));
    if (comments) {
        printLine(QStringLiteral("# Demo account (fake, exists only on this demo site):"));
    }
    printVariable("PELLORAN_DEMO_USER", site.memberName());
    printVariable("PELLORAN_DEMO_PASSWORD", site.memberPassword());
    std::fflush(stdout);

    int received = 0;
    sigwait(&stopSignals, &received);
    site.stop();
    return 0;
}

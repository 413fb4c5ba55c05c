#pragma once
// Runs the built pelloran-cli against the demo tracker, with a data folder and an environment
// of the test's own, as a member (or a script) would.

#include "support/demo_fixture.h"
#include "support/temp_home.h"
#include "support/test_server.h"
#include "support/transmission_daemon.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <memory>
#include <vector>

namespace pelloran {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(site.start());
        env = QProcessEnvironment::systemEnvironment();
        const SiteConfig c = test::configFor(site);
        env.insert(QStringLiteral("PELLORAN_HOME"), home.path());
        // The passwords of these runs stay in the test's settings file.
        env.insert(QStringLiteral("PELLORAN_KEYRING"), QStringLiteral("off"));
        env.insert(QStringLiteral("PELLORAN_SITE_HOST"), c.siteHost);
        env.insert(QStringLiteral("PELLORAN_FORUM_HOST"), c.forumHost);
        env.insert(QStringLiteral("PELLORAN_COOKIE_DOMAIN"), c.cookieDomain);
        env.insert(QStringLiteral("PELLORAN_CAPTCHA_HOST"), c.captchaHost);
        env.insert(QStringLiteral("PELLORAN_CAPTCHA_COOKIE_DOMAIN"), c.captchaCookieDomain);
        env.insert(QStringLiteral("PELLORAN_ANNOUNCE_HOST"), c.announceHost);
        env.insert(QStringLiteral("PELLORAN_LOGIN_TITLE"), c.loginTitle);
    }

    CliRun cli(const QStringList& args, const QByteArray& input = QByteArray()) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(PELLORAN_CLI_PATH), args);
        EXPECT_TRUE(p.waitForStarted(10000));
        p.write(input);
        p.closeWriteChannel();
        const bool finished = p.waitForFinished(60000);
        EXPECT_TRUE(finished) << "pelloran-cli " << args.join(QLatin1Char(' ')).toStdString()
                              << " did not finish";
        if (!finished) {
            p.kill();
            p.waitForFinished();
        }
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }

    // Starts every run at once and waits for all of them, as a script running them in the
    // background would.
    std::vector<CliRun> cliTogether(const std::vector<QStringList>& argumentLists) {
        std::vector<std::unique_ptr<QProcess>> processes;
        for (const QStringList& args : argumentLists) {
            auto p = std::make_unique<QProcess>();
            p->setProcessEnvironment(env);
            p->start(QStringLiteral(PELLORAN_CLI_PATH), args);
            p->closeWriteChannel();
            processes.push_back(std::move(p));
        }
        std::vector<CliRun> runs;
        for (auto& p : processes) {
            EXPECT_TRUE(p->waitForFinished(120000));
            runs.push_back({p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1,
                            QString::fromUtf8(p->readAllStandardOutput()),
                            QString::fromUtf8(p->readAllStandardError())});
        }
        return runs;
    }

    CliRun signIn() {
        return cli({QStringLiteral("login"), QStringLiteral("--username"), site.memberName(),
                    QStringLiteral("--password-stdin")},
                   site.memberPassword().toUtf8() + '\n');
    }

    // Makes `client` at `address`:`port` the remote client, the password given on stdin as a
    // member would; the exit code of `remote set`.
    int setClient(const QString& client, const QString& address, int port, const QString& user,
                  const QString& password) {
        return cli({QStringLiteral("remote"), QStringLiteral("set"), QStringLiteral("--client"),
                    client, QStringLiteral("--address"), address, QStringLiteral("--port"),
                    QString::number(port), QStringLiteral("--user"), user,
                    QStringLiteral("--password-stdin")},
                   password.toUtf8() + '\n')
            .exitCode;
    }

    // Starts `daemon` and makes it the remote client; false, with the failure added, otherwise.
    bool useTransmission(test::TransmissionDaemon& daemon) {
        QString error;
        if (!daemon.start(&error)) {
            ADD_FAILURE() << error.toStdString();
            return false;
        }
        return setClient(QStringLiteral("Transmission"), daemon.address(), daemon.port(),
                         daemon.username(), daemon.password()) == 0;
    }

    QJsonArray jsonRows(const QStringList& args) {
        const CliRun r = cli(args + QStringList{QStringLiteral("--json")});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        return QJsonDocument::fromJson(r.out.toUtf8()).array();
    }

    // Points the command line at a stand-in site (and announcement) on `server` instead.
    void useSite(const test::TestServer& server) {
        env.insert(QStringLiteral("PELLORAN_SITE_HOST"), server.hostPort());
        env.insert(QStringLiteral("PELLORAN_ANNOUNCE_HOST"), server.hostPort());
        env.insert(QStringLiteral("PELLORAN_LOGIN_TITLE"), QStringLiteral("Login :: Stand-in"));
    }

    demo::DemoSite site;
    test::TempHome home;
    QProcessEnvironment env;
};

// The real component most tests here need (see PELLORAN_NEED_INSTALLED).
inline bool daemonAvailable() {
    return !test::TransmissionDaemon::binaryPath().isEmpty();
}

}  // namespace pelloran

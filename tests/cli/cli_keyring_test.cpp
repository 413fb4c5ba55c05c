// Where pelloran-cli keeps the passwords: in a real secret service (gnome-keyring-daemon on a
// D-Bus session bus of the test's own, unlocked with a known password) they move out of the
// settings file and the sign-in reads them from there; with no secret service at all the
// settings file keeps them and the command says so once.

#include "cli/cli_fixture.h"
#include "store/settings_keys.h"
#include "store/settings_store.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace pelloran {
namespace {

const QString kServerPassword = QStringLiteral("r\u00e9mote & pass %20");

// An environment that reaches no session bus at all.
void dropSessionBus(QProcessEnvironment& env, const QString& home) {
    for (const char* name :
         {"DBUS_SESSION_BUS_ADDRESS", "DISPLAY", "WAYLAND_DISPLAY", "PELLORAN_KEYRING"}) {
        env.remove(QString::fromLatin1(name));
    }
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/cache"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/run"));
    QDir().mkpath(home + QStringLiteral("/run"));
    QFile::setPermissions(home + QStringLiteral("/run"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

QString readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

TEST_F(CliTest, WithoutASecretServiceThePasswordStaysInTheFileAndThatIsSaidOnce) {
    QTemporaryDir userHome;
    dropSessionBus(env, userHome.path());
    const CliRun login = signIn();
    ASSERT_EQ(login.exitCode, 0) << login.err.toStdString();
    const QString settingsFile = QDir(home.path()).filePath(QStringLiteral("settings.json"));
    const QStringList said = login.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(said.size(), 1) << login.err.toStdString();
    EXPECT_TRUE(said[0].startsWith(QStringLiteral("Passwords are kept in the settings file ") +
                                   settingsFile))
        << said[0].toStdString();
    EXPECT_FALSE(login.err.contains(site.memberPassword()));
    EXPECT_EQ(SettingsStore(home.path()).string(keys::password), site.memberPassword());
    // Commands that store no password say nothing.
    const CliRun show = cli({QStringLiteral("remote"), QStringLiteral("show")});
    EXPECT_EQ(show.err, QString());
    EXPECT_TRUE(show.out.contains(QStringLiteral("Kept in:  the settings file")));
}

// The one test that needs a real secret service: skipped, with the reason, on a machine that
// can't start one on a bus of its own.
TEST_F(CliTest, PasswordsMoveIntoARealKeyringAndTheSignInReadsThemFromThere) {
    const QString dbusRun = QStandardPaths::findExecutable(QStringLiteral("dbus-run-session"));
    const QString keyringDaemon =
        QStandardPaths::findExecutable(QStringLiteral("gnome-keyring-daemon"));
    if (dbusRun.isEmpty() || keyringDaemon.isEmpty()) {
        GTEST_SKIP() << "no real secret service here: dbus-run-session and gnome-keyring-daemon "
                        "are needed (scripts/deps installs them)";
    }
    {
        // What a member who used an earlier version has: both passwords in the settings file.
        SettingsStore seeded(home.path());
        seeded.setValue(keys::username, site.memberName());
        seeded.setValue(keys::password, site.memberPassword());
        seeded.setValue(keys::automaticLogin, QStringLiteral("YES"));
        seeded.setValue(keys::serverPassword, kServerPassword);
        ASSERT_TRUE(seeded.flush());
    }
    QTemporaryDir userHome;
    QTemporaryDir out;
    dropSessionBus(env, userHome.path());
    env.insert(QStringLiteral("CLI"), QStringLiteral(PELLORAN_CLI_PATH));
    env.insert(QStringLiteral("OUT"), out.path());
    // Each step's output goes to files of its own; the steps share the bus and the keyring.
    const QString script = QStringLiteral(R"(
        printf '%s' 'known unlock password' |
            gnome-keyring-daemon --unlock --components=secrets >"$OUT/daemon" 2>&1 ||
            { echo "gnome-keyring-daemon: $?" >"$OUT/setup-failed"; exit 0; }
        step() { name=$1; shift; "$CLI" "$@" >"$OUT/$name.out" 2>"$OUT/$name.err" </dev/null;
                 echo $? >"$OUT/$name.rc"; }
        step login login
        step show remote show
        step logout logout
        step relogin login
        printf 'n3w pass\n' | "$CLI" remote set --password-stdin >"$OUT/set.out" 2>"$OUT/set.err"
        echo $? >"$OUT/set.rc"
        step shown remote show
    )");
    QProcess session;
    session.setProcessEnvironment(env);
    session.start(dbusRun,
                  {QStringLiteral("--"), QStringLiteral("sh"), QStringLiteral("-c"), script});
    ASSERT_TRUE(session.waitForFinished(180000)) << "the keyring session did not end";
    if (QFile::exists(out.filePath(QStringLiteral("setup-failed")))) {
        GTEST_SKIP() << "gnome-keyring-daemon could not start on a bus of its own: "
                     << readAll(out.filePath(QStringLiteral("daemon"))).toStdString();
    }
    const auto step = [&](const QString& name) {
        return CliRun{readAll(out.filePath(name + QStringLiteral(".rc"))).trimmed().toInt(),
                      readAll(out.filePath(name + QStringLiteral(".out"))),
                      readAll(out.filePath(name + QStringLiteral(".err")))};
    };
    for (const QString& name :
         {QStringLiteral("login"), QStringLiteral("show"), QStringLiteral("logout"),
          QStringLiteral("relogin"), QStringLiteral("set"), QStringLiteral("shown")}) {
        const CliRun r = step(name);
        EXPECT_EQ(r.exitCode, 0) << name.toStdString() << ": " << r.err.toStdString();
        // Nothing is said about where the passwords are, and no password is ever printed.
        EXPECT_EQ(r.err, QString()) << name.toStdString();
        EXPECT_FALSE(r.out.contains(site.memberPassword()));
        EXPECT_FALSE(r.out.contains(kServerPassword));
    }
    EXPECT_TRUE(step(QStringLiteral("login")).out.contains(QStringLiteral("Signed in as demo")));
    EXPECT_TRUE(step(QStringLiteral("relogin")).out.contains(QStringLiteral("Signed in as demo")));
    for (const QString& name : {QStringLiteral("show"), QStringLiteral("shown")}) {
        const QString shown = step(name).out;
        EXPECT_TRUE(shown.contains(QStringLiteral("Password: (set)"))) << shown.toStdString();
        EXPECT_TRUE(shown.contains(QStringLiteral("Kept in:  the desktop's keyring")))
            << shown.toStdString();
    }
    // The settings file kept every other key and holds no password any more.
    const SettingsStore file(home.path());
    EXPECT_FALSE(file.string(keys::password).has_value());
    EXPECT_FALSE(file.string(keys::serverPassword).has_value());
    EXPECT_EQ(file.string(keys::username), site.memberName());
    const QString raw = readAll(file.filePath());
    EXPECT_FALSE(raw.contains(site.memberPassword()));
    EXPECT_FALSE(raw.contains(QStringLiteral("n3w pass")));
}

}  // namespace
}  // namespace pelloran

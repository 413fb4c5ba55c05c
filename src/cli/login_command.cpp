// pelloran-cli login: the login screen's attempt without the screen.

#include "cli/cli_core.h"
#include "cli/cli_output.h"
#include "cli/commands.h"

#include "net/deadline.h"
#include "net/url_loader.h"
#include "site/announcement.h"
#include "site/captcha.h"
#include "site/sign_in.h"
#include "store/own_module.h"
#include "store/settings_keys.h"
#include "store/store_file.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace pelloran::cli {

namespace {

QString challengeFile(const CliCore& core) {
    return QDir(core.dataDirectory()).filePath(QStringLiteral("captcha-challenge"));
}

QString pictureFile(const CliCore& core) {
    return QDir(core.dataDirectory()).filePath(QStringLiteral("captcha.png"));
}

std::optional<QString> pendingChallenge(const CliCore& core) {
    QFile f(challengeFile(core));
    if (!f.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QString token = QString::fromUtf8(f.readAll()).trimmed();
    return token.isEmpty() ? std::nullopt : std::optional<QString>(token);
}

void forgetChallenge(const CliCore& core) {
    QFile::remove(challengeFile(core));
    QFile::remove(pictureFile(core));
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    if (!ensurePrivateDirectory(QFileInfo(path).absolutePath(), nullptr)) {
        return false;
    }
    QSaveFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.commit();
}

// The picture as PNG, whatever format the site sent; none when it is no picture. Qt Gui decodes
// it in a module of its own, so that only this step of a sign-in loads it.
std::optional<QByteArray> pngOfPicture(const QByteArray& bytes) {
    using ToPng = bool (*)(const QByteArray&, QByteArray*);
    const auto toPng = reinterpret_cast<ToPng>(
        ownModuleFunction(QStringLiteral("pelloran_picture"), "pelloranPictureToPng", nullptr));
    QByteArray png;
    if (!toPng || !toPng(bytes, &png)) {
        return std::nullopt;
    }
    return png;
}

// The site wants the words of a picture: save the picture and the challenge for the next call.
int askForCaptcha(CliCore& core, const SiteContext& attempt) {
    OperationQueue queue(1);
    auto challenge = core.run<FetchPageCaptcha>(queue, core.config().loginUrl(), attempt);
    if (!challenge) {
        printError(QString(kLoginFailedTitle),
                   QStringLiteral("The CAPTCHA picture could not be loaded."));
        return kExitFailure;
    }
    UrlLoadRequest request;
    request.url = challenge->imageUrl;
    request.deadline = attempt.net.deadline;
    const std::optional<QByteArray> picture = pngOfPicture(loadUrl(request, core.cookies()).body);
    if (!picture || !writeFile(pictureFile(core), *picture) ||
        !writeFile(challengeFile(core), challenge->token.toUtf8())) {
        printError(QString(kLoginFailedTitle),
                   QStringLiteral("The CAPTCHA picture could not be loaded."));
        return kExitFailure;
    }
    printOut(QStringLiteral("The site asks for the words in a picture: ") + pictureFile(core));
    printOut(QStringLiteral("Answer with: pelloran-cli login --captcha 'THE WORDS'"));
    return kExitCaptcha;
}

void printMemberBar(const UserInfo& info, bool json) {
    if (json) {
        printOut(jsonText(userInfoJson(info)));
        return;
    }
    printOut(QStringLiteral("Signed in as ") + info.username().value_or(QString()));
    printOut(QStringLiteral("Ratio ") + info.ratio().value_or(QString()) +
             QStringLiteral("   Up ") + info.uploaded().value_or(QString()) +
             QStringLiteral("   Down ") + info.downloaded().value_or(QString()));
}

}  // namespace

int runLogin(CliCore& core, const CommandArgs& args) {
    SettingsStore& settings = core.settings();
    const QString username = args.isSet(QStringLiteral("username"))
                                 ? args.value(QStringLiteral("username"))
                                 : settings.string(keys::username).value_or(QString());
    const bool typedPassword = args.isSet(QStringLiteral("password-stdin"));
    const QString password =
        typedPassword ? readSecretLine() : storedPassword(core.site()).value_or(QString());
    bool automatic = automaticLoginEnabled(settings);
    if (args.isSet(QStringLiteral("auto"))) {
        const QString value = args.value(QStringLiteral("auto"));
        if (value != QLatin1StringView("on") && value != QLatin1StringView("off")) {
            return args.usageError(QStringLiteral("--auto takes on or off"));
        }
        automatic = value == QLatin1StringView("on");
    }
    std::optional<QString> challenge;
    QString answer;
    if (args.isSet(QStringLiteral("captcha"))) {
        challenge = pendingChallenge(core);
        if (!challenge) {
            return args.usageError(
                QStringLiteral("no CAPTCHA is waiting for an answer; run login first"));
        }
        answer = args.value(QStringLiteral("captcha"));
    }

    core.recorder().openAhead();  // the sign-in's member bar is recorded
    // The whole attempt, from the session check to the announcement, has one deadline.
    const SiteContext attempt = core.site().withDeadline(startAction());
    OperationQueue queue(1);
    auto check = core.run<FetchPageLoginCheck>(queue, core.config().sessionCheckUrl(), attempt);
    // Stored before the attempt, as the login screen does: the member's typing is kept even
    // when the attempt fails.
    storeCredentials(settings, &core.secrets(), username, password, automatic);
    if (typedPassword) {
        core.sayWherePasswordsAreKept();
    }
    if (!check || !isStillSignedIn(*check, core.session())) {
        auto signIn = core.run<FetchPageSignIn>(queue, core.config().loginUrl(), username, password,
                                                challenge, answer, attempt);
        if (challenge) {
            forgetChallenge(core);  // a challenge answers once, right or wrong
        }
        const SignInVerdict verdict = judgeSignIn(*signIn, core.session(), &core.cookies());
        if (!verdict.ok) {
            printError(QString(kLoginFailedTitle), verdict.message);
            core.markSaid(verdict.message);
            return hasCaptchaRequest(signIn->result()) ? askForCaptcha(core, attempt)
                                                       : kExitFailure;
        }
    }
    forgetChallenge(core);

    const Announcement announcement =
        checkAnnouncement(core.config(), attempt.net, QStringLiteral(PELLORAN_VERSION));
    if (announcement.kind == Announcement::Kind::Stop) {
        printError(QStringLiteral("Login error"), announcement.message);
        return kExitFailure;
    }
    if (announcement.kind == Announcement::Kind::Go && !announcement.message.isEmpty()) {
        printOut(announcement.message);
    }
    printMemberBar(core.userInfo(), args.isSet(QStringLiteral("json")));
    return kExitSuccess;
}

}  // namespace pelloran::cli

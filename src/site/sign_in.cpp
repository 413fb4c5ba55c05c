#include "site/sign_in.h"

#include "net/cookie_store.h"
#include "net/session.h"
#include "site/member_sample.h"
#include "site/user_info.h"
#include "store/secret_store.h"
#include "store/settings_keys.h"
#include "store/settings_store.h"
#include "text/string_helpers.h"
#include "text/url_escaping.h"

namespace pelloran {

namespace {

bool absentOrContains(const std::optional<QString>& text, QLatin1StringView marker) {
    return !text || text->contains(marker);
}

const QString kTitlePatternText = QString(kTitlePattern);

}  // namespace

bool hasCaptchaRequest(const std::optional<QString>& text) {
    return absentOrContains(text, QLatin1StringView("recaptcha_challenge_field"));
}

bool isInvalidUsername(const std::optional<QString>& text) {
    return absentOrContains(text, QLatin1StringView("Invalid Username"));
}

bool isInvalidCaptcha(const std::optional<QString>& text) {
    return absentOrContains(text, QLatin1StringView("You did not fill in the words"));
}

QString signInFormBody(const QString& username, const QString& password,
                       const std::optional<QString>& captchaChallenge, const QString& captcha) {
    // The escaping helper keeps "%" so that existing escapes pass through; a typed password
    // has no escapes, so its "%" must be escaped like any other reserved character.
    const QString escapedPassword = text::stringWithPercentEscape(
        QString(password).replace(QLatin1Char('%'), QStringLiteral("%25")));
    QString body =
        QStringLiteral("username=") + username + QStringLiteral("&password=") + escapedPassword;
    if (captchaChallenge && !captchaChallenge->isEmpty()) {
        body += QStringLiteral("&recaptcha_challenge_field=") + *captchaChallenge +
                QStringLiteral("&recaptcha_response_field=") + captcha;
    }
    return body + QStringLiteral("&remember_me=on&login=submit");
}

void storeCredentials(SettingsStore& settings, SecretStore* secrets, const QString& username,
                      const QString& password, bool automaticLogin, SettingsWrite write) {
    settings.setValue(keys::username, username);
    writeSecret(settings, secrets, keys::password, password);
    settings.setValue(keys::automaticLogin,
                      automaticLogin ? QStringLiteral("YES") : QStringLiteral("NO"));
    if (write == SettingsWrite::InBackground) {
        settings.flushInBackground();
    } else {
        settings.flush();
    }
}

std::optional<QString> storedPassword(const SiteContext& site) {
    return readSecret(*site.settings, site.secrets, keys::password);
}

bool automaticLoginEnabled(const SettingsStore& settings) {
    const std::optional<QString> value = settings.string(keys::automaticLogin);
    return value && *value != QLatin1StringView("NO");
}

bool isStillSignedIn(const HttpRequest& check, const Session& session) {
    return check.isResponseValid() && !session.isLoginHeader(check.result());
}

SignInVerdict judgeSignIn(const HttpRequest& signIn, const Session& session,
                          const CookieStore* cookies) {
    const std::optional<QString>& text = signIn.result();
    if (signIn.isResponseValid()) {
        if (!session.isLoginHeader(text)) {
            if (const std::optional<QString> problem =
                    cookies ? cookies->saveProblem() : std::nullopt) {
                return {false, *problem};
            }
            return {true, QString()};
        }
        if (isInvalidUsername(text)) {
            return {false, kBadUsernameMessage};
        }
        if (isInvalidCaptcha(text)) {
            return {false, kBadCaptchaMessage};
        }
        return {false, kUnknownLoginErrorMessage};
    }
    return {false, kConnectionErrorMessage};
}

FetchPageLoginCheck::FetchPageLoginCheck(const QString& url, const SiteContext& site,
                                         QObject* context, Callback callback)
    : FetchPageWith(url, context, std::move(callback)), site_(site) {}

void FetchPageLoginCheck::main() {
    auto check = std::make_shared<HttpRequestRegEx>(url(), kTitlePatternText, site_.net);
    check->request();
    if (site_.userInfo && site_.net.session && isStillSignedIn(*check, *site_.net.session)) {
        refreshMemberBar(check->responseData(), *site_.userInfo, site_.net);
        if (site_.activity) {
            noteMemberBar(site_,
                          HttpRequest::decodeText(check->responseData()).value_or(QString()));
        }
    }
    setReturnObject(check);
}

FetchPageSignIn::FetchPageSignIn(const QString& url, const QString& username,
                                 const QString& password,
                                 const std::optional<QString>& captchaChallenge,
                                 const QString& captcha, const SiteContext& site, QObject* context,
                                 Callback callback)
    : FetchPageWith(url, context, std::move(callback)),
      username_(username),
      password_(password),
      captchaChallenge_(captchaChallenge),
      captcha_(captcha),
      site_(site) {}

void FetchPageSignIn::main() {
    auto request = std::make_shared<HttpRequest>(url(), site_.net);
    request->setType(QStringLiteral("POST"));
    request->setPostData(signInFormBody(username_, password_, captchaChallenge_, captcha_));
    request->request();
    if (site_.userInfo && site_.net.session && isStillSignedIn(*request, *site_.net.session)) {
        refreshMemberBar(request->responseData(), *site_.userInfo, site_.net);
        if (site_.activity) {
            noteMemberBar(site_,
                          HttpRequest::decodeText(request->responseData()).value_or(QString()));
        }
    }
    setReturnObject(request);
}

}  // namespace pelloran

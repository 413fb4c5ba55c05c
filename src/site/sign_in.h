#pragma once
// Signing in through the site's login form, without a screen: the session check, the form
// post, and the judging of the answer into the exact messages a member sees. The login screen
// and the command line both call these.
//
// One attempt (session check, form, CAPTCHA challenge, announcement) has one deadline: build
// its context once, `const SiteContext attempt = site.withDeadline(startAction());`, and hand
// that same context to every operation of the attempt (deadline.h).

#include "net/fetch_page.h"
#include "net/http_request.h"
#include "site/site_context.h"

#include <QLatin1StringView>
#include <memory>
#include <optional>

namespace pelloran {

class CookieStore;
class SecretStore;
class SettingsStore;
class Session;

inline constexpr QLatin1StringView kLoginFailedTitle{"Login failed."};
inline constexpr QLatin1StringView kLoginFailedButton{"Cancel"};
inline constexpr QLatin1StringView kBadUsernameMessage{"Bad username or password."};
inline constexpr QLatin1StringView kBadCaptchaMessage{"Bad captcha image information.  Try again."};
inline constexpr QLatin1StringView kUnknownLoginErrorMessage{
    "Unknown login error.  Verify you have cookies enabled.  Goto Settings->Safari->Accept "
    "Cookies.  Select 'From visited' or 'Always' and restart the app."};
inline constexpr QLatin1StringView kConnectionErrorMessage{"Connection error."};
// The site accepted the sign-in but keeps answering with its login page (for example, it sets
// a session cookie that is never sent back): signing in again would only repeat that.
inline constexpr QLatin1StringView kSiteKeepsAskingMessage{
    "The site keeps asking to sign in again, although it accepted the sign-in. Stopped "
    "signing in so that the account is not locked; try again later."};

// Page tests; each also answers yes for an absent text (a body that isn't text).
bool hasCaptchaRequest(const std::optional<QString>& text);
bool isInvalidUsername(const std::optional<QString>& text);
bool isInvalidCaptcha(const std::optional<QString>& text);

// The sign-in form body. The short form when `captchaChallenge` is absent or "", otherwise the
// long form with the challenge and the answer. Only the password is escaped; "%" in it is
// escaped too, so that a password holding "%41" reaches the site as typed.
QString signInFormBody(const QString& username, const QString& password,
                       const std::optional<QString>& captchaChallenge, const QString& captcha);

// Stores the credentials and the automatic-login choice as the login screen does at every
// attempt ("YES"/"NO"), with one flush. The password goes to `secrets` (the keyring's write
// finishes in the background), or to the settings file when there is none.
// `write`: the UI thread has the file written in the background.
enum class SettingsWrite { Now, InBackground };
void storeCredentials(SettingsStore& settings, SecretStore* secrets, const QString& username,
                      const QString& password, bool automaticLogin,
                      SettingsWrite write = SettingsWrite::Now);
inline void storeCredentials(SettingsStore& settings, const QString& username,
                             const QString& password, bool automaticLogin) {
    storeCredentials(settings, nullptr, username, password, automaticLogin);
}
// The stored site password: from the site's secret store, or the settings file without one.
std::optional<QString> storedPassword(const SiteContext& site);

// Whether the automatic-login switch starts on: a stored value other than "NO".
bool automaticLoginEnabled(const SettingsStore& settings);

struct SignInVerdict {
    bool ok = false;
    QString message;  // "" on success
    // A failure whose page asks for the words of a CAPTCHA picture: only a member can go on.
    bool captchaWanted = false;
};

// The answer is a signed-in page: a valid response that is not the login page.
bool isStillSignedIn(const HttpRequest& check, const Session& session);

// Judges the sign-in exchange into success or the exact failure message. With `cookies`, a
// sign-in whose session cookies could not be saved is a failure too, with the store's reason
// as the message: the session would be gone at the next start.
SignInVerdict judgeSignIn(const HttpRequest& signIn, const Session& session,
                          const CookieStore* cookies = nullptr);

// GETs the session check page with the title pattern; refreshes the member bar when it is a
// signed-in page. Delivers the request (its result is the page title).
class FetchPageLoginCheck : public FetchPageWith<std::shared_ptr<HttpRequestRegEx>> {
public:
    FetchPageLoginCheck(const QString& url, const SiteContext& site, QObject* context,
                        Callback callback);

protected:
    void main() override;

private:
    SiteContext site_;
};

// POSTs the sign-in form to `url` (the login page); refreshes the member bar on success.
// Delivers the request itself for judging.
class FetchPageSignIn : public FetchPageWith<std::shared_ptr<HttpRequest>> {
public:
    FetchPageSignIn(const QString& url, const QString& username, const QString& password,
                    const std::optional<QString>& captchaChallenge, const QString& captcha,
                    const SiteContext& site, QObject* context, Callback callback);

protected:
    void main() override;

private:
    QString username_;
    QString password_;
    std::optional<QString> captchaChallenge_;
    QString captcha_;
    SiteContext site_;
};

}  // namespace pelloran

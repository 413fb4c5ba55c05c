#pragma once
// Loads the CAPTCHA challenge the login page asks for: finds the challenge script in the login
// page, fetches it, and reads the challenge token, from which the picture address is built.

#include "net/fetch_page.h"
#include "site/site_context.h"

#include <QString>
#include <optional>

namespace pelloran {

struct CaptchaChallenge {
    QString imageUrl;  // "http://" + CAPTCHA image host + "/image?c=" + token (escaped)
    QString token;     // sent back with the answer as recaptcha_challenge_field
};

// The challenge script's address in a login page; absent when the page demands no CAPTCHA.
std::optional<QString> captchaScriptUrl(const QString& loginPage);
// The token in a challenge script; absent when the script has none.
std::optional<QString> captchaToken(const QString& script);
// "http://" + `host` + "/image?c=" + the token, escaped as one query value.
QString captchaImageUrl(const QString& host, const QString& token);

// While the challenge script can't be fetched it tries again every `retryDelayMs` (5 s by
// default), at most `maxAttempts` times, then delivers nothing so the screen can say so. A
// login page without a challenge script delivers nothing at once: there is nothing to wait for.
// Within a sign-in action it also stops, with nothing, at the action's deadline (deadline.h).
class FetchPageCaptcha : public FetchPageWith<std::optional<CaptchaChallenge>> {
public:
    FetchPageCaptcha(const QString& loginUrl, const SiteContext& site, QObject* context,
                     Callback callback);
    void setRetry(int retryDelayMs, int maxAttempts);

protected:
    void main() override;

private:
    SiteContext site_;
    int retryDelayMs_ = 5000;
    int maxAttempts_ = 12;
};

}  // namespace pelloran

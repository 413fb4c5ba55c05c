#include "site/captcha.h"

#include "net/cancellation.h"
#include "net/deadline.h"
#include "net/http_request.h"
#include "site/site_config.h"
#include "text/regex.h"

#include <QThread>
#include <QUrl>

namespace pelloran {

namespace {

const QString kScriptPattern = QStringLiteral(
    R"re(<script type="text/javascript"[\s\S]*?src="(http://.*recaptcha/api/challenge.*)">[\s\S]*?</script>)re");
const QString kTokenPattern = QStringLiteral("challenge[ ]*:[ ]*'(.*?)'");

}  // namespace

std::optional<QString> captchaScriptUrl(const QString& loginPage) {
    return text::stringByMatching(loginPage, kScriptPattern, 1);
}

std::optional<QString> captchaToken(const QString& script) {
    return text::stringByMatching(script, kTokenPattern, 1);
}

QString captchaImageUrl(const QString& host, const QString& token) {
    return QStringLiteral("http://") + host + QStringLiteral("/image?c=") +
           QString::fromLatin1(QUrl::toPercentEncoding(token));
}

FetchPageCaptcha::FetchPageCaptcha(const QString& loginUrl, const SiteContext& site,
                                   QObject* context, Callback callback)
    : FetchPageWith(loginUrl, context, std::move(callback)), site_(site) {}

void FetchPageCaptcha::setRetry(int retryDelayMs, int maxAttempts) {
    retryDelayMs_ = retryDelayMs;
    maxAttempts_ = maxAttempts;
}

void FetchPageCaptcha::main() {
    const QDeadlineTimer& deadline = site_.net.deadline;
    for (int attempt = 1; attempt <= maxAttempts_ && !deadline.hasExpired(); ++attempt) {
        if (attempt > 1) {
            // Never sleeps past the action's deadline: the loop then ends without a challenge.
            const QDeadlineTimer pause = earlierDeadline(QDeadlineTimer(retryDelayMs_), deadline);
            if (Cancellation* cancellation = site_.net.cancellation) {
                if (!cancellation->pauseUntil(pause)) {
                    return;  // the program is closing
                }
            } else {
                QThread::msleep(static_cast<unsigned long>(pause.remainingTime()));
            }
            if (deadline.hasExpired()) {
                return;
            }
        }
        HttpRequest loginPage(url(), site_.net);
        loginPage.request();
        if (loginPage.isResponseValid()) {
            const std::optional<QString> scriptUrl =
                loginPage.result() ? captchaScriptUrl(*loginPage.result()) : std::nullopt;
            if (!scriptUrl) {
                return;  // no CAPTCHA on the page (any more): nothing to show
            }
            HttpRequest script(*scriptUrl, site_.net);
            script.request();
            if (script.isResponseValid() && script.result()) {
                if (const std::optional<QString> token = captchaToken(*script.result())) {
                    const QString host = site_.config ? site_.config->captchaHost : QString();
                    setReturnObject(CaptchaChallenge{captchaImageUrl(host, *token), *token});
                    return;
                }
            }
        }
    }
}

}  // namespace pelloran

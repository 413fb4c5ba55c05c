#include "site/session_renewer.h"

#include "net/deadline.h"
#include "net/session.h"
#include "site/site_config.h"
#include "store/settings_keys.h"
#include "store/settings_store.h"

namespace pelloran {

SessionRenewer::SessionRenewer(const SiteContext& site, FailureHandler onFailure)
    : site_(site), onFailure_(std::move(onFailure)) {}

SessionRenewer::~SessionRenewer() {
    if (site_.net.session) {
        site_.net.session->setReloginHandler({});
        site_.net.session->setRefusalHandler({});
    }
}

void SessionRenewer::install() {
    site_.net.session->setReloginHandler([this] { renew(); });
    site_.net.session->setRefusalHandler([this] {
        if (onFailure_) {
            onFailure_(SignInVerdict{false, QString(kSiteKeepsAskingMessage)});
        }
    });
}

void SessionRenewer::renew() {
    const QString username = site_.settings->string(keys::username).value_or(QString());
    const QString password = storedPassword(site_).value_or(QString());
    auto signIn = std::make_unique<FetchPageSignIn>(
        site_.config->loginUrl(), username, password, std::nullopt, QString(),
        site_.withDeadline(startAction()), nullptr, [this](std::shared_ptr<HttpRequest> request) {
            Session& session = *site_.net.session;
            if (session.isLoginHeader(request->result())) {
                session.reloginFailed();
                SignInVerdict verdict = judgeSignIn(*request, session);
                verdict.captchaWanted =
                    request->result().has_value() && hasCaptchaRequest(request->result());
                if (onFailure_) {
                    onFailure_(verdict);
                }
                return;
            }
            if (judgeSignIn(*request, session).ok) {
                session.signInAccepted();
                return;
            }
            // An exchange that brought no page at all, or an error page: the waiting requests
            // repeat and meet the same trouble on their own.
            session.setSessionValidated(true);
        });
    signIn->setDeliveryThread(DeliveryThread::Operation);
    queue_.addOperation(std::move(signIn));
}

}  // namespace pelloran

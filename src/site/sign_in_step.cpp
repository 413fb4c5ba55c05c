#include "site/sign_in_step.h"

#include "net/operation_queue.h"
#include "site/site_config.h"

namespace pelloran {

void startSignIn(const SignInCredentials& fields, const std::optional<QString>& captchaChallenge,
                 const QString& captchaAnswer, const SiteContext& site, OperationQueue& queue,
                 QObject* context, FetchPageSignIn::Callback completion, DeliveryThread delivery) {
    // Stored before the attempt: what the member typed is kept even when it fails. The caller
    // is the UI thread, which doesn't wait for the file.
    storeCredentials(*site.settings, site.secrets, fields.username, fields.password,
                     fields.automaticLogin, SettingsWrite::InBackground);
    auto signIn = std::make_unique<FetchPageSignIn>(
        site.config->loginUrl(), fields.username, fields.password, captchaChallenge, captchaAnswer,
        site, context, std::move(completion));
    signIn->setDeliveryThread(delivery);
    queue.addOperation(std::move(signIn));
}

}  // namespace pelloran

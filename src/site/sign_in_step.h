#pragma once
// The sign-in step shared by the login face and the silent re-login: store the credentials
// (one flush), then post the login form on the given queue. Thread-safe: the re-login runs it
// on a fetch thread.

#include "net/fetch_page.h"
#include "site/sign_in.h"

#include <optional>

namespace pelloran {

class OperationQueue;

// What the member typed (or what is stored): the login face's fields.
struct SignInCredentials {
    QString username;
    QString password;
    bool automaticLogin = false;
};

void startSignIn(const SignInCredentials& credentials,
                 const std::optional<QString>& captchaChallenge, const QString& captchaAnswer,
                 const SiteContext& site, OperationQueue& queue, QObject* context,
                 FetchPageSignIn::Callback completion,
                 DeliveryThread delivery = DeliveryThread::Ui);

}  // namespace pelloran

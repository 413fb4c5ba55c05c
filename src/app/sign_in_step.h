#pragma once
// The sign-in step shared by the login face and the silent re-login: store the credentials
// (one flush), then post the login form on the login queue. Thread-safe: the re-login runs it
// on a fetch thread.

#include "app/login_fields.h"
#include "net/fetch_page.h"
#include "site/sign_in.h"

#include <optional>

namespace pelloran {

class OperationQueue;

void startSignIn(const LoginFields::Values& fields, const std::optional<QString>& captchaChallenge,
                 const QString& captchaAnswer, const SiteContext& site, OperationQueue& queue,
                 QObject* context, FetchPageSignIn::Callback completion,
                 DeliveryThread delivery = DeliveryThread::Ui);

}  // namespace pelloran

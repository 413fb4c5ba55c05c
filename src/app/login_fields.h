#pragma once
// What the login face's fields hold (guarded: readable from any thread). The login face writes
// it as the member types and signs in with it. One instance for the run: each new login face
// starts from the store and writes here.

#include "site/sign_in_step.h"

#include <QMutex>

namespace pelloran {

class LoginFields {
public:
    using Values = SignInCredentials;

    Values values() const {
        QMutexLocker lock(&mutex_);
        return values_;
    }
    void setValues(const Values& v) {
        QMutexLocker lock(&mutex_);
        values_ = v;
    }

private:
    mutable QMutex mutex_;
    Values values_;
};

}  // namespace pelloran

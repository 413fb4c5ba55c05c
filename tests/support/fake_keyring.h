#pragma once
// A keyring of the test's own in place of the desktop's: in memory, shared with the test
// through a handle so the test can look inside, refuse, or hold writes back.

#include "store/keyring_backend.h"

#include <QHash>
#include <QMutex>
#include <QSemaphore>
#include <QStringList>
#include <memory>

namespace pelloran::test {

// An in-memory keyring shared with the test through a handle, so the test can look inside and
// change its mind after the store took it over.
struct FakeKeyringState {
    QMutex mutex;
    QHash<QString, QString> entries;
    bool failReads = false;
    bool failWrites = false;
    QStringList writes;                // entry names, in the order written
    QSemaphore* holdWrites = nullptr;  // when set, each write waits for one release
    QSemaphore writesDone;             // released once per write answered
};

class FakeKeyring : public KeyringBackend {
public:
    explicit FakeKeyring(std::shared_ptr<FakeKeyringState> state) : state_(std::move(state)) {}

    KeyringAnswer read(const QString& key, QDeadlineTimer) override {
        QMutexLocker lock(&state_->mutex);
        if (state_->failReads) {
            return {KeyringAnswer::Status::Failed, {}, QStringLiteral("no secret service")};
        }
        if (!state_->entries.contains(key)) {
            return {KeyringAnswer::Status::NotFound, {}, {}};
        }
        return {KeyringAnswer::Status::Found, state_->entries.value(key), {}};
    }

    KeyringAnswer write(const QString& key, const QString& value, QDeadlineTimer) override {
        if (QSemaphore* hold = state_->holdWrites) {
            hold->acquire();
        }
        QMutexLocker lock(&state_->mutex);
        state_->writes.append(key);
        state_->writesDone.release();
        if (state_->failWrites) {
            return {KeyringAnswer::Status::Failed, {}, QStringLiteral("the collection is locked")};
        }
        state_->entries.insert(key, value);
        return {KeyringAnswer::Status::Stored, {}, {}};
    }

private:
    std::shared_ptr<FakeKeyringState> state_;
};

}  // namespace pelloran::test

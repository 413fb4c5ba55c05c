#pragma once
// The desktop's keyring as the secret store sees it: blocking reads and writes, each bounded by
// a deadline. The real one goes through QtKeychain to the desktop's secret service; tests use
// their own.

#include <QDeadlineTimer>
#include <QString>
#include <memory>

namespace pelloran {

struct KeyringAnswer {
    enum class Status {
        Found,     // read: `value` holds the password
        NotFound,  // read: nothing stored under the key
        Stored,    // write: the keyring confirmed it
        Failed,    // no keyring, refused, or no answer in time: `error` says which
    };
    Status status = Status::Failed;
    QString value;
    QString error;  // for the member; never holds a password
};

class KeyringBackend {
public:
    virtual ~KeyringBackend() = default;
    // Both block the calling thread until the keyring answers or `deadline` passes. Safe from
    // any thread.
    virtual KeyringAnswer read(const QString& key, QDeadlineTimer deadline) = 0;
    virtual KeyringAnswer write(const QString& key, const QString& value,
                                QDeadlineTimer deadline) = 0;
};

// QtKeychain under `service`. Its jobs run on a thread of the backend's own, with an event
// loop, so callers on any thread (the UI thread included) only ever wait on a condition.
// One per process: QtKeychain's job queue stays with the thread of the first backend.
std::unique_ptr<KeyringBackend> makeQtKeychainBackend(const QString& service);

}  // namespace pelloran

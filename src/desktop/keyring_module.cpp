// The desktop keyring's backend, in a module of its own (pelloran_desktop): QtKeychain and Qt
// D-Bus are loaded only by a run that needs a password.
//
// QtKeychain's jobs are asynchronous and answer through the event loop of the thread that made
// them; its job queue is a singleton tied to that thread. So every job of the run is made on
// one thread owned here, and callers wait for the answer on a condition variable.

#include "store/keyring_backend.h"

#include <qt6keychain/keychain.h>
#include <QMutex>
#include <QThread>
#include <QWaitCondition>

namespace pelloran {

namespace {

struct Pending {
    QMutex mutex;
    QWaitCondition answered;
    bool done = false;
    KeyringAnswer answer;
};

KeyringAnswer translate(QKeychain::Job* job, bool reading) {
    switch (job->error()) {
        case QKeychain::NoError:
            if (reading) {
                return {KeyringAnswer::Status::Found,
                        static_cast<QKeychain::ReadPasswordJob*>(job)->textData(), QString()};
            }
            return {KeyringAnswer::Status::Stored, QString(), QString()};
        case QKeychain::EntryNotFound:
            return {KeyringAnswer::Status::NotFound, QString(), QString()};
        default:
            return {KeyringAnswer::Status::Failed, QString(), job->errorString()};
    }
}

class QtKeychainBackend : public KeyringBackend {
public:
    explicit QtKeychainBackend(const QString& service) : service_(service) {
        thread_.setObjectName(QStringLiteral("keyring"));
        home_ = new QObject;  // deleted on its thread when the thread ends
        home_->moveToThread(&thread_);
        QObject::connect(&thread_, &QThread::finished, home_, &QObject::deleteLater);
        thread_.start();
    }

    ~QtKeychainBackend() override {
        thread_.quit();
        thread_.wait();
    }

    KeyringAnswer read(const QString& key, QDeadlineTimer deadline) override {
        return run(key, std::nullopt, deadline);
    }

    KeyringAnswer write(const QString& key, const QString& value,
                        QDeadlineTimer deadline) override {
        return run(key, value, deadline);
    }

private:
    KeyringAnswer run(const QString& key, const std::optional<QString>& value,
                      QDeadlineTimer deadline) {
        auto pending = std::make_shared<Pending>();
        QObject* home = home_;
        const QString service = service_;
        QMetaObject::invokeMethod(
            home_,
            [home, service, key, value, pending] {
                QKeychain::Job* job = nullptr;
                if (value) {
                    auto* writing = new QKeychain::WritePasswordJob(service, home);
                    writing->setTextData(*value);
                    job = writing;
                } else {
                    job = new QKeychain::ReadPasswordJob(service, home);
                }
                job->setAutoDelete(true);
                job->setInsecureFallback(false);  // the file fallback is ours, and said
                job->setKey(key);
                QObject::connect(job, &QKeychain::Job::finished, home,
                                 [pending, reading = !value](QKeychain::Job* done) {
                                     QMutexLocker lock(&pending->mutex);
                                     pending->answer = translate(done, reading);
                                     pending->done = true;
                                     pending->answered.wakeAll();
                                 });
                job->start();
            },
            Qt::QueuedConnection);
        QMutexLocker lock(&pending->mutex);
        while (!pending->done) {
            if (!pending->answered.wait(&pending->mutex, deadline)) {
                // The job goes on; its late answer lands in `pending` and is dropped.
                return {KeyringAnswer::Status::Failed, QString(),
                        QStringLiteral("the keyring did not answer in time")};
            }
        }
        return pending->answer;
    }

    QString service_;
    QThread thread_;
    QObject* home_ = nullptr;
};

}  // namespace

}  // namespace pelloran

extern "C" Q_DECL_EXPORT pelloran::KeyringBackend* pelloranMakeKeyringBackend(
    const QString& service) {
    return new pelloran::QtKeychainBackend(service);  // owned by the caller's unique_ptr
}

#include "store/lazy_secret_store.h"

namespace pelloran {

LazySecretStore::LazySecretStore(SettingsStore& settings, SecretStoreChoice choice)
    : settings_(settings), choice_(std::move(choice)) {}

SecretStore& LazySecretStore::store() const {
    QMutexLocker lock(&mutex_);
    if (!store_) {
        store_ = openSecretStore(settings_, choice_);
        // What the store has to say reaches whoever reads this one's notices.
        NoticeLog& mine = const_cast<LazySecretStore*>(this)->notices();
        for (const StoreNotice& notice : store_->notices().take()) {
            mine.add(notice);
        }
        store_->notices().setListener([&mine, inner = store_.get()](const StoreNotice&) {
            for (const StoreNotice& notice : inner->notices().take()) {
                mine.add(notice);
            }
        });
    }
    return *store_;
}

bool LazySecretStore::isOpen() const {
    QMutexLocker lock(&mutex_);
    return store_ != nullptr;
}

std::optional<QString> LazySecretStore::read(QLatin1StringView key) const {
    return store().read(key);
}

void LazySecretStore::write(QLatin1StringView key, const QString& value) {
    store().write(key, value);
}

void LazySecretStore::refresh(QLatin1StringView key, QDeadlineTimer deadline) {
    store().refresh(key, deadline);
}

bool LazySecretStore::waitForWrites(QDeadlineTimer deadline) {
    return !isOpen() || store().waitForWrites(deadline);
}

bool LazySecretStore::isKeyring() const {
    return store().isKeyring();
}

bool LazySecretStore::isFallback() const {
    return store().isFallback();
}

QString LazySecretStore::location() const {
    return store().location();
}

}  // namespace pelloran

#pragma once
// A value read and written whole under its own lock: a reader on one thread never sees a
// half-written value from another. For record fields shared between fetch and UI threads.

#include <QMutex>

namespace pelloran {

template <typename T>
class AtomicValue {
public:
    AtomicValue() = default;
    explicit AtomicValue(T value) : value_(std::move(value)) {}

    T get() const {
        QMutexLocker lock(&mutex_);
        return value_;
    }
    void set(T value) {
        QMutexLocker lock(&mutex_);
        value_ = std::move(value);
    }

private:
    mutable QMutex mutex_;
    T value_{};
};

}  // namespace pelloran

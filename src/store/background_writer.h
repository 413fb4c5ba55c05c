#pragma once
// Runs a store's write on a thread of its own, for callers on the UI thread, which must never
// wait for the disk (a synced write takes milliseconds, and far more on a busy disk). Requests
// made while a write runs are folded into one more write. The destructor waits for the write in
// progress; destroy it before what the write uses.

#include <functional>
#include <mutex>
#include <thread>

namespace pelloran {

class BackgroundWriter {
public:
    explicit BackgroundWriter(std::function<void()> write);
    ~BackgroundWriter();
    BackgroundWriter(const BackgroundWriter&) = delete;
    BackgroundWriter& operator=(const BackgroundWriter&) = delete;

    // Starts the write, or asks for one more when one runs; returns at once.
    void request();

private:
    std::function<void()> write_;
    std::mutex mutex_;  // guards the three below
    std::thread thread_;
    bool running_ = false;
    bool again_ = false;
};

}  // namespace pelloran

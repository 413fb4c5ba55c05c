#include "store/background_writer.h"

#include <utility>

namespace pelloran {

BackgroundWriter::BackgroundWriter(std::function<void()> write) : write_(std::move(write)) {}

BackgroundWriter::~BackgroundWriter() {
    std::thread running;
    {
        std::lock_guard lock(mutex_);
        running = std::move(thread_);
    }
    if (running.joinable()) {
        running.join();
    }
}

void BackgroundWriter::request() {
    std::lock_guard lock(mutex_);
    if (running_) {
        again_ = true;
        return;
    }
    if (thread_.joinable()) {
        thread_.join();  // ended already: it said so under this lock
    }
    running_ = true;
    thread_ = std::thread([this] {
        for (;;) {
            write_();
            std::lock_guard lock(mutex_);
            if (!std::exchange(again_, false)) {
                running_ = false;
                return;
            }
        }
    });
}

}  // namespace pelloran

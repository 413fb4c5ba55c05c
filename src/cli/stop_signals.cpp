#include "cli/stop_signals.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>

namespace pelloran::cli {

namespace {

// The write end of the watcher's pipe, for the handler; -1 while no watcher runs.
std::atomic<int> gWakeFd{-1};
// Whether the handler is in place (not while a DefaultAction lives, nor after the first signal).
std::atomic<bool> gHandling{false};

constexpr int kStopSignals[] = {SIGTERM, SIGINT};

void setAction(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kStopSignals) {
        sigaction(signal, &action, nullptr);
    }
}

extern "C" void onStopSignal(int signal) {
    const int savedErrno = errno;
    // Only async-signal-safe calls here. From now on a second signal ends the process at once.
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    sigemptyset(&byDefault.sa_mask);
    for (const int stop : kStopSignals) {
        sigaction(stop, &byDefault, nullptr);
    }
    gHandling.store(false);
    const int fd = gWakeFd.load();
    if (fd >= 0) {
        const char byte = static_cast<char>(signal);
        [[maybe_unused]] const ssize_t written = write(fd, &byte, 1);
    }
    errno = savedErrno;
}

}  // namespace

StopSignals::StopSignals(std::function<void(int)> onStop) : onStop_(std::move(onStop)) {
    if (pipe2(pipe_, O_CLOEXEC) != 0) {
        pipe_[0] = pipe_[1] = -1;
        return;  // the signals keep their default action: the command can still be killed
    }
    gWakeFd.store(pipe_[1]);
    watcher_ = std::thread([this] { watch(); });
    gHandling.store(true);
    setAction(onStopSignal);
}

StopSignals::~StopSignals() {
    if (pipe_[1] < 0) {
        return;
    }
    setAction(SIG_DFL);
    gHandling.store(false);
    gWakeFd.store(-1);
    const char quit = 0;
    [[maybe_unused]] const ssize_t written = write(pipe_[1], &quit, 1);
    watcher_.join();
    close(pipe_[0]);
    close(pipe_[1]);
}

void StopSignals::watch() {
    for (;;) {
        char byte = 0;
        const ssize_t got = read(pipe_[0], &byte, 1);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got != 1 || byte == 0) {
            return;
        }
        int expected = 0;
        if (received_.compare_exchange_strong(expected, byte) && onStop_) {
            onStop_(byte);
        }
    }
}

StopSignals::DefaultAction::DefaultAction() {
    if (gHandling.exchange(false)) {
        setAction(SIG_DFL);
        restore_ = true;
    }
}

StopSignals::DefaultAction::~DefaultAction() {
    if (restore_ && gWakeFd.load() >= 0) {
        gHandling.store(true);
        setAction(onStopSignal);
    }
}

}  // namespace pelloran::cli

#pragma once
// SIGTERM (what systemd sends to stop a timer run) and SIGINT (Ctrl+C) end a command the orderly
// way rather than kill it mid-write: the first one is handed to a callback on a thread of its
// own, which cancels the exchanges in flight, and the command then ends through its usual path
// (history, settings, cookies and database written whole). A second one ends the process at once,
// as by default, for a member who will not wait.
//
// One instance at a time per process. The signal handler only writes one byte to a pipe.

#include <atomic>
#include <functional>
#include <thread>

namespace pelloran::cli {

class StopSignals {
public:
    // `onStop` gets the signal's number, on the watcher thread, once.
    explicit StopSignals(std::function<void(int signal)> onStop);
    // Gives the signals back their default action and ends the watcher.
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The signal that stopped the command; 0 while none came.
    int received() const { return received_.load(); }

    // While it lives the signals act as by default: around a blocking read of stdin, which no
    // cancellation ends and which leaves nothing half-written. Does nothing without a watcher.
    class DefaultAction {
    public:
        DefaultAction();
        ~DefaultAction();
        DefaultAction(const DefaultAction&) = delete;
        DefaultAction& operator=(const DefaultAction&) = delete;

    private:
        bool restore_ = false;
    };

private:
    void watch();

    std::function<void(int)> onStop_;
    std::atomic<int> received_{0};
    int pipe_[2] = {-1, -1};
    std::thread watcher_;
};

// The exit status of a command a signal stopped: 128 + its number, as a shell reports a
// process the signal killed (130 for SIGINT, 143 for SIGTERM).
inline int stoppedExitStatus(int signal) {
    return 128 + signal;
}

}  // namespace pelloran::cli

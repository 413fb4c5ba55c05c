#pragma once
// pelloran-cli favorites --push-new: the automatic push (remote/automatic_push.h) as the
// systemd timer runs it, told on the terminal and the journal, and with --notify on the
// desktop.

#include <chrono>

namespace pelloran::cli {

class CliCore;

struct PushNewOptions {
    int firstPage = 1;
    int pages = 5;
    std::chrono::milliseconds minInterval{0};
    bool notify = false;
    bool json = false;
};

int runPushNew(CliCore& core, const PushNewOptions& options);

}  // namespace pelloran::cli

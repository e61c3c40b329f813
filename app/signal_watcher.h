#pragma once
// Turns SIGTERM, SIGINT and SIGHUP into an ordinary call on a worker thread, so the
// program can close its window and shut down in order instead of dying mid-way.
// The signals are blocked in every thread (block them before any thread starts:
// threads inherit the mask) and read from a signalfd.

#include <functional>

#include "platform/worker_thread.h"

namespace lumora {

class SignalWatcher {
public:
    using Handler = std::function<void(int signal_number)>;

    SignalWatcher() = default;
    ~SignalWatcher();
    SignalWatcher(const SignalWatcher&) = delete;
    SignalWatcher& operator=(const SignalWatcher&) = delete;

    // Blocks the watched signals in the calling thread; false on failure.
    static bool BlockSignals();
    // Unblocks them again (when no watcher could be started, so they still end the program).
    static void UnblockSignals();

    // The handler runs on the watcher's thread for each signal that arrives.
    bool Start(Handler handler);
    void Stop();

private:
    int fd_ = -1;
    WorkerThread thread_{"signals"};
};

}  // namespace lumora

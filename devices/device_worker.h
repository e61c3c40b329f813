#pragma once
// One worker thread of a device page (its lighting thread or its event thread): a
// stop event, a loop of passes that each begin with a 1 ms wait on the event, and a
// stop that keeps interrupting whatever a pass blocks on (an abortable HID read)
// until the body has returned. The thread is then joined; it is never detached or
// killed, so nothing it uses can vanish under it.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "platform/stop_event.h"

namespace lumora {

class DeviceWorker {
public:
    // One pass; it may block only on the event itself or on something the interrupt ends.
    using Pass = std::function<void(const StopEvent& stop)>;
    using Interrupt = std::function<void()>;
    enum class StopResult {
        NotRunning,  // nothing was started
        Ended,       // the body returned within the bound
        TimedOut,    // it took longer than the bound, and was still waited for and joined
        OwnThread,   // asked from the worker itself: the event is set, the owner joins later
    };
    static constexpr std::chrono::milliseconds kStopBound{1000};
    static constexpr std::chrono::milliseconds kPassWait{1};

    // `exit_text` is logged when the body leaves its loop.
    DeviceWorker(std::string name, std::string exit_text);
    // Stops without an interrupt.
    ~DeviceWorker();
    DeviceWorker(const DeviceWorker&) = delete;
    DeviceWorker& operator=(const DeviceWorker&) = delete;

    // Starts the loop with the event clear; false while a thread is started (stop it
    // first) or when no thread could be made.
    bool Start(Pass pass);
    // Sets the event and calls `interrupt` every few milliseconds until the body has
    // returned, logging a time-out once the bound has passed; then joins.
    StopResult Stop(const Interrupt& interrupt = {}, std::chrono::milliseconds bound = kStopBound);

    // True from Start until the body has returned.
    bool Running() const;
    const std::string& Name() const { return name_; }

private:
    std::string name_;
    std::string exit_text_;
    StopEvent stop_;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::condition_variable finished_;
    bool running_ = false;
    bool stopping_ = false;
};

}  // namespace lumora

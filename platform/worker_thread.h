#pragma once
// A worker thread with its own stop event. Stop() sets the event, waits a bounded
// time for the body to return and then joins: a thread is never detached or killed.
// A body that overstays the bound is logged and still joined, so bodies must only
// block on things the stop event interrupts (the event itself, poll with PollFd()).

#include "platform/stop_event.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace lumora {

class WorkerThread {
public:
    // The body runs once and must return soon after the event is set.
    using Body = std::function<void(const StopEvent& stop)>;
    // One pass of a loop body; see StartLoop.
    using Pass = std::function<void()>;

    static constexpr std::chrono::milliseconds kDefaultStopBound{1000};

    explicit WorkerThread(std::string name);
    // Stops with the default bound.
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Starts the body with the event reset; false when a thread is already running
    // (Stop it first) or the thread could not be created.
    bool Start(Body body);
    // The usual worker pattern: wait `period` on the stop event, and run one pass
    // each time the wait times out, until the event is set.
    bool StartLoop(Pass pass, std::chrono::milliseconds period = std::chrono::milliseconds(1));

    // Sets the event, waits at most `bound` for the body to return, then joins.
    // True when the body left within the bound (or nothing was running). Called from
    // the worker itself it only sets the event and returns false: a thread cannot join itself.
    bool Stop(std::chrono::milliseconds bound = kDefaultStopBound);

    // True from Start until the body has returned.
    bool Running() const;
    const std::string& Name() const { return name_; }
    const StopEvent& Event() const { return stop_; }

private:
    std::string name_;
    StopEvent stop_;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::condition_variable finished_;
    bool running_ = false;
    bool stopping_ = false;
};

}  // namespace lumora

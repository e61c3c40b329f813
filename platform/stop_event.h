#pragma once
// A manual-reset event that tells a worker to stop. Once set it stays set until
// Reset. Waiters block on a condition variable, so Set wakes them at once; workers
// that block in poll() can add PollFd() to their set instead.

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace lumora {

class StopEvent {
public:
    StopEvent();
    ~StopEvent();
    StopEvent(const StopEvent&) = delete;
    StopEvent& operator=(const StopEvent&) = delete;

    void Set();
    void Reset();
    bool IsSet() const;
    // True as soon as the event is set; false when the time-out passed first.
    bool Wait(std::chrono::milliseconds timeout) const;
    // Blocks until set.
    void Wait() const;
    // An eventfd that is readable while the event is set; -1 if none could be made
    // (then only Wait works, and the failure was logged).
    int PollFd() const { return fd_; }

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool set_ = false;
    int fd_ = -1;
};

}  // namespace lumora

#include "platform/stop_event.h"

#include "platform/logger.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <sys/eventfd.h>
#include <unistd.h>

namespace lumora {

StopEvent::StopEvent() : fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (fd_ < 0) LOG_ERROR("threads", "cannot create the stop event's eventfd: %s", std::strerror(errno));
}

StopEvent::~StopEvent() {
    if (fd_ >= 0) close(fd_);
}

void StopEvent::Set() {
    {
        std::lock_guard lock(mutex_);
        if (set_) return;
        set_ = true;
        if (fd_ >= 0) {
            std::uint64_t one = 1;
            // Cannot overflow: the counter is only ever 0 or 1.
            [[maybe_unused]] ssize_t n = write(fd_, &one, sizeof one);
        }
    }
    changed_.notify_all();
}

void StopEvent::Reset() {
    std::lock_guard lock(mutex_);
    if (!set_) return;
    set_ = false;
    if (fd_ >= 0) {
        std::uint64_t value = 0;
        [[maybe_unused]] ssize_t n = read(fd_, &value, sizeof value);
    }
}

bool StopEvent::IsSet() const {
    std::lock_guard lock(mutex_);
    return set_;
}

bool StopEvent::Wait(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return set_; });
}

void StopEvent::Wait() const {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return set_; });
}

}  // namespace lumora

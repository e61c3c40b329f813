#include "devices/device_worker.h"

#include <pthread.h>

#include <system_error>

#include "platform/logger.h"

namespace lumora {
namespace {
constexpr const char* kTag = "device";
constexpr std::chrono::milliseconds kInterruptPeriod{2};
}  // namespace

DeviceWorker::DeviceWorker(std::string name, std::string exit_text)
    : name_(std::move(name)), exit_text_(std::move(exit_text)) {}

DeviceWorker::~DeviceWorker() { Stop(); }

bool DeviceWorker::Start(Pass pass) {
    if (!pass) return false;
    std::lock_guard lock(mutex_);
    if (thread_.joinable() || stopping_) {
        LOG_WARNING(kTag, "worker %s is already started", name_.c_str());
        return false;
    }
    // Cleared here, not in the body: a Stop right after Start must not be lost.
    stop_.Reset();
    running_ = true;
    try {
        thread_ = std::thread([this, pass = std::move(pass)] {
            pthread_setname_np(pthread_self(), name_.substr(0, 15).c_str());
            while (!stop_.Wait(kPassWait)) pass(stop_);
            LOG_DEBUG(kTag, "%s", exit_text_.c_str());
            {
                std::lock_guard done(mutex_);
                running_ = false;
            }
            finished_.notify_all();
        });
    } catch (const std::system_error& error) {
        running_ = false;
        LOG_ERROR(kTag, "cannot start worker %s: %s", name_.c_str(), error.what());
        return false;
    }
    return true;
}

DeviceWorker::StopResult DeviceWorker::Stop(const Interrupt& interrupt, std::chrono::milliseconds bound) {
    stop_.Set();
    std::unique_lock lock(mutex_);
    if (!thread_.joinable()) return StopResult::NotRunning;
    if (thread_.get_id() == std::this_thread::get_id()) {
        LOG_ERROR(kTag, "worker %s asked to stop itself; its owner joins it later", name_.c_str());
        return StopResult::OwnThread;
    }
    // A pass may have started its blocking call just after an interrupt, so keep
    // interrupting until the body is out.
    const auto deadline = std::chrono::steady_clock::now() + bound;
    bool in_time = true;
    while (running_) {
        if (interrupt) {
            lock.unlock();
            interrupt();
            lock.lock();
        }
        if (finished_.wait_for(lock, kInterruptPeriod, [this] { return !running_; })) break;
        if (in_time && std::chrono::steady_clock::now() >= deadline) {
            in_time = false;
            LOG_WARNING(kTag, "线程退出：：对象处于非激发状态，超时 (%s)", name_.c_str());
        }
    }
    // Start stays refused until the join is over.
    stopping_ = true;
    std::thread finishing = std::move(thread_);
    lock.unlock();
    finishing.join();
    lock.lock();
    stopping_ = false;
    if (in_time) LOG_DEBUG(kTag, "线程退出：：对象处于激发状态 (%s)", name_.c_str());
    return in_time ? StopResult::Ended : StopResult::TimedOut;
}

bool DeviceWorker::Running() const {
    std::lock_guard lock(mutex_);
    return running_;
}

}  // namespace lumora

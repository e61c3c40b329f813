#include "platform/worker_thread.h"

#include "platform/logger.h"

#include <pthread.h>
#include <system_error>

namespace lumora {

WorkerThread::WorkerThread(std::string name) : name_(std::move(name)) {}

WorkerThread::~WorkerThread() { Stop(); }

bool WorkerThread::Start(Body body) {
    if (!body) return false;
    std::lock_guard lock(mutex_);
    if (thread_.joinable() || stopping_) {
        LOG_WARNING("threads", "thread %s is already started", name_.c_str());
        return false;
    }
    stop_.Reset();
    running_ = true;
    try {
        thread_ = std::thread([this, body = std::move(body)] {
            // Linux limits thread names to 15 characters.
            pthread_setname_np(pthread_self(), name_.substr(0, 15).c_str());
            body(stop_);
            {
                std::lock_guard done(mutex_);
                running_ = false;
            }
            finished_.notify_all();
        });
    } catch (const std::system_error& error) {
        running_ = false;
        LOG_ERROR("threads", "cannot start thread %s: %s", name_.c_str(), error.what());
        return false;
    }
    return true;
}

bool WorkerThread::StartLoop(Pass pass, std::chrono::milliseconds period) {
    if (!pass) return false;
    return Start([pass = std::move(pass), period](const StopEvent& stop) {
        while (!stop.Wait(period)) pass();
    });
}

bool WorkerThread::Stop(std::chrono::milliseconds bound) {
    stop_.Set();
    std::unique_lock lock(mutex_);
    if (!thread_.joinable()) return true;
    if (thread_.get_id() == std::this_thread::get_id()) {
        LOG_ERROR("threads", "thread %s asked to stop itself; it will end when its body returns", name_.c_str());
        return false;
    }
    bool inTime = finished_.wait_for(lock, bound, [this] { return !running_; });
    if (!inTime)
        LOG_WARNING("threads", "thread %s did not stop within %lld ms; waiting for it to end", name_.c_str(),
                    static_cast<long long>(bound.count()));
    // Start stays refused until the join is over, so the old body never sees a reset event.
    stopping_ = true;
    std::thread finishing = std::move(thread_);
    lock.unlock();
    finishing.join();
    lock.lock();
    stopping_ = false;
    return inTime;
}

bool WorkerThread::Running() const {
    std::lock_guard lock(mutex_);
    return running_;
}

}  // namespace lumora

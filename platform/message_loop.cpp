#include "platform/message_loop.h"

#include <exception>
#include <vector>

#include "platform/logger.h"
#include "platform/manual_clock.h"
#include "platform/monotonic_clock.h"

namespace lumora {

namespace {
constexpr const char* kTag = "loop";
constexpr std::chrono::milliseconds kMinInterval{1};
}  // namespace

MessageLoop::MessageLoop(std::shared_ptr<Clock> clock)
    : clock_(clock ? std::move(clock) : std::make_shared<MonotonicClock>()),
      ui_thread_(std::this_thread::get_id()) {}

MessageLoop::~MessageLoop() {
    std::lock_guard lock(mutex_);
    quitting_ = true;
    FailPendingSendsLocked();
}

void MessageLoop::BindToCurrentThread() {
    std::lock_guard lock(mutex_);
    ui_thread_ = std::this_thread::get_id();
}

bool MessageLoop::IsUiThread() const {
    std::lock_guard lock(mutex_);
    return ui_thread_ == std::this_thread::get_id();
}

void MessageLoop::Wake() {
    std::shared_ptr<const std::function<void()>> wake;
    {
        std::lock_guard lock(mutex_);
        ++change_seq_;
        wake = wake_;
    }
    work_cv_.notify_all();
    if (wake && *wake) (*wake)();
}

void MessageLoop::Post(Task task) {
    if (!task) return;
    {
        std::lock_guard lock(mutex_);
        posted_.push_back(std::move(task));
    }
    Wake();
}

bool MessageLoop::Send(Task task) { return SendImpl(std::move(task), nullptr); }

bool MessageLoop::Send(Task task, std::stop_token stop) { return SendImpl(std::move(task), &stop); }

bool MessageLoop::SendImpl(Task task, const std::stop_token* stop) {
    if (!task) return false;
    if (IsUiThread()) {
        RunTask(task);
        return true;
    }
    auto record = std::make_shared<SendRecord>();
    record->task = std::move(task);
    {
        std::lock_guard lock(mutex_);
        if (quitting_) return false;
        sends_.push_back(record);
    }
    Wake();

    // Registered before taking the lock: the callback itself takes it.
    std::optional<std::stop_callback<std::function<void()>>> on_stop;
    if (stop) {
        on_stop.emplace(*stop, std::function<void()>([this] {
            std::lock_guard lock(mutex_);
            send_cv_.notify_all();
        }));
    }
    std::unique_lock lock(mutex_);
    while (!record->done) {
        if (stop && stop->stop_requested() && !record->started) {
            for (auto it = sends_.begin(); it != sends_.end(); ++it) {
                if (*it == record) {
                    sends_.erase(it);
                    break;
                }
            }
            return false;
        }
        send_cv_.wait(lock);
    }
    return record->ran;
}

MessageLoop::TimerId MessageLoop::NewTimerId() {
    std::lock_guard lock(mutex_);
    return next_timer_id_++;
}

void MessageLoop::SetTimer(TimerId id, std::chrono::milliseconds interval, TimerMode mode, Task callback) {
    if (!callback) {
        KillTimer(id);
        return;
    }
    if (interval < kMinInterval) interval = kMinInterval;
    {
        std::lock_guard lock(mutex_);
        auto it = timers_.find(id);
        if (it != timers_.end()) {
            timer_order_.erase(TimerKey{it->second.due, it->second.arm_seq, id});
            timers_.erase(it);
        }
        Timer timer;
        timer.due = clock_->Now() + interval;
        timer.interval = interval;
        timer.mode = mode;
        timer.callback = std::make_shared<Task>(std::move(callback));
        timer.arm_seq = ++arm_seq_;
        timer_order_.insert(TimerKey{timer.due, timer.arm_seq, id});
        timers_.emplace(id, std::move(timer));
        if (id >= next_timer_id_) next_timer_id_ = id + 1;
    }
    Wake();
}

bool MessageLoop::KillTimer(TimerId id) {
    {
        std::lock_guard lock(mutex_);
        auto it = timers_.find(id);
        if (it == timers_.end()) return false;
        timer_order_.erase(TimerKey{it->second.due, it->second.arm_seq, id});
        timers_.erase(it);
    }
    Wake();
    return true;
}

bool MessageLoop::HasTimer(TimerId id) const {
    std::lock_guard lock(mutex_);
    return timers_.count(id) != 0;
}

void MessageLoop::RunTask(Task& task) const {
    try {
        task();
    } catch (const std::exception& e) {
        LOG_ERROR(kTag, "task ended with an exception: %s", e.what());
    } catch (...) {
        LOG_ERROR(kTag, "task ended with an unknown exception");
    }
}

std::size_t MessageLoop::ProcessDue() {
    if (!IsUiThread()) {
        LOG_ERROR(kTag, "ProcessDue called outside the UI thread; ignored");
        return 0;
    }
    std::size_t count = 0;

    // Sent tasks first: a worker is waiting for each of them.
    for (;;) {
        std::shared_ptr<SendRecord> record;
        {
            std::lock_guard lock(mutex_);
            if (sends_.empty()) break;
            record = sends_.front();
            sends_.pop_front();
            record->started = true;
        }
        RunTask(record->task);
        ++count;
        {
            std::lock_guard lock(mutex_);
            record->done = true;
            record->ran = true;
            record->task = nullptr;
        }
        send_cv_.notify_all();
    }

    std::deque<Task> posted;
    {
        std::lock_guard lock(mutex_);
        posted.swap(posted_);
    }
    for (auto& task : posted) {
        RunTask(task);
        ++count;
    }
    posted.clear();

    // Timers due at the start of this part; each fires at most once per pass so a
    // short repeating timer cannot keep the pass going.
    std::vector<std::pair<TimerId, std::uint64_t>> due;
    const auto now = clock_->Now();
    {
        std::lock_guard lock(mutex_);
        for (const auto& [when, seq, id] : timer_order_) {
            if (when > now) break;
            due.emplace_back(id, seq);
        }
    }
    for (const auto& [id, seq] : due) {
        std::shared_ptr<Task> callback;
        {
            std::lock_guard lock(mutex_);
            auto it = timers_.find(id);
            // Killed or re-armed by an earlier callback of this pass.
            if (it == timers_.end() || it->second.arm_seq != seq) continue;
            Timer& timer = it->second;
            callback = timer.callback;
            timer_order_.erase(TimerKey{timer.due, timer.arm_seq, id});
            if (timer.mode == TimerMode::OneShot) {
                timers_.erase(it);
            } else {
                timer.due = clock_->Now() + timer.interval;
                timer.arm_seq = ++arm_seq_;
                timer_order_.insert(TimerKey{timer.due, timer.arm_seq, id});
            }
        }
        RunTask(*callback);
        ++count;
    }
    return count;
}

std::size_t MessageLoop::RunUntilIdle() {
    std::size_t total = 0;
    for (;;) {
        const std::size_t n = ProcessDue();
        if (n == 0) break;
        total += n;
    }
    return total;
}

void MessageLoop::RunFor(std::chrono::milliseconds duration) {
    if (!IsUiThread()) {
        LOG_ERROR(kTag, "RunFor called outside the UI thread; ignored");
        return;
    }
    const auto target = clock_->Now() + duration;
    if (auto* manual = dynamic_cast<ManualClock*>(clock_.get())) {
        for (;;) {
            RunUntilIdle();
            if (IsQuitting()) return;
            const auto next = NextDeadline();
            if (!next || *next > target) break;
            manual->SetNow(*next);
        }
        manual->SetNow(target);
        RunUntilIdle();
        return;
    }
    const TimerId wake_timer = NewTimerId();
    SetTimer(wake_timer, std::chrono::duration_cast<std::chrono::milliseconds>(duration), TimerMode::OneShot, [] {});
    RunUntil([&] { return clock_->Now() >= target; });
    KillTimer(wake_timer);
}

bool MessageLoop::ReadyLocked(Clock::TimePoint now) const {
    if (!sends_.empty() || !posted_.empty()) return true;
    return !timer_order_.empty() && std::get<0>(*timer_order_.begin()) <= now;
}

bool MessageLoop::HasReadyWork() const {
    const auto now = clock_->Now();
    std::lock_guard lock(mutex_);
    return ReadyLocked(now);
}

std::optional<Clock::TimePoint> MessageLoop::NextDeadline() const {
    std::lock_guard lock(mutex_);
    if (timer_order_.empty()) return std::nullopt;
    return std::get<0>(*timer_order_.begin());
}

// Waits until work is ready, the timers changed, done() holds or quit was asked.
// Returns false when the loop should stop waiting for good (quit).
bool MessageLoop::WaitForWork(const std::function<bool()>& done) {
    const bool manual = dynamic_cast<ManualClock*>(clock_.get()) != nullptr;
    std::unique_lock lock(mutex_);
    const std::uint64_t seen = change_seq_;
    for (;;) {
        if (quitting_) return false;
        const auto now = clock_->Now();
        if (ReadyLocked(now) || change_seq_ != seen) return true;
        lock.unlock();
        const bool finished = done && done();
        lock.lock();
        if (finished) return true;
        if (manual || timer_order_.empty()) {
            // A manual clock only moves when someone advances it and wakes us.
            work_cv_.wait(lock, [&] { return quitting_ || change_seq_ != seen || !posted_.empty() || !sends_.empty(); });
        } else {
            const auto deadline = std::get<0>(*timer_order_.begin());
            const auto real_deadline = std::chrono::steady_clock::now() + (deadline - now);
            work_cv_.wait_until(lock, real_deadline);
        }
    }
}

int MessageLoop::Run() {
    if (!IsUiThread()) {
        LOG_ERROR(kTag, "Run called outside the UI thread; ignored");
        return -1;
    }
    while (!IsQuitting()) {
        ProcessDue();
        if (!WaitForWork(nullptr)) break;
    }
    return ExitCode();
}

bool MessageLoop::RunUntil(const std::function<bool()>& done) {
    if (!IsUiThread()) {
        LOG_ERROR(kTag, "RunUntil called outside the UI thread; ignored");
        return false;
    }
    NestedRunner runner;
    {
        std::lock_guard lock(mutex_);
        runner = nested_runner_;
    }
    if (runner) {
        runner([&] { return IsQuitting() || done(); });
        return !IsQuitting() && done();
    }
    for (;;) {
        if (IsQuitting()) return false;
        if (done()) return true;
        ProcessDue();
        if (IsQuitting()) return false;
        if (done()) return true;
        if (!WaitForWork(done)) return false;
    }
}

void MessageLoop::FailPendingSendsLocked() {
    for (auto& record : sends_) {
        record->done = true;
        record->ran = false;
    }
    sends_.clear();
    send_cv_.notify_all();
}

void MessageLoop::Quit(int exit_code) {
    {
        std::lock_guard lock(mutex_);
        if (!quitting_) exit_code_ = exit_code;
        quitting_ = true;
        FailPendingSendsLocked();
    }
    Wake();
}

bool MessageLoop::IsQuitting() const {
    std::lock_guard lock(mutex_);
    return quitting_;
}

int MessageLoop::ExitCode() const {
    std::lock_guard lock(mutex_);
    return exit_code_;
}

void MessageLoop::SetWakeCallback(std::function<void()> wake) {
    std::lock_guard lock(mutex_);
    wake_ = wake ? std::make_shared<const std::function<void()>>(std::move(wake)) : nullptr;
}

void MessageLoop::SetNestedRunner(NestedRunner runner) {
    std::lock_guard lock(mutex_);
    nested_runner_ = std::move(runner);
}

}  // namespace lumora

#pragma once
// The UI thread's message loop: posted tasks, sent tasks, timers and quit.
//
// One loop belongs to one thread, the UI thread (the thread that built it, or the
// one that called BindToCurrentThread). Everything it runs, runs on that thread.
//
// - Post queues a task from any thread.
// - Send runs a task on the UI thread and waits until it has run. Called on the UI
//   thread it runs the task at once. From another thread it blocks; once Quit has
//   been called it returns false instead (also for a sender that is already
//   waiting), so a worker never hangs on a loop that is going away.
// - Timers are keyed by id. SetTimer on an id that is armed re-arms it. A
//   repeating timer fires every interval until KillTimer; a one-shot fires once.
//   SetTimer/KillTimer may be called from any thread; callbacks run on the UI thread.
//
// Order of work in one pass (ProcessDue): sent tasks first, then the posted tasks
// that were queued when the pass began, in posting order, then the timers that were
// due when the pass began, earliest deadline first (equal deadlines in arming order).
//
// Driving: Run() blocks until Quit. Another event loop (Qt's) can drive the same
// queue instead: it calls ProcessDue() whenever the wake callback fires and again at
// NextDeadline(). Modal windows run a nested loop through RunUntil(); a driver that
// needs its own nested loop installs a nested runner.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <stop_token>
#include <thread>
#include <tuple>

#include "platform/clock.h"

namespace lumora {

class MessageLoop {
public:
    using Task = std::function<void()>;
    using TimerId = std::uint64_t;
    using NestedRunner = std::function<void(const std::function<bool()>& done)>;
    enum class TimerMode { Repeating, OneShot };

    // A null clock means the real monotonic clock.
    explicit MessageLoop(std::shared_ptr<Clock> clock = nullptr);
    ~MessageLoop();
    MessageLoop(const MessageLoop&) = delete;
    MessageLoop& operator=(const MessageLoop&) = delete;

    void BindToCurrentThread();
    bool IsUiThread() const;
    const Clock& GetClock() const { return *clock_; }

    // --- work from any thread
    void Post(Task task);
    // true once the task has run; false when it did not run (loop quitting).
    bool Send(Task task);
    // As Send; also gives up (false) when stop is requested before the task started.
    // A task that has started is always waited for, since it may use the caller's data.
    bool Send(Task task, std::stop_token stop);

    // --- timers
    // A fresh id that no other user of this loop gets (ids start at 1).
    TimerId NewTimerId();
    // Intervals below 1 ms are treated as 1 ms.
    void SetTimer(TimerId id, std::chrono::milliseconds interval, TimerMode mode, Task callback);
    bool KillTimer(TimerId id);
    bool HasTimer(TimerId id) const;

    // --- running (UI thread only)
    // Runs until Quit; returns the exit code given to Quit.
    int Run();
    // Nested loop: runs until done() is true (true) or Quit is requested (false).
    bool RunUntil(const std::function<bool()>& done);
    // One pass over the work that is ready now; returns how many tasks and timers ran.
    std::size_t ProcessDue();
    // Passes until nothing is ready. Work that keeps re-posting itself never ends it.
    std::size_t RunUntilIdle();
    // Lets time pass: with a ManualClock the clock is stepped from deadline to
    // deadline (so a 5 ms repeating timer fires 20 times in 100 ms), then idles;
    // with the real clock the loop simply runs for that long.
    void RunFor(std::chrono::milliseconds duration);

    // --- quit (any thread)
    void Quit(int exit_code = 0);
    bool IsQuitting() const;
    int ExitCode() const;

    // --- for an outside driver
    std::optional<Clock::TimePoint> NextDeadline() const;
    // True when ProcessDue would run something now.
    bool HasReadyWork() const;
    // Called from any thread after new work arrived or the timers changed. It must
    // only schedule a call of ProcessDue on the UI thread, never call it directly.
    void SetWakeCallback(std::function<void()> wake);
    void SetNestedRunner(NestedRunner runner);

private:
    struct SendRecord {
        Task task;
        bool started = false;
        bool done = false;
        bool ran = false;
    };
    struct Timer {
        Clock::TimePoint due;
        std::chrono::milliseconds interval{};
        TimerMode mode = TimerMode::Repeating;
        std::shared_ptr<Task> callback;
        std::uint64_t arm_seq = 0;
    };
    using TimerKey = std::tuple<Clock::TimePoint, std::uint64_t, TimerId>;

    bool SendImpl(Task task, const std::stop_token* stop);
    void Wake();
    bool ReadyLocked(Clock::TimePoint now) const;
    void FailPendingSendsLocked();
    void RunTask(Task& task) const;
    bool WaitForWork(const std::function<bool()>& done);

    std::shared_ptr<Clock> clock_;
    std::thread::id ui_thread_;

    mutable std::mutex mutex_;
    std::condition_variable work_cv_;   // UI thread waits here
    std::condition_variable send_cv_;   // senders wait here
    std::deque<Task> posted_;
    std::deque<std::shared_ptr<SendRecord>> sends_;
    std::map<TimerId, Timer> timers_;
    std::set<TimerKey> timer_order_;
    std::uint64_t next_timer_id_ = 1;
    std::uint64_t arm_seq_ = 0;
    std::uint64_t change_seq_ = 0;
    bool quitting_ = false;
    int exit_code_ = 0;
    std::shared_ptr<const std::function<void()>> wake_;
    NestedRunner nested_runner_;
};

}  // namespace lumora

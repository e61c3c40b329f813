#pragma once
// Drives the UI thread's MessageLoop from Qt's event loop, so posted tasks,
// sends from worker threads and timers run while Qt handles the windows:
// - the loop's wake callback (any thread) queues one pass on the Qt thread;
//   further wakes before that pass runs are folded into it;
// - a single-shot QTimer is armed for the loop's next timer deadline;
// - modal windows' nested loops run as nested QEventLoops.
// Nothing polls: with no work and no timers the thread sleeps in Qt's loop.
//
// Build it on the thread that owns both the MessageLoop and the QApplication. The
// loop must use the real clock (a manual clock never reaches a deadline by itself).

#include <QObject>
#include <QTimer>

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/message_loop.h"

class QEventLoop;

namespace lumora {

class QtLoopDriver {
public:
    explicit QtLoopDriver(MessageLoop& loop);
    // Detaches from the loop; a wake racing with this is dropped safely.
    ~QtLoopDriver();
    QtLoopDriver(const QtLoopDriver&) = delete;
    QtLoopDriver& operator=(const QtLoopDriver&) = delete;

    // Runs Qt's event loop until the message loop quits; returns its exit code.
    int Run();
    // Ends the nested loops whose modal window is done. The driver does this after
    // every pass; the renderer also after delivering user input.
    void CheckNested();

    MessageLoop& Loop() { return loop_; }
    // Passes run so far (each one ProcessDue): what a test counts to see that an
    // idle loop does not wake.
    std::size_t Passes() const { return passes_; }
    std::size_t NestedDepth() const { return nested_.size(); }

private:
    struct WakeState {
        std::mutex mutex;
        QObject* target = nullptr;  // null once the driver is going
        std::function<void()> pass;
        std::atomic<bool> pending{false};
    };
    struct Nested {
        const std::function<bool()>* done;
        QEventLoop* loop;
    };

    static void Wake(const std::shared_ptr<WakeState>& state);
    void Pass();
    void Schedule();

    MessageLoop& loop_;
    QObject context_;
    QTimer timer_;
    std::shared_ptr<WakeState> wake_;
    std::vector<Nested> nested_;
    std::size_t passes_ = 0;
    bool running_ = false;
};

}  // namespace lumora

#include "ui/qt/qt_loop_driver.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>

#include <algorithm>
#include <chrono>

#include "platform/logger.h"

namespace lumora {

namespace {
constexpr const char* kTag = "qt";
}

QtLoopDriver::QtLoopDriver(MessageLoop& loop) : loop_(loop), wake_(std::make_shared<WakeState>()) {
    if (!loop_.IsUiThread()) LOG_ERROR(kTag, "the message loop belongs to another thread than Qt's");
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, &context_, [this] { Pass(); });
    wake_->target = &context_;
    wake_->pass = [this] { Pass(); };
    std::weak_ptr<WakeState> weak = wake_;
    loop_.SetWakeCallback([weak] {
        if (auto state = weak.lock()) Wake(state);
    });
    loop_.SetNestedRunner([this](const std::function<bool()>& done) {
        if (done()) return;
        QEventLoop inner;
        nested_.push_back(Nested{&done, &inner});
        Wake(wake_);
        inner.exec();
        for (auto it = nested_.begin(); it != nested_.end(); ++it) {
            if (it->loop == &inner) {
                nested_.erase(it);
                break;
            }
        }
    });
    // Work queued before the driver existed.
    if (loop_.HasReadyWork()) Wake(wake_);
    Schedule();
}

QtLoopDriver::~QtLoopDriver() {
    loop_.SetWakeCallback(nullptr);
    loop_.SetNestedRunner(nullptr);
    std::lock_guard lock(wake_->mutex);
    wake_->target = nullptr;
    wake_->pass = nullptr;
}

void QtLoopDriver::Wake(const std::shared_ptr<WakeState>& state) {
    // One queued pass covers every wake until it starts.
    if (state->pending.exchange(true)) return;
    std::lock_guard lock(state->mutex);
    if (!state->target) return;
    QMetaObject::invokeMethod(
        state->target,
        [state] {
            std::function<void()> pass;
            {
                std::lock_guard inner(state->mutex);
                pass = state->pass;
            }
            if (pass) pass();
        },
        Qt::QueuedConnection);
}

void QtLoopDriver::Pass() {
    wake_->pending.store(false);
    if (!loop_.IsQuitting()) {
        ++passes_;
        loop_.ProcessDue();
    }
    CheckNested();
    if (loop_.IsQuitting()) {
        // Only our own Run is ended: Qt would otherwise refuse every later loop
        // (a dialog's) until it runs its main loop again.
        if (running_) QCoreApplication::exit(loop_.ExitCode());
        return;
    }
    Schedule();
}

void QtLoopDriver::Schedule() {
    if (loop_.HasReadyWork()) {
        Wake(wake_);
        return;
    }
    const auto next = loop_.NextDeadline();
    if (!next) {
        timer_.stop();
        return;
    }
    const auto wait = *next - loop_.GetClock().Now();
    // Rounded up: waking a little early would only find the timer not yet due.
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(wait).count();
    timer_.start(static_cast<int>(std::clamp<long long>(ms, 0, 24LL * 3600 * 1000)));
}

void QtLoopDriver::CheckNested() {
    for (const Nested& n : nested_) {
        if ((*n.done)()) n.loop->exit(0);
    }
}

int QtLoopDriver::Run() {
    if (!QCoreApplication::instance()) {
        LOG_ERROR(kTag, "no Qt application to run");
        return -1;
    }
    if (loop_.IsQuitting()) return loop_.ExitCode();
    running_ = true;
    Wake(wake_);
    QCoreApplication::exec();
    running_ = false;
    return loop_.ExitCode();
}

}  // namespace lumora

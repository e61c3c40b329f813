#pragma once
// A clock that only moves when told to. Safe to read from any thread.

#include <atomic>
#include <chrono>

#include "platform/clock.h"

namespace lumora {

class ManualClock final : public Clock {
public:
    // Starts at an arbitrary fixed point, not at the epoch, so "0" is never a
    // valid time by accident.
    ManualClock();

    TimePoint Now() const override;
    void Advance(std::chrono::nanoseconds delta);
    // Moves the clock to t; a clock never goes back, earlier values are ignored.
    void SetNow(TimePoint t);

private:
    std::atomic<std::chrono::nanoseconds::rep> now_ns_;
};

}  // namespace lumora

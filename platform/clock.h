#pragma once
// Source of "now" for the message loop and its timers. Tests use ManualClock so
// timer behaviour is exact and independent of machine load.

#include <chrono>

namespace lumora {

class Clock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~Clock() = default;
    virtual TimePoint Now() const = 0;
};

}  // namespace lumora

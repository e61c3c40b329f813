#include "platform/monotonic_clock.h"

namespace lumora {

Clock::TimePoint MonotonicClock::Now() const { return std::chrono::steady_clock::now(); }

}  // namespace lumora

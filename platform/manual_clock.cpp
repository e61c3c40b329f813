#include "platform/manual_clock.h"

namespace lumora {

ManualClock::ManualClock() : now_ns_(std::chrono::nanoseconds(std::chrono::hours(1)).count()) {}

Clock::TimePoint ManualClock::Now() const {
    return TimePoint(std::chrono::duration_cast<TimePoint::duration>(
        std::chrono::nanoseconds(now_ns_.load(std::memory_order_acquire))));
}

void ManualClock::Advance(std::chrono::nanoseconds delta) {
    if (delta.count() > 0) now_ns_.fetch_add(delta.count(), std::memory_order_acq_rel);
}

void ManualClock::SetNow(TimePoint t) {
    const auto wanted = std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
    auto current = now_ns_.load(std::memory_order_acquire);
    while (wanted > current && !now_ns_.compare_exchange_weak(current, wanted, std::memory_order_acq_rel)) {
    }
}

}  // namespace lumora

#pragma once
// The real clock: the system's monotonic time.

#include "platform/clock.h"

namespace lumora {

class MonotonicClock final : public Clock {
public:
    TimePoint Now() const override;
};

}  // namespace lumora

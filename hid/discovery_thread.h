#pragma once
// Finds the supported interfaces among the machine's HID interfaces and notices when
// they go: every 100 ms it enumerates (only while some slot is free), claims matching
// interfaces, and probes every claimed path. It reports to the main window through a
// sink whose calls block until the UI thread has handled them.

#include <atomic>
#include <chrono>

#include "hid/interface_slots.h"
#include "platform/worker_thread.h"

namespace lumora {

class DiscoverySink {
public:
    virtual ~DiscoverySink() = default;
    // The slot was just claimed.
    virtual void DeviceArrived(size_t slot) = 0;
    // The claimed interface is gone; the slot is already free.
    virtual void DeviceRemoved(size_t slot) = 0;
    // Once per run, after the first complete pass.
    virtual void FirstPassDone() = 0;
};

class DiscoveryThread {
public:
    static constexpr std::chrono::milliseconds kPeriod{100};

    DiscoveryThread(InterfaceSlots& slots, DiscoverySink& sink);
    ~DiscoveryThread();

    bool Start();
    // Sets the stop event and joins (bounded wait first, as every worker).
    void Stop();
    bool Running() const { return worker_.Running(); }

    // One pass: enumerate while a slot is free, then probe. False when enumeration failed.
    bool Pass();

private:
    void Body(const StopEvent& stop);

    InterfaceSlots& slots_;
    DiscoverySink& sink_;
    WorkerThread worker_{"discovery"};
    bool first_pass_reported_ = false;
};

}  // namespace lumora

#pragma once
// What a device page needs of the window that owns it. The main window implements it;
// the device layer never sees the window itself. Both calls may come from any thread
// (worker threads use them to hand work to the UI thread) and must not block on it.

#include <cstdint>

namespace lumora {

class IDeviceOwner {
public:
    virtual ~IDeviceOwner() = default;
    // (Re-)arms the one-shot timer `timer_id` of the device tab `tab_index` with `delay_ms`;
    // it fires on the UI thread and drives the page of that tab (timers 1000 to 1007).
    virtual void ArmTabTimer(int tab_index, unsigned timer_id, unsigned delay_ms) = 0;
    // Queues a window message for the owner window.
    virtual void PostOwnerMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

}  // namespace lumora

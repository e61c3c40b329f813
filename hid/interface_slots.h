#pragma once
// The main window's slot list: one slot per supported interface. The discovery thread
// claims and frees slots while the UI thread reads them, so every access is locked and
// readers get copies.

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "hid/interface_slot.h"

namespace lumora {

class InterfaceSlots {
public:
    // A copy of the supported-interface table, all free.
    InterfaceSlots();

    size_t Count() const;
    InterfaceSlot Get(size_t index) const;
    bool AnyFree() const;
    // Some table row and some free slot carry these four numbers.
    bool Wanted(uint16_t vendor, uint16_t product, uint16_t interface_number, uint16_t collection) const;
    // Claims the first free slot equal to the interface as identified; its index, or nothing.
    std::optional<size_t> Claim(const InterfaceSlot& identity, const std::string& path);
    // Connected slots with their paths.
    std::vector<std::pair<size_t, std::string>> Connected() const;
    void Free(size_t index);
    // The partner of a paired slot when it points back and is connected with a path.
    bool PartnerConnected(size_t index) const;

private:
    mutable std::mutex mutex_;
    std::vector<InterfaceSlot> slots_;
};

}  // namespace lumora

#include "hid/interface_slots.h"

namespace lumora {

InterfaceSlots::InterfaceSlots() {
    const auto& table = SupportedInterfaces();
    slots_.assign(table.begin(), table.end());
}

size_t InterfaceSlots::Count() const {
    std::lock_guard lock(mutex_);
    return slots_.size();
}

InterfaceSlot InterfaceSlots::Get(size_t index) const {
    std::lock_guard lock(mutex_);
    return index < slots_.size() ? slots_[index] : InterfaceSlot{};
}

bool InterfaceSlots::AnyFree() const {
    std::lock_guard lock(mutex_);
    for (const auto& s : slots_)
        if (s.Free()) return true;
    return false;
}

bool InterfaceSlots::Wanted(uint16_t vendor, uint16_t product, uint16_t interface_number,
                            uint16_t collection) const {
    auto same = [&](const InterfaceSlot& s) {
        return s.vendorId == vendor && s.productId == product && s.interfaceNumber == interface_number &&
               s.collectionNumber == collection;
    };
    bool in_table = false;
    for (const auto& row : SupportedInterfaces()) in_table = in_table || same(row);
    if (!in_table) return false;
    std::lock_guard lock(mutex_);
    for (const auto& s : slots_)
        if (same(s) && s.Free()) return true;
    return false;
}

std::optional<size_t> InterfaceSlots::Claim(const InterfaceSlot& identity, const std::string& path) {
    // Kind and role come from the table row with these six values.
    InterfaceSlot wanted = identity;
    bool known = false;
    for (const auto& row : SupportedInterfaces()) {
        if (row.vendorId == identity.vendorId && row.productId == identity.productId &&
            row.interfaceNumber == identity.interfaceNumber && row.collectionNumber == identity.collectionNumber &&
            row.usagePage == identity.usagePage && row.usage == identity.usage) {
            wanted.deviceKind = row.deviceKind;
            wanted.role = row.role;
            known = true;
            break;
        }
    }
    if (!known) return std::nullopt;
    std::lock_guard lock(mutex_);
    for (size_t i = 0; i < slots_.size(); ++i) {
        InterfaceSlot& s = slots_[i];
        if (s.Free() && s.SameIdentity(wanted)) {
            s.connected = 1;
            s.path = path;
            return i;
        }
    }
    return std::nullopt;
}

std::vector<std::pair<size_t, std::string>> InterfaceSlots::Connected() const {
    std::lock_guard lock(mutex_);
    std::vector<std::pair<size_t, std::string>> out;
    for (size_t i = 0; i < slots_.size(); ++i)
        if (slots_[i].connected) out.emplace_back(i, slots_[i].path);
    return out;
}

void InterfaceSlots::Free(size_t index) {
    std::lock_guard lock(mutex_);
    if (index >= slots_.size()) return;
    slots_[index].connected = 0;
    slots_[index].path.clear();
}

bool InterfaceSlots::PartnerConnected(size_t index) const {
    std::lock_guard lock(mutex_);
    if (index >= slots_.size() || !slots_[index].paired) return false;
    const size_t partner = slots_[index].partner;
    return partner < slots_.size() && slots_[partner].partner == index && slots_[partner].connected &&
           !slots_[partner].path.empty();
}

}  // namespace lumora

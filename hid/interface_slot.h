#pragma once
// Identity of one supported HID interface, and the table of the interfaces we serve.

#include <array>
#include <cstdint>
#include <string>

namespace lumora {

enum DeviceKind : uint16_t {
    kKindKeyboard = 1,
    kKindMouse = 2,
    kKindMousePad = 3,
    kKindMouseReceiver = 6,
    kKindHeadset = 7,
    kKindKeyboardReceiver = 9,
};

enum InterfaceRole : uint16_t { kCommandInterface = 0, kEventInterface = 255 };

struct InterfaceSlot {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t interfaceNumber = 0;
    uint16_t collectionNumber = 0;
    uint16_t deviceKind = 0;
    uint16_t role = 0;
    uint16_t connected = 0;
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    uint16_t paired = 0;
    uint16_t partner = 0;
    std::string path;

    // Same interface: everything but connected, paired, partner and path.
    bool SameIdentity(const InterfaceSlot& other) const {
        return vendorId == other.vendorId && productId == other.productId &&
               interfaceNumber == other.interfaceNumber && collectionNumber == other.collectionNumber &&
               deviceKind == other.deviceKind && role == other.role && usagePage == other.usagePage &&
               usage == other.usage;
    }
    bool Free() const { return connected == 0 && path.empty(); }
    bool IsReceiver() const { return deviceKind == kKindKeyboardReceiver || deviceKind == kKindMouseReceiver; }
};

constexpr size_t kSupportedInterfaceCount = 11;

// The interfaces the program serves, in slot order.
const std::array<InterfaceSlot, kSupportedInterfaceCount>& SupportedInterfaces();

}  // namespace lumora

#pragma once
// The first packet an emulated device sends on a new channel: who it is and its
// report descriptor, as hidraw's ioctls would tell.
//   "LHID" | u8 format 1 | u16 vendor | u16 product | u16 version | u8 interface
//   | u8 name length | name | u16 descriptor length | descriptor      (little-endian)

#include <cstdint>
#include <optional>
#include <vector>

#include "hid/hid_types.h"

namespace lumora {

struct EmulatedHello {
    HidIdentity identity;
    std::vector<uint8_t> descriptor;

    std::vector<uint8_t> Encode() const;
    static std::optional<EmulatedHello> Decode(const uint8_t* data, size_t size);
};

}  // namespace lumora

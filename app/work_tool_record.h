#pragma once
// The device table sent to the outside "WorkTool" program: 1024 bytes of
// little-endian 32-bit fields, the constants 2, 3, 0 and 2, the number of device
// kinds, then vendorId, productId and deviceKind of each device-kind row; the rest 0.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lumora {

class WorkToolRecord {
public:
    static constexpr std::size_t kSize = 1024;
    // dwData of the WM_COPYDATA record that carries it.
    static constexpr std::uint64_t kCopyDataId = 5;
    static constexpr std::string_view kClientName = "WorkTool";

    static std::array<std::uint8_t, kSize> Build();
};

}  // namespace lumora

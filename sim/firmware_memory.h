#pragma once
// The memory a device of this family keeps and the host reads and writes.

#include <array>
#include <cstdint>
#include <vector>

namespace lumora {

struct FirmwareMemory {
    static constexpr size_t kInfoSize = 34;
    static constexpr size_t kStatusSize = 6;
    static constexpr size_t kLightBlockSize = 512;

    std::array<uint8_t, kInfoSize> info{};
    std::vector<uint8_t> settings = std::vector<uint8_t>(1024, 0);
    std::vector<uint8_t> key_slots = std::vector<uint8_t>(512, 0);
    std::vector<uint8_t> key_leds = std::vector<uint8_t>(512 / 3, 0);
    std::vector<uint8_t> macro = std::vector<uint8_t>(16384, 0);
    std::vector<uint8_t> light = std::vector<uint8_t>(8 * kLightBlockSize, 0);  // block * 512 + offset
    std::vector<uint8_t> block56 = std::vector<uint8_t>(4096, 0);              // recoil image
    std::vector<uint8_t> frame = std::vector<uint8_t>(1024, 0);                // last streamed frame
    std::array<uint8_t, kStatusSize> status{};
    bool wireless_link_up = true;
};

}  // namespace lumora

#pragma once

#include <cstdint>

namespace lumora {

// One LED of a frame: colour and brightness (0 to 255; the colour is scaled by brightness / 256).
struct LedColour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t brightness = 0;

    bool operator==(const LedColour&) const = default;
};

}  // namespace lumora

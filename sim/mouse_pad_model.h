#pragma once
// Firmware of the lighted mouse pad 0x320F:0x1004 with its phone charging surface.
//
// Memory of a fresh pad:
// - information block: no key slots, no macro memory, 1 profile, 15 LEDs;
// - settings memory: offset 0 the active profile (always 0: one on-board profile, so the
//   26-byte window read at 25 × profile and the 21 bytes written at 64 × bank meet at 0);
//   1 effect code, 2 brightness level, 3 inverted speed, 4 direction, 5 multicolour,
//   6-8 colour, 9-20 further bytes (9: phone charging enabled);
// - status block: 100 %, external power; byte 4 = 1 while a phone charges, byte 5 the
//   phone type (1 iPhone, 2 Samsung, 3 other, 0 none).

#include <cstdint>
#include <string>

#include "sim/firmware_model.h"

namespace lumora {

class MousePadModel : public FirmwareModel {
public:
    static constexpr uint16_t kProductId = 0x1004;
    static constexpr uint8_t kLeds = 15;
    static constexpr size_t kSettingsSize = 128;
    static constexpr size_t kBlockSize = 21;
    static constexpr uint8_t kEffectCodes = 9;  // effects the pad's light button steps through

    MousePadModel();

    // The pad's light button: the next effect; event 0x401.
    SentEvent PressLightButton();
    // A phone put on the charging surface (type 1-3) or taken off (0); event 0x404.
    SentEvent PlacePhone(uint8_t type);

protected:
    void DescribeLocked(std::string& out, const FirmwareMemory& memory) const override;
};

}  // namespace lumora

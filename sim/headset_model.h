#pragma once
// Firmware of the HS6533 headset 0x0C76:0x1630 (HID on interface 3): the command protocol
// on report ID 4 and the ear-cup light output reports (ID 0xFF, 17 bytes) that set the
// colour registers of its two light groups directly.
//
// Memory of a fresh headset:
// - information block: no key slots, no macro memory, 1 profile, 13 LEDs;
// - settings memory: offset 0 the active profile (always 0), 1 mode code, 2 brightness,
//   3 inverted speed, 4 direction, 5 multicolour, 6-8 colour, 9-20 further bytes;
// - status block: 100 %, powered by USB.

#include <array>
#include <cstdint>
#include <string>

#include "sim/firmware_model.h"

namespace lumora {

class HeadsetModel : public FirmwareModel {
public:
    static constexpr uint16_t kProductId = 0x1630;
    static constexpr uint8_t kLeds = 13;
    static constexpr uint8_t kLightReportId = 0xFF;
    static constexpr size_t kLightReportSize = 17;
    static constexpr uint8_t kGroups[2] = {0x22, 0x44};

    struct Rgb {
        uint8_t red = 0, green = 0, blue = 0;
        bool operator==(const Rgb&) const = default;
    };
    using EarCup = std::array<Rgb, kLeds>;

    HeadsetModel();

    // The colours the light group (0x22 or 0x44) currently shows; all zero for another group.
    EarCup EarCupColours(uint8_t group) const;
    // Light reports taken, and those refused for their length or register.
    uint32_t LightReports() const;
    uint32_t RefusedLightReports() const;

protected:
    void HandleOtherReportLocked(const uint8_t* report, size_t length) override;
    void DescribeLocked(std::string& out, const FirmwareMemory& memory) const override;

private:
    // Guarded by the model's lock.
    std::array<EarCup, 2> cups_{};
    uint32_t light_reports_ = 0;
    uint32_t refused_ = 0;
};

}  // namespace lumora

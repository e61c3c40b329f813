#pragma once
// Firmware of the mouse (wired 0x320F:0x221C, also reached through its receiver).
//
// Memory of a fresh mouse:
// - information block: N = 11 key slots, 32 × 128 bytes of macro memory, 5 profiles,
//   15 LEDs; sensor code 0x3389 (bytes 9-10), DPI step 50 (11), highest slider value 319
//   (12-13), lowest DPI 50 (14-15): slider v shows 50 v + 50 DPI, 50 to 16000;
// - key slot table: the buttons by bit order (left, right, middle, back, forward), then the
//   DPI and special buttons, so the program's button 3 (forward) is slot 4 and 4 (back) slot 3;
// - key LED table: no LEDs under the buttons (0xFF);
// - settings memory: offset 0 the active profile, profile p's 128 bytes at 128p; its record:
//   1 mode, 2 brightness, 3 inverted speed, 4 direction, 5 multicolour, 6-8 colour,
//   11 polling rate option, 12 active DPI stage, 14-58 five DPI stages of 9 bytes
//   (enabled, XY, X, Y, colour: 400, 800, 1600, 3200, 6400 DPI), 59 = 1, 60-63 screen
//   1920 × 1080, 64-65 angle correction off, 66-70 lift-off 2 mm, debounce 4 ms, sleep 5 min;
// - status block: battery 90 %, on battery (charging while the cable is in);
// - block 56: an empty recoil image with four empty patterns;
// - macro memory: an empty macro image.

#include <cstdint>
#include <string>

#include "sim/firmware_model.h"

namespace lumora {

class MouseModel : public FirmwareModel {
public:
    static constexpr uint16_t kProductId = 0x221C;
    static constexpr uint8_t kKeySlots = 11;
    static constexpr uint8_t kMacroUnits = 32;
    static constexpr uint8_t kProfiles = 5;
    static constexpr uint8_t kLeds = 15;
    static constexpr size_t kRecordStride = 128;
    static constexpr size_t kRecordRead = 71;
    static constexpr size_t kStages = 5;
    static constexpr size_t kStageOffset = 14;
    static constexpr size_t kStageSize = 9;
    static constexpr size_t kActiveStage = 12;
    static constexpr uint16_t kSensor = 0x3389;
    static constexpr uint8_t kDpiStep = 50;
    static constexpr uint16_t kHighestSlider = 319;
    static constexpr uint16_t kLowestDpi = 50;
    static constexpr uint8_t kBattery = 90;

    MouseModel();

    // The slot of the program's button index 0-10 in the fresh key slot table.
    static uint8_t ButtonSlot(size_t button_index);

    // The profile button: the next on-board profile becomes active; event 0x1000 | profile.
    SentEvent PressProfileButton();
    // The DPI button: the next enabled stage of the active profile; event
    // 0x1100 | stage << 4 | profile.
    SentEvent PressDpiButton();
    // A click, which the mouse reports for reactive lighting; event 0x403.
    SentEvent Click();
    uint8_t ActiveProfile() const;
    uint8_t ActiveStage() const;

    void SetCableAttached(bool attached) override;

protected:
    void DescribeLocked(std::string& out, const FirmwareMemory& memory) const override;

private:
    static void FillFresh(FirmwareMemory& memory, bool cable);
    bool cable_ = false;  // guarded by the model's lock
};

}  // namespace lumora

#pragma once
// Firmware of the keyboard (wired 0x320F:0x5055, also reached through its receiver).
//
// Memory of a fresh keyboard:
// - information block: N = 170 key slots, 64 × 128 bytes of macro memory, 4 profiles, 170 LEDs;
// - key slot table: a 6 × 28 matrix (slot = row × 28 + column, 168 used, two spare); the
//   program's key index j sits in row j / 21, column j % 21, and holds its default code when
//   the key exists on this full-size ANSI board, "no key" (20 00 00) otherwise;
// - key LED table: the LED chain runs along the rows in a serpentine (even rows left to
//   right, odd rows right to left), so LED position = row × 28 + column or row × 28 + 27 − column;
// - settings memory: offset 0 the active profile, profile p's 25 bytes at 25p + 1 (the
//   record window at 25p: mode, brightness, inverted speed, direction, multicolour, colour,
//   ZZCCLedMode, WFlag, Key6Flag, WinFlag, polling rate, custom layout);
// - status block: battery 80 %, on battery (charging while the cable is in);
// - light data: eight custom colour layouts of 512 bytes, all keys white;
// - macro memory: an empty macro image (AA 55, size 16, no macros).

#include <array>
#include <cstdint>
#include <string>

#include "sim/firmware_model.h"

namespace lumora {

class KeyboardModel : public FirmwareModel {
public:
    static constexpr uint16_t kProductId = 0x5055;
    static constexpr uint8_t kKeySlots = 170;
    static constexpr uint8_t kMacroUnits = 64;
    static constexpr uint8_t kProfiles = 4;
    static constexpr uint8_t kLeds = 170;
    static constexpr size_t kKeyIndexes = 126;
    static constexpr size_t kRecordStride = 25;
    static constexpr size_t kRecordSize = 26;
    static constexpr size_t kSettingsSize = 128;
    static constexpr uint8_t kBattery = 80;
    static constexpr uint8_t kModeCodes = 20;  // on-board modes the light key steps through

    KeyboardModel();

    // The key slot and LED position of a key index on this keyboard; false when absent.
    static bool KeyPosition(size_t key_index, uint8_t* slot, uint8_t* led);
    // The code a key index carries in the fresh key slot table (20 00 00 when absent).
    static std::array<uint8_t, 3> DefaultCode(size_t key_index);

    // The profile key: the next on-board profile becomes active; event 0x1000 | profile.
    SentEvent PressProfileButton();
    // Fn + the light key: the active profile's light mode steps on; event 0x401.
    SentEvent PressLightButton();
    // Fn + Esc held: back to the fresh contents; event 0x402 (resynchronise).
    SentEvent FactoryReset();
    uint8_t ActiveProfile() const;

    void SetCableAttached(bool attached) override;

protected:
    void DescribeLocked(std::string& out, const FirmwareMemory& memory) const override;

private:
    static void FillFresh(FirmwareMemory& memory, bool cable);
    bool cable_ = false;  // guarded by the model's lock
};

}  // namespace lumora

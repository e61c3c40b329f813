#include "sim/keyboard_model.h"

#include <cstdio>

namespace lumora {
namespace {

constexpr size_t kColumns = 21;      // key indexes per row of the program's numbering
constexpr size_t kSlotsPerRow = 28;  // key slots per matrix row of the keyboard

struct KeyCode {
    uint8_t type, b1, b2;
    bool present;  // on this full-size ANSI board
};

// Code at each key index, in the program's key numbering.
constexpr KeyCode kKeys[KeyboardModel::kKeyIndexes] = {
    // 0-20: Esc, F1-F12, Print Screen, Scroll Lock, Pause, two special keys, three unused
    {0x20, 0, 0x29, true}, {0x20, 0, 0x3A, true}, {0x20, 0, 0x3B, true}, {0x20, 0, 0x3C, true},
    {0x20, 0, 0x3D, true}, {0x20, 0, 0x3E, true}, {0x20, 0, 0x3F, true}, {0x20, 0, 0x40, true},
    {0x20, 0, 0x41, true}, {0x20, 0, 0x42, true}, {0x20, 0, 0x43, true}, {0x20, 0, 0x44, true},
    {0x20, 0, 0x45, true}, {0x20, 0, 0x46, true}, {0x20, 0, 0x47, true}, {0x20, 0, 0x48, true},
    {0xA0, 0x1B, 0, true}, {0xA0, 0x24, 0, true}, {0x20, 0, 0, false}, {0x20, 0, 0, false},
    {0x20, 0, 0, false},
    // 21-41: ` 1-0 - = Backspace, Insert Home Page Up, Num Lock, keypad / * -
    {0x20, 0, 0x35, true}, {0x20, 0, 0x1E, true}, {0x20, 0, 0x1F, true}, {0x20, 0, 0x20, true},
    {0x20, 0, 0x21, true}, {0x20, 0, 0x22, true}, {0x20, 0, 0x23, true}, {0x20, 0, 0x24, true},
    {0x20, 0, 0x25, true}, {0x20, 0, 0x26, true}, {0x20, 0, 0x27, true}, {0x20, 0, 0x2D, true},
    {0x20, 0, 0x2E, true}, {0x20, 0, 0x2A, true}, {0x20, 0, 0x49, true}, {0x20, 0, 0x4A, true},
    {0x20, 0, 0x4B, true}, {0x20, 0, 0x53, true}, {0x20, 0, 0x54, true}, {0x20, 0, 0x55, true},
    {0x20, 0, 0x56, true},
    // 42-62: Tab Q-P [ ] \, Delete End Page Down, keypad 7 8 9, Non-US # (not on ANSI)
    {0x20, 0, 0x2B, true}, {0x20, 0, 0x14, true}, {0x20, 0, 0x1A, true}, {0x20, 0, 0x08, true},
    {0x20, 0, 0x15, true}, {0x20, 0, 0x17, true}, {0x20, 0, 0x1C, true}, {0x20, 0, 0x18, true},
    {0x20, 0, 0x0C, true}, {0x20, 0, 0x12, true}, {0x20, 0, 0x13, true}, {0x20, 0, 0x2F, true},
    {0x20, 0, 0x30, true}, {0x20, 0, 0x31, true}, {0x20, 0, 0x4C, true}, {0x20, 0, 0x4D, true},
    {0x20, 0, 0x4E, true}, {0x20, 0, 0x5F, true}, {0x20, 0, 0x60, true}, {0x20, 0, 0x61, true},
    {0x20, 0, 0x32, false},
    // 63-83: Caps Lock A-L ; ' Enter, keypad 4 5 6, international keys (not on ANSI)
    {0x20, 0, 0x39, true}, {0x20, 0, 0x04, true}, {0x20, 0, 0x16, true}, {0x20, 0, 0x07, true},
    {0x20, 0, 0x09, true}, {0x20, 0, 0x0A, true}, {0x20, 0, 0x0B, true}, {0x20, 0, 0x0D, true},
    {0x20, 0, 0x0E, true}, {0x20, 0, 0x0F, true}, {0x20, 0, 0x33, true}, {0x20, 0, 0x34, true},
    {0x20, 0, 0x28, true}, {0x20, 0, 0x5C, true}, {0x20, 0, 0x5D, true}, {0x20, 0, 0x5E, true},
    {0x20, 0, 0x8A, false}, {0x20, 0, 0x8B, false}, {0x20, 0, 0x90, false}, {0x20, 0, 0x91, false},
    {0x20, 0, 0x88, false},
    // 84-104: Left Shift Z-/ Right Shift, Up, keypad 1 2 3, international keys, unused
    {0x20, 0x02, 0, true}, {0x20, 0, 0x1D, true}, {0x20, 0, 0x1B, true}, {0x20, 0, 0x06, true},
    {0x20, 0, 0x19, true}, {0x20, 0, 0x05, true}, {0x20, 0, 0x11, true}, {0x20, 0, 0x10, true},
    {0x20, 0, 0x36, true}, {0x20, 0, 0x37, true}, {0x20, 0, 0x38, true}, {0x20, 0x20, 0, true},
    {0x20, 0, 0x52, true}, {0x20, 0, 0x59, true}, {0x20, 0, 0x5A, true}, {0x20, 0, 0x5B, true},
    {0x20, 0, 0x87, false}, {0x20, 0, 0x89, false}, {0x20, 0, 0x64, false}, {0x20, 0, 0x85, false},
    {0x20, 0, 0, false},
    // 105-125: Ctrl GUI Alt Space Alt Fn Application Ctrl, arrows, keypad 0 . Enter +, five
    // special keys and Right GUI (the Fn key takes its place on this board)
    {0x20, 0x01, 0, true}, {0x20, 0x08, 0, true}, {0x20, 0x04, 0, true}, {0x20, 0, 0x2C, true},
    {0x20, 0x40, 0, true}, {0xA0, 0x01, 0, true}, {0x20, 0, 0x65, true}, {0x20, 0x10, 0, true},
    {0x20, 0, 0x50, true}, {0x20, 0, 0x51, true}, {0x20, 0, 0x4F, true}, {0x20, 0, 0x62, true},
    {0x20, 0, 0x63, true}, {0x20, 0, 0x58, true}, {0x20, 0, 0x57, true}, {0xD0, 0xA2, 0x01, false},
    {0xD0, 0xA2, 0x02, false}, {0xD0, 0xA2, 0x03, false}, {0xD0, 0xA2, 0x04, false},
    {0xD0, 0xA2, 0x05, false}, {0x20, 0x80, 0, false},
};

uint8_t LedOfSlot(size_t slot) {
    const size_t row = slot / kSlotsPerRow, column = slot % kSlotsPerRow;
    return static_cast<uint8_t>(row % 2 == 0 ? slot : row * kSlotsPerRow + (kSlotsPerRow - 1 - column));
}

struct Look {
    uint8_t mode, multicolour, red, green, blue;
};
// Each on-board profile starts with its own look, so a profile switch is visible.
constexpr Look kProfileLooks[KeyboardModel::kProfiles] = {
    {1, 1, 0xFF, 0x00, 0x00}, {2, 0, 0x00, 0xFF, 0x00}, {3, 0, 0x00, 0x00, 0xFF}, {4, 0, 0xFF, 0xFF, 0xFF}};

}  // namespace

KeyboardModel::KeyboardModel() {
    WithMemory([](FirmwareMemory& m) { FillFresh(m, false); });
}

bool KeyboardModel::KeyPosition(size_t key_index, uint8_t* slot, uint8_t* led) {
    if (key_index >= kKeyIndexes || !kKeys[key_index].present) return false;
    const size_t s = (key_index / kColumns) * kSlotsPerRow + key_index % kColumns;
    if (slot) *slot = static_cast<uint8_t>(s);
    if (led) *led = LedOfSlot(s);
    return true;
}

std::array<uint8_t, 3> KeyboardModel::DefaultCode(size_t key_index) {
    if (key_index >= kKeyIndexes || !kKeys[key_index].present) return {0x20, 0, 0};
    return {kKeys[key_index].type, kKeys[key_index].b1, kKeys[key_index].b2};
}

void KeyboardModel::FillFresh(FirmwareMemory& m, bool cable) {
    FillInfo(m, {kProductId, 1, kKeySlots, kMacroUnits, kProfiles, kLeds, "Orvane K1 RGB"});

    // Key slot table: "no key" everywhere, then each present key at its matrix position.
    m.key_slots.assign(512, 0);
    for (size_t s = 0; s < kKeySlots; ++s) m.key_slots[s * 3] = 0x20;
    m.key_leds.assign(kKeySlots, 0);
    for (size_t s = 0; s < kKeySlots; ++s) m.key_leds[s] = LedOfSlot(s);
    for (size_t j = 0; j < kKeyIndexes; ++j) {
        uint8_t slot = 0;
        if (!KeyPosition(j, &slot, nullptr)) continue;
        const auto code = DefaultCode(j);
        for (size_t b = 0; b < 3; ++b) m.key_slots[slot * 3u + b] = code[b];
    }

    m.settings.assign(kSettingsSize, 0);
    for (size_t p = 0; p < kProfiles; ++p) {
        uint8_t* r = m.settings.data() + p * kRecordStride;  // the record window of profile p
        const Look& look = kProfileLooks[p];
        r[1] = look.mode;
        r[2] = 4;      // brightness
        r[3] = 4 - 2;  // speed 2, inverted
        r[4] = 1;      // forward
        r[5] = look.multicolour;
        r[6] = look.red;
        r[7] = look.green;
        r[8] = look.blue;
        r[22] = 0;  // polling rate option 0
        r[25] = static_cast<uint8_t>(p);  // custom colour layout
    }
    m.settings[0] = 0;  // active profile, also byte 0 of profile 0's window

    m.status = {kBattery, static_cast<uint8_t>(cable ? 1 : 2), 0, 0, 0, 0};

    // Custom colour layouts: every key white.
    m.light.assign(8 * FirmwareMemory::kLightBlockSize, 0);
    for (size_t block = 0; block < 8; ++block)
        for (size_t j = 0; j < kKeyIndexes; ++j) {
            uint8_t led = 0;
            if (!KeyPosition(j, nullptr, &led)) continue;
            for (size_t c = 0; c < 3; ++c) m.light[block * FirmwareMemory::kLightBlockSize + led * 3u + c] = 0xFF;
        }

    m.macro.assign(static_cast<size_t>(kMacroUnits) * 128, 0);
    m.macro[0] = 0xAA;
    m.macro[1] = 0x55;
    m.macro[2] = 16;  // total size, no macros
    m.frame.assign(1024, 0);
}

FirmwareModel::SentEvent KeyboardModel::PressProfileButton() {
    const uint8_t profile = WithMemory([](FirmwareMemory& m) {
        m.settings[0] = static_cast<uint8_t>((m.settings[0] + 1) % kProfiles);
        return m.settings[0];
    });
    return SendEvent(static_cast<uint16_t>(kEventProfile | profile));
}

FirmwareModel::SentEvent KeyboardModel::PressLightButton() {
    WithMemory([](FirmwareMemory& m) {
        const size_t p = m.settings[0] % kProfiles;
        uint8_t& mode = m.settings[p * kRecordStride + 1];
        mode = static_cast<uint8_t>((mode + 1) % kModeCodes);
    });
    return SendEvent(kEventSettingsChanged);
}

FirmwareModel::SentEvent KeyboardModel::FactoryReset() {
    WithMemory([this](FirmwareMemory& m) { FillFresh(m, cable_); });
    return SendEvent(kEventResync);
}

uint8_t KeyboardModel::ActiveProfile() const {
    return WithMemory([](const FirmwareMemory& m) { return m.settings[0]; });
}

void KeyboardModel::SetCableAttached(bool attached) {
    WithMemory([&](FirmwareMemory& m) {
        cable_ = attached;
        m.status[1] = attached ? 1 : 2;  // charging on the cable, else on battery
    });
}

void KeyboardModel::DescribeLocked(std::string& out, const FirmwareMemory& m) const {
    const size_t p = m.settings[0] % kProfiles;
    char line[96];
    std::snprintf(line, sizeof line, "active profile: %u, cable: %s\n", m.settings[0], cable_ ? "in" : "out");
    out += line;
    out += "device information:\n" + HexRows(m.info.data(), m.info.size());
    std::snprintf(line, sizeof line, "settings record of profile %zu (offset %zu):\n", p, p * kRecordStride);
    out += line + HexRows(m.settings.data() + p * kRecordStride, kRecordSize, p * kRecordStride);
    out += "key slot table:\n" + HexRows(m.key_slots.data(), kKeySlots * 3u);
    out += "key LED table:\n" + HexRows(m.key_leds.data(), kKeySlots);
    out += "status:\n" + HexRows(m.status.data(), m.status.size());
    out += "macro memory (first 64 bytes):\n" + HexRows(m.macro.data(), 64);
}

}  // namespace lumora

#include "sim/mouse_model.h"

#include <cstdio>

namespace lumora {
namespace {

// Slot order of the mouse: by button bit, then the DPI and special buttons.
constexpr uint8_t kSlotCodes[MouseModel::kKeySlots][3] = {
    {0x10, 0x01, 0x00}, {0x10, 0x02, 0x00}, {0x10, 0x04, 0x00}, {0x10, 0x08, 0x00},
    {0x10, 0x10, 0x00}, {0x13, 0x01, 0x00}, {0x13, 0x02, 0x00}, {0x13, 0x03, 0x00},
    {0xA0, 0x1B, 0x00}, {0x16, 0x90, 0x01}, {0x14, 0x78, 0x02},
};
constexpr uint8_t kButtonSlots[MouseModel::kKeySlots] = {0, 1, 2, 4, 3, 5, 6, 7, 8, 9, 10};

struct Stage {
    uint16_t dpi;
    uint8_t red, green, blue;
};
constexpr Stage kStageDefaults[MouseModel::kStages] = {
    {400, 0xFF, 0x00, 0x00}, {800, 0x00, 0xFF, 0x00}, {1600, 0x00, 0x00, 0xFF},
    {3200, 0xFF, 0xFF, 0x00}, {6400, 0xFF, 0x00, 0xFF}};

struct Look {
    uint8_t mode, multicolour, red, green, blue;
};
// Wave, breathing, static, colour cycle, off.
constexpr Look kProfileLooks[MouseModel::kProfiles] = {
    {0, 1, 0xFF, 0x00, 0x00}, {2, 0, 0x00, 0xFF, 0x00}, {3, 0, 0x00, 0x80, 0xFF},
    {1, 1, 0xFF, 0xFF, 0xFF}, {9, 0, 0x00, 0x00, 0x00}};

constexpr uint16_t kScreenWidth = 1920;
constexpr uint16_t kScreenHeight = 1080;

void Put16(uint8_t* at, uint16_t value) {
    at[0] = static_cast<uint8_t>(value & 0xFF);
    at[1] = static_cast<uint8_t>(value >> 8);
}

}  // namespace

MouseModel::MouseModel() {
    WithMemory([](FirmwareMemory& m) { FillFresh(m, false); });
}

uint8_t MouseModel::ButtonSlot(size_t button_index) {
    return button_index < kKeySlots ? kButtonSlots[button_index] : 0xFF;
}

void MouseModel::FillFresh(FirmwareMemory& m, bool cable) {
    FillInfo(m, {kProductId, 2, kKeySlots, kMacroUnits, kProfiles, kLeds, "Orvane M1 Wireless"});
    Put16(&m.info[9], kSensor);
    m.info[11] = kDpiStep;
    Put16(&m.info[12], kHighestSlider);
    Put16(&m.info[14], kLowestDpi);

    m.key_slots.assign(512, 0);
    for (size_t s = 0; s < kKeySlots; ++s)
        for (size_t b = 0; b < 3; ++b) m.key_slots[s * 3 + b] = kSlotCodes[s][b];
    m.key_leds.assign(kKeySlots, 0xFF);

    m.settings.assign(kProfiles * kRecordStride, 0);
    for (size_t p = 0; p < kProfiles; ++p) {
        uint8_t* r = m.settings.data() + p * kRecordStride;
        const Look& look = kProfileLooks[p];
        r[0] = static_cast<uint8_t>(p);
        r[1] = look.mode;
        r[2] = 4;      // brightness
        r[3] = 4 - 2;  // speed 2, inverted
        r[4] = 1;
        r[5] = look.multicolour;
        r[6] = look.red;
        r[7] = look.green;
        r[8] = look.blue;
        r[11] = 0;  // polling rate option 0
        r[kActiveStage] = 1;
        for (size_t i = 0; i < kStages; ++i) {
            uint8_t* stage = r + kStageOffset + i * kStageSize;
            const uint16_t slider = static_cast<uint16_t>((kStageDefaults[i].dpi - kLowestDpi) / kDpiStep);
            stage[0] = 1;  // enabled
            stage[1] = 0;  // X and Y together
            Put16(stage + 2, slider);
            Put16(stage + 4, slider);
            stage[6] = kStageDefaults[i].red;
            stage[7] = kStageDefaults[i].green;
            stage[8] = kStageDefaults[i].blue;
        }
        r[59] = 1;
        Put16(r + 60, kScreenWidth);
        Put16(r + 62, kScreenHeight);
        r[64] = 0;  // angle correction off
        r[65] = 0;
        r[66] = 2;  // lift-off distance, mm
        r[67] = 4;  // debounce, ms
        r[68] = 5;  // sleep after minutes
    }
    m.settings[0] = 0;  // active profile

    m.status = {kBattery, static_cast<uint8_t>(cable ? 1 : 2), 0, 0, 0, 0};

    // Recoil image: header, four offsets, four empty records.
    m.block56.assign(4096, 0);
    m.block56[0] = 0xAA;
    m.block56[1] = 0x55;
    Put16(&m.block56[2], 16 + 4 * 6);
    Put16(&m.block56[4], 4);
    for (uint16_t i = 0; i < 4; ++i) Put16(&m.block56[16 + 2 * i], static_cast<uint16_t>(24 + 4 * i));

    m.macro.assign(static_cast<size_t>(kMacroUnits) * 128, 0);
    m.macro[0] = 0xAA;
    m.macro[1] = 0x55;
    m.macro[2] = 16;
    m.light.assign(8 * FirmwareMemory::kLightBlockSize, 0);
    m.frame.assign(1024, 0);
}

FirmwareModel::SentEvent MouseModel::PressProfileButton() {
    const uint8_t profile = WithMemory([](FirmwareMemory& m) {
        m.settings[0] = static_cast<uint8_t>((m.settings[0] + 1) % kProfiles);
        return m.settings[0];
    });
    return SendEvent(static_cast<uint16_t>(kEventProfile | profile));
}

FirmwareModel::SentEvent MouseModel::PressDpiButton() {
    const uint16_t usage = WithMemory([](FirmwareMemory& m) {
        const size_t p = m.settings[0] % kProfiles;
        uint8_t* r = m.settings.data() + p * kRecordStride;
        const size_t current = r[kActiveStage] % kStages;
        for (size_t step = 1; step <= kStages; ++step) {
            const size_t next = (current + step) % kStages;
            if (r[kStageOffset + next * kStageSize] != 0) {
                r[kActiveStage] = static_cast<uint8_t>(next);
                break;
            }
        }
        return static_cast<uint16_t>(kEventProfileAndMode | ((r[kActiveStage] & 0x0F) << 4) | (p & 0x0F));
    });
    return SendEvent(usage);
}

FirmwareModel::SentEvent MouseModel::Click() { return SendEvent(kEventClick); }

uint8_t MouseModel::ActiveProfile() const {
    return WithMemory([](const FirmwareMemory& m) { return m.settings[0]; });
}

uint8_t MouseModel::ActiveStage() const {
    return WithMemory([](const FirmwareMemory& m) {
        return m.settings[(m.settings[0] % kProfiles) * kRecordStride + kActiveStage];
    });
}

void MouseModel::SetCableAttached(bool attached) {
    WithMemory([&](FirmwareMemory& m) {
        cable_ = attached;
        m.status[1] = attached ? 1 : 2;
    });
}

void MouseModel::DescribeLocked(std::string& out, const FirmwareMemory& m) const {
    const size_t p = m.settings[0] % kProfiles;
    const uint8_t* r = m.settings.data() + p * kRecordStride;
    const size_t stage = r[kActiveStage] % kStages;
    const uint8_t* s = r + kStageOffset + stage * kStageSize;
    const unsigned slider = s[2] | (s[3] << 8);
    char line[128];
    std::snprintf(line, sizeof line, "active profile: %u, DPI stage: %zu (%u DPI), cable: %s\n", m.settings[0], stage,
                  slider * kDpiStep + kLowestDpi, cable_ ? "in" : "out");
    out += line;
    out += "device information:\n" + HexRows(m.info.data(), m.info.size());
    std::snprintf(line, sizeof line, "settings record of profile %zu (offset %zu):\n", p, p * kRecordStride);
    out += line + HexRows(r, kRecordRead, p * kRecordStride);
    out += "key slot table:\n" + HexRows(m.key_slots.data(), kKeySlots * 3u);
    out += "status:\n" + HexRows(m.status.data(), m.status.size());
    out += "recoil image (first 64 bytes):\n" + HexRows(m.block56.data(), 64);
    out += "macro memory (first 64 bytes):\n" + HexRows(m.macro.data(), 64);
}

}  // namespace lumora

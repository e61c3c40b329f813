#include "sim/mouse_pad_model.h"

namespace lumora {

MousePadModel::MousePadModel() {
    WithMemory([](FirmwareMemory& m) {
        FillInfo(m, {kProductId, 3, 0, 0, 1, kLeds, "Orvane P1 Charge"});
        m.key_slots.assign(512, 0);
        m.key_leds.assign(170, 0);
        m.settings.assign(kSettingsSize, 0);
        m.settings[1] = 0;      // wave
        m.settings[2] = 4;      // brightness
        m.settings[3] = 4 - 2;  // speed 2, inverted
        m.settings[4] = 1;
        m.settings[5] = 1;  // multicolour
        m.settings[6] = 0x00;
        m.settings[7] = 0x80;
        m.settings[8] = 0xFF;
        m.settings[9] = 1;  // phone charging enabled
        m.status = {100, 0, 0, 0, 0, 0};
        m.macro.assign(0, 0);
        m.frame.assign(1024, 0);
    });
}

FirmwareModel::SentEvent MousePadModel::PressLightButton() {
    WithMemory([](FirmwareMemory& m) { m.settings[1] = static_cast<uint8_t>((m.settings[1] + 1) % kEffectCodes); });
    return SendEvent(kEventSettingsChanged);
}

FirmwareModel::SentEvent MousePadModel::PlacePhone(uint8_t type) {
    WithMemory([type](FirmwareMemory& m) {
        m.status[4] = type != 0 ? 1 : 0;
        m.status[5] = type;
    });
    return SendEvent(kEventPhone);
}

void MousePadModel::DescribeLocked(std::string& out, const FirmwareMemory& m) const {
    out += "device information:\n" + HexRows(m.info.data(), m.info.size());
    out += "settings block (offset 0):\n" + HexRows(m.settings.data(), kBlockSize);
    out += "status:\n" + HexRows(m.status.data(), m.status.size());
    out += "last light frame (15 LEDs):\n" + HexRows(m.frame.data(), kLeds * 3u);
}

}  // namespace lumora

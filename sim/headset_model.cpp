#include "sim/headset_model.h"

#include <cstdio>

#include "platform/logger.h"

namespace lumora {
namespace {

constexpr uint8_t kFirstBlock = 0xAA;  // AA-AC red/green/blue of LEDs 0-6, AD-AF of LEDs 7-12
constexpr uint8_t kLastBlock = 0xAF;
constexpr size_t kFirstHalf = 7;

int GroupIndex(uint8_t group) {
    for (int i = 0; i < 2; ++i)
        if (HeadsetModel::kGroups[i] == group) return i;
    return -1;
}

}  // namespace

HeadsetModel::HeadsetModel() {
    WithMemory([](FirmwareMemory& m) {
        FillInfo(m, {kProductId, 7, 0, 0, 1, kLeds, "Orvane H1 7.1"});
        m.settings.assign(128, 0);
        m.settings[1] = 2;      // breathing
        m.settings[2] = 4;      // brightness
        m.settings[3] = 4 - 2;  // speed 2, inverted
        m.settings[4] = 1;
        m.settings[5] = 0;
        m.settings[6] = 0x00;
        m.settings[7] = 0xFF;
        m.settings[8] = 0x80;
        m.status = {100, 0, 0, 0, 0, 0};
        m.macro.assign(0, 0);
    });
}

void HeadsetModel::HandleOtherReportLocked(const uint8_t* report, size_t length) {
    const int group = length == kLightReportSize && report[0] == kLightReportId ? GroupIndex(report[1]) : -1;
    const uint8_t block = length >= 3 ? report[2] : 0;
    if (group < 0 || block < kFirstBlock || block > kLastBlock) {
        ++refused_;
        LOG_DEBUG("sim", "headset: output report of %zu bytes refused", length);
        return;
    }
    const size_t channel = (block - kFirstBlock) % 3;
    const bool second_half = block >= kFirstBlock + 3;
    const size_t first = second_half ? kFirstHalf : 0;
    const size_t count = second_half ? kLeds - kFirstHalf : kFirstHalf;
    EarCup& cup = cups_[static_cast<size_t>(group)];
    for (size_t i = 0; i < count; ++i) {
        Rgb& led = cup[first + i];
        uint8_t& target = channel == 0 ? led.red : channel == 1 ? led.green : led.blue;
        target = report[4 + i];
    }
    ++light_reports_;
}

HeadsetModel::EarCup HeadsetModel::EarCupColours(uint8_t group) const {
    const int index = GroupIndex(group);
    auto lock = Lock();
    return index < 0 ? EarCup{} : cups_[static_cast<size_t>(index)];
}

uint32_t HeadsetModel::LightReports() const {
    auto lock = Lock();
    return light_reports_;
}

uint32_t HeadsetModel::RefusedLightReports() const {
    auto lock = Lock();
    return refused_;
}

void HeadsetModel::DescribeLocked(std::string& out, const FirmwareMemory& m) const {
    out += "device information:\n" + HexRows(m.info.data(), m.info.size());
    out += "settings record (offset 0):\n" + HexRows(m.settings.data(), 26);
    out += "status:\n" + HexRows(m.status.data(), m.status.size());
    char cell[96];
    std::snprintf(cell, sizeof cell, "light reports: %u taken, %u refused\n", light_reports_, refused_);
    out += cell;
    for (size_t g = 0; g < 2; ++g) {
        std::snprintf(cell, sizeof cell, "ear cups 0x%02x:", kGroups[g]);
        out += cell;
        for (const Rgb& led : cups_[g]) {
            std::snprintf(cell, sizeof cell, " %02x%02x%02x", led.red, led.green, led.blue);
            out += cell;
        }
        out += '\n';
    }
}

}  // namespace lumora

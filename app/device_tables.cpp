#include "app/device_tables.h"

namespace lumora {

namespace {
constexpr std::string_view kTabXml = "XML/CustomControlXML/DeviceOption.xml";
constexpr std::string_view kTabGroup = "tab_header_device";
constexpr std::string_view kPowerLayout = "device_power_switch";
constexpr std::string_view kLightBase = "zelko_light";
}  // namespace

const std::array<DeviceKindEntry, DeviceTables::kRows>& DeviceTables::Kinds() {
    static constexpr std::array<DeviceKindEntry, kRows> table = {{
        {kTabXml, kTabGroup, kPowerLayout, "mouse", 1, 0x320F, 0x221C, kKindMouse},
        {kTabXml, kTabGroup, kPowerLayout, "keyboard", 0, 0x320F, 0x5055, kKindKeyboard},
        {kTabXml, kTabGroup, kPowerLayout, "MousePad", 2, 0x320F, 0x1004, kKindMousePad},
        {kTabXml, kTabGroup, kPowerLayout, "HD", 3, 0x0C76, 0x1630, kKindHeadset},
    }};
    return table;
}

const std::array<DevicePageEntry, DeviceTables::kRows>& DeviceTables::Pages() {
    static constexpr std::array<DevicePageEntry, kRows> table = {{
        {15, 11, 1, "XML/DeviceXml/mousedevice.xml", kLightBase},
        {170, 170, 0, "XML/DeviceXml/keyboarddevice.xml", kLightBase},
        {15, 0, 0, "XML/DeviceXml/mousepaddevice.xml", kLightBase},
        {13, 0, 0, "XML/DeviceXml/hs6533device.xml", kLightBase},
    }};
    return table;
}

std::optional<int> DeviceTables::FindKindRow(uint16_t vendor, uint16_t product, uint16_t kind) {
    for (int row = 0; row < kRows; ++row) {
        const DeviceKindEntry& e = Kinds()[static_cast<size_t>(row)];
        if (e.vendorId == vendor && e.productId == product && e.deviceKind == kind) return row;
    }
    return std::nullopt;
}

std::optional<size_t> DeviceTables::CommandSlot(uint16_t vendor, uint16_t product, uint16_t kind) {
    const auto& table = SupportedInterfaces();
    for (size_t i = 0; i < table.size(); ++i) {
        const InterfaceSlot& s = table[i];
        if (s.vendorId == vendor && s.productId == product && s.deviceKind == kind && s.role == kCommandInterface)
            return i;
    }
    return std::nullopt;
}

}  // namespace lumora

#pragma once
// The device-kind table and the device-page table of the main window: one row per
// device page (mouse, keyboard, mouse pad, headset), in this order. A row's position
// is the page's tab index. Receivers (kinds 9 and 6) have no row of their own: they
// share the row of their wired device.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "hid/interface_slot.h"

namespace lumora {

struct DeviceKindEntry {
    std::string_view tabXml;
    std::string_view tabGroup;
    std::string_view powerLayout;
    std::string_view kindName;  // also the device's data-folder name
    int kindIndex;              // entry of the shared default-lighting file
    uint16_t vendorId;
    uint16_t productId;
    uint16_t deviceKind;
};

struct DevicePageEntry {
    int ledCount;
    int keyCount;
    int powerPanel;
    std::string_view pageXml;
    std::string_view lightFileBaseName;
};

class DeviceTables {
public:
    static constexpr int kRows = 4;
    static constexpr std::string_view kPowerPanelXml = "XML/CustomControlXML/MpDevicePower.xml";

    static const std::array<DeviceKindEntry, kRows>& Kinds();
    static const std::array<DevicePageEntry, kRows>& Pages();
    // The row with these values; nothing when there is none.
    static std::optional<int> FindKindRow(uint16_t vendor, uint16_t product, uint16_t kind);
    // The command row (role 0) of the supported-interface table with these values.
    static std::optional<size_t> CommandSlot(uint16_t vendor, uint16_t product, uint16_t kind);
};

}  // namespace lumora

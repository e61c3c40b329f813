#pragma once
// Plain records describing an open HID interface, shaped after the Windows HID
// structures the rest of the program was designed around.

#include <cstdint>
#include <string>
#include <vector>

namespace lumora {

// Status values as the Windows HID parser reports them.
constexpr uint32_t kHidpStatusSuccess = 0x00110000u;
constexpr uint32_t kHidpStatusNull = 0x80110001u;
constexpr uint32_t kHidpStatusInvalidReportLength = 0xC0110003u;
constexpr uint32_t kHidpStatusUsageNotFound = 0xC0110004u;
constexpr uint32_t kHidpStatusBadLogPhyValues = 0xC0110006u;
constexpr uint32_t kHidpStatusBufferTooSmall = 0xC0110007u;
constexpr uint32_t kHidpStatusIncompatibleReportId = 0xC0110010u;

constexpr uint32_t kInfinite = 0xFFFFFFFFu;

struct HidCaps {
    uint16_t usage = 0;
    uint16_t usage_page = 0;
    uint16_t input_report_byte_length = 0;
    uint16_t output_report_byte_length = 0;
    uint16_t feature_report_byte_length = 0;
    uint16_t number_link_collection_nodes = 0;
    uint16_t number_input_button_caps = 0;
    uint16_t number_input_value_caps = 0;
    uint16_t number_input_data_indices = 0;
    uint16_t number_output_button_caps = 0;
    uint16_t number_output_value_caps = 0;
    uint16_t number_output_data_indices = 0;
    uint16_t number_feature_button_caps = 0;
    uint16_t number_feature_value_caps = 0;
    uint16_t number_feature_data_indices = 0;
};

struct HidAttributes {
    uint16_t vendor_id = 0;
    uint16_t product_id = 0;
    uint16_t version_number = 0;
};

struct HidButtonCaps {
    uint16_t usage_page = 0;
    uint8_t report_id = 0;
    bool is_range = false;
    uint16_t usage_min = 0;
    uint16_t usage_max = 0;
};

struct HidValueCaps {
    uint16_t usage_page = 0;
    uint8_t report_id = 0;
    bool is_range = false;
    uint16_t usage_min = 0;
    uint16_t usage_max = 0;
    uint16_t bit_size = 0;
    uint16_t report_count = 0;
    int32_t logical_min = 0;
    int32_t logical_max = 0;
    int32_t physical_min = 0;
    int32_t physical_max = 0;
};

// One usage slot of one report type.
struct HidUsageData {
    bool is_button = false;
    uint16_t usage_page = 0;
    uint32_t status = kHidpStatusSuccess;
    uint32_t report_id = 0;
    bool is_data_set = false;
    // Button data.
    uint32_t usage_min = 0;
    uint32_t usage_max = 0;
    uint32_t max_usage_length = 0;
    std::vector<uint16_t> usages;  // max_usage_length entries
    // Value data.
    uint16_t usage = 0;
    uint32_t value = 0;
    int32_t scaled_value = 0;
};

// What a backend learns about the device behind an open node.
struct HidIdentity {
    uint16_t vendor_id = 0;
    uint16_t product_id = 0;
    uint16_t version_number = 0;
    int interface_number = -1;  // -1 when unknown
    std::string name;
};

}  // namespace lumora

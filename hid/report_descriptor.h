#pragma once
// Our own HID report-descriptor parser: top-level collections with their usages,
// report IDs, report byte lengths (including the report ID byte, as Windows counts
// them) and the data fields needed to unpack button and value usages.
// Hostile input is refused: every count, size and depth is bounded.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lumora {

enum class HidReportType : uint8_t { Input = 0, Output = 1, Feature = 2 };

// One non-constant main item (Input, Output or Feature).
struct HidField {
    HidReportType type = HidReportType::Input;
    uint8_t report_id = 0;       // 0 when the descriptor has no report IDs
    uint16_t usage_page = 0;
    bool is_array = false;       // the slots carry usage indices, not values
    bool is_button = false;      // arrays and 1-bit variables are buttons
    uint32_t bit_offset = 0;     // from the first data byte, after the report ID byte
    uint32_t bit_size = 0;
    uint32_t count = 0;
    int32_t logical_min = 0;
    int32_t logical_max = 0;
    int32_t physical_min = 0;
    int32_t physical_max = 0;
    bool is_range = false;
    uint16_t usage_min = 0;      // the range, or the first and last usage of the list
    uint16_t usage_max = 0;
    std::vector<uint16_t> usages;  // explicit usages (same page), empty for a range

    // Usage of slot i of a variable field, or of array index i.
    uint16_t UsageAt(uint32_t index) const;
    // Number of distinct usages the field can report.
    uint32_t UsageCount() const;
};

struct HidCollectionInfo {
    uint16_t usage_page = 0;
    uint16_t usage = 0;
    uint16_t link_collections = 1;  // this collection and the ones nested in it
    // Byte length per report type (input, output, feature) including the report ID byte;
    // 0 when the collection has no report of that type.
    std::array<uint16_t, 3> report_length{};
    std::vector<uint8_t> report_ids[3];  // report IDs used per type (0 when unnumbered)
    std::vector<HidField> fields;

    bool HasInputReportId(uint8_t id) const;
};

class ReportDescriptor {
public:
    // Limits: well above anything real hardware declares.
    static constexpr size_t kMaxDescriptorBytes = 4096;
    static constexpr int kMaxDepth = 16;
    static constexpr size_t kMaxCollections = 32;
    static constexpr size_t kMaxFields = 512;
    static constexpr uint32_t kMaxReportCount = 4096;
    static constexpr uint32_t kMaxReportSize = 32;
    static constexpr uint32_t kMaxReportBits = 4096 * 8;
    static constexpr size_t kMaxLocalUsages = 256;

    // False (with a reason) for a malformed or oversized descriptor; the previous
    // contents are cleared either way.
    bool Parse(const uint8_t* data, size_t size);
    bool Parse(const std::vector<uint8_t>& bytes) { return Parse(bytes.data(), bytes.size()); }

    const std::vector<HidCollectionInfo>& Collections() const { return collections_; }
    bool UsesReportIds() const { return uses_report_ids_; }
    const std::string& Error() const { return error_; }

private:
    bool Fail(size_t offset, const char* reason);

    std::vector<HidCollectionInfo> collections_;
    bool uses_report_ids_ = false;
    std::string error_;
};

}  // namespace lumora

#include "app/work_tool_record.h"

#include "app/device_tables.h"

namespace lumora {

std::array<std::uint8_t, WorkToolRecord::kSize> WorkToolRecord::Build() {
    std::array<std::uint8_t, kSize> record{};
    std::size_t at = 0;
    auto put = [&](std::uint32_t value) {
        for (int i = 0; i < 4; ++i) record[at++] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    for (std::uint32_t constant : {2u, 3u, 0u, 2u}) put(constant);
    put(static_cast<std::uint32_t>(DeviceTables::kRows));
    for (const DeviceKindEntry& row : DeviceTables::Kinds()) {
        put(row.vendorId);
        put(row.productId);
        put(row.deviceKind);
    }
    return record;
}

}  // namespace lumora

#pragma once
// Identity numbers carried in a device path ("...vid_320f&pid_5055&mi_01&col04").

#include <cstdint>
#include <string>
#include <string_view>

namespace lumora {

uint16_t PathVendorId(std::string_view path);
uint16_t PathProductId(std::string_view path);
uint16_t PathInterfaceNumber(std::string_view path);
uint16_t PathCollectionNumber(std::string_view path);

// Composes the suffix every backend appends to its node name; collection 0 means the
// interface has a single top-level collection and gets no "&col" marker.
std::string ComposePathSuffix(uint16_t vendor, uint16_t product, int interface_number, int collection);

}  // namespace lumora

#include "hid/hid_path.h"

#include <cctype>
#include <cstdio>

namespace lumora {
namespace {

// Case-insensitive search for the marker, then hexadecimal digits up to the first non-digit;
// the low 16 bits of the number, 0 when the marker is absent.
uint16_t HexAfter(std::string_view path, std::string_view marker) {
    if (path.size() < marker.size()) return 0;
    for (size_t i = 0; i + marker.size() <= path.size(); ++i) {
        bool match = true;
        for (size_t k = 0; k < marker.size(); ++k) {
            if (std::tolower(static_cast<unsigned char>(path[i + k])) != marker[k]) {
                match = false;
                break;
            }
        }
        if (!match) continue;
        uint32_t value = 0;
        for (size_t j = i + marker.size(); j < path.size(); ++j) {
            const int c = std::tolower(static_cast<unsigned char>(path[j]));
            int digit;
            if (c >= '0' && c <= '9') digit = c - '0';
            else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
            else break;
            value = ((value << 4) | static_cast<uint32_t>(digit)) & 0xFFFFFu;  // keep it bounded
        }
        return static_cast<uint16_t>(value & 0xFFFFu);
    }
    return 0;
}

}  // namespace

uint16_t PathVendorId(std::string_view path) { return HexAfter(path, "vid_"); }
uint16_t PathProductId(std::string_view path) { return HexAfter(path, "pid_"); }
uint16_t PathInterfaceNumber(std::string_view path) { return HexAfter(path, "&mi_"); }
uint16_t PathCollectionNumber(std::string_view path) { return HexAfter(path, "&col"); }

std::string ComposePathSuffix(uint16_t vendor, uint16_t product, int interface_number, int collection) {
    char text[64];
    if (collection > 0)
        std::snprintf(text, sizeof text, "#vid_%04x&pid_%04x&mi_%02x&col%02x", vendor, product,
                      interface_number & 0xFF, collection & 0xFF);
    else
        std::snprintf(text, sizeof text, "#vid_%04x&pid_%04x&mi_%02x", vendor, product, interface_number & 0xFF);
    return text;
}

}  // namespace lumora

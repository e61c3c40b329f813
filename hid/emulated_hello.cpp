#include "hid/emulated_hello.h"

#include <algorithm>
#include <cstring>

#include "hid/report_descriptor.h"

namespace lumora {

std::vector<uint8_t> EmulatedHello::Encode() const {
    std::vector<uint8_t> out{'L', 'H', 'I', 'D', 1};
    auto put16 = [&out](uint16_t v) {
        out.push_back(static_cast<uint8_t>(v & 0xFF));
        out.push_back(static_cast<uint8_t>(v >> 8));
    };
    put16(identity.vendor_id);
    put16(identity.product_id);
    put16(identity.version_number);
    out.push_back(static_cast<uint8_t>(std::clamp(identity.interface_number, 0, 255)));
    const size_t name_len = std::min<size_t>(identity.name.size(), 255);
    out.push_back(static_cast<uint8_t>(name_len));
    out.insert(out.end(), identity.name.begin(), identity.name.begin() + static_cast<std::ptrdiff_t>(name_len));
    const size_t desc_len = std::min(descriptor.size(), ReportDescriptor::kMaxDescriptorBytes);
    put16(static_cast<uint16_t>(desc_len));
    out.insert(out.end(), descriptor.begin(), descriptor.begin() + static_cast<std::ptrdiff_t>(desc_len));
    return out;
}

std::optional<EmulatedHello> EmulatedHello::Decode(const uint8_t* data, size_t size) {
    size_t pos = 0;
    auto need = [&](size_t n) { return data != nullptr && size - pos >= n && pos <= size; };
    auto get16 = [&]() {
        const uint16_t v = static_cast<uint16_t>(data[pos] | (data[pos + 1] << 8));
        pos += 2;
        return v;
    };
    if (!need(5) || std::memcmp(data, "LHID", 4) != 0 || data[4] != 1) return std::nullopt;
    pos = 5;
    if (!need(8)) return std::nullopt;
    EmulatedHello hello;
    hello.identity.vendor_id = get16();
    hello.identity.product_id = get16();
    hello.identity.version_number = get16();
    hello.identity.interface_number = data[pos++];
    const size_t name_len = data[pos++];
    if (!need(name_len)) return std::nullopt;
    hello.identity.name.assign(reinterpret_cast<const char*>(data + pos), name_len);
    pos += name_len;
    if (!need(2)) return std::nullopt;
    const size_t desc_len = get16();
    if (desc_len > ReportDescriptor::kMaxDescriptorBytes || !need(desc_len)) return std::nullopt;
    hello.descriptor.assign(data + pos, data + pos + desc_len);
    pos += desc_len;
    if (pos != size) return std::nullopt;
    return hello;
}

}  // namespace lumora

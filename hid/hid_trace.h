#pragma once
// Records every report in and out when LUMORA_HID_TRACE=<file> is set:
// "<monotonic ms> <path> W|R <hex bytes>", one line per report.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lumora {

class HidTrace {
public:
    static bool Enabled();
    static void Record(std::string_view path, char direction, const uint8_t* data, size_t size);
    // Re-reads LUMORA_HID_TRACE, or uses the given file (empty: off). For tests and start-up.
    static void Configure(const std::string& file);
    static void ConfigureFromEnvironment();
};

}  // namespace lumora

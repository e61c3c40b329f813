#pragma once
// A source of HID interfaces: the kernel's hidraw nodes, or the device emulator.
// Paths carry the vid_/pid_/&mi_/&col markers whatever the backend.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "hid/hid_connection.h"

namespace lumora {

class HidBackend {
public:
    virtual ~HidBackend() = default;
    // True when the path belongs to this backend.
    virtual bool Owns(std::string_view path) const = 0;
    // Appends one path per top-level collection of every present interface; false on failure.
    virtual bool Enumerate(std::vector<std::string>& paths) = 0;
    // Opens the node behind the path; null when it cannot be opened with that access.
    virtual std::unique_ptr<HidConnection> Open(std::string_view path, bool read, bool write) = 0;
    // The node is still there and still the same device.
    virtual bool IsPresent(std::string_view path) = 0;
};

}  // namespace lumora

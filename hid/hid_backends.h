#pragma once
// The process-wide list of HID backends that enumeration and opening consult.
// By default it holds the hidraw backend on the real /sys and /dev.

#include <memory>
#include <string_view>
#include <vector>

#include "hid/hid_backend.h"

namespace lumora {

class HidBackends {
public:
    static std::vector<std::shared_ptr<HidBackend>> All();
    static std::shared_ptr<HidBackend> For(std::string_view path);
    static void Add(std::shared_ptr<HidBackend> backend);
    static void Remove(const std::shared_ptr<HidBackend>& backend);
    // Replaces the whole list (tests: a fake sysfs tree, emulated devices only, ...).
    static void Set(std::vector<std::shared_ptr<HidBackend>> backends);
    static void ResetToDefault();
};

}  // namespace lumora

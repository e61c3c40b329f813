#pragma once
// Puts emulated devices where the HID layer looks for interfaces: owns an emulated
// backend, installs it in the process-wide backend list and takes it out again.

#include <memory>
#include <string>
#include <vector>

#include "hid/emulated_hid_backend.h"
#include "sim/sim_device.h"

namespace lumora {

class SimHost {
public:
    // `only`: the emulated devices replace every other backend while this host lives.
    explicit SimHost(bool only = true);
    ~SimHost();
    SimHost(const SimHost&) = delete;
    SimHost& operator=(const SimHost&) = delete;

    std::shared_ptr<SimDevice> Add(SimDevice::Config config);
    void Remove(const std::shared_ptr<SimDevice>& device);
    const std::vector<std::shared_ptr<SimDevice>>& Devices() const { return devices_; }

    // A device of the family on interface 1 with the command channel on collection 4.
    static SimDevice::Config CommandDevice(const std::string& name, uint16_t vendor = 0x320F,
                                           uint16_t product = 0x5055, bool behind_receiver = false);

private:
    bool only_;
    std::shared_ptr<EmulatedHidBackend> backend_;
    std::vector<std::shared_ptr<SimDevice>> devices_;
};

}  // namespace lumora

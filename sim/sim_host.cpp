#include "sim/sim_host.h"

#include <algorithm>

#include "hid/hid_backends.h"
#include "sim/sim_descriptors.h"

namespace lumora {

SimHost::SimHost(bool only) : only_(only), backend_(std::make_shared<EmulatedHidBackend>()) {
    if (only_) HidBackends::Set({backend_});
    else HidBackends::Add(backend_);
}

SimHost::~SimHost() {
    if (only_) HidBackends::ResetToDefault();
    else HidBackends::Remove(backend_);
    for (auto& d : devices_) d->Unplug();
}

std::shared_ptr<SimDevice> SimHost::Add(SimDevice::Config config) {
    auto device = std::make_shared<SimDevice>(std::move(config));
    backend_->AddEndpoint(device);
    devices_.push_back(device);
    return device;
}

void SimHost::Remove(const std::shared_ptr<SimDevice>& device) {
    device->Unplug();
    backend_->RemoveEndpoint(device);
    devices_.erase(std::remove(devices_.begin(), devices_.end(), device), devices_.end());
}

SimDevice::Config SimHost::CommandDevice(const std::string& name, uint16_t vendor, uint16_t product,
                                         bool behind_receiver) {
    SimDevice::Config config;
    config.node = "sim:" + name;
    config.identity.vendor_id = vendor;
    config.identity.product_id = product;
    config.identity.version_number = 0x0102;
    config.identity.interface_number = 1;
    config.identity.name = name;
    config.descriptor = SimDescriptors::CommandInterface();
    config.behind_receiver = behind_receiver;
    return config;
}

}  // namespace lumora

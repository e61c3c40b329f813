#include "hid/discovery_thread.h"

#include "hid/hid_device.h"
#include "hid/hid_path.h"
#include "platform/logger.h"

namespace lumora {

DiscoveryThread::DiscoveryThread(InterfaceSlots& slots, DiscoverySink& sink) : slots_(slots), sink_(sink) {}

DiscoveryThread::~DiscoveryThread() { Stop(); }

bool DiscoveryThread::Start() {
    return worker_.Start([this](const StopEvent& stop) { Body(stop); });
}

void DiscoveryThread::Stop() { worker_.Stop(); }

void DiscoveryThread::Body(const StopEvent& stop) {
    for (;;) {
        if (stop.Wait(std::chrono::milliseconds(1))) {
            LOG_DEBUG("discovery", "抓取设备线程设定退出");
            return;
        }
        if (!Pass()) {
            LOG_ERROR("discovery", "HID enumeration failed; device discovery stopped");
            return;
        }
        if (stop.Wait(kPeriod)) {
            LOG_DEBUG("discovery", "抓取设备线程设定退出");
            return;
        }
    }
}

bool DiscoveryThread::Pass() {
    if (slots_.AnyFree()) {
        HidDevice scanner;
        if (!scanner.EnumeratePaths()) return false;
        while (const char* raw = scanner.NextPath()) {
            const std::string path = raw;
            const uint16_t vendor = PathVendorId(path), product = PathProductId(path);
            const uint16_t interface_number = PathInterfaceNumber(path), collection = PathCollectionNumber(path);
            if (!slots_.Wanted(vendor, product, interface_number, collection)) continue;
            HidDevice probe;
            if (!probe.Open(path, true, false, true, false)) continue;  // tried again next pass
            InterfaceSlot identity;
            identity.vendorId = probe.Attributes().vendor_id;
            identity.productId = probe.Attributes().product_id;
            identity.interfaceNumber = interface_number;
            identity.collectionNumber = collection;
            identity.usagePage = probe.Caps().usage_page;
            identity.usage = probe.Caps().usage;
            probe.Close();
            if (auto slot = slots_.Claim(identity, path)) sink_.DeviceArrived(*slot);
        }
        if (!first_pass_reported_) {
            first_pass_reported_ = true;
            sink_.FirstPassDone();
        }
        scanner.FreePaths();
    } else if (!first_pass_reported_) {
        first_pass_reported_ = true;
        sink_.FirstPassDone();
    }
    for (const auto& [index, path] : slots_.Connected()) {
        if (HidDevice::IsPathPresent(path)) continue;
        slots_.Free(index);
        sink_.DeviceRemoved(index);
    }
    return true;
}

}  // namespace lumora

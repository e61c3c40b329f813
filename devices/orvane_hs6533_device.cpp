#include "devices/orvane_hs6533_device.h"

namespace lumora {

COrvaneHS6533Device::COrvaneHS6533Device() { AttachProfileData(&profile_); }

COrvaneHS6533Device::~COrvaneHS6533Device() { StopWorkers(); }

std::string_view COrvaneHS6533Device::GetClass() const { return "OrvaneHS6533Device"; }

bool COrvaneHS6533Device::IsA(std::string_view kind) const {
    return UiText::EqualsNoCase(kind, "OrvaneHS6533Device") || COrvaneUSBDevice::IsA(kind);
}

void COrvaneHS6533Device::SetKindIndex(int index) {
    COrvaneUSBDevice::SetKindIndex(index);
    profile_.SetEntryIndex(0);
}

void COrvaneHS6533Device::SetLightSettings(const LightInfo& settings) {
    COrvaneUSBDevice::SetLightSettings(settings);
    profile_.SetLightInfo(settings);
}

}  // namespace lumora

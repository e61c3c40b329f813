#include "devices/orvane_mouse_device.h"

namespace lumora {

COrvaneMouseDevice::COrvaneMouseDevice() { AttachProfileData(&profile_); }

COrvaneMouseDevice::~COrvaneMouseDevice() { StopWorkers(); }

std::string_view COrvaneMouseDevice::GetClass() const { return "OrvaneMouseDevice"; }

bool COrvaneMouseDevice::IsA(std::string_view kind) const {
    return UiText::EqualsNoCase(kind, "OrvaneMouseDevice") || COrvaneUSBDevice::IsA(kind);
}

void COrvaneMouseDevice::SetKindIndex(int index) {
    COrvaneUSBDevice::SetKindIndex(index);
    profile_.SetEntryIndex(0);
}

void COrvaneMouseDevice::SetLightSettings(const LightInfo& settings) {
    COrvaneUSBDevice::SetLightSettings(settings);
    profile_.SetLightInfo(settings);
}

}  // namespace lumora

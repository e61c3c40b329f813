#include "devices/orvane_mouse_pad_device.h"

namespace lumora {

COrvaneMousePadDevice::COrvaneMousePadDevice() { AttachProfileData(&profile_); }

COrvaneMousePadDevice::~COrvaneMousePadDevice() { StopWorkers(); }

std::string_view COrvaneMousePadDevice::GetClass() const { return "OrvaneMousePadDevice"; }

bool COrvaneMousePadDevice::IsA(std::string_view kind) const {
    return UiText::EqualsNoCase(kind, "OrvaneMousePadDevice") || COrvaneUSBDevice::IsA(kind);
}

void COrvaneMousePadDevice::SetKindIndex(int index) {
    COrvaneUSBDevice::SetKindIndex(index);
    profile_.SetEntryIndex(0);
}

void COrvaneMousePadDevice::SetLightSettings(const LightInfo& settings) {
    COrvaneUSBDevice::SetLightSettings(settings);
    profile_.SetLightInfo(settings);
}

}  // namespace lumora

#include "devices/orvane_keyboard_device.h"

namespace lumora {

COrvaneKeyboardDevice::COrvaneKeyboardDevice() { AttachProfileData(&profile_); }

COrvaneKeyboardDevice::~COrvaneKeyboardDevice() { StopWorkers(); }

std::string_view COrvaneKeyboardDevice::GetClass() const { return "OrvaneKeyboardDevice"; }

bool COrvaneKeyboardDevice::IsA(std::string_view kind) const {
    return UiText::EqualsNoCase(kind, "OrvaneKeyboardDevice") || COrvaneUSBDevice::IsA(kind);
}

void COrvaneKeyboardDevice::SetKindIndex(int index) {
    COrvaneUSBDevice::SetKindIndex(index);
    profile_.SetEntryIndex(0);
}

void COrvaneKeyboardDevice::SetLightSettings(const LightInfo& settings) {
    COrvaneUSBDevice::SetLightSettings(settings);
    profile_.SetLightInfo(settings);
}

}  // namespace lumora

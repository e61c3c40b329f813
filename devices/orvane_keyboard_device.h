#pragma once
// The keyboard's page (key and light buttons for every key index, 170 LEDs). Only the
// base behaviour so far: the keyboard protocol replaces the base operations it names.

#include "devices/orvane_usb_device.h"
#include "profiles/keyboard_profiledata.h"

namespace lumora {

class COrvaneKeyboardDevice : public COrvaneUSBDevice {
public:
    COrvaneKeyboardDevice();
    // Stops the workers while the whole object still stands.
    ~COrvaneKeyboardDevice() override;

    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;

    // As the base, and the profile data starts again at its first entry.
    void SetKindIndex(int index) override;
    // As the base, and the profile data keeps the settings too.
    void SetLightSettings(const LightInfo& settings) override;

    CKeyboardProfiledata& Profile() { return profile_; }

private:
    CKeyboardProfiledata profile_;
};

}  // namespace lumora

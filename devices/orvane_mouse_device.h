#pragma once
// The mouse's page (11 buttons, 15 LEDs, a power panel). Only the base behaviour so far:
// the mouse protocol replaces the base operations it names.

#include "devices/orvane_usb_device.h"
#include "profiles/mouse_profiledata.h"

namespace lumora {

class COrvaneMouseDevice : public COrvaneUSBDevice {
public:
    COrvaneMouseDevice();
    // Stops the workers while the whole object still stands.
    ~COrvaneMouseDevice() override;

    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;

    // As the base, and the profile data starts again at its first entry.
    void SetKindIndex(int index) override;
    // As the base, and the profile data keeps the settings too.
    void SetLightSettings(const LightInfo& settings) override;

    CMouseProfiledata& Profile() { return profile_; }

private:
    CMouseProfiledata profile_;
};

}  // namespace lumora

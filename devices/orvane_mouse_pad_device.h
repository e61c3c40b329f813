#pragma once
// The lighted mouse pad's page (15 LEDs, no keys). Only the base behaviour so far: the
// pad's protocol replaces the base operations it names.

#include "devices/orvane_usb_device.h"
#include "profiles/basic_profiledata.h"

namespace lumora {

class COrvaneMousePadDevice : public COrvaneUSBDevice {
public:
    COrvaneMousePadDevice();
    // Stops the workers while the whole object still stands.
    ~COrvaneMousePadDevice() override;

    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;

    // As the base, and the profile data starts again at its first entry.
    void SetKindIndex(int index) override;
    // As the base, and the profile data keeps the settings too.
    void SetLightSettings(const LightInfo& settings) override;

    CBasicProfiledata& Profile() { return profile_; }

private:
    CBasicProfiledata profile_;
};

}  // namespace lumora

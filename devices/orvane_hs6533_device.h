#pragma once
// The headset's page (13 ear-cup LEDs). Only the base behaviour so far: the headset's
// protocol and audio library replace the base operations they name.

#include "devices/orvane_usb_device.h"
#include "profiles/hs6533_profiledata.h"

namespace lumora {

class COrvaneHS6533Device : public COrvaneUSBDevice {
public:
    COrvaneHS6533Device();
    // Stops the workers while the whole object still stands.
    ~COrvaneHS6533Device() override;

    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;

    // As the base, and the profile data starts again at its first entry.
    void SetKindIndex(int index) override;
    // As the base, and the profile data keeps the settings too.
    void SetLightSettings(const LightInfo& settings) override;

    CHs6533Profiledata& Profile() { return profile_; }

private:
    CHs6533Profiledata profile_;
};

}  // namespace lumora

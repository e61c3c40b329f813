#pragma once
// What a device page needs of its lighting panel (the control "LightControlItem" of the
// page). The panel lives in a higher layer and implements this; the page finds it by
// name and reaches it only through this interface.

#include "profiles/profile_records.h"

namespace lumora {

class ILightingPanel {
public:
    virtual ~ILightingPanel() = default;
    // Shows the audio-lighting record (colours, style, rainbow flag).
    virtual void ShowAudioLightSettings(const AudioLightInfo& info) = 0;
    // The record as the panel's controls show it; `take_swatch` also takes the swatch colour.
    virtual AudioLightInfo ReadAudioLightSettings(bool take_swatch) = 0;
};

}  // namespace lumora

#pragma once
// Report descriptors of the emulated interfaces, as the real devices declare them.

#include <cstdint>
#include <vector>

namespace lumora {

class SimDescriptors {
public:
    // Interface 1 of the 0x320F devices: keyboard (ID 1), system control (ID 2),
    // consumer events (ID 3, collection 3) and the vendor command channel (ID 4, collection 4).
    static std::vector<uint8_t> CommandInterface();
    // The headset's single collection (consumer control, as the audio chip declares it):
    // commands (ID 4, 64 bytes) and ear-cup light output reports (ID 0xFF, 17 bytes).
    static std::vector<uint8_t> HeadsetInterface();
    // A plain boot keyboard, without report IDs.
    static std::vector<uint8_t> BootKeyboard();
};

}  // namespace lumora

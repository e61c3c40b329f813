#include "hid/interface_slot.h"

namespace lumora {

const std::array<InterfaceSlot, kSupportedInterfaceCount>& SupportedInterfaces() {
    static const std::array<InterfaceSlot, kSupportedInterfaceCount> table = {{
        {0x320F, 0x5055, 1, 4, kKindKeyboard, kCommandInterface, 0, 0xFF1C, 0x92, 1, 2, {}},
        {0x320F, 0x5055, 1, 3, kKindKeyboard, kEventInterface, 0, 0x000C, 0x01, 1, 3, {}},
        {0x320F, 0x5001, 1, 4, kKindKeyboardReceiver, kCommandInterface, 0, 0xFF1C, 0x92, 1, 0, {}},
        {0x320F, 0x5001, 1, 3, kKindKeyboardReceiver, kEventInterface, 0, 0x000C, 0x01, 1, 1, {}},
        {0x320F, 0x221C, 1, 4, kKindMouse, kCommandInterface, 0, 0xFF1C, 0x92, 1, 6, {}},
        {0x320F, 0x221C, 1, 3, kKindMouse, kEventInterface, 0, 0x000C, 0x01, 1, 7, {}},
        {0x320F, 0x221D, 1, 4, kKindMouseReceiver, kCommandInterface, 0, 0xFF1C, 0x92, 1, 4, {}},
        {0x320F, 0x221D, 1, 3, kKindMouseReceiver, kEventInterface, 0, 0x000C, 0x01, 1, 5, {}},
        {0x320F, 0x1004, 1, 4, kKindMousePad, kCommandInterface, 0, 0xFF1C, 0x92, 0, 0, {}},
        {0x320F, 0x1004, 1, 3, kKindMousePad, kEventInterface, 0, 0x000C, 0x01, 0, 0, {}},
        {0x0C76, 0x1630, 3, 0, kKindHeadset, kCommandInterface, 0, 0x000C, 0x01, 0, 0, {}},
    }};
    return table;
}

}  // namespace lumora

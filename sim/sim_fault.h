#pragma once
// A misbehaviour the emulated device shows on demand, on the n-th command from now.

#include <cstdint>

namespace lumora {

struct SimFault {
    enum class Kind {
        StatusFF,     // reply carries status 0xFF
        StatusFE,     // reply carries status 0xFE
        NoReply,      // the command is swallowed
        WrongReply,   // `count` replies for another command come first, then the real one
        LateReply,    // the reply comes `delay_ms` late
        LinkDown,     // the receiver answers 0xAA instead
        Unplug,       // the device is pulled out when the command arrives
    };
    Kind kind = Kind::StatusFF;
    uint32_t at_command = 1;  // 1 = the next command
    uint32_t delay_ms = 0;
    uint32_t count = 1;
};

}  // namespace lumora

#pragma once
// What an emulated device offers the HID layer: its hello record and new channels.
// A channel is our end of a SOCK_SEQPACKET socket pair: the device sends its hello
// first, then one packet per input report; each packet we send is one output report.

#include <cstdint>
#include <string>
#include <vector>

namespace lumora {

class EmulatedHidEndpoint {
public:
    virtual ~EmulatedHidEndpoint() = default;
    // Unique node name, "sim:<something>" (no '#').
    virtual std::string Node() const = 0;
    // The encoded hello record (see EmulatedHello).
    virtual std::vector<uint8_t> Hello() const = 0;
    // A new channel, or -1 while the device is unplugged.
    virtual int Connect() = 0;
    virtual bool Plugged() const = 0;
    // Some interfaces refuse writers (as a node the user may only read would).
    virtual bool Writable() const { return true; }
};

}  // namespace lumora

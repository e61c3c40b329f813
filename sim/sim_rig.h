#pragma once
// The emulated devices of the demo and the tests, by name: "keyboard",
// "keyboard-receiver", "mouse", "mouse-receiver", "mousepad", "headset". Each is one
// SimDevice with the real identity of its supported interface (node "sim:<name>"):
// the 0x320F devices on interface 1 with events on collection 3 and commands on
// collection 4, the headset 0x0C76:0x1630 on interface 3 with one collection.
//
// A device and its receiver share the device's firmware model; the device's events go
// out on its cable interface while that is plugged, otherwise through the receiver
// while the receiver is plugged and the link is up, otherwise nowhere.
//
// All methods may be called from any thread.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "sim/headset_model.h"
#include "sim/keyboard_model.h"
#include "sim/mouse_model.h"
#include "sim/mouse_pad_model.h"
#include "sim/receiver_model.h"
#include "sim/sim_device.h"
#include "sim/sim_fault.h"
#include "sim/sim_host.h"

namespace lumora {

class SimRig {
public:
    struct CommandResult {
        int status = 0;  // kOk, kFailed or kUsage
        std::string text;
    };
    static constexpr int kOk = 0;
    static constexpr int kFailed = 1;  // a known command that could not be done
    static constexpr int kUsage = 2;   // unknown command, device or argument

    // `pacing`: model the full-speed link (one report per ms each way); tests switch it off.
    // `only`: the emulated devices replace every other HID backend while the rig lives.
    explicit SimRig(bool pacing = true, bool only = true);
    ~SimRig();
    SimRig(const SimRig&) = delete;
    SimRig& operator=(const SimRig&) = delete;

    // The six device names, in this order.
    static const std::vector<std::string>& Names();
    // Splits "keyboard,mouse" (empty: all six); false with a message for an unknown name.
    static bool ParseDeviceList(std::string_view list, std::vector<std::string>* names, std::string* error);

    // Creates the named devices, plugged in; already created ones stay as they are.
    // False (and nothing created) when a name is unknown.
    bool Create(const std::vector<std::string>& names, std::string* error = nullptr);
    void CreateAll();
    std::vector<std::string> Created() const;
    // Null for an unknown or not yet created device.
    std::shared_ptr<SimDevice> Device(const std::string& name) const;

    bool Plug(const std::string& name, std::string* error = nullptr);
    bool Unplug(const std::string& name, std::string* error = nullptr);
    // Sends a consumer event with this usage on the device's own event collection.
    bool InjectEvent(const std::string& name, uint16_t usage, std::string* error = nullptr);
    bool InjectFault(const std::string& name, const SimFault& fault, std::string* error = nullptr);
    // The radio link of a receiver (named by itself or by its device): down = device asleep or off.
    bool SetLink(const std::string& name, bool up, std::string* error = nullptr);
    void SetPacing(bool on);
    // Readable state: identity, paths, plugged, link, commands seen, memory regions in hex.
    std::string Dump(const std::string& name) const;

    // One command of `lumora-ctl sim …` (a leading "sim" is allowed):
    //   plug DEVICE | unplug DEVICE
    //   event DEVICE USAGE            USAGE 1..0xFFFF, decimal or 0x-hex, on DEVICE's own interface
    //   event DEVICE ACTION [ARG]     keyboard: profile|light|reset; mouse: profile|dpi|click;
    //                                 mousepad: light|phone [0-3]; a receiver: its device's actions
    //   fault DEVICE KIND [at=N] [delay=MS] [count=N]
    //                                 KIND: status-ff|status-fe|no-reply|wrong-reply|late-reply|
    //                                       link-down|unplug|clear
    //   link DEVICE up|down | dump DEVICE | list | help
    CommandResult Execute(const std::vector<std::string>& args);

    // The firmware models (they exist whether or not their interfaces were created).
    const std::shared_ptr<KeyboardModel>& Keyboard() const { return keyboard_; }
    const std::shared_ptr<MouseModel>& Mouse() const { return mouse_; }
    const std::shared_ptr<MousePadModel>& MousePad() const { return pad_; }
    const std::shared_ptr<HeadsetModel>& Headset() const { return headset_; }
    const std::shared_ptr<ReceiverModel>& KeyboardReceiver() const { return keyboard_receiver_; }
    const std::shared_ptr<ReceiverModel>& MouseReceiver() const { return mouse_receiver_; }

private:
    // Where a physical device's events go; shared with its model's event sink.
    struct Route {
        std::mutex mutex;
        std::shared_ptr<SimDevice> cable;
        std::shared_ptr<SimDevice> receiver;
        std::shared_ptr<ReceiverModel> link;
        bool Deliver(const std::vector<uint8_t>& report);
    };
    struct Spec {
        const char* name;
        uint16_t vendor;
        uint16_t product;
        int interface_number;
        bool single_collection;  // the headset: commands and lights on one collection, no events
        bool receiver;
        size_t device;  // its physical device: index of routes_
        const char* product_name;
    };
    static const Spec kSpecs[];
    static const size_t kSpecCount;
    struct Entry {
        const Spec* spec = nullptr;
        std::shared_ptr<SimDevice> device;
    };

    static const Spec* FindSpec(std::string_view name);
    // The created entry, or null with a message.
    Entry* FindLocked(const std::string& name, std::string* error);
    const Entry* FindLocked(const std::string& name, std::string* error) const;
    std::shared_ptr<FirmwareModel> ModelOf(const Spec& spec) const;
    FirmwareModel& DeviceModelOf(const Spec& spec) const;
    std::shared_ptr<ReceiverModel> ReceiverOf(const Spec& spec) const;
    std::string DumpLocked(const Entry& entry) const;
    CommandResult EventCommand(const Entry& entry, const std::vector<std::string>& args);
    CommandResult FaultCommand(const Entry& entry, const std::vector<std::string>& args);

    const std::shared_ptr<KeyboardModel> keyboard_;
    const std::shared_ptr<MouseModel> mouse_;
    const std::shared_ptr<MousePadModel> pad_;
    const std::shared_ptr<HeadsetModel> headset_;
    const std::shared_ptr<ReceiverModel> keyboard_receiver_;
    const std::shared_ptr<ReceiverModel> mouse_receiver_;
    std::vector<std::shared_ptr<FirmwareModel>> device_models_;  // keyboard, mouse, mousepad, headset
    std::vector<std::shared_ptr<Route>> routes_;                 // the same order

    mutable std::mutex mutex_;  // before a route's lock, a model's and a device's
    bool pacing_;
    SimHost host_;
    std::map<std::string, Entry> entries_;  // created devices
};

}  // namespace lumora

#include "sim/sim_rig.h"

#include <charconv>
#include <cstdio>

#include "hid/hid_path.h"
#include "platform/logger.h"
#include "sim/sim_descriptors.h"

namespace lumora {
namespace {

constexpr size_t kKeyboard = 0, kMouse = 1, kPad = 2, kHeadset = 3;  // index of device_models_ and routes_
constexpr uint16_t kVersion = 0x0102;
constexpr uint32_t kMaxDelayMs = 60000;
constexpr uint32_t kMaxCount = 100;

const char* const kHelp =
    "sim plug DEVICE | sim unplug DEVICE\n"
    "sim event DEVICE USAGE            (1..0xffff on DEVICE's own event collection)\n"
    "sim event DEVICE ACTION [ARG]     keyboard: profile|light|reset  mouse: profile|dpi|click\n"
    "                                  mousepad: light|phone [0-3]  receivers: their device's actions\n"
    "sim fault DEVICE KIND [at=N] [delay=MS] [count=N]\n"
    "                                  KIND: status-ff|status-fe|no-reply|wrong-reply|late-reply|link-down|"
    "unplug|clear\n"
    "sim link DEVICE up|down | sim dump DEVICE | sim list\n"
    "DEVICE: keyboard, keyboard-receiver, mouse, mouse-receiver, mousepad, headset\n";

// Decimal or 0x-hexadecimal, the whole text, at most `max`.
bool ParseNumber(std::string_view text, uint32_t max, uint32_t* value) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    if (text.empty()) return false;
    uint32_t v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, base);
    if (ec != std::errc() || end != text.data() + text.size() || v > max) return false;
    *value = v;
    return true;
}

std::string Hex4(uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04x", value);
    return text;
}

SimRig::CommandResult Result(int status, std::string text) { return {status, std::move(text)}; }

}  // namespace

const SimRig::Spec SimRig::kSpecs[] = {
    {"keyboard", 0x320F, 0x5055, 1, false, false, kKeyboard, "Orvane K1 RGB Keyboard"},
    {"keyboard-receiver", 0x320F, 0x5001, 1, false, true, kKeyboard, "Orvane K1 2.4G Receiver"},
    {"mouse", 0x320F, 0x221C, 1, false, false, kMouse, "Orvane M1 Wireless Mouse"},
    {"mouse-receiver", 0x320F, 0x221D, 1, false, true, kMouse, "Orvane M1 2.4G Receiver"},
    {"mousepad", 0x320F, 0x1004, 1, false, false, kPad, "Orvane P1 Charge Mouse Pad"},
    {"headset", 0x0C76, 0x1630, 3, true, false, kHeadset, "Orvane H1 7.1 Headset"},
};
const size_t SimRig::kSpecCount = sizeof(kSpecs) / sizeof(kSpecs[0]);

bool SimRig::Route::Deliver(const std::vector<uint8_t>& report) {
    std::lock_guard lock(mutex);
    if (cable && cable->Plugged()) {
        cable->SendInputReport(report);
        return true;
    }
    if (receiver && receiver->Plugged() && link && link->LinkUp()) {
        receiver->SendInputReport(report);
        return true;
    }
    return false;
}

SimRig::SimRig(bool pacing, bool only)
    : keyboard_(std::make_shared<KeyboardModel>()),
      mouse_(std::make_shared<MouseModel>()),
      pad_(std::make_shared<MousePadModel>()),
      headset_(std::make_shared<HeadsetModel>()),
      keyboard_receiver_(std::make_shared<ReceiverModel>(keyboard_)),
      mouse_receiver_(std::make_shared<ReceiverModel>(mouse_)),
      pacing_(pacing),
      host_(only) {
    device_models_ = {keyboard_, mouse_, pad_, headset_};
    for (size_t i = 0; i < device_models_.size(); ++i) {
        auto route = std::make_shared<Route>();
        if (i == kKeyboard) route->link = keyboard_receiver_;
        if (i == kMouse) route->link = mouse_receiver_;
        device_models_[i]->SetEventSink([route](const std::vector<uint8_t>& report) { return route->Deliver(report); });
        routes_.push_back(std::move(route));
    }
}

SimRig::~SimRig() {
    // The sinks hold the routes, the routes the devices, the devices the models: break the ring.
    for (const auto& model : device_models_) model->SetEventSink(nullptr);
    for (auto& route : routes_) {
        std::lock_guard lock(route->mutex);
        route->cable.reset();
        route->receiver.reset();
    }
    std::lock_guard lock(mutex_);
    entries_.clear();  // the host unplugs the devices and ends their threads
}

const std::vector<std::string>& SimRig::Names() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> v;
        for (size_t i = 0; i < kSpecCount; ++i) v.emplace_back(kSpecs[i].name);
        return v;
    }();
    return names;
}

const SimRig::Spec* SimRig::FindSpec(std::string_view name) {
    for (size_t i = 0; i < kSpecCount; ++i)
        if (name == kSpecs[i].name) return &kSpecs[i];
    return nullptr;
}

bool SimRig::ParseDeviceList(std::string_view list, std::vector<std::string>* names, std::string* error) {
    std::vector<std::string> out;
    if (list.empty()) {
        out = Names();
    } else {
        while (true) {
            const size_t comma = list.find(',');
            const std::string_view name = list.substr(0, comma);
            if (!FindSpec(name)) {
                if (error) *error = "unknown device '" + std::string(name) + "'";
                return false;
            }
            out.emplace_back(name);
            if (comma == std::string_view::npos) break;
            list.remove_prefix(comma + 1);
        }
    }
    if (names) *names = std::move(out);
    return true;
}

std::shared_ptr<FirmwareModel> SimRig::ModelOf(const Spec& spec) const {
    if (spec.receiver) return ReceiverOf(spec);
    return device_models_.at(spec.device);
}

FirmwareModel& SimRig::DeviceModelOf(const Spec& spec) const { return *device_models_.at(spec.device); }

std::shared_ptr<ReceiverModel> SimRig::ReceiverOf(const Spec& spec) const {
    if (spec.device == kKeyboard) return keyboard_receiver_;
    if (spec.device == kMouse) return mouse_receiver_;
    return nullptr;
}

bool SimRig::Create(const std::vector<std::string>& names, std::string* error) {
    for (const auto& name : names)
        if (!FindSpec(name)) {
            if (error) *error = "unknown device '" + name + "'";
            return false;
        }
    std::lock_guard lock(mutex_);
    for (const auto& name : names) {
        if (entries_.count(name)) continue;
        const Spec& spec = *FindSpec(name);
        SimDevice::Config config;
        config.node = "sim:" + name;
        config.identity.vendor_id = spec.vendor;
        config.identity.product_id = spec.product;
        config.identity.version_number = kVersion;
        config.identity.interface_number = spec.interface_number;
        config.identity.name = spec.product_name;
        config.descriptor = spec.single_collection ? SimDescriptors::HeadsetInterface()
                                                   : SimDescriptors::CommandInterface();
        config.pacing = pacing_;
        config.model = ModelOf(spec);
        auto device = host_.Add(std::move(config));
        {
            Route& route = *routes_[spec.device];
            std::lock_guard route_lock(route.mutex);
            (spec.receiver ? route.receiver : route.cable) = device;
        }
        if (!spec.receiver) DeviceModelOf(spec).SetCableAttached(true);
        entries_[name] = Entry{&spec, std::move(device)};
        LOG_INFO("sim", "emulated %s plugged in", name.c_str());
    }
    return true;
}

void SimRig::CreateAll() { Create(Names()); }

std::vector<std::string> SimRig::Created() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> out;
    for (const auto& name : Names())
        if (entries_.count(name)) out.push_back(name);
    return out;
}

std::shared_ptr<SimDevice> SimRig::Device(const std::string& name) const {
    std::lock_guard lock(mutex_);
    const auto it = entries_.find(name);
    return it == entries_.end() ? nullptr : it->second.device;
}

SimRig::Entry* SimRig::FindLocked(const std::string& name, std::string* error) {
    return const_cast<Entry*>(static_cast<const SimRig*>(this)->FindLocked(name, error));
}

const SimRig::Entry* SimRig::FindLocked(const std::string& name, std::string* error) const {
    const auto it = entries_.find(name);
    if (it != entries_.end()) return &it->second;
    if (error) {
        if (FindSpec(name)) *error = name + " is not part of this demo";
        else
            *error = "unknown device '" + name +
                     "' (keyboard, keyboard-receiver, mouse, mouse-receiver, mousepad, headset)";
    }
    return nullptr;
}

bool SimRig::Plug(const std::string& name, std::string* error) {
    std::lock_guard lock(mutex_);
    Entry* entry = FindLocked(name, error);
    if (!entry) return false;
    entry->device->Plug();
    if (!entry->spec->receiver) DeviceModelOf(*entry->spec).SetCableAttached(true);
    return true;
}

bool SimRig::Unplug(const std::string& name, std::string* error) {
    std::lock_guard lock(mutex_);
    Entry* entry = FindLocked(name, error);
    if (!entry) return false;
    entry->device->Unplug();
    if (!entry->spec->receiver) DeviceModelOf(*entry->spec).SetCableAttached(false);
    return true;
}

bool SimRig::InjectEvent(const std::string& name, uint16_t usage, std::string* error) {
    std::lock_guard lock(mutex_);
    const Entry* entry = FindLocked(name, error);
    if (!entry) return false;
    if (entry->spec->single_collection) {
        if (error) *error = name + " has no event collection";
        return false;
    }
    if (!entry->device->Plugged()) {
        if (error) *error = name + " is unplugged";
        return false;
    }
    entry->device->SendInputReport({FirmwareModel::kEventReportId, static_cast<uint8_t>(usage & 0xFF),
                                    static_cast<uint8_t>(usage >> 8)});
    return true;
}

bool SimRig::InjectFault(const std::string& name, const SimFault& fault, std::string* error) {
    std::lock_guard lock(mutex_);
    const Entry* entry = FindLocked(name, error);
    if (!entry) return false;
    entry->device->InjectFault(fault);
    return true;
}

bool SimRig::SetLink(const std::string& name, bool up, std::string* error) {
    std::lock_guard lock(mutex_);
    const Entry* entry = FindLocked(name, error);
    if (!entry) return false;
    const auto receiver = ReceiverOf(*entry->spec);
    if (!receiver) {
        if (error) *error = name + " has no wireless link";
        return false;
    }
    receiver->SetLinkUp(up);
    return true;
}

void SimRig::SetPacing(bool on) {
    std::lock_guard lock(mutex_);
    pacing_ = on;
    for (auto& [name, entry] : entries_) entry.device->SetPacing(on);
}

std::string SimRig::Dump(const std::string& name) const {
    std::lock_guard lock(mutex_);
    std::string error;
    const Entry* entry = FindLocked(name, &error);
    return entry ? DumpLocked(*entry) : error + "\n";
}

std::string SimRig::DumpLocked(const Entry& entry) const {
    const Spec& spec = *entry.spec;
    const SimDevice& device = *entry.device;
    std::string out;
    char line[256];
    std::snprintf(line, sizeof line,
                  "%s (%s)\nidentity: vendor 0x%04x product 0x%04x interface %d version 0x%04x \"%s\"\n", spec.name,
                  device.Node().c_str(), spec.vendor, spec.product, spec.interface_number, kVersion, spec.product_name);
    out += line;
    auto path = [&](int collection) {
        return device.Node() + ComposePathSuffix(spec.vendor, spec.product, spec.interface_number, collection) + "\n";
    };
    if (spec.single_collection) {
        out += "path: " + path(0);
    } else {
        out += "events: " + path(3);
        out += "commands: " + path(4);
    }
    std::snprintf(line, sizeof line, "plugged: %s, open channels: %zu, pacing: %s\n", device.Plugged() ? "yes" : "no",
                  device.OpenChannels(), device.Pacing() ? "on" : "off");
    out += line;
    if (const auto receiver = ReceiverOf(spec))
        out += std::string(spec.receiver ? "link: " : "receiver link: ") + (receiver->LinkUp() ? "up" : "down") + "\n";
    std::snprintf(line, sizeof line, "commands seen: %u\n", device.CommandsSeen());
    out += line;
    out += spec.receiver ? DeviceModelOf(spec).Describe() : device.ModelPtr()->Describe();
    return out;
}

SimRig::CommandResult SimRig::Execute(const std::vector<std::string>& args) {
    size_t first = 0;
    if (!args.empty() && args[0] == "sim") first = 1;
    if (first >= args.size()) return Result(kUsage, std::string("missing command\n") + kHelp);
    const std::string& verb = args[first];
    const std::vector<std::string> rest(args.begin() + static_cast<std::ptrdiff_t>(first) + 1, args.end());
    if (verb == "help") return Result(kOk, kHelp);

    std::lock_guard lock(mutex_);
    if (verb == "list") {
        std::string text;
        for (const auto& name : Names()) {
            const auto it = entries_.find(name);
            const char* state = it == entries_.end()            ? "absent"
                                : it->second.device->Plugged() ? "plugged"
                                                                : "unplugged";
            text += name + ": " + state;
            if (it != entries_.end())
                if (const auto receiver = ReceiverOf(*it->second.spec); receiver && it->second.spec->receiver)
                    text += receiver->LinkUp() ? ", link up" : ", link down";
            text += "\n";
        }
        return Result(kOk, text);
    }
    if (verb != "plug" && verb != "unplug" && verb != "event" && verb != "fault" && verb != "link" && verb != "dump")
        return Result(kUsage, "unknown command '" + verb + "'\n" + kHelp);
    if (rest.empty()) return Result(kUsage, verb + ": missing DEVICE\n");
    std::string error;
    Entry* entry = FindLocked(rest[0], &error);
    if (!entry) return Result(FindSpec(rest[0]) ? kFailed : kUsage, error + "\n");
    const std::string& name = rest[0];
    const bool cable = !entry->spec->receiver;

    if (verb == "plug" || verb == "unplug") {
        if (rest.size() > 1) return Result(kUsage, verb + ": too many arguments\n");
        const bool plug = verb == "plug";
        if (plug) entry->device->Plug();
        else entry->device->Unplug();
        if (cable) DeviceModelOf(*entry->spec).SetCableAttached(plug);
        return Result(kOk, name + (plug ? " plugged in\n" : " unplugged\n"));
    }
    if (verb == "dump") {
        if (rest.size() > 1) return Result(kUsage, "dump: too many arguments\n");
        return Result(kOk, DumpLocked(*entry));
    }
    if (verb == "link") {
        const auto receiver = ReceiverOf(*entry->spec);
        if (!receiver) return Result(kFailed, name + " has no wireless link\n");
        if (rest.size() != 2 || (rest[1] != "up" && rest[1] != "down"))
            return Result(kUsage, "link: expected 'link DEVICE up|down'\n");
        receiver->SetLinkUp(rest[1] == "up");
        return Result(kOk, name + ": link " + rest[1] + "\n");
    }
    if (verb == "event") return EventCommand(*entry, rest);
    return FaultCommand(*entry, rest);
}

SimRig::CommandResult SimRig::EventCommand(const Entry& entry, const std::vector<std::string>& args) {
    const std::string& name = args[0];
    if (args.size() < 2) return Result(kUsage, "event: missing USAGE or ACTION\n");
    const std::string& what = args[1];
    uint32_t usage = 0;
    if (ParseNumber(what, 0xFFFF, &usage)) {
        if (args.size() > 2) return Result(kUsage, "event: too many arguments\n");
        if (usage == 0) return Result(kUsage, "event: usage 0 means no event\n");
        if (entry.spec->single_collection) return Result(kFailed, name + " has no event collection\n");
        if (!entry.device->Plugged()) return Result(kFailed, name + " is unplugged\n");
        entry.device->SendInputReport({FirmwareModel::kEventReportId, static_cast<uint8_t>(usage & 0xFF),
                                       static_cast<uint8_t>(usage >> 8)});
        return Result(kOk, name + ": event " + Hex4(static_cast<uint16_t>(usage)) + " sent\n");
    }

    FirmwareModel::SentEvent sent;
    bool known = true;
    const size_t device = entry.spec->device;
    const bool takes_argument = device == kPad && what == "phone";
    if (args.size() > (takes_argument ? 3u : 2u)) return Result(kUsage, "event: too many arguments\n");
    if (device == kKeyboard && what == "profile") sent = keyboard_->PressProfileButton();
    else if (device == kKeyboard && what == "light") sent = keyboard_->PressLightButton();
    else if (device == kKeyboard && what == "reset") sent = keyboard_->FactoryReset();
    else if (device == kMouse && what == "profile") sent = mouse_->PressProfileButton();
    else if (device == kMouse && what == "dpi") sent = mouse_->PressDpiButton();
    else if (device == kMouse && what == "click") sent = mouse_->Click();
    else if (device == kPad && what == "light") sent = pad_->PressLightButton();
    else if (takes_argument) {
        uint32_t type = 1;
        if (args.size() == 3 && !ParseNumber(args[2], 3, &type))
            return Result(kUsage, "event: phone type must be 0 (none) to 3\n");
        sent = pad_->PlacePhone(static_cast<uint8_t>(type));
    } else {
        known = false;
    }
    if (!known) {
        static const char* const kActions[] = {"profile, light, reset", "profile, dpi, click", "light, phone [0-3]",
                                               "none"};
        return Result(kUsage, "unknown event '" + what + "' for " + name + " (a usage, or actions: " +
                                  kActions[device] + ")\n");
    }
    std::string text = name + ": " + what + ", event " + Hex4(sent.usage);
    text += sent.delivered ? " sent\n" : " not delivered (no interface of the device is plugged and linked)\n";
    return Result(kOk, text);
}

SimRig::CommandResult SimRig::FaultCommand(const Entry& entry, const std::vector<std::string>& args) {
    const std::string& name = args[0];
    if (args.size() < 2) return Result(kUsage, "fault: missing KIND\n");
    const std::string& kind = args[1];
    if (kind == "clear") {
        if (args.size() > 2) return Result(kUsage, "fault: too many arguments\n");
        entry.device->ClearFaults();
        return Result(kOk, name + ": faults cleared\n");
    }
    static const std::pair<const char*, SimFault::Kind> kKinds[] = {
        {"status-ff", SimFault::Kind::StatusFF},     {"status-fe", SimFault::Kind::StatusFE},
        {"no-reply", SimFault::Kind::NoReply},       {"wrong-reply", SimFault::Kind::WrongReply},
        {"late-reply", SimFault::Kind::LateReply},   {"link-down", SimFault::Kind::LinkDown},
        {"unplug", SimFault::Kind::Unplug},
    };
    SimFault fault;
    bool found = false;
    for (const auto& [text, value] : kKinds)
        if (kind == text) {
            fault.kind = value;
            found = true;
        }
    if (!found) return Result(kUsage, "fault: unknown kind '" + kind + "'\n");
    for (size_t i = 2; i < args.size(); ++i) {
        const std::string& option = args[i];
        const size_t eq = option.find('=');
        const std::string key = option.substr(0, eq);
        uint32_t value = 0;
        const bool has_value = eq != std::string::npos;
        const std::string_view text = has_value ? std::string_view(option).substr(eq + 1) : std::string_view();
        if (has_value && key == "at" && ParseNumber(text, 1000000, &value) && value >= 1) fault.at_command = value;
        else if (has_value && key == "delay" && ParseNumber(text, kMaxDelayMs, &value)) fault.delay_ms = value;
        else if (has_value && key == "count" && ParseNumber(text, kMaxCount, &value) && value >= 1) fault.count = value;
        else return Result(kUsage, "fault: bad option '" + option + "' (at=N, delay=MS up to 60000, count=1..100)\n");
    }
    entry.device->InjectFault(fault);
    char text[96];
    std::snprintf(text, sizeof text, ": %s on command %u from now\n", kind.c_str(), fault.at_command);
    return Result(kOk, name + text);
}

}  // namespace lumora

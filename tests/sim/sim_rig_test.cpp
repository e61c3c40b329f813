// The rig's textual commands (what `lumora-ctl sim …` runs) and their effect on the devices.

#include <gtest/gtest.h>

#include <memory>

#include <atomic>
#include <thread>

#include "hid/hid_device.h"
#include "sim_test_support.h"
#include "transport/device_transport.h"

// Transports live on the heap in these tests: ThreadSanitizer keeps the lock history of a
// mutex whose stack slot is reused by another object's mutex, and would join the lock
// orders of unrelated transports into a false inversion.
namespace lumora {
namespace {

using RigTest = SimRigTest;

TEST(SimRigList, ParsesDeviceLists) {
    std::vector<std::string> names;
    std::string error;
    ASSERT_TRUE(SimRig::ParseDeviceList("", &names, &error));
    EXPECT_EQ(names, SimRig::Names());
    EXPECT_EQ(names.size(), 6u);
    ASSERT_TRUE(SimRig::ParseDeviceList("mouse,headset", &names, &error));
    EXPECT_EQ(names, (std::vector<std::string>{"mouse", "headset"}));
    for (const char* bad : {"mouse,,headset", "toaster", "mouse,", "Mouse"}) {
        EXPECT_FALSE(SimRig::ParseDeviceList(bad, &names, &error)) << bad;
        EXPECT_NE(error.find("unknown device"), std::string::npos) << bad;
    }
}

TEST(SimRigPartial, OnlyTheChosenDevicesExist) {
    SimRig rig(false);
    std::string error;
    EXPECT_FALSE(rig.Create({"mouse", "toaster"}, &error));
    EXPECT_TRUE(rig.Created().empty());  // nothing made when a name is wrong
    ASSERT_TRUE(rig.Create({"mouse", "mouse-receiver"}, &error));
    EXPECT_EQ(rig.Created(), (std::vector<std::string>{"mouse", "mouse-receiver"}));
    HidDevice list;
    ASSERT_TRUE(list.EnumeratePaths());
    EXPECT_EQ(list.PathCount(), 8u);
    const auto result = rig.Execute({"plug", "headset"});
    EXPECT_EQ(result.status, SimRig::kFailed);
    EXPECT_NE(result.text.find("not part of this demo"), std::string::npos);
    EXPECT_FALSE(rig.Plug("keyboard", &error));
    EXPECT_EQ(error, "keyboard is not part of this demo");
}

TEST_F(RigTest, CommandsAndTheirErrors) {
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* text;  // a piece of the answer
    };
    const Case cases[] = {
        {{}, SimRig::kUsage, "missing command"},
        {{"sim"}, SimRig::kUsage, "missing command"},
        {{"sim", "frobnicate", "mouse"}, SimRig::kUsage, "unknown command 'frobnicate'"},
        {{"help"}, SimRig::kOk, "sim fault DEVICE KIND"},
        {{"plug"}, SimRig::kUsage, "plug: missing DEVICE"},
        {{"unplug", "toaster"}, SimRig::kUsage, "unknown device 'toaster'"},
        {{"plug", "mouse", "now"}, SimRig::kUsage, "too many arguments"},
        {{"sim", "plug", "mouse"}, SimRig::kOk, "mouse plugged in"},
        {{"event", "mouse"}, SimRig::kUsage, "missing USAGE or ACTION"},
        {{"event", "mouse", "0x401"}, SimRig::kOk, "mouse: event 0x0401 sent"},
        {{"event", "mouse", "1025"}, SimRig::kOk, "event 0x0401 sent"},
        {{"event", "mouse", "0"}, SimRig::kUsage, "usage 0"},
        {{"event", "mouse", "0x10000"}, SimRig::kUsage, "unknown event '0x10000'"},
        {{"event", "mouse", "light"}, SimRig::kUsage, "profile, dpi, click"},
        {{"event", "mouse", "dpi", "twice"}, SimRig::kUsage, "too many arguments"},
        {{"event", "mouse-receiver", "dpi"}, SimRig::kOk, "event 0x1120 sent"},
        {{"event", "headset", "0x401"}, SimRig::kFailed, "headset has no event collection"},
        {{"event", "headset", "profile"}, SimRig::kUsage, "actions: none"},
        {{"event", "mousepad", "phone", "4"}, SimRig::kUsage, "phone type"},
        {{"event", "mousepad", "phone", "3"}, SimRig::kOk, "event 0x0404 sent"},
        {{"fault", "keyboard"}, SimRig::kUsage, "missing KIND"},
        {{"fault", "keyboard", "melt"}, SimRig::kUsage, "unknown kind 'melt'"},
        {{"fault", "keyboard", "late-reply", "delay=99999"}, SimRig::kUsage, "bad option 'delay=99999'"},
        {{"fault", "keyboard", "wrong-reply", "count=0"}, SimRig::kUsage, "bad option"},
        {{"fault", "keyboard", "no-reply", "at=0"}, SimRig::kUsage, "bad option"},
        {{"fault", "keyboard", "no-reply", "sometime"}, SimRig::kUsage, "bad option"},
        {{"fault", "keyboard", "clear"}, SimRig::kOk, "faults cleared"},
        {{"link", "mousepad", "down"}, SimRig::kFailed, "no wireless link"},
        {{"link", "mouse-receiver", "sideways"}, SimRig::kUsage, "up|down"},
        {{"link", "mouse", "up"}, SimRig::kOk, "mouse: link up"},
        {{"dump", "keyboard", "twice"}, SimRig::kUsage, "too many arguments"},
        {{"list"}, SimRig::kOk, "keyboard-receiver: plugged, link up"},
    };
    for (const Case& c : cases) {
        std::string joined;
        for (const auto& a : c.args) joined += a + " ";
        SCOPED_TRACE(joined);
        const auto result = rig_.Execute(c.args);
        EXPECT_EQ(result.status, c.status);
        EXPECT_NE(result.text.find(c.text), std::string::npos) << result.text;
    }
}

TEST_F(RigTest, CommandsDriveTheDevices) {
    const std::string path = Path("keyboard");
    ASSERT_EQ(rig_.Execute({"unplug", "keyboard"}).status, SimRig::kOk);
    EXPECT_FALSE(HidDevice::IsPathPresent(path));
    EXPECT_EQ(rig_.Execute({"event", "keyboard", "0x401"}).status, SimRig::kFailed);  // unplugged
    ASSERT_EQ(rig_.Execute({"plug", "keyboard"}).status, SimRig::kOk);
    EXPECT_TRUE(HidDevice::IsPathPresent(path));

    auto t_owner = std::make_unique<DeviceTransport>();

    DeviceTransport& t = *t_owner;
    ASSERT_TRUE(t.Open(path, false));
    ASSERT_EQ(rig_.Execute({"fault", "keyboard", "status-fe", "at=2"}).status, SimRig::kOk);
    EXPECT_EQ(t.BeginConfig(), 1);
    EXPECT_EQ(t.BeginConfig(), DeviceTransport::kStatusFE);

    auto air_owner = std::make_unique<DeviceTransport>();

    DeviceTransport& air = *air_owner;
    ASSERT_TRUE(air.Open(Path("keyboard-receiver"), true));
    ASSERT_EQ(rig_.Execute({"link", "keyboard-receiver", "down"}).status, SimRig::kOk);
    EXPECT_EQ(air.BeginConfig(), DeviceTransport::kWirelessUnreachable);
    ASSERT_EQ(rig_.Execute({"link", "keyboard", "up"}).status, SimRig::kOk);
    EXPECT_EQ(air.BeginConfig(), 1);

    const auto pressed = rig_.Execute({"event", "keyboard", "profile"});
    EXPECT_EQ(pressed.status, SimRig::kOk);
    EXPECT_NE(pressed.text.find("event 0x1001 sent"), std::string::npos) << pressed.text;
    EXPECT_EQ(rig_.Keyboard()->ActiveProfile(), 1);
    // Button presses reach the device's memory whatever way they come in.
    rig_.Keyboard()->WithMemory([](FirmwareMemory& m) { m.settings[26] = 0x7E; });
    ASSERT_EQ(rig_.Execute({"event", "keyboard", "reset"}).status, SimRig::kOk);
    EXPECT_EQ(rig_.Keyboard()->ActiveProfile(), 0);
    rig_.Keyboard()->WithMemory([](FirmwareMemory& m) { EXPECT_EQ(m.settings[26], 2); });
}

TEST_F(RigTest, DumpShowsIdentityStateAndMemory) {
    auto t_owner = std::make_unique<DeviceTransport>();
    DeviceTransport& t = *t_owner;
    ASSERT_TRUE(t.Open(Path("keyboard"), false));
    ASSERT_EQ(t.BeginConfig(), 1);
    ASSERT_EQ(t.BeginConfig(), 1);
    const auto result = rig_.Execute({"dump", "keyboard"});
    ASSERT_EQ(result.status, SimRig::kOk);
    const std::string& text = result.text;
    for (const char* piece : {"keyboard (sim:keyboard)", "vendor 0x320f product 0x5055 interface 1",
                              "commands: sim:keyboard#vid_320f&pid_5055&mi_01&col04", "plugged: yes",
                              "receiver link: up", "commands seen: 2", "in config: yes", "active profile: 0",
                              "settings record of profile 0 (offset 0):\n  0000: 00 01 04 02 01 01 ff 00 00",
                              "key slot table:\n  0000: 20 00 29 20 00 3a", "key LED table:", "status:\n  0000: 50 01"})
        EXPECT_NE(text.find(piece), std::string::npos) << piece << "\n" << text;

    rig_.Unplug("mouse");
    rig_.SetLink("mouse", false);
    const std::string receiver = rig_.Dump("mouse-receiver");
    for (const char* piece : {"link: down", "commands: sim:mouse-receiver#vid_320f&pid_221d&mi_01&col04",
                              "DPI stage: 1 (800 DPI), cable: out"})
        EXPECT_NE(receiver.find(piece), std::string::npos) << piece << "\n" << receiver;
    const std::string headset = rig_.Dump("headset");
    EXPECT_NE(headset.find("path: sim:headset#vid_0c76&pid_1630&mi_03\n"), std::string::npos) << headset;
    EXPECT_NE(headset.find("ear cups 0x22:"), std::string::npos) << headset;
    EXPECT_EQ(rig_.Dump("toaster").rfind("unknown device 'toaster'", 0), 0u);
}

// Commands from a control connection while the program talks to the devices: no race, no
// deadlock between the rig, the event routes and the firmware threads.
TEST_F(RigTest, CommandsWhileTrafficFlows) {
    std::atomic<bool> stop{false};
    std::thread traffic([&] {
        DeviceTransport air, wired;
        air.Open(Path("keyboard-receiver"), true);
        HidDevice events;
        events.Open(Path("keyboard-receiver", 3), true, true, true, false);
        uint8_t byte = 0;
        uint8_t report[64];
        while (!stop) {
            air.ReadSettings(&byte, 1, 0);
            if (!wired.Opened()) wired.Open(Path("keyboard"), false);
            wired.ReadSettings(&byte, 1, 0);
            if (!HidDevice::IsPathPresent(Path("keyboard"))) wired.Close();
            events.Read(report, sizeof report, nullptr, 0);
        }
    });
    for (int i = 0; i < 200; ++i) {
        EXPECT_EQ(rig_.Execute({"event", "keyboard", i % 2 ? "profile" : "light"}).status, SimRig::kOk);
        EXPECT_EQ(rig_.Execute({i % 3 ? "unplug" : "plug", "keyboard"}).status, SimRig::kOk);
        EXPECT_EQ(rig_.Execute({"link", "keyboard", i % 5 ? "up" : "down"}).status, SimRig::kOk);
        EXPECT_EQ(rig_.Execute({"dump", "keyboard-receiver"}).status, SimRig::kOk);
    }
    stop = true;
    traffic.join();
    ASSERT_TRUE(rig_.Plug("keyboard"));
    ASSERT_TRUE(rig_.SetLink("keyboard", true));
    auto t_owner = std::make_unique<DeviceTransport>();
    DeviceTransport& t = *t_owner;
    ASSERT_TRUE(t.Open(Path("keyboard-receiver"), true));
    EXPECT_EQ(t.BeginConfig(), 1);
}

}  // namespace
}  // namespace lumora

// The emulated devices seen through the program's own HID and command-transport code:
// identities, fresh memory contents, receivers, events and the headset's light reports.

#include <gtest/gtest.h>

#include <memory>

#include <set>

#include "hid/hid_device.h"
#include "sim_test_support.h"
#include "transport/device_transport.h"

// Transports live on the heap in these tests: ThreadSanitizer keeps the lock history of a
// mutex whose stack slot is reused by another object's mutex, and would join the lock
// orders of unrelated transports into a false inversion.
namespace lumora {
namespace {

using DevicesTest = SimRigTest;

std::vector<uint8_t> Read(DeviceTransport& t, size_t length, uint16_t offset) {
    std::vector<uint8_t> bytes(length);
    EXPECT_EQ(t.ReadSettings(bytes.data(), length, offset), 1);
    return bytes;
}

// The first usage of the next event report on an event interface (0 when none came).
uint16_t NextEvent(HidDevice& events) {
    uint8_t report[64] = {};
    uint32_t got = 0;
    if (events.Read(report, sizeof report, &got, 2000) != 1) return 0;
    if (!events.UnpackReport(report, got, HidReportType::Input)) return 0;
    const auto& data = events.Data(HidReportType::Input);
    return data.empty() || data[0].usages.empty() ? 0 : data[0].usages[0];
}

// Every row of the supported-interface table is found at its real identity and usages.
TEST_F(DevicesTest, EveryInterfaceEnumeratesAndOpensWithItsRealIdentity) {
    struct Row {
        std::string path;
        uint16_t vendor, product, usage_page, usage;
        uint32_t interface_number, collection;
    };
    const Row rows[] = {
        {"sim:keyboard#vid_320f&pid_5055&mi_01&col04", 0x320F, 0x5055, 0xFF1C, 0x92, 1, 4},
        {"sim:keyboard#vid_320f&pid_5055&mi_01&col03", 0x320F, 0x5055, 0x000C, 0x01, 1, 3},
        {"sim:keyboard-receiver#vid_320f&pid_5001&mi_01&col04", 0x320F, 0x5001, 0xFF1C, 0x92, 1, 4},
        {"sim:keyboard-receiver#vid_320f&pid_5001&mi_01&col03", 0x320F, 0x5001, 0x000C, 0x01, 1, 3},
        {"sim:mouse#vid_320f&pid_221c&mi_01&col04", 0x320F, 0x221C, 0xFF1C, 0x92, 1, 4},
        {"sim:mouse#vid_320f&pid_221c&mi_01&col03", 0x320F, 0x221C, 0x000C, 0x01, 1, 3},
        {"sim:mouse-receiver#vid_320f&pid_221d&mi_01&col04", 0x320F, 0x221D, 0xFF1C, 0x92, 1, 4},
        {"sim:mouse-receiver#vid_320f&pid_221d&mi_01&col03", 0x320F, 0x221D, 0x000C, 0x01, 1, 3},
        {"sim:mousepad#vid_320f&pid_1004&mi_01&col04", 0x320F, 0x1004, 0xFF1C, 0x92, 1, 4},
        {"sim:mousepad#vid_320f&pid_1004&mi_01&col03", 0x320F, 0x1004, 0x000C, 0x01, 1, 3},
        {"sim:headset#vid_0c76&pid_1630&mi_03", 0x0C76, 0x1630, 0x000C, 0x01, 3, 0},
    };
    HidDevice list;
    ASSERT_TRUE(list.EnumeratePaths());
    std::set<std::string> paths;
    while (const char* p = list.NextPath()) paths.insert(p);
    EXPECT_EQ(paths.size(), 5u * 4 + 1);  // collections 1 and 2 of each 0x320F device too
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        EXPECT_TRUE(paths.count(row.path));
        HidDevice hid;
        ASSERT_TRUE(hid.Open(row.path, true, false, true, false));
        EXPECT_EQ(hid.Attributes().vendor_id, row.vendor);
        EXPECT_EQ(hid.Attributes().product_id, row.product);
        EXPECT_EQ(hid.Caps().usage_page, row.usage_page);
        EXPECT_EQ(hid.Caps().usage, row.usage);
        EXPECT_EQ(hid.InterfaceNumber(), row.interface_number);
        EXPECT_EQ(hid.CollectionNumber(), row.collection);
    }
    auto headset_owner = std::make_unique<DeviceTransport>();
    DeviceTransport& headset = *headset_owner;
    ASSERT_TRUE(headset.Open(rows[10].path, false));
    EXPECT_EQ(headset.BeginConfig(), 1);
}

TEST_F(DevicesTest, FreshKeyboardLayoutSettingsAndStatus) {
    auto t_owner = std::make_unique<DeviceTransport>();
    DeviceTransport& t = *t_owner;
    ASSERT_TRUE(t.Open(Path("keyboard"), false));
    ASSERT_EQ(t.BeginConfig(), 1);
    uint8_t info[34] = {};
    ASSERT_EQ(t.ReadDeviceInfo(info), 1);
    EXPECT_EQ(info[5], 170);  // key slots
    EXPECT_EQ(info[6], 64);   // macro memory: 8 KiB
    ASSERT_TRUE(t.SetBlockSize(static_cast<uint16_t>(info[5] * 3)));
    std::vector<uint8_t> slots(510), leds(170);
    ASSERT_EQ(t.ReadKeyMap(slots.data()), 1);
    ASSERT_EQ(t.ReadKeyLedMap(leds.data()), 1);
    ASSERT_EQ(t.EndConfig(), 1);

    auto first_slot_of = [&](uint8_t type, uint8_t b1, uint8_t b2) {
        for (size_t k = 0; k < 170; ++k)
            if (slots[k * 3] == type && slots[k * 3 + 1] == b1 && slots[k * 3 + 2] == b2) return static_cast<int>(k);
        return -1;
    };
    EXPECT_EQ(first_slot_of(0x20, 0x00, 0x29), 0);    // Esc, key index 0
    EXPECT_EQ(first_slot_of(0x20, 0x00, 0x35), 28);   // `, key index 21: second matrix row
    EXPECT_EQ(first_slot_of(0x20, 0x02, 0x00), 112);  // Left Shift, key index 84
    EXPECT_EQ(first_slot_of(0xA0, 0x01, 0x00), 145);  // Fn, key index 110
    EXPECT_EQ(first_slot_of(0x20, 0x00, 0x00), 18);   // the unused key indexes share the first empty slot
    EXPECT_EQ(first_slot_of(0x20, 0x00, 0x32), -1);   // no Non-US # on this ANSI board
    EXPECT_EQ(first_slot_of(0x20, 0x80, 0x00), -1);   // no Right GUI: Fn takes its place
    size_t keys = 0;
    for (size_t k = 0; k < 170; ++k) keys += !(slots[k * 3] == 0x20 && slots[k * 3 + 1] == 0 && slots[k * 3 + 2] == 0);
    EXPECT_EQ(keys, 106u);
    // LEDs: one chain through all positions, serpentine along the matrix rows.
    EXPECT_EQ(std::set<uint8_t>(leds.begin(), leds.end()).size(), 170u);
    EXPECT_LT(*std::max_element(leds.begin(), leds.end()), 170);
    EXPECT_EQ(leds[0], 0);
    EXPECT_EQ(leds[28], 55);

    EXPECT_EQ(Read(t, 1, 0), std::vector<uint8_t>{0});  // active profile
    const auto record = Read(t, 26, 0);
    const std::vector<uint8_t> head = {0, 1, 4, 2, 1, 1, 0xFF, 0, 0};  // mode 1, brightness 4, speed 2, ...
    EXPECT_TRUE(std::equal(head.begin(), head.end(), record.begin()));
    EXPECT_EQ(record[22], 0);  // polling rate option
    const auto profile2 = Read(t, 26, 50);
    EXPECT_EQ(profile2[6], 0);  // profile 2 is blue
    EXPECT_EQ(profile2[8], 0xFF);
    EXPECT_EQ(profile2[25], 2);  // its custom colour layout

    uint8_t status[6] = {};
    ASSERT_EQ(t.ReadStatus(status, 6, 0), 1);
    EXPECT_EQ(status[0], 80);
    EXPECT_EQ(status[1], 1);  // charging on the cable
    rig_.Unplug("keyboard");
    rig_.Keyboard()->WithMemory([](FirmwareMemory& m) { EXPECT_EQ(m.status[1], 2); });  // on battery
}

TEST_F(DevicesTest, FreshMouseSensorButtonsAndDpiStages) {
    auto t_owner = std::make_unique<DeviceTransport>();
    DeviceTransport& t = *t_owner;
    ASSERT_TRUE(t.Open(Path("mouse"), false));
    uint8_t info[34] = {};
    ASSERT_EQ(t.ReadDeviceInfo(info), 1);
    EXPECT_EQ(info[5], 11);
    EXPECT_EQ(info[9] | (info[10] << 8), 0x3389);  // sensor
    EXPECT_EQ(info[11], 50);                        // DPI step
    EXPECT_EQ(info[12] | (info[13] << 8), 319);     // highest slider value: 16000 DPI
    EXPECT_EQ(info[14] | (info[15] << 8), 50);      // lowest DPI
    ASSERT_TRUE(t.SetBlockSize(33));
    std::vector<uint8_t> slots(33);
    ASSERT_EQ(t.ReadKeyMap(slots.data()), 1);
    EXPECT_EQ(std::vector<uint8_t>(slots.begin() + 9, slots.begin() + 15),
              (std::vector<uint8_t>{0x10, 0x08, 0x00, 0x10, 0x10, 0x00}));  // back before forward
    EXPECT_EQ(std::vector<uint8_t>(slots.begin() + 30, slots.end()), (std::vector<uint8_t>{0x14, 0x78, 0x02}));

    const auto record = Read(t, 71, 0);
    EXPECT_EQ(record[12], 1);  // active DPI stage
    for (size_t i = 0; i < 5; ++i) {
        const uint8_t* stage = record.data() + 14 + 9 * i;
        const uint16_t dpis[] = {400, 800, 1600, 3200, 6400};
        EXPECT_EQ(stage[0], 1) << i;
        EXPECT_EQ((stage[2] | (stage[3] << 8)) * 50 + 50, dpis[i]) << i;
        EXPECT_EQ(stage[4] | (stage[5] << 8), stage[2] | (stage[3] << 8)) << i;
    }
    EXPECT_EQ(record[59], 1);
    EXPECT_EQ(record[60] | (record[61] << 8), 1920);
    EXPECT_EQ(record[62] | (record[63] << 8), 1080);
    EXPECT_EQ(Read(t, 1, 128 * 4)[0], 4);  // each profile's record starts with its number
    EXPECT_EQ(Read(t, 2, 128 * 4 + 1)[0], 9);  // profile 4: lights off

    uint8_t status[6] = {};
    ASSERT_EQ(t.ReadStatus(status, 6, 0), 1);
    EXPECT_EQ(status[0], 90);
    // The recoil image area starts as four empty patterns.
    rig_.Mouse()->WithMemory([](FirmwareMemory& m) {
        EXPECT_EQ(std::vector<uint8_t>(m.block56.begin(), m.block56.begin() + 6),
                  (std::vector<uint8_t>{0xAA, 0x55, 40, 0, 4, 0}));
    });
}

TEST_F(DevicesTest, FreshPadAndHeadsetSettings) {
    struct Case {
        std::string name;
        uint8_t leds, effect;
        std::vector<uint8_t> colour;
    };
    for (const Case& c : {Case{"mousepad", 15, 0, {0x00, 0x80, 0xFF}}, Case{"headset", 13, 2, {0x00, 0xFF, 0x80}}}) {
        SCOPED_TRACE(c.name);
        auto t_owner = std::make_unique<DeviceTransport>();
        DeviceTransport& t = *t_owner;
        ASSERT_TRUE(t.Open(Path(c.name), false));
        uint8_t info[34] = {};
        ASSERT_EQ(t.ReadDeviceInfo(info), 1);
        EXPECT_EQ(info[8], c.leds);
        EXPECT_EQ(Read(t, 1, 0)[0], 0);
        const auto block = Read(t, 26, 0);
        EXPECT_EQ(block[1], c.effect);
        EXPECT_EQ(block[2], 4);
        EXPECT_EQ(std::vector<uint8_t>(block.begin() + 6, block.begin() + 9), c.colour);
        // What the page writes back (21 bytes at bank 0) is what it reads next time.
        std::vector<uint8_t> written(block.begin(), block.begin() + 21);
        written[1] = 7;
        ASSERT_EQ(t.WriteSettings(written.data(), written.size(), 0), 1);
        EXPECT_EQ(Read(t, 21, 0), written);
        uint8_t status[6] = {};
        ASSERT_EQ(t.ReadStatus(status, 6, 0), 1);
        EXPECT_EQ(status[0], 100);
        EXPECT_EQ(status[1], 0);  // external power
    }
    auto pad_owner = std::make_unique<DeviceTransport>();
    DeviceTransport& pad = *pad_owner;
    ASSERT_TRUE(pad.Open(Path("mousepad"), false));
    const std::vector<uint8_t> frame(45, 0x40);
    ASSERT_EQ(pad.StreamLightFrame(frame.data(), frame.size()), 1);  // one report
    EXPECT_EQ(rig_.MousePad()->FramesStreamed(), 1u);
}

// A setting written through a receiver is what the cable reads, and the other way round.
TEST_F(DevicesTest, ReceiverRelaysToTheSharedDeviceMemory) {
    struct Case {
        std::string device, receiver;
        uint16_t offset;
    };
    for (const Case& c : {Case{"keyboard", "keyboard-receiver", 0}, Case{"mouse", "mouse-receiver", 128}}) {
        SCOPED_TRACE(c.receiver);
        DeviceTransport wireless, wired;
        ASSERT_TRUE(wireless.Open(Path(c.receiver), true));
        ASSERT_TRUE(wired.Open(Path(c.device), false));
        EXPECT_TRUE(wireless.QueryWirelessLink());
        std::vector<uint8_t> record(66);
        for (size_t i = 0; i < record.size(); ++i) record[i] = static_cast<uint8_t>(i * 3 + 1);
        record[0] = 0;
        ASSERT_EQ(wireless.BeginConfig(), 1);
        ASSERT_EQ(wireless.WriteSettings(record.data(), record.size(), c.offset), 1);  // 24-byte pages
        ASSERT_EQ(wireless.EndConfig(), 1);
        EXPECT_EQ(Read(wired, record.size(), c.offset), record);

        uint8_t via_cable[34] = {}, via_air[34] = {};
        ASSERT_EQ(wired.ReadDeviceInfo(via_cable), 1);
        ASSERT_EQ(wireless.ReadDeviceInfo(via_air), 1);
        EXPECT_TRUE(std::equal(std::begin(via_cable), std::end(via_cable), via_air));
    }
}

TEST_F(DevicesTest, ReceiverWithTheLinkDownAnswersAA) {
    for (const std::string receiver : {"keyboard-receiver", "mouse-receiver"}) {
        SCOPED_TRACE(receiver);
        auto t_owner = std::make_unique<DeviceTransport>();
        DeviceTransport& t = *t_owner;
        ASSERT_TRUE(t.Open(Path(receiver), true));
        ASSERT_TRUE(rig_.SetLink(receiver, false));
        EXPECT_FALSE(t.QueryWirelessLink());
        uint8_t byte = 0;
        EXPECT_EQ(t.ReadSettings(&byte, 1, 0), DeviceTransport::kWirelessUnreachable);
        EXPECT_EQ(t.BeginConfig(), DeviceTransport::kWirelessUnreachable);
        ASSERT_TRUE(rig_.SetLink(receiver, true));
        EXPECT_TRUE(t.QueryWirelessLink());
        EXPECT_EQ(t.BeginConfig(), 1);
    }
    // A wired device never loses its link.
    auto wired_owner = std::make_unique<DeviceTransport>();
    DeviceTransport& wired = *wired_owner;
    ASSERT_TRUE(wired.Open(Path("keyboard"), false));
    EXPECT_EQ(wired.BeginConfig(), 1);
}

// On-device buttons change the memory and announce it on the event collection of the
// interface the device is reachable through.
TEST_F(DevicesTest, DeviceEventsArriveOnTheirEventCollection) {
    HidDevice keyboard_events, receiver_events, mouse_events, pad_events;
    ASSERT_TRUE(keyboard_events.Open(Path("keyboard", 3), true, true, true, false));
    ASSERT_TRUE(receiver_events.Open(Path("keyboard-receiver", 3), true, true, true, false));
    ASSERT_TRUE(mouse_events.Open(Path("mouse", 3), true, true, true, false));
    ASSERT_TRUE(pad_events.Open(Path("mousepad", 3), true, true, true, false));

    auto sent = rig_.Keyboard()->PressProfileButton();
    EXPECT_TRUE(sent.delivered);
    EXPECT_EQ(NextEvent(keyboard_events), 0x1001);
    auto wired_owner = std::make_unique<DeviceTransport>();
    DeviceTransport& wired = *wired_owner;
    ASSERT_TRUE(wired.Open(Path("keyboard"), false));
    EXPECT_EQ(Read(wired, 1, 0)[0], 1);

    EXPECT_TRUE(rig_.Keyboard()->PressLightButton().delivered);
    EXPECT_EQ(NextEvent(keyboard_events), 0x401);
    EXPECT_EQ(Read(wired, 1, 26)[0], 3);  // profile 1's mode code stepped from 2

    // Cable pulled: the same button now reaches the program through the receiver.
    ASSERT_TRUE(rig_.Unplug("keyboard"));
    EXPECT_TRUE(rig_.Keyboard()->PressProfileButton().delivered);
    EXPECT_EQ(NextEvent(receiver_events), 0x1002);
    // Receiver link down as well: nothing goes out, the device still switched.
    ASSERT_TRUE(rig_.SetLink("keyboard", false));
    rig_.Device("keyboard-receiver")->ClearRecording();
    sent = rig_.Keyboard()->PressProfileButton();
    EXPECT_FALSE(sent.delivered);
    EXPECT_EQ(sent.usage, 0x1003);
    EXPECT_TRUE(rig_.Device("keyboard-receiver")->Recording().empty());
    EXPECT_EQ(rig_.Keyboard()->ActiveProfile(), 3);

    EXPECT_TRUE(rig_.Mouse()->PressDpiButton().delivered);
    EXPECT_EQ(NextEvent(mouse_events), 0x1120);  // stage 2 of profile 0
    EXPECT_EQ(rig_.Mouse()->ActiveStage(), 2);
    EXPECT_TRUE(rig_.Mouse()->Click().delivered);
    EXPECT_EQ(NextEvent(mouse_events), 0x403);

    EXPECT_TRUE(rig_.MousePad()->PlacePhone(2).delivered);
    EXPECT_EQ(NextEvent(pad_events), 0x404);
    auto pad_owner = std::make_unique<DeviceTransport>();
    DeviceTransport& pad = *pad_owner;
    ASSERT_TRUE(pad.Open(Path("mousepad"), false));
    uint8_t status[6] = {};
    ASSERT_EQ(pad.ReadStatus(status, 6, 0), 1);
    EXPECT_EQ(status[4], 1);
    EXPECT_EQ(status[5], 2);  // Samsung
    EXPECT_TRUE(rig_.MousePad()->PressLightButton().delivered);
    EXPECT_EQ(NextEvent(pad_events), 0x401);

    // A raw usage injected by name.
    ASSERT_TRUE(rig_.InjectEvent("mouse", 0x1123));
    EXPECT_EQ(NextEvent(mouse_events), 0x1123);
}

// The ear-cup reports of one frame set both light groups; a malformed one changes nothing.
TEST_F(DevicesTest, HeadsetRecordsItsEarCupColours) {
    auto t_owner = std::make_unique<DeviceTransport>();
    DeviceTransport& t = *t_owner;
    ASSERT_TRUE(t.Open(Path("headset"), false));
    HeadsetModel::EarCup expected{};
    for (uint8_t led = 0; led < 13; ++led)
        expected[led] = {static_cast<uint8_t>(10 + led), static_cast<uint8_t>(100 + led),
                         static_cast<uint8_t>(200 + led)};
    const uint8_t blocks[3][2] = {{0xAA, 0xAD}, {0xAB, 0xAE}, {0xAC, 0xAF}};
    for (size_t channel = 0; channel < 3; ++channel)
        for (uint8_t group : {0x22, 0x44})
            for (size_t half = 0; half < 2; ++half) {
                uint8_t report[17] = {0xFF, group, blocks[channel][half]};
                for (size_t i = 0; i < (half ? 6u : 7u); ++i) {
                    const auto& led = expected[half * 7 + i];
                    report[4 + i] = channel == 0 ? led.red : channel == 1 ? led.green : led.blue;
                }
                ASSERT_EQ(t.Primary().Write(report, sizeof report, nullptr, 1000), 1);
            }
    uint8_t bad[17] = {0xFF, 0x22, 0xB0, 0, 1, 2, 3};
    ASSERT_EQ(t.Primary().Write(bad, sizeof bad, nullptr, 1000), 1);
    ASSERT_EQ(t.BeginConfig(), 1);  // same channel, answered after the light reports were taken
    EXPECT_EQ(rig_.Headset()->LightReports(), 12u);
    EXPECT_EQ(rig_.Headset()->RefusedLightReports(), 1u);
    EXPECT_EQ(rig_.Headset()->EarCupColours(0x22), expected);
    EXPECT_EQ(rig_.Headset()->EarCupColours(0x44), expected);
}

}  // namespace
}  // namespace lumora

#include "hid/hid_device.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include "hid/hid_trace.h"
#include "sim/sim_descriptors.h"
#include "sim/sim_host.h"
#include "transport/device_transport.h"

namespace lumora {
namespace {

using namespace std::chrono_literals;

class HidDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto config = SimHost::CommandDevice("kb");
        config.pacing = false;
        device_ = host_.Add(config);
    }
    static std::vector<uint8_t> Command(uint8_t code) {
        std::vector<uint8_t> r(64, 0);
        r[0] = 4;
        r[3] = code;
        DeviceTransport::Seal(r.data());
        return r;
    }
    // Waits (bounded) until the firmware thread has the condition.
    template <typename F>
    static bool Eventually(F f) {
        for (int i = 0; i < 2000 && !f(); ++i) std::this_thread::sleep_for(1ms);
        return f();
    }

    SimHost host_;
    std::shared_ptr<SimDevice> device_;
    const std::string col4_ = "sim:kb#vid_320f&pid_5055&mi_01&col04";
    const std::string col3_ = "sim:kb#vid_320f&pid_5055&mi_01&col03";
};

TEST_F(HidDeviceTest, EnumeratesOpensAndLearnsCapabilities) {
    HidDevice hid;
    ASSERT_TRUE(hid.EnumeratePaths());
    ASSERT_EQ(hid.PathCount(), 4u);
    EXPECT_STREQ(hid.NextPath(), "sim:kb#vid_320f&pid_5055&mi_01&col01");

    ASSERT_TRUE(hid.Open(col4_, true, true, true, false));
    EXPECT_EQ(hid.Caps().usage_page, 0xFF1C);
    EXPECT_EQ(hid.Caps().usage, 0x92);
    EXPECT_EQ(hid.Caps().input_report_byte_length, 64);
    EXPECT_EQ(hid.Caps().output_report_byte_length, 64);
    EXPECT_EQ(hid.Attributes().vendor_id, 0x320F);
    EXPECT_EQ(hid.InterfaceNumber(), 1u);
    EXPECT_EQ(hid.CollectionNumber(), 4u);
    EXPECT_EQ(hid.Data(HidReportType::Input).size(), 1u);
    // The path list lives on independently of the open state.
    EXPECT_STREQ(hid.NextPath(), "sim:kb#vid_320f&pid_5055&mi_01&col02");

    EXPECT_FALSE(HidDevice().Open("sim:kb#vid_320f&pid_5055&mi_01&col09", true, true, true, false));
    EXPECT_FALSE(HidDevice().Open("sim:kb#vid_320f&pid_9999&mi_01&col04", true, true, true, false));
    EXPECT_FALSE(HidDevice().Open("sim:nothing#vid_320f&pid_5055&mi_01&col04", true, true, true, false));
    EXPECT_FALSE(HidDevice().Open(col4_ + std::string(300, 'x'), true, true, true, false));
}

TEST_F(HidDeviceTest, RoundTripDropsOtherCollectionsAndPadsShortReports) {
    HidDevice hid;
    ASSERT_TRUE(hid.Open(col4_, true, true, true, false));
    device_->SendInputReport({3, 0x01, 0x04});         // an event for collection 3
    device_->SendInputReport({4, 0xAB, 0xCD});         // a short report of ours
    uint8_t buffer[64];
    uint32_t got = 0;
    ASSERT_EQ(hid.Read(buffer, sizeof buffer, &got, 1000), 1);
    EXPECT_EQ(got, 64u);
    EXPECT_EQ(buffer[0], 4);
    EXPECT_EQ(buffer[1], 0xAB);
    EXPECT_EQ(buffer[2], 0xCD);
    for (int i = 3; i < 64; ++i) ASSERT_EQ(buffer[i], 0) << i;

    const auto request = Command(0x01);
    uint32_t written = 0;
    ASSERT_EQ(hid.Write(request.data(), 64, &written, 1000), 1);
    EXPECT_EQ(written, 64u);
    ASSERT_EQ(hid.Read(buffer, sizeof buffer, &got, 1000), 1);
    EXPECT_EQ(buffer[3], 0x01);
    EXPECT_EQ(buffer[7], 0x00);
    // Wrong length, unknown report ID, too small a read buffer: refused, nothing sent.
    EXPECT_EQ(hid.Write(request.data(), 65, nullptr, 100), 0);
    const uint8_t foreign[64] = {7};
    EXPECT_EQ(hid.Write(foreign, 64, nullptr, 100), 0);
    EXPECT_EQ(hid.Read(buffer, 10, &got, 10), 0);
    EXPECT_EQ(got, 0u);
}

TEST_F(HidDeviceTest, EventCollectionSeesAndUnpacksEvents) {
    HidDevice events;
    ASSERT_TRUE(events.Open(col3_, true, true, true, false));
    EXPECT_EQ(events.Caps().usage_page, 0x0C);
    ASSERT_EQ(events.Data(HidReportType::Input).size(), 1u);
    device_->SendInputReport({4, 1, 2, 3});  // command traffic is not ours
    device_->SendInputReport({3, 0x01, 0x04});
    uint8_t buffer[3];
    ASSERT_EQ(events.Read(buffer, sizeof buffer, nullptr, 1000), 1);
    ASSERT_TRUE(events.UnpackReport(buffer, 3, HidReportType::Input));
    EXPECT_EQ(events.Data(HidReportType::Input)[0].usages.at(0), 0x401);
}

TEST_F(HidDeviceTest, InfiniteReadEndsWhenAnotherThreadCloses) {
    HidDevice hid;
    ASSERT_TRUE(hid.Open(col4_, true, true, true, false));
    std::atomic<int> result{-1};
    std::thread reader([&] {
        uint8_t buffer[64];
        uint32_t got = 99;
        result = hid.Read(buffer, sizeof buffer, &got, kInfinite);
        EXPECT_EQ(got, 0u);
    });
    ASSERT_TRUE(Eventually([&] { return device_->OpenChannels() == 1; }));
    std::this_thread::sleep_for(20ms);  // let the read start waiting
    hid.Close();
    reader.join();
    EXPECT_EQ(result.load(), 0);
    EXPECT_FALSE(hid.IsOpen());
    EXPECT_TRUE(Eventually([&] { return device_->OpenChannels() == 0; }));
    // A closed record reads nothing and is not left aborted for a re-open.
    uint8_t buffer[64];
    EXPECT_EQ(hid.Read(buffer, 64, nullptr, 10), 0);
    ASSERT_TRUE(hid.Open(col4_, true, true, true, false));
    device_->SendInputReport({4, 9});
    EXPECT_EQ(hid.Read(buffer, 64, nullptr, 1000), 1);
}

TEST_F(HidDeviceTest, TimedOutReadLeavesNothingPending) {
    HidDevice hid;
    ASSERT_TRUE(hid.Open(col4_, true, true, true, false));
    uint8_t buffer[64];
    uint32_t got = 5;
    EXPECT_EQ(hid.Read(buffer, sizeof buffer, &got, 50), 0);
    EXPECT_EQ(got, 0u);
    device_->SendInputReport({4, 0x42});
    ASSERT_EQ(hid.Read(buffer, sizeof buffer, &got, 1000), 1);
    EXPECT_EQ(buffer[1], 0x42);
}

TEST_F(HidDeviceTest, UnplugEndsAWaitingReadAndThePathGoesAway) {
    HidDevice hid;
    ASSERT_TRUE(hid.Open(col4_, true, true, true, false));
    EXPECT_TRUE(HidDevice::IsPathPresent(col4_));
    std::atomic<int> result{-1};
    std::thread reader([&] {
        uint8_t buffer[64];
        result = hid.Read(buffer, sizeof buffer, nullptr, kInfinite);
    });
    std::this_thread::sleep_for(20ms);
    device_->Unplug();
    reader.join();
    EXPECT_EQ(result.load(), 0);
    EXPECT_FALSE(HidDevice::IsPathPresent(col4_));
    const auto request = Command(0x01);
    EXPECT_EQ(hid.Write(request.data(), 64, nullptr, 100), 0);
    EXPECT_FALSE(HidDevice().Open(col4_, true, true, true, false));
    device_->Plug();
    EXPECT_TRUE(HidDevice().Open(col4_, true, true, true, false));
}

TEST_F(HidDeviceTest, AccessAndShareModes) {
    auto config = SimHost::CommandDevice("ro");
    config.writable = false;
    host_.Add(config);
    const std::string ro = "sim:ro#vid_320f&pid_5055&mi_01&col04";
    EXPECT_FALSE(HidDevice().Open(ro, true, true, true, false));
    HidDevice reader;
    EXPECT_TRUE(reader.Open(ro, true, false, true, false));
    const auto request = Command(0x01);
    EXPECT_EQ(reader.Write(request.data(), 64, nullptr, 100), 0);  // opened without write access

    HidDevice exclusive;
    ASSERT_TRUE(exclusive.Open(col4_, true, true, true, true));
    EXPECT_FALSE(HidDevice().Open(col4_, true, true, true, false));  // others may not write
    HidDevice other_reader;
    EXPECT_TRUE(other_reader.Open(col3_, true, false, true, false));  // but may read
    exclusive.Close();
    EXPECT_TRUE(HidDevice().Open(col4_, true, true, true, false));
    HidDevice writer;
    ASSERT_TRUE(writer.Open(col4_, true, true, true, false));
    EXPECT_FALSE(HidDevice().Open(col4_, true, false, true, true));  // exclusive while someone writes
}

TEST_F(HidDeviceTest, TraceRecordsEveryReport) {
    const std::string file = ::testing::TempDir() + "/lumora-trace-" + std::to_string(::getpid()) + ".txt";
    std::remove(file.c_str());
    HidTrace::Configure(file);
    {
        HidDevice hid;
        ASSERT_TRUE(hid.Open(col4_, true, true, true, false));
        const auto request = Command(0x1C);
        ASSERT_EQ(hid.Write(request.data(), 64, nullptr, 1000), 1);
        uint8_t buffer[64];
        ASSERT_EQ(hid.Read(buffer, sizeof buffer, nullptr, 1000), 1);
    }
    HidTrace::Configure("");
    std::ifstream in(file);
    std::string write_line, read_line;
    ASSERT_TRUE(std::getline(in, write_line));
    ASSERT_TRUE(std::getline(in, read_line));
    const std::string head = " " + col4_ + " W 04 1c 00 1c";
    EXPECT_NE(write_line.find(head), std::string::npos) << write_line;
    EXPECT_NE(read_line.find(" " + col4_ + " R 04 1c 00 1c"), std::string::npos) << read_line;
    EXPECT_EQ(std::count(write_line.begin(), write_line.end(), ' '), 2 + 64);  // ms, path, direction, 64 bytes
    std::remove(file.c_str());
}

// Open, close and abort from other threads while transfers run: no hang, no race.
TEST_F(HidDeviceTest, ConcurrentCloseAndReopenWhileTransferring) {
    HidDevice hid;
    ASSERT_TRUE(hid.Open(col4_, true, true, true, false));
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        const auto request = Command(0x01);
        while (!stop) hid.Write(request.data(), 64, nullptr, 50);
    });
    std::thread reader([&] {
        uint8_t buffer[64];
        while (!stop) hid.Read(buffer, sizeof buffer, nullptr, 50);
    });
    for (int i = 0; i < 50; ++i) {
        hid.Abort();
        hid.Close();
        hid.Open(col4_, true, true, true, false);
        std::this_thread::sleep_for(1ms);
    }
    stop = true;
    writer.join();
    reader.join();
}

}  // namespace
}  // namespace lumora

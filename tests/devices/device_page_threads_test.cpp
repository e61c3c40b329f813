// The page's workers against emulated devices: the event thread that waits in a read
// without a time-out, the lighting thread rendering while the UI thread sends frames,
// and pages destroyed while their workers run.

#include <gtest/gtest.h>

#include <atomic>

#include "device_page_test_support.h"
#include "devices/device_worker.h"
#include "devices/orvane_mouse_pad_device.h"
#include "ui/device_key_button_ui.h"

namespace lumora::test {
namespace {

// A pad page with a reaction to device events and an effect for its lighting thread,
// as the device classes give them.
class ReactivePad : public COrvaneMousePadDevice {
public:
    // This class's hooks run on the workers: stop them before this part goes.
    ~ReactivePad() override { StopWorkers(); }

    std::atomic<int> events{0};
    std::atomic<uint16_t> last_usage{0};
    std::atomic<int> renders{0};

protected:
    void OnDeviceEvent(uint16_t usage) override {
        last_usage = usage;
        ++events;
        ArmTabTimer(kTimerReload, 500);
    }
    void RenderCurrentEffect() override {
        RenderColourCycle();
        ++renders;
    }
};

class DeviceWorkersTest : public DevicePageTest {
protected:
    void SetUp() override {
        DevicePageTest::SetUp();
        Rig();
        callback_.overrides["OrvaneMousePadDevice"] = [] { return std::make_unique<ReactivePad>(); };
        pad_ = AddPage<ReactivePad>(kPadRow);
        ASSERT_TRUE(pad_);
    }
    ReactivePad* pad_ = nullptr;
};

TEST_F(DeviceWorkersTest, EventThreadPassesTheUsageAndStopsOutOfAnEndlessRead) {
    ASSERT_TRUE(pad_->EventTransport().Open(SimPath("mousepad", "1004", 3), false));
    ASSERT_TRUE(pad_->StartWorker(COrvaneUSBDevice::Worker::Event));
    EXPECT_TRUE(pad_->StartWorker(COrvaneUSBDevice::Worker::Event));  // a running one is kept
    ASSERT_TRUE(Rig().InjectEvent("mousepad", 0x401));
    ASSERT_TRUE(WaitFor([&] { return pad_->events.load() == 1; }));
    EXPECT_EQ(pad_->last_usage.load(), 0x401);
    EXPECT_EQ(owner_.Timers(), (std::vector<RecordingOwner::Timer>{{0, COrvaneUSBDevice::kTimerReload, 500}}));
    // The thread is back in its read without a time-out; only the abort gets it out.
    pad_->StopWorker(COrvaneUSBDevice::Worker::Event);
    EXPECT_FALSE(pad_->WorkerRunning(COrvaneUSBDevice::Worker::Event));
    // The record is still open and serves a new thread.
    EXPECT_TRUE(pad_->EventTransport().Opened());
    ASSERT_TRUE(pad_->StartWorker(COrvaneUSBDevice::Worker::Event));
    ASSERT_TRUE(Rig().InjectEvent("mousepad", 0x404));
    ASSERT_TRUE(WaitFor([&] { return pad_->events.load() == 2; }));
    EXPECT_EQ(pad_->last_usage.load(), 0x404);
    pad_->StopWorker(COrvaneUSBDevice::Worker::Event);
    EXPECT_FALSE(pad_->WorkerRunning(COrvaneUSBDevice::Worker::Event));
}

TEST_F(DeviceWorkersTest, EventThreadWithoutAnOpenRecordStillStops) {
    ASSERT_TRUE(pad_->StartWorker(COrvaneUSBDevice::Worker::Event));
    EXPECT_TRUE(pad_->WorkerRunning(COrvaneUSBDevice::Worker::Event));
    pad_->StopWorker(COrvaneUSBDevice::Worker::Event);
    EXPECT_FALSE(pad_->WorkerRunning(COrvaneUSBDevice::Worker::Event));
    EXPECT_EQ(pad_->events.load(), 0);
}

// The lighting thread writes the LED colours and the effect state while the UI thread
// reads them for frames and the preview and replaces the settings.
TEST_F(DeviceWorkersTest, LightingThreadAndUiThreadShareTheColours) {
    ASSERT_TRUE(pad_->CommandTransport().Open(SimPath("mousepad", "1004"), false));
    pad_->CommandTransport().SetTransportMode(1);
    LightInfo fast;
    fast.speed = 4;
    fast.light = 4;
    pad_->SetLightSettings(fast);
    ASSERT_TRUE(pad_->StartWorker(COrvaneUSBDevice::Worker::Lighting));
    for (int i = 0; pad_->renders.load() < 20 && i < 200000; ++i) {
        pad_->RefreshLights();
        fast.light = static_cast<uint8_t>(i % 5);
        pad_->SetLightSettings(fast);
        pad_->FadeKey(2, 0);
        pad_->SetLedColour(i % 15, {1, 2, 3, 4});
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    EXPECT_GE(pad_->renders.load(), 20);
    // Restarting replaces the running thread.
    ASSERT_TRUE(pad_->StartWorker(COrvaneUSBDevice::Worker::Lighting));
    EXPECT_TRUE(pad_->WorkerRunning(COrvaneUSBDevice::Worker::Lighting));
    pad_->StopWorker(COrvaneUSBDevice::Worker::Lighting);
    EXPECT_FALSE(pad_->WorkerRunning(COrvaneUSBDevice::Worker::Lighting));
    EXPECT_GT(Rig().MousePad()->FramesStreamed(), 0u);
}

// The lighting thread idles while the transport is closed or synced.
TEST_F(DeviceWorkersTest, LightingThreadIdlesWhileClosedOrSynced) {
    ASSERT_TRUE(pad_->StartWorker(COrvaneUSBDevice::Worker::Lighting));
    ASSERT_TRUE(pad_->CommandTransport().Open(SimPath("mousepad", "1004"), false));
    pad_->CommandTransport().SetSynced(true);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(pad_->renders.load(), 0);
    pad_->CommandTransport().SetSynced(false);
    ASSERT_TRUE(WaitFor([&] { return pad_->renders.load() > 0; }));
    pad_->CommandTransport().Close();
    pad_->StopWorkers();
}

// Pages are destroyed with their workers running and their reads waiting.
TEST_F(DeviceWorkersTest, DestroyingAPageStopsItsWorkers) {
    ASSERT_TRUE(pad_->EventTransport().Open(SimPath("mousepad", "1004", 3), false));
    ASSERT_TRUE(pad_->CommandTransport().Open(SimPath("mousepad", "1004"), false));
    ASSERT_TRUE(pad_->StartWorker(COrvaneUSBDevice::Worker::Event));
    ASSERT_TRUE(pad_->StartWorker(COrvaneUSBDevice::Worker::Lighting));
    ASSERT_TRUE(WaitFor([&] { return pad_->renders.load() > 0; }));
    auto page = Find("pages")->Detach(pad_);
    page.reset();
    pad_ = nullptr;
}

TEST(DeviceWorker, StopInterruptsUntilTheBodyLeaves) {
    // A pass that stays blocked through the first interrupts, as a read that an abort
    // missed (it began just after the abort) would.
    std::mutex mutex;
    std::condition_variable cv;
    int interrupts = 0;
    bool entered = false;
    bool released = false;
    DeviceWorker worker("test", "test worker ended");
    ASSERT_TRUE(worker.Start([&](const StopEvent&) {
        std::unique_lock lock(mutex);
        entered = true;
        cv.notify_all();
        cv.wait(lock, [&] { return released; });
    }));
    EXPECT_FALSE(worker.Start([](const StopEvent&) {}));
    {
        std::unique_lock lock(mutex);
        cv.wait(lock, [&] { return entered; });
    }
    const auto result = worker.Stop([&] {
        std::lock_guard lock(mutex);
        if (++interrupts >= 3) released = true;
        cv.notify_all();
    });
    EXPECT_NE(result, DeviceWorker::StopResult::NotRunning);
    EXPECT_FALSE(worker.Running());
    EXPECT_EQ(interrupts, 3);
    EXPECT_EQ(worker.Stop(), DeviceWorker::StopResult::NotRunning);
}

}  // namespace
}  // namespace lumora::test

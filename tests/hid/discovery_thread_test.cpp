#include "hid/discovery_thread.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

#include "hid/hid_backends.h"
#include "sim/sim_descriptors.h"
#include "sim/sim_host.h"

namespace lumora {
namespace {

using namespace std::chrono_literals;

class RecordingSink : public DiscoverySink {
public:
    void DeviceArrived(size_t slot) override { Add("+" + std::to_string(slot)); }
    void DeviceRemoved(size_t slot) override { Add("-" + std::to_string(slot)); }
    void FirstPassDone() override { Add("first"); }
    std::vector<std::string> Take() {
        std::lock_guard lock(mutex_);
        return std::exchange(events_, {});
    }
    bool WaitFor(size_t count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 5s, [&] { return events_.size() >= count; });
    }

private:
    void Add(std::string e) {
        std::lock_guard lock(mutex_);
        events_.push_back(std::move(e));
        changed_.notify_all();
    }
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> events_;
};

// Counts enumerations and lists nothing itself.
class CountingBackend : public HidBackend {
public:
    bool Owns(std::string_view) const override { return false; }
    bool Enumerate(std::vector<std::string>&) override {
        ++calls;
        return !fail;
    }
    std::unique_ptr<HidConnection> Open(std::string_view, bool, bool) override { return nullptr; }
    bool IsPresent(std::string_view) override { return false; }
    std::atomic<int> calls{0};
    std::atomic<bool> fail{false};
};

SimDevice::Config Device(const std::string& name, uint16_t product) {
    auto c = SimHost::CommandDevice(name, 0x320F, product);
    c.pacing = false;
    return c;
}

SimDevice::Config Headset() {
    SimDevice::Config c;
    c.node = "sim:hs";
    c.identity = {0x0C76, 0x1630, 0x0100, 3, "headset"};
    c.descriptor = SimDescriptors::HeadsetInterface();
    c.pacing = false;
    return c;
}

class DiscoveryTest : public ::testing::Test {
protected:
    DiscoveryTest() : counter_(std::make_shared<CountingBackend>()) { HidBackends::Add(counter_); }
    SimHost host_;
    std::shared_ptr<CountingBackend> counter_;
    InterfaceSlots slots_;
    RecordingSink sink_;
    DiscoveryThread discovery_{slots_, sink_};
};

TEST_F(DiscoveryTest, ClaimsRemovesAndReportsTheFirstPassOnce) {
    ASSERT_TRUE(discovery_.Pass());
    EXPECT_EQ(sink_.Take(), std::vector<std::string>{"first"});

    auto keyboard = host_.Add(Device("kb", 0x5055));
    ASSERT_TRUE(discovery_.Pass());
    // Paths come col01..col04: the event collection (slot 1) before the command one (slot 0).
    EXPECT_EQ(sink_.Take(), (std::vector<std::string>{"+1", "+0"}));
    EXPECT_EQ(slots_.Get(0).path, "sim:kb#vid_320f&pid_5055&mi_01&col04");
    EXPECT_EQ(slots_.Get(1).path, "sim:kb#vid_320f&pid_5055&mi_01&col03");

    // A second keyboard of the same model has no free slot: nothing changes.
    host_.Add(Device("kb2", 0x5055));
    ASSERT_TRUE(discovery_.Pass());
    EXPECT_TRUE(sink_.Take().empty());
    EXPECT_EQ(slots_.Get(0).path, "sim:kb#vid_320f&pid_5055&mi_01&col04");

    keyboard->Unplug();
    ASSERT_TRUE(discovery_.Pass());
    EXPECT_EQ(sink_.Take(), (std::vector<std::string>{"-0", "-1"}));
    // The same pass cannot re-claim; the next one takes the second keyboard.
    ASSERT_TRUE(discovery_.Pass());
    EXPECT_EQ(sink_.Take(), (std::vector<std::string>{"+1", "+0"}));
    EXPECT_EQ(slots_.Get(0).path, "sim:kb2#vid_320f&pid_5055&mi_01&col04");
}

TEST_F(DiscoveryTest, HeadsetOnInterfaceThreeWithoutCollection) {
    host_.Add(Headset());
    ASSERT_TRUE(discovery_.Pass());
    EXPECT_EQ(sink_.Take(), (std::vector<std::string>{"+10", "first"}));
    EXPECT_EQ(slots_.Get(10).path, "sim:hs#vid_0c76&pid_1630&mi_03");
}

TEST_F(DiscoveryTest, NoEnumerationWhileEverySlotIsClaimed) {
    for (auto [name, product] : {std::pair{"kb", 0x5055}, {"kbrx", 0x5001}, {"ms", 0x221C}, {"msrx", 0x221D},
                                 {"pad", 0x1004}})
        host_.Add(Device(name, static_cast<uint16_t>(product)));
    host_.Add(Headset());
    ASSERT_TRUE(discovery_.Pass());
    EXPECT_EQ(sink_.Take().size(), 12u);  // eleven slots and the first-pass report
    EXPECT_FALSE(slots_.AnyFree());
    const int before = counter_->calls;
    ASSERT_TRUE(discovery_.Pass());
    ASSERT_TRUE(discovery_.Pass());
    EXPECT_EQ(counter_->calls, before);
    EXPECT_TRUE(sink_.Take().empty());
}

TEST_F(DiscoveryTest, ThreadFindsDevicesStopsPromptlyAndEndsOnEnumerationFailure) {
    ASSERT_TRUE(discovery_.Start());
    host_.Add(Device("pad", 0x1004));
    ASSERT_TRUE(sink_.WaitFor(3));
    discovery_.Stop();
    EXPECT_FALSE(discovery_.Running());
    auto events = sink_.Take();
    EXPECT_EQ(std::count(events.begin(), events.end(), "first"), 1);
    EXPECT_EQ(std::count(events.begin(), events.end(), "+8"), 1);

    counter_->fail = true;
    ASSERT_TRUE(discovery_.Start());
    for (int i = 0; i < 500 && discovery_.Running(); ++i) std::this_thread::sleep_for(2ms);
    EXPECT_FALSE(discovery_.Running());
}

}  // namespace
}  // namespace lumora

// Hot-plug under load: every emulated device is plugged and unplugged 200 times by its
// own thread while the real discovery thread runs, the tab timers stream light frames
// and the UI thread keeps writing a setting to every open device. Afterwards the
// visible tabs are exactly those of the plugged devices.

#include <algorithm>
#include <atomic>
#include <map>
#include <random>
#include <thread>

#include "app/device_hub.h"
#include "devices/device_option_ui.h"
#include "devices/orvane_usb_device.h"
#include "tests/app/app_test_support.h"

namespace lumora {
namespace {

using namespace std::chrono_literals;
using testing::AppFixture;

constexpr int kCycles = 200;

class HotPlugStormTest : public AppFixture {};

TEST_F(HotPlugStormTest, TabsMatchThePluggedDevicesAfterAStorm) {
    LumoraApp::Options options;
    options.demoDevices = SimRig::Names();
    options.demoPacing = false;
    LumoraApp& app = Start(options);
    SimRig& rig = *app.Rig();
    CMainWnd& main = Main();
    DeviceHub& hub = main.Devices();

    // A setting written to every open device, over and over, from the UI thread.
    std::atomic<int> writes{0};
    const auto writer = app.Loop().NewTimerId();
    app.Loop().SetTimer(writer, 7ms, MessageLoop::TimerMode::Repeating, [&] {
        const uint8_t record[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
        for (CDeviceOptionUI* tab : hub.TabsInOrder()) {
            DeviceTransport& transport = tab->GetPage()->CommandTransport();
            if (transport.Opened() && transport.WriteSettings(record, sizeof record, 0) == DeviceTransport::kSuccess)
                ++writes;
        }
    });

    std::map<std::string, bool> plugged;
    for (const std::string& name : SimRig::Names()) plugged[name] = true;
    std::atomic<int> finished{0};
    std::vector<std::thread> storm;
    unsigned seed = 1;
    for (auto& [name, final_state] : plugged) {
        storm.emplace_back([&, name = name, state = &final_state, s = seed++] {
            std::mt19937 random(s);
            std::uniform_int_distribution<int> pause(0, 9);
            for (int cycle = 0; cycle < kCycles; ++cycle) {
                rig.Unplug(name);
                std::this_thread::sleep_for(std::chrono::milliseconds(pause(random)));
                rig.Plug(name);
                std::this_thread::sleep_for(std::chrono::milliseconds(pause(random)));
            }
            // Each device ends plugged or not, at random.
            *state = random() % 2 == 0;
            if (!*state) rig.Unplug(name);
            ++finished;
            app.Loop().Post([] {});
        });
    }
    EXPECT_TRUE(PumpUntil([&] { return finished == static_cast<int>(storm.size()); }));
    for (std::thread& t : storm) t.join();

    auto shown = [&](std::string_view kind) {
        COrvaneUSBDevice* page = main.FindPage(kind);
        return page && hub.Tab(page->TabIndex())->GetVisibleFlag();
    };
    const std::map<std::string_view, bool> expected = {
        {"mouse", plugged["mouse"] || plugged["mouse-receiver"]},
        {"keyboard", plugged["keyboard"] || plugged["keyboard-receiver"]},
        {"MousePad", plugged["mousepad"]},
        {"HD", plugged["headset"]},
    };
    auto settled = [&] {
        for (const auto& [kind, visible] : expected)
            if (shown(kind) != visible) return false;
        return true;
    };
    // Discovery needs a pass, a receiver's tab its device-ready check.
    EXPECT_TRUE(PumpUntil(settled));
    for (const auto& [kind, visible] : expected) EXPECT_EQ(shown(kind), visible) << kind;
    EXPECT_EQ(main.FindControl("No_device_Link")->GetVisibleFlag(), hub.VisibleTabCount() == 0);
    EXPECT_GT(writes.load(), 0);
    app.Loop().KillTimer(writer);

    // Everything plugged again comes back.
    for (const std::string& name : SimRig::Names()) rig.Plug(name);
    EXPECT_TRUE(PumpUntil([&] { return hub.VisibleTabCount() == 4; }));
}

}  // namespace
}  // namespace lumora

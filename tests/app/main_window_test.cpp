// The main window with emulated devices: discovery and hot-plug, pages, tabs and their
// timers, the tray, language and the device table, on a manual clock with discovery
// passes run on the UI thread.

#include <algorithm>
#include <atomic>
#include <thread>

#include "app/about_wnd.h"
#include "app/device_hub.h"
#include "app/main_wnd.h"
#include "app/work_tool_record.h"
#include "devices/device_option_ui.h"
#include "devices/orvane_mouse_device.h"
#include "platform/bus_client.h"
#include "platform/registered_messages.h"
#include "sim/mouse_model.h"
#include "sim/sim_descriptors.h"
#include "sim/sim_host.h"
#include "tests/app/app_test_support.h"
#include "ui/menu_cmd.h"
#include "ui/menu_wnd.h"

namespace lumora {
namespace {

using namespace std::chrono_literals;
using testing::AppFixture;
using testing::kWait;

// The mouse page asking the receiver for its link, as the mouse protocol does; counts the questions.
class LinkAskingMouse : public COrvaneMouseDevice {
public:
    bool QueryLinkAlive() override {
        ++queries;
        DeviceTransport& transport = CommandTransport();
        return transport.Opened() && transport.Wireless() && transport.QueryWirelessLink();
    }
    std::atomic<int> queries{0};
};

class MainWindowTest : public AppFixture {
protected:
    // Starts with every emulated device created and only `plugged` plugged in.
    LumoraApp& StartWith(const std::vector<std::string>& plugged, const std::function<void(CMainWnd&)>& before = {},
                         bool manual_clock = true) {
        LumoraApp::Options options;
        if (manual_clock) options.clock = clock_;
        options.demoDevices = SimRig::Names();
        options.demoPacing = false;
        options.startDiscovery = false;
        return Start(options, [&](CMainWnd& main) {
            for (const std::string& name : SimRig::Names())
                if (std::find(plugged.begin(), plugged.end(), name) == plugged.end()) app_->Rig()->Unplug(name);
            if (before) before(main);
        });
    }
    void Scan() {
        ASSERT_TRUE(Main().RunDiscoveryPass());
        app_->Loop().RunUntilIdle();
    }
    void Advance(std::chrono::milliseconds time) { app_->Loop().RunFor(time); }
    SimRig& Rig() { return *app_->Rig(); }
    DeviceHub& Hub() { return Main().Devices(); }
    COrvaneUSBDevice* Page(std::string_view kind) { return Main().FindPage(kind); }
    CDeviceOptionUI* TabOf(std::string_view kind) {
        COrvaneUSBDevice* page = Page(kind);
        return page ? Hub().Tab(page->TabIndex()) : nullptr;
    }
    bool Shown(std::string_view kind) {
        CDeviceOptionUI* tab = TabOf(kind);
        return tab && tab->GetVisibleFlag();
    }
    bool NoDeviceShown() { return Main().FindControl("No_device_Link")->GetVisibleFlag(); }

    std::shared_ptr<ManualClock> clock_ = std::make_shared<ManualClock>();
};

TEST_F(MainWindowTest, WithoutDevicesTheWindowSaysSoAndOnlyMouseAndKeyboardPagesExist) {
    StartWith({});
    // Hidden, 800 x 572 and centred until the first scan is over.
    EXPECT_FALSE(Main().IsWindowVisible());
    EXPECT_EQ(Main().GetWindowRect(), (UiRect{560, 254, 1360, 826}));
    ASSERT_NE(Page("mouse"), nullptr);
    ASSERT_NE(Page("keyboard"), nullptr);
    EXPECT_EQ(Page("MousePad"), nullptr);
    EXPECT_EQ(Page("HD"), nullptr);
    EXPECT_EQ(Hub().TabsInOrder().size(), 2u);

    Scan();
    EXPECT_TRUE(Main().IsWindowVisible());
    EXPECT_TRUE(NoDeviceShown());
    EXPECT_EQ(Hub().VisibleTabCount(), 0);
    EXPECT_EQ(Main().SelectedPage(), nullptr);
    EXPECT_FALSE(Hub().SyncAvailable());
    // The product message comes once per run, whatever the number of scans.
    Scan();
    Scan();
    EXPECT_EQ(Main().ProductMessageCount(), 1);
    EXPECT_EQ(Main().LastProductLParam(), 0);

    // 100 ms after start the window is fitted: 1000 x 640 at DPI 144 on the 1920 x 1080 screen.
    Advance(100ms);
    EXPECT_EQ(Main().Dpi(), 144);
    EXPECT_EQ(Main().GetWindowRect(), (UiRect{210, 60, 1710, 1020}));
    EXPECT_EQ(Main().ScreenWidth(), 1920);
    EXPECT_EQ(Main().ScreenHeight(), 1080);
}

TEST_F(MainWindowTest, DpiFollowsTheMonitorSize) {
    StartWith({});
    struct Case {
        UiRect screen;
        int dpi;
    };
    for (const Case& c : {Case{{0, 0, 1920, 1080}, 144}, Case{{0, 0, 1500, 960}, 96}, Case{{0, 0, 1501, 961}, 144},
                          Case{{0, 0, 1366, 768}, 96}}) {
        CWindowWnd::SetHeadlessScreen(c.screen);
        Main().FitToMonitor();
        EXPECT_EQ(Main().Dpi(), c.dpi) << c.screen.right;
        EXPECT_EQ(Main().GetWindowRect().Width(), 1000 * c.dpi / 96);
        EXPECT_EQ(Main().GetWindowRect().left, (c.screen.Width() - 1000 * c.dpi / 96) / 2);
    }
    CWindowWnd::SetHeadlessScreen(UiRect{0, 0, 1920, 1080});
}

TEST_F(MainWindowTest, MousePadPageIsBuiltOnItsFirstArrivalAndReused) {
    StartWith({});
    Scan();
    ASSERT_EQ(Page("MousePad"), nullptr);

    ASSERT_TRUE(Rig().Plug("mousepad"));
    Scan();
    COrvaneUSBDevice* pad = Page("MousePad");
    ASSERT_NE(pad, nullptr);
    EXPECT_TRUE(Shown("MousePad"));
    EXPECT_EQ(Main().SelectedPage(), pad);  // the only tab: selected
    EXPECT_FALSE(NoDeviceShown());
    EXPECT_TRUE(pad->CommandTransport().Opened());
    EXPECT_TRUE(pad->EventTransport().Opened());
    EXPECT_TRUE(pad->WorkerRunning(COrvaneUSBDevice::Worker::Event));
    EXPECT_EQ(Hub().TabsInOrder().size(), 3u);

    ASSERT_TRUE(Rig().Unplug("mousepad"));
    Scan();
    EXPECT_FALSE(Shown("MousePad"));
    EXPECT_TRUE(NoDeviceShown());
    EXPECT_FALSE(pad->CommandTransport().Opened());
    EXPECT_FALSE(pad->EventTransport().Opened());
    EXPECT_FALSE(pad->WorkerRunning(COrvaneUSBDevice::Worker::Event));

    ASSERT_TRUE(Rig().Plug("mousepad"));
    Scan();
    EXPECT_EQ(Page("MousePad"), pad);
    EXPECT_EQ(Hub().TabsInOrder().size(), 3u);
    EXPECT_EQ(Hub().FamilyPages(DeviceHub::Family::MousePad).size(), 1u);
    EXPECT_TRUE(Shown("MousePad"));
    EXPECT_TRUE(pad->CommandTransport().Opened());
}

// Link queries (command 0xAA) a device saw since its recording was last cleared.
int LinkQueries(const SimDevice& device) {
    int count = 0;
    for (const auto& r : device.Recording())
        if (r.direction == 'W' && r.bytes.size() > 3 && r.bytes[3] == 0xAA) ++count;
    return count;
}

TEST_F(MainWindowTest, ReceiverThenCableSharesOnePageAndPullingTheCableGoesBackToWireless) {
    LinkAskingMouse* mouse = nullptr;
    StartWith({"mouse-receiver"}, [&](CMainWnd& main) {
        main.OverrideElement("OrvaneMouseDevice", [&] {
            auto page = std::make_unique<LinkAskingMouse>();
            mouse = page.get();
            return std::unique_ptr<CControlUI>(std::move(page));
        });
    });
    ASSERT_NE(mouse, nullptr);
    ASSERT_EQ(Page("mouse"), mouse);
    DeviceTransport& transport = mouse->CommandTransport();

    Scan();
    EXPECT_TRUE(transport.Opened());
    EXPECT_TRUE(transport.Wireless());
    EXPECT_EQ(transport.PageSize(), 24);
    // A receiver's tab waits for the device-ready check of its link.
    EXPECT_FALSE(Shown("mouse"));
    Advance(500ms);
    EXPECT_TRUE(Shown("mouse"));
    EXPECT_EQ(mouse->queries, 1);

    ASSERT_TRUE(Rig().Plug("mouse"));
    Scan();
    EXPECT_EQ(Page("mouse"), mouse);
    EXPECT_EQ(Hub().FamilyPages(DeviceHub::Family::Mouse).size(), 1u);
    EXPECT_TRUE(transport.Opened());
    EXPECT_FALSE(transport.Wireless());
    EXPECT_EQ(transport.PageSize(), 56);
    EXPECT_NE(transport.Primary().Path().find("pid_221c"), std::string::npos) << transport.Primary().Path();
    EXPECT_TRUE(Shown("mouse"));
    Advance(500ms);  // device ready on the cable

    // The cable goes while the mouse is out of reach of its receiver.
    ASSERT_TRUE(Rig().SetLink("mouse-receiver", false));
    std::shared_ptr<SimDevice> receiver = Rig().Device("mouse-receiver");
    receiver->ClearRecording();
    const int before = mouse->queries;
    ASSERT_TRUE(Rig().Unplug("mouse"));
    Scan();
    EXPECT_TRUE(transport.Opened());
    EXPECT_TRUE(transport.Wireless());
    EXPECT_EQ(transport.PageSize(), 24);
    EXPECT_NE(transport.Secondary().Path().find("pid_221d"), std::string::npos) << transport.Secondary().Path();
    EXPECT_TRUE(Hub().LinkProbeRunning(mouse->TabIndex()));
    Advance(1500ms);
    EXPECT_FALSE(Hub().LinkProbeRunning(mouse->TabIndex()));
    EXPECT_EQ(mouse->queries - before, DeviceHub::kLinkAttempts);
    EXPECT_EQ(LinkQueries(*receiver), DeviceHub::kLinkAttempts);
    // The link watchdog then hides the tab of the unreachable mouse, and shows it again once it answers.
    Advance(2000ms);
    EXPECT_FALSE(Shown("mouse"));
    EXPECT_TRUE(NoDeviceShown());
    ASSERT_TRUE(Rig().SetLink("mouse-receiver", true));
    Advance(3000ms);
    EXPECT_TRUE(Shown("mouse"));

    // The receiver goes too: the page is closed and its timers end.
    ASSERT_TRUE(Rig().Unplug("mouse-receiver"));
    Scan();
    EXPECT_FALSE(transport.Opened());
    EXPECT_FALSE(Shown("mouse"));
    const int after = mouse->queries;
    Advance(10s);
    EXPECT_EQ(mouse->queries, after);
    EXPECT_FALSE(Shown("mouse"));
}

TEST_F(MainWindowTest, ASecondMouseOfTheSameModelChangesNothing) {
    // Two mice of one model, each with its own firmware, as the only devices.
    SimHost host;
    auto addMouse = [&](const std::string& node) {
        SimDevice::Config config;
        config.node = node;
        config.identity = HidIdentity{0x320F, 0x221C, 0x0102, 1, "Orvane M1 Wireless Mouse"};
        config.descriptor = SimDescriptors::CommandInterface();
        config.pacing = false;
        config.model = std::make_shared<MouseModel>();
        return host.Add(config);
    };
    const std::shared_ptr<SimDevice> first = addMouse("sim:mouse");
    LumoraApp::Options options;
    options.clock = clock_;
    options.startDiscovery = false;
    Start(options);
    Scan();
    COrvaneUSBDevice* mouse = Page("mouse");
    ASSERT_TRUE(mouse->CommandTransport().Opened());
    const std::string path = mouse->CommandTransport().Primary().Path();
    const auto claimed = Hub().Slots().Connected();
    ASSERT_EQ(claimed.size(), 2u);

    const std::shared_ptr<SimDevice> second = addMouse("sim:mouse-2");
    Scan();
    EXPECT_EQ(Hub().Slots().Connected(), claimed);
    EXPECT_EQ(mouse->CommandTransport().Primary().Path(), path);
    EXPECT_EQ(second->OpenChannels(), 0u);
    EXPECT_EQ(Hub().TabsInOrder().size(), 2u);
    EXPECT_EQ(Hub().VisibleTabCount(), 1);

    // Once the first is gone, the second one is served by the same page.
    first->Unplug();
    Scan();
    Scan();
    EXPECT_TRUE(mouse->CommandTransport().Opened());
    EXPECT_EQ(mouse->CommandTransport().Primary().Path().rfind("sim:mouse-2", 0), 0u);
    EXPECT_TRUE(Shown("mouse"));
    app_.reset();  // the pages close their channels before the mice go
}

TEST_F(MainWindowTest, HeadsetIsFoundOnInterfaceThreeWithoutACollection) {
    StartWith({"headset"});
    Scan();
    const InterfaceSlot slot = Hub().Slots().Get(10);
    EXPECT_EQ(slot.connected, 1);
    EXPECT_NE(slot.path.find("&mi_03"), std::string::npos) << slot.path;
    EXPECT_EQ(slot.path.find("&col"), std::string::npos) << slot.path;
    ASSERT_NE(Page("HD"), nullptr);
    EXPECT_TRUE(Page("HD")->CommandTransport().Opened());
    EXPECT_TRUE(Shown("HD"));
    EXPECT_EQ(Hub().Slots().Connected().size(), 1u);
}

TEST_F(MainWindowTest, ReadyDeviceStreamsFramesAndItsTimersFollowThePage) {
    StartWith({"keyboard", "mouse"});
    Scan();
    const int keyboard = Page("keyboard")->TabIndex();
    const int mouse = Page("mouse")->TabIndex();
    EXPECT_TRUE(Hub().TabTimerArmed(keyboard, 1001));
    EXPECT_FALSE(Hub().TabTimerArmed(keyboard, 1000));
    Advance(500ms);
    EXPECT_TRUE(Hub().TabTimerArmed(keyboard, 1000));
    EXPECT_FALSE(Hub().TabTimerArmed(keyboard, 1005));  // no power panel
    EXPECT_TRUE(Hub().TabTimerArmed(mouse, 1005));
    EXPECT_FALSE(Hub().TabTimerArmed(mouse, 1007));  // wired
    EXPECT_TRUE(Hub().SyncAvailable());

    const std::shared_ptr<SimDevice> device = Rig().Device("keyboard");
    const uint32_t seen = device->CommandsSeen();
    Advance(100ms);
    EXPECT_GE(device->CommandsSeen() - seen, 10u);  // a frame every 5 ms

    ASSERT_TRUE(Rig().Unplug("keyboard"));
    Scan();
    Advance(10ms);
    EXPECT_FALSE(Hub().TabTimerArmed(keyboard, 1000));
    EXPECT_FALSE(Hub().SyncAvailable());
}

TEST_F(MainWindowTest, PreviousAndNextDeviceStopAtTheEnds) {
    StartWith({"keyboard", "mouse", "mousepad"});
    Scan();
    // Tab order: mouse, keyboard (built at start), mouse pad.
    ASSERT_EQ(Hub().VisibleTabCount(), 3);
    auto click = [&](const char* name) {
        EXPECT_EQ(Ctl({"notify", "click", std::string("main:") + name}).status, 0) << name;
        app_->Loop().RunUntilIdle();
    };
    Hub().ShowDeviceTab(Page("keyboard")->TabIndex(), true, true);
    EXPECT_EQ(Main().SelectedPage(), Page("keyboard"));
    const struct {
        const char* button;
        const char* selected;
    } steps[] = {{"device_select_prev", "mouse"},    {"device_select_prev", "mouse"},
                 {"device_select_next", "keyboard"}, {"device_select_next", "MousePad"},
                 {"device_select_next", "MousePad"}, {"device_select_prev", "keyboard"}};
    for (const auto& step : steps) {
        click(step.button);
        EXPECT_EQ(Main().SelectedPage(), Page(step.selected)) << step.button << " -> " << step.selected;
        EXPECT_EQ(Main().SelectedTabIndex(), Page(step.selected)->TabIndex());
    }
    // Hidden tabs are passed over; hiding the selected tab selects the first visible one.
    ASSERT_TRUE(Rig().Unplug("keyboard"));
    Scan();
    EXPECT_EQ(Main().SelectedPage(), Page("mouse"));
    click("device_select_next");
    EXPECT_EQ(Main().SelectedPage(), Page("MousePad"));
    click("device_select_prev");
    EXPECT_EQ(Main().SelectedPage(), Page("mouse"));
}

TEST_F(MainWindowTest, WorkToolGetsTheDeviceTable) {
    StartWith({}, {}, false);
    std::optional<BusMessage> table;
    std::atomic<bool> done{false};
    std::thread tool([&] {
        BusClient client;
        if (client.Connect(WorkToolRecord::kClientName, kWait) &&
            client.Send(RegisteredMessages::kGuidNames[3], 0, 0))
            table = client.Receive(kWait);
        done = true;
        app_->Loop().Post([] {});
    });
    EXPECT_TRUE(PumpUntil([&] { return done.load(); }));
    tool.join();
    ASSERT_TRUE(table);
    EXPECT_EQ(table->name, "WM_COPYDATA");
    EXPECT_EQ(table->wParam, 5u);
    ASSERT_EQ(table->data.size(), 1024u);
    auto u32 = [&](size_t index) {
        const uint8_t* b = table->data.data() + 4 * index;
        return static_cast<uint32_t>(b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24);
    };
    const std::vector<uint32_t> head = {2, 3, 0, 2, 4, 0x320F, 0x221C, 2, 0x320F, 0x5055, 1,
                                        0x320F, 0x1004, 3, 0x0C76, 0x1630, 7};
    for (size_t i = 0; i < head.size(); ++i) EXPECT_EQ(u32(i), head[i]) << "field " << i;
    EXPECT_TRUE(std::all_of(table->data.begin() + 68, table->data.end(), [](uint8_t b) { return b == 0; }));
}

TEST_F(MainWindowTest, SavedLanguageFallsBackTo520ThenToTheFirstEntry) {
    StartWith({});
    // No language stored: the one with identifier 520 (English), which is then stored.
    EXPECT_EQ(Main().LanguageIndex(), 1);
    EXPECT_EQ(Main().Settings().GetInteger(CMainWnd::kSettingsKey, "LANGUAGE"), 520);
    EXPECT_EQ(Ctl({"get", "No_device_Link", "text"}).text,
              "No device connected. Plug in your keyboard, mouse, mouse pad or headset.\n");

    const std::string two = R"({"Language":[{"Language_ID":2052,"Language_name":"cn","Language_file":"lan_cn.xml"},
                                           {"Language_ID":520,"Language_name":"en","Language_file":"lan_en.xml"}]})";
    const std::string no520 = R"({"Language":[{"Language_ID":7,"Language_name":"a","Language_file":"a.xml"},
                                             {"Language_ID":8,"Language_name":"b","Language_file":"b.xml"}]})";
    struct Case {
        const char* name;
        std::optional<std::string> config;  // nothing: no file
        std::optional<int> stored;
        int index;
    };
    const Case cases[] = {
        {"nothing stored", two, std::nullopt, 1},
        {"no 520 listed", no520, std::nullopt, 0},
        {"stored identifier", two, 2052, 0},
        {"stored identifier not listed", two, 99, 0},
        {"stored listed last", no520, 8, 1},
        {"no list", std::nullopt, 520, 0},
        {"not a list", std::string("{\"Language\": 5"), std::nullopt, 0},
    };
    const std::filesystem::path file = program_ / "DefaultData" / "Language.config";
    for (const Case& c : cases) {
        if (c.config)
            WriteProgramFile("DefaultData/Language.config", *c.config);
        else
            std::filesystem::remove(file);
        if (c.stored)
            Main().Settings().SetInteger(CMainWnd::kSettingsKey, "LANGUAGE", *c.stored);
        else
            Main().Settings().RemoveValue(CMainWnd::kSettingsKey, "LANGUAGE");
        EXPECT_EQ(Main().GetSavedLanguage(), c.index) << c.name;
    }

    // Choosing a language switches the texts and stores its identifier.
    WriteProgramFile("DefaultData/Language.config", two);
    Main().SendMessage(CMainWnd::WM_LANGUAGE_CHANGED, 0);
    EXPECT_EQ(Main().LanguageIndex(), 0);
    EXPECT_EQ(Main().Settings().GetInteger(CMainWnd::kSettingsKey, "LANGUAGE"), 2052);
    EXPECT_EQ(Ctl({"get", "No_device_Link", "text"}).text, "未连接设备。请插入键盘、鼠标、鼠标垫或耳机。\n");
}

TEST_F(MainWindowTest, FontsFollowTheLanguageIndex) {
    StartWith({});
    auto face = [&] { return Main().GetPaintManager().GetDefaultFontInfo()->face; };
    Main().SelectLanguage(15);
    EXPECT_EQ(face(), "Noto Sans Thai");
    EXPECT_EQ(Main().GetPaintManager().GetFont(50)->size, 18);
    EXPECT_TRUE(Main().GetPaintManager().GetFont(50)->bold);
    EXPECT_TRUE(Main().GetPaintManager().GetFont(1)->underline);
    Main().SelectLanguage(5);
    EXPECT_EQ(face(), "Verdana Unicode MS");
    Main().ApplyFonts("Marker");
    Main().SelectLanguage(7);
    EXPECT_EQ(face(), "Marker");
    Main().SelectLanguage(0);
    EXPECT_EQ(face(), "汉仪菱心体简");
    Main().SelectLanguage(2);
    EXPECT_EQ(face(), "Noto Sans CJK TC Regular");
    // Positions past the list name no language: the stored choice stays.
    EXPECT_EQ(Main().Settings().GetInteger(CMainWnd::kSettingsKey, "LANGUAGE"), 2052);
}

TEST_F(MainWindowTest, CloseHidesToTheTrayAndTheTrayBringsItBackUnlessSuspended) {
    StartWith({"keyboard"});
    Scan();
    CTrayIcon& tray = Main().Tray();
    EXPECT_TRUE(tray.IsCreated());
    EXPECT_EQ(tray.GetIconResource(), 107);
    EXPECT_EQ(tray.GetTooltipText(), "Halvek Trine 1.02");
    EXPECT_EQ(tray.GetMessage(), 1025u);

    auto close = [&] {
        EXPECT_EQ(Ctl({"notify", "click", "main:closebtn"}).status, 0);
        app_->Loop().RunUntilIdle();
    };
    auto leftClick = [&] {
        ASSERT_TRUE(tray.Click(WM_LBUTTONUP, UiPoint{1800, 1070}));
        app_->Loop().RunUntilIdle();
    };
    close();
    EXPECT_FALSE(Main().IsWindowVisible());
    EXPECT_TRUE(Main().IsWindow());
    EXPECT_TRUE(tray.IsCreated());
    leftClick();
    EXPECT_TRUE(Main().IsWindowVisible());
    EXPECT_EQ(Main().GetWindowRect(), (UiRect{210, 60, 1710, 1020}));
    EXPECT_FALSE(Main().IsTopmost());
    leftClick();
    EXPECT_FALSE(Main().IsWindowVisible());

    // While the system sleeps the tray does nothing and no page drives the lighting.
    COrvaneUSBDevice* keyboard = Page("keyboard");
    Main().SendMessage(WM_POWERBROADCAST, CMainWnd::PBT_APMSUSPEND);
    EXPECT_FALSE(Main().Awake());
    EXPECT_EQ(keyboard->LightingControl(), 0);
    EXPECT_EQ(Main().LightingControl(), 1);
    leftClick();
    EXPECT_FALSE(Main().IsWindowVisible());
    Main().SendMessage(WM_POWERBROADCAST, CMainWnd::PBT_APMRESUMEAUTOMATIC);
    EXPECT_TRUE(Main().Awake());
    EXPECT_EQ(keyboard->LightingControl(), 1);
    leftClick();
    EXPECT_TRUE(Main().IsWindowVisible());
}

TEST_F(MainWindowTest, TrayMenuOpensBesideTheTaskbarAndExitEndsTheProgram) {
    struct Case {
        std::optional<UiRect> taskbar;
        UiPoint point;
        int alignment;
    };
    const Case cases[] = {
        {std::nullopt, {500, 500}, 6},
        {UiRect{0, 1040, 1920, 1080}, {500, 1020}, 24},  // bottom
        {UiRect{0, 0, 1920, 40}, {500, 41}, 12},         // top
        {UiRect{0, 0, 60, 1080}, {61, 500}, 18},         // left
        {UiRect{1860, 0, 1920, 1080}, {1859, 500}, 24},  // right
    };
    for (const Case& c : cases) {
        UiPoint point{500, 500};
        int alignment = 6;
        CMainWnd::PlaceMenuAtTaskbar(point, alignment, c.taskbar);
        EXPECT_EQ(point, c.point);
        EXPECT_EQ(alignment, c.alignment);
    }

    LumoraApp& app = StartWith({"mouse"});
    Scan();
    Main().SetTaskbarRect(UiRect{0, 1040, 1920, 1080});
    ASSERT_TRUE(Main().Tray().Click(WM_RBUTTONUP, UiPoint{1700, 1060}));
    app.Loop().RunUntilIdle();
    EXPECT_EQ(Main().TrayMenu(), nullptr);
    Advance(10ms);
    CMenuWnd* menu = Main().TrayMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->IsWindow());
    EXPECT_EQ(menu->GetPoint(), (UiPoint{1700, 1020}));
    EXPECT_EQ(menu->GetAlignment(), 24);

    COrvaneUSBDevice* mouse = Page("mouse");
    ASSERT_TRUE(mouse->WorkerRunning(COrvaneUSBDevice::Worker::Event));
    std::string error;
    ASSERT_TRUE(menu->FindControl("exit")->PerformUserAction("click", {}, &error)) << error;
    app.Loop().RunUntilIdle();
    EXPECT_FALSE(Main().IsWindow());
    EXPECT_TRUE(app.Loop().IsQuitting());
    EXPECT_FALSE(Main().Tray().IsCreated());
    EXPECT_FALSE(mouse->WorkerRunning(COrvaneUSBDevice::Worker::Event));
}

TEST_F(MainWindowTest, AboutWindowIsModalOneAtATimeAndClosedWithTheChildWindows) {
    StartWith({});
    Scan();
    int shown = 0;
    std::string version;
    CWindowWnd::SetModalResponder([&](CWindowWnd& modal) {
        ++shown;
        auto* about = Main().AboutWindow();
        ASSERT_EQ(&modal, static_cast<CWindowWnd*>(about));
        EXPECT_EQ(modal.GetWindowClassName(), "AboutWnd");
        EXPECT_EQ(modal.GetOwner(), &Main());
        EXPECT_EQ(modal.GetExStyle(), 0x80u);
        version = about->FindControl("about_version")->GetText();
        Main().OpenAboutWindow();  // already open: nothing more
        Main().CloseChildWindows();
    });
    Main().SendMessage(WM_MENUCLICK, 0, 0, MenuCmd{"about_menu", {}, {}, false});
    CWindowWnd::SetModalResponder(nullptr);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(version, "1.02");
    EXPECT_EQ(Main().AboutWindow(), nullptr);
    EXPECT_TRUE(Main().IsWindow());
}

TEST_F(MainWindowTest, LightingControlIsToggledHereOrByAnotherProgram) {
    StartWith({"keyboard", "mousepad"});
    Scan();
    auto label = [&] { return Ctl({"get", "main:control_light_status", "text"}).text; };
    EXPECT_EQ(label(), "Lighting: controlled here\n");
    EXPECT_EQ(Ctl({"notify", "click", "main:control_light_status"}).status, 0);
    EXPECT_EQ(Main().LightingControl(), 0);
    EXPECT_EQ(label(), "Lighting: left to other programs\n");
    EXPECT_EQ(Page("keyboard")->LightingControl(), 0);
    EXPECT_EQ(Page("MousePad")->LightingControl(), 0);

    Main().SendMessage(RegisteredMessages::UWM_LIGHT_CONTROL_MSG(), 1, 1);
    EXPECT_EQ(Main().LightingControl(), 1);
    EXPECT_EQ(label(), "Lighting: controlled here\n");
    EXPECT_EQ(Page("mouse")->LightingControl(), 1);
    Main().SendMessage(RegisteredMessages::UWM_LIGHT_CONTROL_MSG(), 0, 0);  // only wParam 1 counts
    EXPECT_EQ(Main().LightingControl(), 1);
}

TEST_F(MainWindowTest, GameMessagesSwitchTheLightModeForFiveSeconds) {
    StartWith({"keyboard"});
    Scan();
    COrvaneUSBDevice* keyboard = Page("keyboard");
    ASSERT_EQ(Main().SelectedPage(), keyboard);
    LightInfo light = keyboard->GetLightSettings();
    light.selectItem = 3;
    light.oldLedmode = 1;
    keyboard->SetLightSettings(light);

    Main().SendMessage(RegisteredMessages::GameMessage(2), 0, 0x0105);
    EXPECT_EQ(keyboard->GetLightSettings().selectItem, 5);
    Advance(4999ms);
    EXPECT_EQ(keyboard->GetLightSettings().selectItem, 5);
    Advance(1ms);
    EXPECT_EQ(keyboard->GetLightSettings().selectItem, 1);

    // Other wParam values only start the return to the old mode; asleep, nothing happens.
    Main().SendMessage(RegisteredMessages::GameMessage(0), 3, 4);
    EXPECT_EQ(keyboard->GetLightSettings().selectItem, 1);
    Main().SendMessage(WM_POWERBROADCAST, CMainWnd::PBT_APMSUSPEND);
    Main().SendMessage(RegisteredMessages::GameMessage(1), 0, 6);
    EXPECT_EQ(keyboard->GetLightSettings().selectItem, 1);
}

TEST(NotifyRouterTest, ControlNamesSplitAtTheirLastUnderscore) {
    struct Case {
        const char* name;
        bool split;
        const char* prefix;
        int number;
    };
    const Case cases[] = {
        {"DPI_slider_3", true, "DPI_slider_", 3}, {"zelko_DPI_edit_12", true, "zelko_DPI_edit_", 12},
        {"key_x", true, "key_", 0},              {"key_", true, "key_", 0},
        {"closebtn", false, "", 0},              {"light_99999999999", true, "light_", 0},
        {"a_-4", true, "a_", 0},
    };
    for (const Case& c : cases) {
        const auto split = NotifyRouter::SplitControlName(c.name);
        ASSERT_EQ(split.has_value(), c.split) << c.name;
        if (!split) continue;
        EXPECT_EQ(split->prefix, c.prefix) << c.name;
        EXPECT_EQ(split->number, c.number) << c.name;
    }
}

TEST(NotifyRouterTest, FirstMatchingRowOfAStageActsAndSwallowedTypesStop) {
    NotifyRouter router;
    std::vector<std::string> ran;
    auto row = [&](NotifyRouter::Match match, std::string name, bool last) {
        return NotifyRouter::Row{match, name, nullptr,
                                 [&ran, name](TNotifyUI&, int n) { ran.push_back(name + ":" + std::to_string(n)); },
                                 last};
    };
    router.Add("click", 0, row(NotifyRouter::Match::Name, "Stop_btn", true));
    router.Add("click", 0, row(NotifyRouter::Match::Name, "go_btn", false));
    router.Add("click", 1, row(NotifyRouter::Match::Prefix, "GO_", false));
    router.Add("click", 2, row(NotifyRouter::Match::ExactName, "go_btn", false));
    router.Add("click", 2, row(NotifyRouter::Match::Name, "GO_BTN", false));
    router.Swallow("click_wpremove");
    CControlUI stop, go;
    stop.SetName("stop_btn");
    go.SetName("go_btn");
    TNotifyUI msg;
    msg.sType = "click";
    msg.pSender = &stop;
    EXPECT_TRUE(router.Route(msg));
    msg.pSender = &go;
    EXPECT_TRUE(router.Route(msg));
    EXPECT_EQ(ran, (std::vector<std::string>{"Stop_btn:0", "go_btn:0", "GO_:0", "go_btn:0"}));
    msg.sType = "CLICK_WPREMOVE";
    EXPECT_FALSE(router.Route(msg));
}

}  // namespace
}  // namespace lumora

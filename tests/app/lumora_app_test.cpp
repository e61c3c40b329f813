// Start-up and shutdown, the main window, the bus bridge and automation, run in
// this process against a program folder made for each test.

#include "app/automation_commands.h"
#include "app/automation_protocol.h"
#include "tests/app/app_test_support.h"
#include "ui/menu_cmd.h"
#include "app/command_line.h"
#include "app/control_classes.h"
#include "app/lumora_app.h"
#include "app/main_wnd.h"
#include "app/private_fonts.h"
#include "platform/bus_client.h"
#include "platform/message_catalogue.h"
#include "platform/paths.h"
#include "platform/registered_messages.h"
#include "platform/single_instance.h"
#include "tests/platform/bus_test_support.h"
#include "ui/control_factory.h"
#include "ui/control_ui.h"
#include "ui/message_filter_ui.h"
#include "ui/msg_wnd.h"
#include "ui/paint_manager_ui.h"
#include "ui/ui_renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <thread>

namespace lumora {
namespace {

using namespace std::chrono_literals;
using testing::AppFixture;
using testing::kWait;
using testing::LogCatcher;

// The program with an empty device emulator in place of the machine's devices, and
// discovery passes run by the test.
class AppTest : public AppFixture {
protected:
    LumoraApp& Start() {
        LumoraApp::Options options;
        options.demoDevices = std::vector<std::string>{};
        options.demoPacing = false;
        options.startDiscovery = false;
        return AppFixture::Start(options);
    }
    // The first device scan, after which the window shows.
    void FirstScan() {
        ASSERT_TRUE(Main().RunDiscoveryPass());
        app_->Loop().RunUntilIdle();
    }
    void Exit() { Main().PostMessage(WM_MENUCLICK, 0, 0, MenuCmd{"exit", {}, {}, false}); }
};

TEST_F(AppTest, StartsTheMainWindowAndShutsDownInOrder) {
    LumoraApp& app = Start();
    CMainWnd& main = Main();
    EXPECT_EQ(main.GetWindowClassName(), "MainWnd");
    EXPECT_EQ(main.GetTitle(), "Halvek Trine 1.02");
    EXPECT_EQ(main.GetStyle(), 0x96CA0000u);
    EXPECT_EQ(main.GetIcon(), 107);
    EXPECT_TRUE(main.GetPaintManager().IsWindowInitSent());
    // Hidden until the first device scan is over.
    EXPECT_FALSE(main.IsWindowVisible());
    FirstScan();
    EXPECT_TRUE(main.IsWindowVisible());
    EXPECT_EQ(CPaintManagerUI::GetInstancePath(), program_.Path().string() + "/");
    EXPECT_EQ(CPaintManagerUI::GetResourcePath(), program_.Path().string() + "/skin/");
    // No "Font" folder: nothing loaded, and start-up went on.
    EXPECT_TRUE(app.Fonts().Loaded().empty());

    // The control classes, in registration order.
    const std::vector<std::string> expected = {
        "CCircleProgressUI", "CChartViewUI", "CWndUI", "CSelectPanelUI", "CDeviceKeyButtonUI",
        "CHandImgButtonUI", "CHandImgSelectButtonUI", "CRedioMacroButtonUI", "CAudioRecordUI",
        "CDeviceOptionUI", "CMpDevicePowerUI", "CComboEditContainerElementUI", "COrvaneUSBDevice",
        "COrvaneMousePadDevice", "COrvaneHS6533Device"};
    EXPECT_EQ(CControlFactory::GetInstance().RegisteredNames(), expected);
    for (const auto& [name, create] : CControlFactory::CustomControlClasses())
        EXPECT_NE(std::find(expected.begin(), expected.end(), name), expected.end()) << name;
    for (std::string_view name : RegisteredMessages::AllNames())
        EXPECT_TRUE(MessageCatalogue::Process().Find(name)) << name;

    // The instance is claimed and reachable while it runs.
    SingleInstance second;
    EXPECT_EQ(second.TryAcquire(), SingleInstance::Result::AlreadyRunning);
    EXPECT_TRUE(std::filesystem::exists(runtime_.Socket()));

    // "exit" of the tray menu ends the loop; shutdown gives everything back.
    Exit();
    EXPECT_EQ(app.Run(), 0);
    EXPECT_FALSE(main.IsWindow());
    app.Shutdown();
    EXPECT_EQ(app.MainWindow(), nullptr);
    EXPECT_EQ(CPaintManagerUI::GetMessageLoop(), nullptr);
    EXPECT_FALSE(std::filesystem::exists(runtime_.Socket()));
    EXPECT_EQ(second.TryAcquire(), SingleInstance::Result::Acquired);
}

// Records, when the main window goes, which fonts the library still has.
class FontWitness : public IUiRenderer {
public:
    void WindowDestroyed(CWindowWnd& window) override {
        if (window.GetWindowClassName() == "MainWnd") fontsAtDestroy = CPaintManagerUI::GetFontFiles();
    }
    std::vector<std::string> fontsAtDestroy;
};

TEST_F(AppTest, FontsAreHandedOverInOrderAndRemovedAfterTheWindow) {
    WriteProgramFile("Font/NotoSansCJKtc-Regular.otf", "cjk");
    WriteProgramFile("Font/Simplified_Chinese.ttf", "sc");
    WriteProgramFile("Font/Vantor-Regular.otf", "");  // empty: skipped
    FontWitness witness;
    CPaintManagerUI::SetRenderer(&witness);
    LumoraApp& app = Start();
    const std::vector<std::string> expected = {(program_ / "Font/Simplified_Chinese.ttf").string(),
                                               (program_ / "Font/NotoSansCJKtc-Regular.otf").string()};
    EXPECT_EQ(CPaintManagerUI::GetFontFiles(), expected);
    app.Shutdown();
    EXPECT_EQ(witness.fontsAtDestroy, expected);
    EXPECT_TRUE(CPaintManagerUI::GetFontFiles().empty());
}

TEST_F(AppTest, SkinElementsOfTheTableAreCreatedWhateverTheirCase) {
    WriteProgramFile("skin/XML/CustomControlXML/DeviceProfile.xml",
                     "<VerticalLayout name=\"profile_panel\"><Button name=\"device_add_btn\"/></VerticalLayout>");
    WriteProgramFile("skin/main.xml", R"(<Window size="800,572"><VerticalLayout name="root">
        <devicekeybutton name="key_1"/>
        <DEVICEPROFILEUI/>
        <NoSuchElement name="unknown"/>
      </VerticalLayout></Window>)");
    Start();
    CMainWnd& main = Main();
    struct Case {
        const char* element;
        const char* cls;  // null: no object
    };
    const Case cases[] = {
        {"CircleProgress", "CircleProgress"},       {"selectpanel", "SelectPanel"},
        {"DEVICEKEYBUTTON", "DeviceKeyButton"},     {"HandImgButton", "HandImgButton"},
        {"audiorecord", "AudioRecord"},             {"HandImgSelectButton", "HandImgSelectButton"},
        {"RedioMacroButton", "RedioMacroButton"},   {"ComboEditContainerElement", "ComboEditContainerElement"},
        {"DeviceProfileUI", "VerticalLayout"},      {"orvanekeyboarddevice", "OrvaneKeyboardDevice"},
        {"ORVANEHS6533DEVICE", "OrvaneHS6533Device"}, {"NoSuchElement", nullptr},
        {"CircleProgressUI", nullptr},              {"", nullptr},
        {"LightSetControlUI", nullptr},  // its file is not there
    };
    for (const Case& c : cases) {
        std::unique_ptr<CControlUI> control = main.CreateControl(c.element);
        if (!c.cls) {
            EXPECT_EQ(control, nullptr) << c.element;
            continue;
        }
        ASSERT_NE(control, nullptr) << c.element;
        EXPECT_TRUE(control->IsA(c.cls)) << c.element << " gave " << control->GetClass();
    }
    // The same through the skin: custom elements and sub-trees in place, unknown ones skipped.
    ASSERT_NE(main.FindControl("key_1"), nullptr);
    EXPECT_EQ(main.FindControl("key_1")->GetClass(), "DeviceKeyButton");
    EXPECT_NE(main.FindControl("device_add_btn"), nullptr);
    EXPECT_EQ(main.FindControl("unknown"), nullptr);
}

TEST_F(AppTest, AutomationFindsControlsAndActsAsAUser) {
    Start();
    FirstScan();
    struct Case {
        std::vector<std::string> args;
        std::int32_t status;
        std::string says;  // part of the reply text
    };
    const Case cases[] = {
        {{"get", "No_device_Link", "text"}, 0, "No device connected."},
        {{"get", "MAIN:No_device_Link", "visible"}, 0, "true\n"},
        {{"set", "main:title_label", "text", "Lumora"}, 0, ""},
        {{"get", "title_label", "text"}, 0, "Lumora\n"},
        {{"set", "title_label", "visible", "perhaps"}, 3, "not a boolean"},
        {{"get", "title_label", "no_such_property"}, 3, "no property no_such_property"},
        {{"get", "no_such_control", "text"}, 3, "no control no_such_control"},
        {{"get", "main:", "text"}, 3, "no control named"},
        {{"get", "keyboard:DPI_slider_1", "value"}, 3, "no control DPI_slider_1 on the keyboard page"},
        {{"get", "HD:device_power_Layout", "visible"}, 3, "no HD page"},
        {{"sim", "list"}, 0, ""},
        {{"sim", "plug", "toaster"}, 2, "unknown device"},
        {{"get", "Kitchen:sink", "text"}, 3, "unknown scope Kitchen"},
        {{"modal", "confirm_btn"}, 3, "no modal window"},
        {{"tree"}, 0, " MainWnd \"Halvek Trine 1.02\" visible\n"},
        {{"tree"}, 0, "ButtonUI \"closebtn\""},
        {{}, 2, "usage"},
        {{"frobnicate"}, 2, "unknown command frobnicate"},
        {{"get", "title_label"}, 2, "usage: get CONTROL PROPERTY"},
        {{"tree", "main"}, 2, "usage: tree"},
        {{"set", "main:closebtn", "visible", "false"}, 0, ""},
        {{"notify", "click", "closebtn"}, 3, "not visible"},
        {{"notify", "click", "main:minbtn"}, 0, ""},
    };
    for (const Case& c : cases) {
        std::string joined;
        for (const auto& a : c.args) joined += a + " ";
        const BusReply reply = Ctl(c.args);
        EXPECT_EQ(reply.status, c.status) << joined << "-> " << reply.text;
        EXPECT_NE(reply.text.find(c.says), std::string::npos) << joined << "-> " << reply.text;
    }
    app_->Loop().RunUntilIdle();
    EXPECT_TRUE(Main().IsIconic());
    EXPECT_TRUE(Main().IsWindow());  // the hidden close button was not clicked
}

// Sees the window messages the main window leaves to its filters.
class MessageTap : public IMessageFilterUI {
public:
    LRESULT MessageHandler(const WindowMessage& msg, bool& handled) override {
        handled = false;
        if (const auto* bus = std::any_cast<BusMessage>(&msg.payload)) seen.push_back({msg, *bus});
        return 0;
    }
    std::vector<std::pair<WindowMessage, BusMessage>> seen;
};

TEST_F(AppTest, BusMessagesReachTheMainWindowByRegisteredName) {
    Start();
    MessageTap tap;
    Main().GetPaintManager().AddMessageFilter(&tap);
    LogCatcher log;
    std::atomic<bool> sent{false};
    std::thread tool([&] {
        BusClient client;
        if (!client.Connect("WorkTool", kWait)) return;
        client.Send("Game_Start", 2, -7);
        client.Send("No_Such_Message", 1, 1);  // nobody registered it: dropped
        const std::vector<std::uint8_t> record = {1, 2, 3};
        client.Send("WM_COPYDATA", 5, 0, record);
        sent = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return tap.seen.size() >= 2; }));
    tool.join();
    ASSERT_TRUE(sent);
    ASSERT_EQ(tap.seen.size(), 2u);
    EXPECT_EQ(tap.seen[0].first.message, RegisteredMessages::GameMessage(0));
    EXPECT_EQ(tap.seen[0].first.wParam, 2u);
    EXPECT_EQ(tap.seen[0].first.lParam, -7);
    EXPECT_EQ(tap.seen[0].second.sender, "WorkTool");
    EXPECT_EQ(tap.seen[1].first.message, WM_COPYDATA);
    EXPECT_EQ(tap.seen[1].first.wParam, 5u);
    EXPECT_EQ(tap.seen[1].second.data, (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_TRUE(log.WaitFor("No_Such_Message"));
    Main().GetPaintManager().RemoveMessageFilter(&tap);
}

TEST_F(AppTest, SecondStartBringsTheRunningWindowToTheFront) {
    Start();
    FirstScan();
    CMainWnd& main = Main();
    const int scans = main.ProductMessageCount();
    ASSERT_EQ(AutomationCommands(main).Execute({"notify", "click", "minbtn"}).status, 0);
    main.FindControl("No_device_Link")->SetVisible(false);
    ASSERT_TRUE(main.IsIconic());
    std::atomic<bool> handedOver{false};
    std::thread second([&] { handedOver = LumoraApp::HandOver(kWait); });
    EXPECT_TRUE(PumpUntil([&] { return main.ProductMessageCount() == scans + 1; }));
    second.join();
    EXPECT_TRUE(handedOver);
    EXPECT_EQ(main.LastProductLParam(), 1);
    EXPECT_FALSE(main.IsIconic());
    EXPECT_TRUE(main.IsWindowVisible());
    EXPECT_FALSE(main.IsTopmost());
    // No device tab is visible, so the no-device indicator shows.
    EXPECT_TRUE(main.FindControl("No_device_Link")->GetVisibleFlag());

    // A hidden window is shown again.
    main.ShowWindow(false);
    second = std::thread([&] { handedOver = LumoraApp::HandOver(kWait); });
    EXPECT_TRUE(PumpUntil([&] { return main.ProductMessageCount() == scans + 2; }));
    second.join();
    EXPECT_TRUE(main.IsWindowVisible());
}

TEST_F(AppTest, ModalWindowsOpenedByARequestCanBeAnsweredOverTheBus) {
    WriteProgramFile("skin/main.xml", R"(<Window size="800,572"><VerticalLayout name="root">
        <Button name="closebtn"/><Button name="ask_btn"/></VerticalLayout></Window>)");
    Start();
    CMainWnd& main = Main();
    int answer = -1;
    main.OnNotify("click", "ask_btn",
                  [&](TNotifyUI&) { answer = CMsgWnd::ShowMessage(&main, "main_close_tip", "no_device_text"); });
    std::vector<std::optional<BusReply>> replies;
    std::atomic<bool> done{false};
    std::thread script([&] {
        BusClient ctl;
        if (ctl.Connect("lumora-ctl", kWait)) {
            for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
                     {"notify", "click", "ask_btn"},
                     {"get", "MsgWnd:MessageText", "text"},
                     {"notify", "click", "main:closebtn"},
                     {"modal", "confirm_btn"},
                 })
                replies.push_back(ctl.Request(args, kWait));
        }
        done = true;
        app_->Loop().Post([] {});  // wakes the loop to see it
    });
    EXPECT_TRUE(PumpUntil([&] { return done && answer != -1; }));
    script.join();
    ASSERT_EQ(replies.size(), 4u);
    for (const auto& reply : replies) ASSERT_TRUE(reply);
    // Answered as soon as the window was up, so the script could go on.
    EXPECT_EQ(replies[0]->status, 0);
    EXPECT_EQ(replies[0]->text, "modal MsgWnd\n");
    EXPECT_EQ(replies[1]->text, "No device connected. Plug in your keyboard, mouse, mouse pad or headset.\n");
    // The main window is out of reach while the modal window is open.
    EXPECT_EQ(replies[2]->status, 3);
    EXPECT_NE(replies[2]->text.find("modal window is open"), std::string::npos);
    EXPECT_EQ(replies[3]->status, 0);
    EXPECT_EQ(answer, 1);
    EXPECT_TRUE(main.IsWindow());
}

TEST(CommandLineTest, Options) {
    struct Case {
        std::vector<std::string> args;
        bool headless, help, version;
        const char* error;  // part of the error, or "" for none
    };
    const Case cases[] = {
        {{}, false, false, false, ""},
        {{"--headless"}, true, false, false, ""},
        {{"--help", "--version"}, false, true, true, ""},
        {{"--demo", "--headless"}, true, false, false, ""},
        {{"--demo=toaster"}, false, false, false, "unknown device 'toaster'"},
        {{"--demo="}, false, false, false, "names no device"},
        {{"--headless", "extra"}, true, false, false, "unexpected argument extra"},
    };
    for (const Case& c : cases) {
        const CommandLine line = CommandLine::Parse(c.args);
        EXPECT_EQ(line.headless, c.headless);
        EXPECT_EQ(line.help, c.help);
        EXPECT_EQ(line.version, c.version);
        if (!c.args.empty() && c.args.front() == "--demo") {
            EXPECT_TRUE(line.demo && line.demo->size() == 6);
        }
        if (*c.error)
            EXPECT_NE(line.error.find(c.error), std::string::npos) << line.error;
        else
            EXPECT_TRUE(line.error.empty()) << line.error;
    }
    const CommandLine chosen = CommandLine::Parse(std::vector<std::string>{"--demo=mouse,headset"});
    EXPECT_EQ(chosen.demo, (std::vector<std::string>{"mouse", "headset"}));
}

}  // namespace
}  // namespace lumora

// Device pages built from the real skin files, headless, against emulated devices:
// control binding, the function page table, frames and the preview, the notification
// filter, the data folders, the construction setters and the power panel.

#include <gtest/gtest.h>

#include <algorithm>

#include "device_page_test_support.h"
#include "devices/device_option_ui.h"
#include "devices/orvane_keyboard_device.h"
#include "devices/orvane_mouse_device.h"
#include "devices/orvane_mouse_pad_device.h"
#include "profiles/basic_profiledata.h"
#include "ui/device_key_button_ui.h"
#include "ui/progress_ui.h"
#include "ui/select_panel_ui.h"
#include "ui/tab_layout_ui.h"

namespace lumora::test {
namespace {

using namespace std::chrono_literals;

std::vector<CDeviceKeyButtonUI*> Buttons(COrvaneUSBDevice& page) {
    std::vector<CDeviceKeyButtonUI*> out;
    for (int i = 0; i < page.GetCount(); ++i)
        if (auto* panel = dynamic_cast<CSelectPanelUI*>(page.GetItemAt(i)))
            for (int j = 0; j < panel->GetCount(); ++j)
                if (auto* b = dynamic_cast<CDeviceKeyButtonUI*>(panel->GetItemAt(j))) out.push_back(b);
    return out;
}

TEST_F(DevicePageTest, EachSkinBindsItsKeyAndLightButtons) {
    struct Case {
        const PageRow* row;
        const char* cls;
        int keys_bound;
        int lights_bound;
    };
    // Keyboard: every key index 0..125 has both buttons; the counts (170) leave the rest empty.
    const Case cases[] = {{&kKeyboardRow, "OrvaneKeyboardDevice", 126, 126},
                          {&kMouseRow, "OrvaneMouseDevice", 11, 15},
                          {&kPadRow, "OrvaneMousePadDevice", 0, 15},
                          {&kHeadsetRow, "OrvaneHS6533Device", 0, 13}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row->xml);
        COrvaneUSBDevice* page = AddPage(*c.row);
        ASSERT_TRUE(page);
        EXPECT_EQ(page->GetClass(), c.cls);
        EXPECT_EQ(page->KeyCount(), c.row->keys);
        EXPECT_EQ(page->LedCount(), c.row->leds);
        int keys = 0, lights = 0;
        for (int i = 0; i < page->KeyCount(); ++i) {
            if (CDeviceKeyButtonUI* b = page->KeyButton(i)) {
                ++keys;
                EXPECT_EQ(b->GetName(), "key_" + std::to_string(i));
            }
        }
        for (int i = 0; i < page->LedCount(); ++i) {
            if (CDeviceKeyButtonUI* b = page->LightButton(i)) {
                ++lights;
                EXPECT_EQ(b->GetName(), "light_" + std::to_string(i));  // never "light_0_i" of the mouse
                EXPECT_EQ(b->GetKeyColor(), 0xFFFFFFu);
                EXPECT_EQ(b->GetBrightness(), 255);
                EXPECT_TRUE(b->IsLit());
            }
        }
        EXPECT_EQ(keys, c.keys_bound);
        EXPECT_EQ(lights, c.lights_bound);
    }
}

// The keyboard picture is a full-size keyboard: 104 visible keys, none overlapping another.
TEST_F(DevicePageTest, KeyboardSkinShows104KeysSideBySide) {
    COrvaneUSBDevice* page = AddPage(kKeyboardRow);
    ASSERT_TRUE(page);
    std::vector<UiRect> keys;
    for (CDeviceKeyButtonUI* b : Buttons(*page))
        if (b->GetName().rfind("key_", 0) == 0 && b->GetVisibleFlag()) keys.push_back(b->GetPos());
    ASSERT_EQ(keys.size(), 104u);
    for (size_t i = 0; i < keys.size(); ++i)
        for (size_t j = i + 1; j < keys.size(); ++j) {
            const UiRect& a = keys[i];
            const UiRect& b = keys[j];
            const bool apart = a.right <= b.left || b.right <= a.left || a.bottom <= b.top || b.bottom <= a.top;
            EXPECT_TRUE(apart) << i << " overlaps " << j;
        }
}

TEST_F(DevicePageTest, EmptyPageXmlNameBindsNothing) {
    Rig();
    CDialogBuilder builder;
    auto tree = builder.Create(kKeyboardRow.xml, {}, &callback_, &manager_);
    auto* page = dynamic_cast<COrvaneKeyboardDevice*>(tree.get());
    ASSERT_TRUE(page);
    Find("pages")->Add(std::move(tree));
    page->SetKeyCount(170);
    page->SetLedCount(170);
    ASSERT_TRUE(page->CommandTransport().Open(SimPath("keyboard", "5055"), false));
    page->InitPage();
    EXPECT_EQ(page->KeyCount(), 0);
    EXPECT_EQ(page->LedCount(), 0);
    EXPECT_EQ(page->Engine().LedCount(), 0u);
    EXPECT_EQ(page->KeyButton(0), nullptr);
    EXPECT_EQ(page->LightButton(0), nullptr);
    // Nothing bound, nothing lit: every light button keeps the skin's look.
    for (CDeviceKeyButtonUI* b : Buttons(*page)) EXPECT_FALSE(b->IsLit()) << b->GetName();
    page->RenderStatic();
    page->RefreshLights();  // an empty frame: nothing reaches the keyboard
    EXPECT_EQ(Rig().Keyboard()->FramesStreamed(), 0u);
}

TEST_F(DevicePageTest, BindingSkipsNamesThatAreNotButtonsOfThePage) {
    CDialogBuilder builder;
    auto tree = builder.Create(
        "<OrvaneMousePadDevice><VerticalLayout><SelectPanel><DeviceKeyButton name=\"light_0\"/></SelectPanel>"
        "</VerticalLayout><SelectPanel name=\"first\">"
        "<DeviceKeyButton name=\"KEY_2\"/><DeviceKeyButton name=\"key_x\"/><DeviceKeyButton name=\"key_\"/>"
        "<DeviceKeyButton name=\"key3\"/><DeviceKeyButton name=\"light_7\"/><DeviceKeyButton name=\"light_0_1\"/>"
        "<DeviceKeyButton name=\"light_-1\"/><Button name=\"light_1\"/><DeviceKeyButton name=\"Light_4\"/>"
        "</SelectPanel><SelectPanel name=\"second\"><DeviceKeyButton name=\"light_2\"/></SelectPanel>"
        "</OrvaneMousePadDevice>",
        {}, &callback_, &manager_);
    auto* page = dynamic_cast<COrvaneUSBDevice*>(tree.get());
    ASSERT_TRUE(page) << builder.GetError().message;
    Find("pages")->Add(std::move(tree));
    page->SetPageXmlName("inline");
    page->SetKeyCount(3);
    page->SetLedCount(5);
    page->InitPage();
    ASSERT_TRUE(page->KeyButton(2));
    EXPECT_EQ(page->KeyButton(2)->GetName(), "KEY_2");  // the prefix ignores case
    EXPECT_EQ(page->KeyButton(0), nullptr);
    EXPECT_EQ(page->KeyButton(3), nullptr);
    ASSERT_TRUE(page->LightButton(4));
    for (int i : {0, 1, 2, 3}) EXPECT_EQ(page->LightButton(i), nullptr) << i;  // nested, other panel, plain button
}

TEST_F(DevicePageTest, SelectFunctionPageTable) {
    COrvaneUSBDevice* mouse = AddPage(kMouseRow);
    COrvaneUSBDevice* pad = AddPage(kPadRow);
    ASSERT_TRUE(mouse && pad);
    struct Case {
        COrvaneUSBDevice* page;
        int function_page;
        int f;
        int k;  // -1: unchanged
    };
    const Case cases[] = {
        {mouse, 2, 0, 1}, {mouse, 6, 0, 1}, {mouse, 3, 1, -1}, {mouse, 8, 1, -1}, {mouse, 4, 3, -1},
        {mouse, 5, 2, -1}, {mouse, 7, 0, 2},  {mouse, 1, 0, 0},  {mouse, 0, 0, 0},  {mouse, 99, 0, 0},
        {pad, 4, 0, 2},    {pad, 5, 2, -1},   {pad, 2, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.page->GetClass() << " page " << c.function_page);
        auto* f = dynamic_cast<CTabLayoutUI*>(c.page->FindSubControl("device_function_switch"));
        auto* k = dynamic_cast<CTabLayoutUI*>(c.page->FindSubControl("device_key_function_switch"));
        ASSERT_TRUE(f && k);
        // Start every case from other items, so that each selection is seen.
        f->SelectItem(c.f == 1 ? 2 : 1);
        k->SelectItem(c.k == 1 ? 2 : 1);
        const int k_before = k->GetCurSel();
        c.page->SelectFunctionPage(c.function_page);
        EXPECT_EQ(c.page->GetFunctionPage(), c.function_page);
        EXPECT_EQ(f->GetCurSel(), c.f);
        EXPECT_EQ(k->GetCurSel(), c.k < 0 ? k_before : c.k);
    }
    // A page without the two layouts only stores the page.
    CDialogBuilder builder;
    auto tree = builder.Create("<OrvaneMouseDevice><TabLayout name=\"device_function_switch\"><Control/>"
                               "<Control/></TabLayout></OrvaneMouseDevice>",
                               {}, &callback_, &manager_);
    auto* bare = dynamic_cast<COrvaneUSBDevice*>(tree.get());
    ASSERT_TRUE(bare);
    Find("pages")->Add(std::move(tree));
    auto* f = dynamic_cast<CTabLayoutUI*>(bare->FindSubControl("device_function_switch"));
    f->SelectItem(1);
    bare->SelectFunctionPage(2);
    EXPECT_EQ(bare->GetFunctionPage(), 2);
    EXPECT_EQ(f->GetCurSel(), 1);
}

class RefreshLightsTest : public DevicePageTest {
protected:
    void SetUp() override {
        DevicePageTest::SetUp();
        Rig();
        pad_ = AddPage<COrvaneMousePadDevice>(kPadRow);
        ASSERT_TRUE(pad_);
        ASSERT_TRUE(pad_->CommandTransport().Open(SimPath("mousepad", "1004"), false));
        pad_->CommandTransport().SetTransportMode(1);
    }
    std::vector<uint8_t> DeviceFrame() {
        return Rig().MousePad()->WithMemory(
            [](const FirmwareMemory& m) { return std::vector<uint8_t>(m.frame.begin(), m.frame.begin() + 45); });
    }
    uint32_t Frames() { return Rig().MousePad()->FramesStreamed(); }
    void Paint(LedColour colour) {
        for (int i = 0; i < pad_->LedCount(); ++i) pad_->SetLedColour(i, colour);
    }
    COrvaneMousePadDevice* pad_ = nullptr;
};

TEST_F(RefreshLightsTest, FrameReachesTheDeviceAndThePreview) {
    Paint({200, 100, 10, 255});
    pad_->SetLedColour(14, {255, 255, 255, 128});
    pad_->RefreshLights();
    ASSERT_EQ(Frames(), 1u);
    const auto frame = DeviceFrame();
    EXPECT_EQ(frame[0], 200 * 255 / 256);
    EXPECT_EQ(frame[1], 100 * 255 / 256);
    EXPECT_EQ(frame[2], 10 * 255 / 256);
    EXPECT_EQ(frame[42], 127);
    EXPECT_EQ(frame[44], 127);
    CDeviceKeyButtonUI* light = pad_->LightButton(0);
    ASSERT_TRUE(light);
    EXPECT_EQ(light->GetKeyColor(), 200u | 10u << 8 | 100u << 16);  // red | blue << 8 | green << 16
    EXPECT_EQ(light->GetBrightness(), 255);
    EXPECT_EQ(pad_->LightButton(14)->GetBrightness(), 128);
}

TEST_F(RefreshLightsTest, LightingControlClearedSendsNothingAndKeepsThePreview) {
    Paint({1, 2, 3, 255});
    pad_->RefreshLights();
    ASSERT_EQ(Frames(), 1u);
    pad_->SetLightingControl(0);
    Paint({90, 80, 70, 255});
    const uint32_t colour = pad_->LightButton(3)->GetKeyColor();
    pad_->RefreshLights();
    EXPECT_EQ(Frames(), 1u);
    EXPECT_EQ(DeviceFrame()[0], 0);  // still the first frame (1 * 255 / 256)
    EXPECT_EQ(pad_->LightButton(3)->GetKeyColor(), colour);
    pad_->SetLightingControl(1);
    pad_->RefreshLights();
    EXPECT_EQ(Frames(), 2u);
}

TEST_F(RefreshLightsTest, WirelessUpdatesOnlyThePreview) {
    pad_->CommandTransport().SetTransportMode(DeviceTransport::kModeWireless);
    Paint({10, 20, 30, 255});
    pad_->RefreshLights();
    EXPECT_EQ(Frames(), 0u);
    EXPECT_EQ(pad_->LightButton(5)->GetKeyColor(), 10u | 30u << 8 | 20u << 16);
}

// A failed frame rests the device for 200 ms of the loop's clock: the UI thread does not
// sleep, it skips the frames of that time and keeps the preview going.
TEST_F(RefreshLightsTest, FailedFrameSkipsTheNext200Milliseconds) {
    SimFault fault;
    fault.kind = SimFault::Kind::StatusFF;
    ASSERT_TRUE(Rig().InjectFault("mousepad", fault));
    Paint({50, 50, 50, 255});
    pad_->RefreshLights();
    const uint32_t after_failure = Frames();
    Paint({60, 61, 62, 255});
    clock_->Advance(199ms);
    pad_->RefreshLights();
    EXPECT_EQ(Frames(), after_failure);
    EXPECT_EQ(pad_->LightButton(0)->GetKeyColor(), 60u | 62u << 8 | 61u << 16);
    clock_->Advance(1ms);
    pad_->RefreshLights();
    EXPECT_EQ(Frames(), after_failure + 1);
    EXPECT_EQ(DeviceFrame()[2], 62 * 255 / 256);
}

TEST_F(DevicePageTest, NotificationsOfAnotherPagesSameNamedControlAreIgnored) {
    COrvaneUSBDevice* keyboard = AddPage(kKeyboardRow);
    COrvaneUSBDevice* mouse = AddPage(kMouseRow);
    ASSERT_TRUE(keyboard && mouse);
    ASSERT_TRUE(manager_.AddNotifier(keyboard));
    ASSERT_TRUE(manager_.AddNotifier(mouse));
    std::vector<std::string> seen;
    keyboard->OnNotify("click", "key_3", [&](TNotifyUI&) { seen.push_back("keyboard"); });
    mouse->OnNotify("click", "key_3", [&](TNotifyUI&) { seen.push_back("mouse"); });
    manager_.SendNotify(mouse->KeyButton(3), "click");
    EXPECT_EQ(seen, std::vector<std::string>{"mouse"});
    seen.clear();
    manager_.SendNotify(keyboard->KeyButton(3), "click");
    EXPECT_EQ(seen, std::vector<std::string>{"keyboard"});
    seen.clear();
    manager_.SendNotify(Find("main"), "click");
    EXPECT_TRUE(seen.empty());
    // A page leaving the tree leaves the notifier list with it.
    auto detached = Find("pages")->Detach(mouse);
    EXPECT_FALSE(manager_.RemoveNotifier(mouse));
}

TEST_F(DevicePageTest, DataFoldersOfTheMousePad) {
    auto* pad = AddPage<COrvaneMousePadDevice>(kPadRow);
    ASSERT_TRUE(pad);
    const std::filesystem::path folder = pad->UserDataFolder();
    const std::string text = folder.string();
    const std::string tail = "Halvek Trine Keyboard/MousePad/";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    EXPECT_EQ(folder.parent_path().parent_path(), dir_ / "data" / "Halvek Trine Keyboard");
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_TRUE(std::filesystem::is_directory(folder.parent_path().parent_path()));

    const std::filesystem::path defaults = COrvaneUSBDevice::DefaultDataFolder();
    EXPECT_EQ(defaults, std::filesystem::path(LUMORA_SOURCE_DIR "/data/DefaultData/"));
    EXPECT_EQ(pad->DefaultProfilePath(), defaults / "MousePad.Json");
    EXPECT_TRUE(std::filesystem::is_regular_file(pad->DefaultProfilePath()));
    EXPECT_EQ(pad->Profile().GetDefaultPath(), pad->DefaultProfilePath());

    pad->SetKindName("..");
    EXPECT_TRUE(pad->UserDataFolder().empty());
}

TEST_F(DevicePageTest, ConstructionSetters) {
    auto* mouse = AddPage<COrvaneMouseDevice>(kMouseRow);
    ASSERT_TRUE(mouse);
    EXPECT_EQ(mouse->DeviceKind(), kKindMouse);
    EXPECT_EQ(mouse->Role(), kCommandInterface);
    EXPECT_TRUE(mouse->Identity().SameIdentity(CommandRow(kKindMouse)));
    EXPECT_EQ(mouse->GetKindIndex(), 1);
    EXPECT_EQ(mouse->TabIndex(), 0);
    EXPECT_EQ(mouse->Owner(), &owner_);
    // The mouse shows its power layout; the panel heard of the flag.
    auto* layout = mouse->PowerPanel()->FindSubControl("device_power_Layout");
    ASSERT_TRUE(layout);
    EXPECT_TRUE(layout->GetVisibleFlag());
    mouse->SetPowerPanelFlag(0);
    EXPECT_FALSE(layout->GetVisibleFlag());

    // A new LED count resizes and clears colours, zone records and light buttons.
    mouse->SetLedColour(3, {1, 2, 3, 4});
    EXPECT_EQ(mouse->GetLedColour(3), (LedColour{1, 2, 3, 4}));
    EXPECT_EQ(mouse->GetLedColour(15), LedColour{});
    mouse->SetLedCount(20);
    EXPECT_EQ(mouse->LedCount(), 20);
    EXPECT_EQ(mouse->GetLedColour(3), LedColour{});
    EXPECT_EQ(mouse->ZoneRecords().size(), 20u);
    mouse->SetLedCount(1000);  // beyond the frame buffer
    EXPECT_EQ(mouse->LedCount(), COrvaneUSBDevice::kMaxLeds);

    // Light settings reach the profile data; the kind index restarts its entries.
    LightInfo info;
    info.selectItem = 3;
    info.red = 9;
    mouse->SetLightSettings(info);
    EXPECT_EQ(mouse->GetLightSettings(), info);
    EXPECT_EQ(mouse->Profile().GetLightInfo().red, 9);
}

TEST_F(DevicePageTest, TakingLightingControlClaimsItOnTheKeyboardOnly) {
    Rig();
    auto* keyboard = AddPage(kKeyboardRow);
    auto* mouse = AddPage(kMouseRow);
    ASSERT_TRUE(keyboard && mouse);
    ASSERT_TRUE(keyboard->CommandTransport().Open(SimPath("keyboard", "5055"), false));
    ASSERT_TRUE(mouse->CommandTransport().Open(SimPath("mouse", "221c"), false));
    auto keyboard_commands = [&] { return Rig().Device("keyboard")->CommandsSeen(); };
    auto mouse_commands = [&] { return Rig().Device("mouse")->CommandsSeen(); };
    keyboard->SetLightingControl(0);
    mouse->SetLightingControl(1);
    EXPECT_EQ(keyboard_commands(), 0u);
    EXPECT_EQ(mouse_commands(), 0u);
    keyboard->SetLightingControl(1);
    EXPECT_EQ(keyboard->LightingControl(), 1);
    ASSERT_EQ(keyboard_commands(), 1u);
    const auto recording = Rig().Device("keyboard")->Recording();
    ASSERT_FALSE(recording.empty());
    EXPECT_EQ(recording.front().bytes.at(3), 0x1C);
}

TEST_F(DevicePageTest, PowerPanelShowsTheStatusBlock) {
    auto* mouse = AddPage(kMouseRow);
    auto* pad = AddPage(kPadRow);
    auto* keyboard = AddPage(kKeyboardRow);
    ASSERT_TRUE(mouse && pad && keyboard);
    auto child = [](CMpDevicePowerUI* p, const char* name) { return p->FindSubControl(name); };
    CMpDevicePowerUI* m = mouse->PowerPanel();
    EXPECT_EQ(m->GetDeviceKind(), kKindMouse);

    const uint8_t level75[] = {75, 0, 0, 0};
    m->ShowPowerStatus(level75, sizeof level75);
    EXPECT_EQ(child(m, "device_power_value")->GetText(), "75%");
    EXPECT_EQ(dynamic_cast<CProgressUI*>(child(m, "device_Power_progress"))->GetValue(), 25);
    EXPECT_EQ(child(m, "device_power_status")->GetBkImage(), "file='power/powered.png'");

    const uint8_t wireless_charging[] = {50, 1, 0, 1, 0, 0};
    m->ShowPowerStatus(wireless_charging, sizeof wireless_charging);
    EXPECT_FALSE(child(m, "device_Power_progress")->GetVisibleFlag());
    EXPECT_TRUE(child(m, "device_wuxian_logo")->GetVisibleFlag());
    EXPECT_EQ(child(m, "device_power_status")->GetBkImage(), "file='power/wuxian_powering.png'");
    const uint8_t wired_charging[] = {50, 1, 0, 0, 0, 0};
    m->ShowPowerStatus(wired_charging, sizeof wired_charging);
    EXPECT_TRUE(child(m, "device_Power_progress")->GetVisibleFlag());
    EXPECT_FALSE(child(m, "device_wuxian_logo")->GetVisibleFlag());
    EXPECT_EQ(child(m, "device_power_status")->GetBkImage(), "file='power/powering.png'");

    CMpDevicePowerUI* k = keyboard->PowerPanel();
    child(k, "device_wuxian_logo")->SetVisible(true);
    k->ShowPowerStatus(wired_charging, sizeof wired_charging);
    EXPECT_TRUE(child(k, "device_wuxian_logo")->GetVisibleFlag());  // a keyboard never changes the logo

    CMpDevicePowerUI* p = pad->PowerPanel();
    const uint8_t samsung[] = {10, 2, 0, 0, 0, 2};
    p->ShowPowerStatus(samsung, sizeof samsung);
    EXPECT_EQ(child(p, "device_phone_type")->GetBkImage(), "file='power/Phone_type_samsung.png'");
    const uint8_t unknown_phone[] = {10, 2, 0, 0, 0, 9};
    p->ShowPowerStatus(unknown_phone, sizeof unknown_phone);
    EXPECT_EQ(child(p, "device_phone_type")->GetBkImage(), "file='power/Phone_type_no_device.png'");
    EXPECT_EQ(p->GetStatus()[5], 9);

    // A skin without the phone picture leaves the whole panel as it is.
    CDialogBuilder builder;
    auto partial = builder.Create("<MpDevicePower><Label name=\"device_power_value\" text=\"-\"/>"
                                  "<Control name=\"device_wuxian_logo\"/><Progress name=\"device_Power_progress\"/>"
                                  "<Control name=\"device_power_status\"/></MpDevicePower>",
                                  {}, &callback_, &manager_);
    auto* bare = dynamic_cast<CMpDevicePowerUI*>(partial.get());
    ASSERT_TRUE(bare);
    bare->ShowPowerStatus(level75, sizeof level75);
    EXPECT_EQ(bare->FindSubControl("device_power_value")->GetText(), "-");
}

// The tab header as the main window binds it: its page in "device_switch", its power panel
// in "device_power_switch", exclusive within "tab_header_device".
TEST_F(DevicePageTest, TabHeaderSelectsItsPageAndPowerPanel) {
    COrvaneUSBDevice* pages[] = {AddPage(kMouseRow, "device_switch"), AddPage(kPadRow, "device_switch")};
    CDeviceOptionUI* tabs[2] = {};
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(pages[i]);
        CDialogBuilder builder;
        auto tree = builder.Create("XML/CustomControlXML/DeviceOption.xml", {}, &callback_, &manager_);
        tabs[i] = dynamic_cast<CDeviceOptionUI*>(tree.get());
        ASSERT_TRUE(tabs[i]) << builder.GetError().message;
        Find("device_select_layout")->Add(std::move(tree));
        tabs[i]->BindTabLayout("device_switch", i);
        tabs[i]->BindPowerLayout("device_power_switch", i);
        tabs[i]->SetDeviceKind(pages[i]->DeviceKind());
        tabs[i]->SetLabel(pages[i]->KindName());
        tabs[i]->SetPage(pages[i]);
        tabs[i]->SetTabIndex(pages[i]->TabIndex());
        pages[i]->SetTab(tabs[i]);
        EXPECT_FALSE(tabs[i]->GetVisibleFlag());  // shown when its device arrives
        EXPECT_EQ(tabs[i]->GetGroup(), "tab_header_device");
        tabs[i]->SetVisible(true);
    }
    auto* page_layout = dynamic_cast<CTabLayoutUI*>(Find("device_switch"));
    auto* power_layout = dynamic_cast<CTabLayoutUI*>(Find("device_power_switch"));
    ASSERT_TRUE(tabs[1]->Activate());
    EXPECT_TRUE(tabs[1]->IsSelected());
    EXPECT_EQ(page_layout->GetCurSel(), 1);
    EXPECT_EQ(power_layout->GetCurSel(), 1);
    ASSERT_TRUE(tabs[0]->Activate());
    EXPECT_FALSE(tabs[1]->IsSelected());
    EXPECT_EQ(page_layout->GetCurSel(), 0);
    EXPECT_EQ(power_layout->GetCurSel(), 0);
    EXPECT_EQ(tabs[1]->GetPage(), pages[1]);
    EXPECT_EQ(pages[1]->Tab(), tabs[1]);
    EXPECT_EQ(tabs[1]->GetText(), "MousePad");
    EXPECT_EQ(tabs[1]->GetDeviceKind(), kKindMousePad);
    EXPECT_EQ(tabs[1]->GetTabIndex(), 1);
}

}  // namespace
}  // namespace lumora::test

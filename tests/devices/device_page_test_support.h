#pragma once
// Shared set-up of the device page suites: the real skin files, a headless tree on a
// manual-clock loop, pages built the way the main window builds them, emulated devices
// without link pacing, and the XDG data folder in a temporary folder.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "devices/device_owner.h"
#include "devices/device_page_factory.h"
#include "devices/mp_device_power_ui.h"
#include "devices/orvane_usb_device.h"
#include "hid/interface_slot.h"
#include "platform/manual_clock.h"
#include "platform/message_loop.h"
#include "sim/sim_rig.h"
#include "ui/container_ui.h"
#include "ui/control_factory.h"
#include "ui/dialog_builder.h"
#include "ui/dialog_builder_callback.h"
#include "ui/paint_manager_ui.h"
#include "ui/resource_manager.h"

namespace lumora::test {

// One row of the main window's kind and page tables.
struct PageRow {
    const char* xml;
    const char* kind_name;
    int leds;
    int keys;
    int power_panel;
    uint16_t product;
    uint16_t kind;
    int kind_index;
};

inline const PageRow kMouseRow{"XML/DeviceXml/mousedevice.xml", "mouse", 15, 11, 1, 0x221C, kKindMouse, 1};
inline const PageRow kKeyboardRow{"XML/DeviceXml/keyboarddevice.xml", "keyboard", 170, 170, 0, 0x5055, kKindKeyboard, 0};
inline const PageRow kPadRow{"XML/DeviceXml/mousepaddevice.xml", "MousePad", 15, 0, 0, 0x1004, kKindMousePad, 2};
inline const PageRow kHeadsetRow{"XML/DeviceXml/hs6533device.xml", "HD", 13, 0, 0, 0x1630, kKindHeadset, 3};

// The command row of the supported-interface table for a kind.
inline InterfaceSlot CommandRow(uint16_t kind) {
    for (const InterfaceSlot& slot : SupportedInterfaces())
        if (slot.deviceKind == kind && slot.role == kCommandInterface) return slot;
    return {};
}

class RecordingOwner : public IDeviceOwner {
public:
    struct Timer {
        int tab;
        unsigned id;
        unsigned delay;
        bool operator==(const Timer&) const = default;
    };
    void ArmTabTimer(int tab_index, unsigned timer_id, unsigned delay_ms) override {
        std::lock_guard lock(mutex);
        timers.push_back({tab_index, timer_id, delay_ms});
    }
    void PostOwnerMessage(std::uint32_t, std::uintptr_t, std::intptr_t) override {}
    std::vector<Timer> Timers() {
        std::lock_guard lock(mutex);
        return timers;
    }
    std::mutex mutex;
    std::vector<Timer> timers;
};

// Page elements come from the device layer, unless a test puts its own class in.
class PageCallback : public IDialogBuilderCallback {
public:
    std::unique_ptr<CControlUI> CreateControl(std::string_view name) override {
        for (auto& [element, make] : overrides)
            if (UiText::EqualsNoCase(element, name)) return make();
        return CreateDevicePage(name);
    }
    std::map<std::string, std::function<std::unique_ptr<CControlUI>()>> overrides;
};

class DevicePageTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("lumora_pages_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        ::setenv("XDG_DATA_HOME", (dir_ / "data").c_str(), 1);
        CPaintManagerUI::SetMessageLoop(&loop_);
        CPaintManagerUI::SetInstancePath(LUMORA_SOURCE_DIR "/data/");
        CPaintManagerUI::SetResourcePath(LUMORA_SOURCE_DIR "/data/skin/");
        auto& factory = CControlFactory::GetInstance();
        for (auto& [name, make] : CControlFactory::CustomControlClasses()) factory.RegistControl(name, make);
        for (auto& [name, make] : DeviceControlClasses()) factory.RegistControl(name, make);
        CDialogBuilder builder;
        auto root = builder.Create(
            "<VerticalLayout name=\"main\"><VerticalLayout name=\"pages\"/><TabLayout name=\"device_switch\"/>"
            "<HorizontalLayout name=\"device_select_layout\"/><TabLayout name=\"device_power_switch\"/>"
            "</VerticalLayout>");
        ASSERT_TRUE(root);
        ASSERT_TRUE(manager_.AttachDialog(std::move(root)));
    }
    void TearDown() override {
        manager_.DetachDialog();
        loop_.RunUntilIdle();
        CPaintManagerUI::SetMessageLoop(nullptr);
        CPaintManagerUI::ResetShared();
        ::unsetenv("XDG_DATA_HOME");
        std::filesystem::remove_all(dir_);
    }

    CContainerUI* Find(const char* name) { return dynamic_cast<CContainerUI*>(manager_.FindControl(name)); }

    // What the main window's AddDevicePage does with a page, its power panel and the tables.
    template <typename Page = COrvaneUSBDevice>
    Page* AddPage(const PageRow& row, const char* container = "pages") {
        CDialogBuilder builder;
        auto panel_tree = builder.Create("XML/CustomControlXML/MpDevicePower.xml", {}, &callback_, &manager_);
        auto* panel = dynamic_cast<CMpDevicePowerUI*>(panel_tree.get());
        EXPECT_TRUE(panel) << builder.GetError().message;
        if (!panel) return nullptr;
        Find("device_power_switch")->Add(std::move(panel_tree));
        panel->SetKind(row.kind, 0);

        auto tree = builder.Create(row.xml, {}, &callback_, &manager_);
        auto* page = dynamic_cast<Page*>(tree.get());
        EXPECT_TRUE(page) << row.xml << ": " << builder.GetError().message;
        if (!page) return nullptr;
        Find(container)->Add(std::move(tree));
        page->SetPageXmlName(row.xml);
        page->SetOwner(&owner_);
        page->SetKeyCount(row.keys);
        page->SetLedCount(row.leds);
        page->SetTabIndex(tab_count_++);
        page->SetPowerPanelFlag(row.power_panel);
        page->SetProfileName("profile 1");
        page->SetKindName(row.kind_name);
        page->SetPowerPanel(panel);
        page->SetIdentity(CommandRow(row.kind));
        page->SetKindIndex(row.kind_index);
        page->SetLightFileBaseName("zelko_light");
        page->InitPage();
        return page;
    }

    // Waits (bounded) for something another thread does.
    static bool WaitFor(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    // The command (collection 4) or event (collection 3) path of an emulated 0x320F device.
    static std::string SimPath(const std::string& name, const char* product, int collection = 4) {
        return "sim:" + name + "#vid_320f&pid_" + product + "&mi_01&col0" + std::to_string(collection);
    }

    // Emulated devices, made on first use; they outlive the pages (torn down first).
    SimRig& Rig() {
        if (!rig_) {
            rig_ = std::make_unique<SimRig>(false);
            rig_->CreateAll();
        }
        return *rig_;
    }

    std::unique_ptr<SimRig> rig_;
    std::filesystem::path dir_;
    std::shared_ptr<ManualClock> clock_ = std::make_shared<ManualClock>();
    MessageLoop loop_{clock_};
    CPaintManagerUI manager_;
    PageCallback callback_;
    RecordingOwner owner_;
    int tab_count_ = 0;
};

}  // namespace lumora::test

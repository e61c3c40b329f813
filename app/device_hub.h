#pragma once
// Device discovery and hot-plug of the main window: the slot list, the discovery
// thread, the device pages with their tabs and power panels, and the tab timers that
// drive the pages from the UI thread.
//
// Pages are built once (mouse and keyboard at start, mouse pad and headset on their
// first arrival) and live as long as the window; arrival and removal open and close
// their transports and show and hide their tabs. A wired device and its receiver
// share one page, which moves between the two connections.
//
// Threads: the discovery thread reports through the DiscoverySink calls, which wait
// until the window has handled them on the UI thread; device pages arm tab timers and
// post messages through IDeviceOwner from any thread. Everything else runs on the UI
// thread.

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <stop_token>
#include <string>
#include <vector>

#include "app/device_tables.h"
#include "devices/device_owner.h"
#include "hid/discovery_thread.h"
#include "hid/interface_slots.h"
#include "platform/message_loop.h"
#include "ui/window_wnd.h"

namespace lumora {

class CDeviceOptionUI;
class CMainWnd;
class CMpDevicePowerUI;
class COrvaneUSBDevice;

class DeviceHub : public DiscoverySink, public IDeviceOwner {
public:
    static constexpr std::uint32_t WM_DEVICE_ARRIVED = 3090;
    static constexpr std::uint32_t WM_DEVICE_REMOVED = 3091;
    static constexpr std::uint32_t WM_SHOW_DEVICE_TAB = 3331;
    // After the cable of a paired device is pulled, the link is asked this often,
    // 50 ms apart, before the power status is read.
    static constexpr int kLinkAttempts = 26;
    static constexpr unsigned kLinkRetryMs = 50;
    // The failed device-ready attempts of a wireless page are counted modulo this.
    static constexpr int kReadyAttemptWrap = 20;

    enum class Family { MousePad, Mouse, Keyboard, Headset };

    explicit DeviceHub(CMainWnd& window);
    ~DeviceHub() override;
    DeviceHub(const DeviceHub&) = delete;
    DeviceHub& operator=(const DeviceHub&) = delete;

    // Set-up on the UI thread when the window initialises: the slot list is a fresh
    // copy of the supported-interface table; the mouse and keyboard pages are built.
    void BuildInitialPages();
    bool StartDiscovery();
    // Stops the discovery thread (a report waiting for the UI thread gives up), every
    // tab timer and the pages' workers, and forgets the pages, which no longer reach
    // the window. Idempotent.
    void Shutdown();

    InterfaceSlots& Slots() { return slots_; }
    DiscoveryThread& Discovery() { return discovery_; }

    // --- DiscoverySink (discovery thread)
    void DeviceArrived(size_t slot) override;
    void DeviceRemoved(size_t slot) override;
    void FirstPassDone() override;

    // --- IDeviceOwner (any thread)
    void ArmTabTimer(int tab_index, unsigned timer_id, unsigned delay_ms) override;
    void PostOwnerMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;

    // --- UI thread
    void OpenDeviceInterface(size_t slot);
    void CloseDeviceInterface(size_t slot);
    void SwitchConnection(size_t slot);
    // Builds the page of a kind row from its command row; false when a piece is missing
    // (nothing is added then).
    bool AddDevicePage(const InterfaceSlot& command_row, int kind_row);
    void ShowDeviceTab(int tab_index, bool visible, bool select);
    void HideDeviceTab(int tab_index);
    // WM_SHOW_DEVICE_TAB: show (selected when no other tab is visible) or hide.
    void OnShowDeviceTabMessage(int tab_index, bool show);
    void OnTabTimer(int tab_index, unsigned timer_id);
    bool TabTimerArmed(int tab_index, unsigned timer_id) const;

    // --- lookups (UI thread)
    COrvaneUSBDevice* Page(int tab_index) const;
    CDeviceOptionUI* Tab(int tab_index) const;
    const std::vector<COrvaneUSBDevice*>& FamilyPages(Family family) const;
    // Tabs of "device_select_layout" in their order.
    std::vector<CDeviceOptionUI*> TabsInOrder() const;
    const std::vector<CMpDevicePowerUI*>& PowerPanels() const { return power_panels_; }
    int VisibleTabCount() const;
    // Synchronised lighting is offered only while more than one tab is visible.
    bool SyncAvailable() const { return sync_available_; }
    // Link queries still to come after a cable was pulled (0 when none runs).
    bool LinkProbeRunning(int tab_index) const;

    static Family FamilyOf(uint16_t device_kind);

private:
    // Timer slots per tab: 1000 to 1007 and the link retry.
    static constexpr size_t kTimerSlots = 9;
    static constexpr size_t kLinkRetrySlot = 8;

    struct TabEntry {
        COrvaneUSBDevice* page = nullptr;
        CDeviceOptionUI* tab = nullptr;
        CMpDevicePowerUI* panel = nullptr;
        int ready_attempts = 0;
        int link_attempts = 0;
        bool link_probe = false;
    };

    // The slot whose identity the page of `slot` carries: the command row of an event
    // row, and the wired partner of a paired receiver.
    static size_t PageSlotFor(size_t slot);
    std::vector<COrvaneUSBDevice*>& FamilyList(Family family);
    COrvaneUSBDevice* FindFamilyPage(Family family, const InterfaceSlot& identity) const;
    bool AnyTabPageWithIdentity(const InterfaceSlot& identity) const;
    void OpenCommandInterface(size_t slot, const InterfaceSlot& s, Family family);
    void OpenEventInterface(size_t slot, const InterfaceSlot& s, Family family);
    void CloseEventRecord(COrvaneUSBDevice& page, const std::string& path);
    // An interface that could not be opened is given back to discovery.
    void ReleaseSlot(size_t slot);
    void RefreshTabState();
    void SendToWindow(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
    void StartLinkProbe(int tab_index);
    void LinkProbeStep(int tab_index);
    void StopLinkProbe(int tab_index);
    bool ArmSlot(int tab_index, size_t slot, unsigned delay_ms, unsigned timer_id);
    TabEntry* Entry(int tab_index);
    const TabEntry* Entry(int tab_index) const;

    CMainWnd& window_;
    InterfaceSlots slots_;
    DiscoveryThread discovery_;
    std::stop_source discovery_stop_;
    std::atomic<CWindowWnd::Handle> handle_{0};
    std::array<TabEntry, DeviceTables::kRows> tabs_{};
    std::vector<COrvaneUSBDevice*> mice_, keyboards_, pads_, headsets_;
    std::vector<CMpDevicePowerUI*> power_panels_;
    // Path each slot was opened with, for closing the right record after it is gone.
    std::array<std::string, kSupportedInterfaceCount> claimed_paths_{};
    bool sync_available_ = false;

    // Guards arming against Shutdown; the ids are made once and never change after.
    mutable std::mutex timer_mutex_;
    MessageLoop* loop_ = nullptr;
    bool closing_ = false;
    std::array<std::array<MessageLoop::TimerId, kTimerSlots>, DeviceTables::kRows> timer_ids_{};
};

}  // namespace lumora

#include "app/device_hub.h"

#include <algorithm>

#include "app/main_wnd.h"
#include "devices/device_option_ui.h"
#include "devices/mp_device_power_ui.h"
#include "devices/orvane_usb_device.h"
#include "platform/logger.h"
#include "platform/registered_messages.h"
#include "ui/container_ui.h"
#include "ui/dialog_builder.h"
#include "ui/paint_manager_ui.h"
#include "ui/tab_layout_ui.h"

namespace lumora {

namespace {
constexpr const char* kTag = "devices";
constexpr std::string_view kPageLayout = "device_switch";
constexpr std::string_view kTabLayout = "device_select_layout";
constexpr std::string_view kNoDevice = "No_device_Link";

constexpr unsigned kFramePump = COrvaneUSBDevice::kTimerFramePump;
constexpr unsigned kDeviceReady = COrvaneUSBDevice::kTimerDeviceReady;
constexpr unsigned kReload = COrvaneUSBDevice::kTimerReload;
constexpr unsigned kSpare1 = COrvaneUSBDevice::kTimerSpare1;
constexpr unsigned kSpare2 = COrvaneUSBDevice::kTimerSpare2;
constexpr unsigned kPowerStatus = COrvaneUSBDevice::kTimerPowerStatus;
constexpr unsigned kLinkWatchdog = COrvaneUSBDevice::kTimerLinkWatchdog;

constexpr unsigned kReadyDelay = 500;
constexpr unsigned kReadyRetryDelay = 3000;
constexpr unsigned kFrameWired = 5;
constexpr unsigned kFrameWireless = 500;
constexpr unsigned kPowerFirst = 50;
constexpr unsigned kPowerEvery = 5000;
constexpr unsigned kWatchdogFirst = 2000;
constexpr unsigned kWatchdogEvery = 3000;

struct FamilyTexts {
    const char* added;
    const char* removed;
    const char* lost;  // null: none
};

FamilyTexts TextsOf(DeviceHub::Family family) {
    switch (family) {
        case DeviceHub::Family::Keyboard: return {"添加一个键盘设备", "删除一个键盘设备", "键盘设备丢失"};
        case DeviceHub::Family::Mouse: return {"添加一个鼠标设备", "删除一个鼠标设备", "鼠标设备丢失"};
        case DeviceHub::Family::MousePad:
        case DeviceHub::Family::Headset: break;
    }
    return {"添加一个鼠标垫设备", "删除一个鼠标垫设备", nullptr};
}

bool IsWiredPairedKind(uint16_t kind) { return kind == kKindKeyboard || kind == kKindMouse; }

bool ValidTimer(unsigned id) { return id >= kFramePump && id <= kLinkWatchdog && id != 1006; }
}  // namespace

DeviceHub::DeviceHub(CMainWnd& window) : window_(window), discovery_(slots_, *this) {}

DeviceHub::~DeviceHub() { Shutdown(); }

DeviceHub::Family DeviceHub::FamilyOf(uint16_t device_kind) {
    switch (device_kind) {
        case kKindKeyboard:
        case kKindKeyboardReceiver: return Family::Keyboard;
        case kKindMouse:
        case kKindMouseReceiver: return Family::Mouse;
        case kKindHeadset: return Family::Headset;
        default: return Family::MousePad;
    }
}

void DeviceHub::BuildInitialPages() {
    {
        std::lock_guard lock(timer_mutex_);
        loop_ = CPaintManagerUI::GetMessageLoop();
        if (loop_)
            for (auto& ids : timer_ids_)
                for (auto& id : ids) id = loop_->NewTimerId();
    }
    handle_ = window_.GetHWND();
    const auto& table = SupportedInterfaces();
    for (int row = 0; row < 2; ++row) {
        const DeviceKindEntry& kind = DeviceTables::Kinds()[static_cast<size_t>(row)];
        const auto slot = DeviceTables::CommandSlot(kind.vendorId, kind.productId, kind.deviceKind);
        if (!slot || !AddDevicePage(table[*slot], row))
            LOG_ERROR(kTag, "the %.*s page could not be built", static_cast<int>(kind.kindName.size()),
                      kind.kindName.data());
    }
    RefreshTabState();
}

bool DeviceHub::StartDiscovery() { return discovery_.Start(); }

void DeviceHub::Shutdown() {
    // A report waiting for the UI thread (which is the caller) must give up first.
    discovery_stop_.request_stop();
    discovery_.Stop();
    {
        std::lock_guard lock(timer_mutex_);
        closing_ = true;
        if (loop_)
            for (auto& ids : timer_ids_)
                for (auto id : ids) loop_->KillTimer(id);
    }
    // The pages are forgotten here: the window's tree, which owns them, may go next.
    for (TabEntry& entry : tabs_) {
        if (!entry.page) continue;
        entry.page->SetOwner(nullptr);
        entry.page->StopWorkers();
        entry = TabEntry{};
    }
    mice_.clear();
    keyboards_.clear();
    pads_.clear();
    headsets_.clear();
    power_panels_.clear();
    handle_ = 0;
}

// --- discovery thread

void DeviceHub::SendToWindow(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    const CWindowWnd::Handle handle = handle_.load();
    if (handle == 0) return;
    CWindowWnd::SendMessageTo(handle, WindowMessage{message, wParam, lParam, {}}, discovery_stop_.get_token());
}

void DeviceHub::DeviceArrived(size_t slot) { SendToWindow(WM_DEVICE_ARRIVED, slot, 0); }

void DeviceHub::DeviceRemoved(size_t slot) { SendToWindow(WM_DEVICE_REMOVED, slot, 0); }

void DeviceHub::FirstPassDone() {
    const CWindowWnd::Handle handle = handle_.load();
    if (handle != 0)
        CWindowWnd::PostMessageTo(handle, WindowMessage{RegisteredMessages::UWM_PRODUCT_MSG(), 0, 0, {}});
}

// --- any thread

void DeviceHub::ArmTabTimer(int tab_index, unsigned timer_id, unsigned delay_ms) {
    if (!ValidTimer(timer_id)) {
        LOG_WARNING(kTag, "tab timer %u is not one of the tab's", timer_id);
        return;
    }
    ArmSlot(tab_index, timer_id - kFramePump, delay_ms, timer_id);
}

bool DeviceHub::ArmSlot(int tab_index, size_t slot, unsigned delay_ms, unsigned timer_id) {
    if (tab_index < 0 || tab_index >= DeviceTables::kRows || slot >= kTimerSlots) return false;
    std::lock_guard lock(timer_mutex_);
    if (closing_ || !loop_) return false;
    const MessageLoop::TimerId id = timer_ids_[static_cast<size_t>(tab_index)][slot];
    loop_->SetTimer(id, std::chrono::milliseconds(delay_ms), MessageLoop::TimerMode::OneShot,
                    [this, tab_index, slot, timer_id] {
                        if (slot == kLinkRetrySlot)
                            LinkProbeStep(tab_index);
                        else
                            OnTabTimer(tab_index, timer_id);
                    });
    return true;
}

bool DeviceHub::TabTimerArmed(int tab_index, unsigned timer_id) const {
    if (tab_index < 0 || tab_index >= DeviceTables::kRows || !ValidTimer(timer_id)) return false;
    std::lock_guard lock(timer_mutex_);
    return loop_ && loop_->HasTimer(timer_ids_[static_cast<size_t>(tab_index)][timer_id - kFramePump]);
}

void DeviceHub::PostOwnerMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    const CWindowWnd::Handle handle = handle_.load();
    if (handle != 0) CWindowWnd::PostMessageTo(handle, WindowMessage{message, wParam, lParam, {}});
}

// --- lookups

DeviceHub::TabEntry* DeviceHub::Entry(int tab_index) {
    if (tab_index < 0 || tab_index >= DeviceTables::kRows) return nullptr;
    TabEntry& entry = tabs_[static_cast<size_t>(tab_index)];
    return entry.page ? &entry : nullptr;
}

const DeviceHub::TabEntry* DeviceHub::Entry(int tab_index) const {
    return const_cast<DeviceHub*>(this)->Entry(tab_index);
}

COrvaneUSBDevice* DeviceHub::Page(int tab_index) const {
    const TabEntry* entry = Entry(tab_index);
    return entry ? entry->page : nullptr;
}

CDeviceOptionUI* DeviceHub::Tab(int tab_index) const {
    const TabEntry* entry = Entry(tab_index);
    return entry ? entry->tab : nullptr;
}

std::vector<COrvaneUSBDevice*>& DeviceHub::FamilyList(Family family) {
    switch (family) {
        case Family::MousePad: return pads_;
        case Family::Mouse: return mice_;
        case Family::Keyboard: return keyboards_;
        case Family::Headset: break;
    }
    return headsets_;
}

const std::vector<COrvaneUSBDevice*>& DeviceHub::FamilyPages(Family family) const {
    return const_cast<DeviceHub*>(this)->FamilyList(family);
}

COrvaneUSBDevice* DeviceHub::FindFamilyPage(Family family, const InterfaceSlot& identity) const {
    for (COrvaneUSBDevice* page : FamilyPages(family))
        if (page->Identity().SameIdentity(identity)) return page;
    return nullptr;
}

bool DeviceHub::AnyTabPageWithIdentity(const InterfaceSlot& identity) const {
    for (CDeviceOptionUI* tab : TabsInOrder()) {
        const COrvaneUSBDevice* page = tab->GetPage();
        if (page && page->Identity().SameIdentity(identity)) return true;
    }
    return false;
}

std::vector<CDeviceOptionUI*> DeviceHub::TabsInOrder() const {
    std::vector<CDeviceOptionUI*> out;
    CControlUI* bar = window_.FindControl(kTabLayout);
    CContainerUI* container = bar ? bar->AsContainer() : nullptr;
    if (!container) return out;
    for (int i = 0; i < container->GetCount(); ++i)
        if (auto* tab = dynamic_cast<CDeviceOptionUI*>(container->GetItemAt(i))) out.push_back(tab);
    return out;
}

int DeviceHub::VisibleTabCount() const {
    int count = 0;
    for (CDeviceOptionUI* tab : TabsInOrder())
        if (tab->GetVisibleFlag()) ++count;
    return count;
}

bool DeviceHub::LinkProbeRunning(int tab_index) const {
    const TabEntry* entry = Entry(tab_index);
    return entry && entry->link_probe;
}

size_t DeviceHub::PageSlotFor(size_t slot) {
    const auto& table = SupportedInterfaces();
    size_t row = slot;
    if (table[row].role == kEventInterface) {
        if (auto command = DeviceTables::CommandSlot(table[row].vendorId, table[row].productId, table[row].deviceKind))
            row = *command;
    }
    if (table[row].IsReceiver() && table[row].paired && table[row].partner < table.size()) row = table[row].partner;
    return row;
}

// --- arrival and removal

void DeviceHub::OpenDeviceInterface(size_t slot) {
    if (slot >= slots_.Count()) return;
    const InterfaceSlot s = slots_.Get(slot);
    const Family family = FamilyOf(s.deviceKind);
    LOG_DEBUG(kTag, "%s", TextsOf(family).added);
    claimed_paths_[slot] = s.path;

    const InterfaceSlot& identity = SupportedInterfaces()[PageSlotFor(slot)];
    if (!AnyTabPageWithIdentity(identity)) {
        const auto row = DeviceTables::FindKindRow(identity.vendorId, identity.productId, identity.deviceKind);
        if (!row || !AddDevicePage(identity, *row))
            LOG_ERROR(kTag, "no page for the device on %s; it is used once it is plugged in again", s.path.c_str());
    }
    if (s.role == kCommandInterface)
        OpenCommandInterface(slot, s, family);
    else
        OpenEventInterface(slot, s, family);
    window_.BringToFront();
}

void DeviceHub::OpenCommandInterface(size_t slot, const InterfaceSlot& s, Family family) {
    if (slots_.PartnerConnected(slot)) {
        // The wired connection keeps the page; a cable plugged beside the receiver takes it over.
        if (IsWiredPairedKind(s.deviceKind)) SwitchConnection(slot);
        return;
    }
    const InterfaceSlot& identity = SupportedInterfaces()[PageSlotFor(slot)];
    COrvaneUSBDevice* page = FindFamilyPage(family, identity);
    if (!page) return;
    DeviceTransport& transport = page->CommandTransport();
    const bool receiver = s.IsReceiver();
    if (!transport.Opened()) {
        if (!transport.Open(s.path, receiver)) {
            // Gone again already, or busy: the next pass tries it afresh.
            LOG_WARNING(kTag, "cannot open %s; tried again on the next pass", s.path.c_str());
            ReleaseSlot(slot);
            return;
        }
        page->SetIdentity(identity);
    }
    const int tab = page->TabIndex();
    if (!receiver) {
        const CDeviceOptionUI* own = Tab(tab);
        const int others = VisibleTabCount() - (own && own->GetVisibleFlag() ? 1 : 0);
        ShowDeviceTab(tab, true, others == 0);
    }
    ArmTabTimer(tab, kDeviceReady, kReadyDelay);
}

void DeviceHub::OpenEventInterface(size_t slot, const InterfaceSlot& s, Family family) {
    COrvaneUSBDevice* page = FindFamilyPage(family, SupportedInterfaces()[PageSlotFor(slot)]);
    if (!page) return;
    DeviceTransport& events = page->EventTransport();
    if (!events.Opened()) {
        if (events.Open(s.path, false)) {
            page->StartWorker(COrvaneUSBDevice::Worker::Event);
        } else {
            LOG_WARNING(kTag, "cannot open %s; tried again on the next pass", s.path.c_str());
            ReleaseSlot(slot);
        }
        return;
    }
    // Keyboard and mouse keep one event record per connection: the wired device's and the receiver's.
    if (family != Family::Keyboard && family != Family::Mouse) return;
    std::lock_guard io(events.IoLock());
    HidDevice& secondary = events.Secondary();
    if (secondary.IsOpen()) {
        LOG_WARNING(kTag, "both event records in use; %s not opened", s.path.c_str());
        return;
    }
    if (!secondary.Open(s.path, true, true, true, false)) {
        LOG_WARNING(kTag, "cannot open %s; tried again on the next pass", s.path.c_str());
        ReleaseSlot(slot);
    }
}

// The discovery thread waits for this handler, so the slot list is ours to change.
void DeviceHub::ReleaseSlot(size_t slot) {
    slots_.Free(slot);
    claimed_paths_[slot].clear();
}

void DeviceHub::CloseDeviceInterface(size_t slot) {
    if (slot >= slots_.Count()) return;
    const InterfaceSlot& s = SupportedInterfaces()[slot];
    const Family family = FamilyOf(s.deviceKind);
    const FamilyTexts texts = TextsOf(family);
    LOG_DEBUG(kTag, "%s", texts.removed);
    if (texts.lost) LOG_DEBUG(kTag, "%s", texts.lost);
    const std::string path = std::move(claimed_paths_[slot]);
    claimed_paths_[slot].clear();

    COrvaneUSBDevice* page = FindFamilyPage(family, SupportedInterfaces()[PageSlotFor(slot)]);
    if (s.role == kEventInterface) {
        if (!page) return;
        page->StopWorker(COrvaneUSBDevice::Worker::Event);
        CloseEventRecord(*page, path);
        return;
    }
    if (slots_.PartnerConnected(slot)) {
        if (IsWiredPairedKind(s.deviceKind)) {
            SwitchConnection(slot);
        } else if (page && !path.empty()) {
            // The cable holds the page; only the receiver's record, if it is still open, goes.
            DeviceTransport& transport = page->CommandTransport();
            HidDevice& record = transport.Secondary();
            if (record.IsOpen() && record.Path() == path) {
                record.Abort();
                std::lock_guard io(transport.IoLock());
                record.Close();
            }
        }
        return;
    }
    if (!page) return;
    page->CommandTransport().Close();
    StopLinkProbe(page->TabIndex());
    HideDeviceTab(page->TabIndex());
}

void DeviceHub::CloseEventRecord(COrvaneUSBDevice& page, const std::string& path) {
    DeviceTransport& events = page.EventTransport();
    bool open = false;
    {
        std::lock_guard io(events.IoLock());
        HidDevice& primary = events.Primary();
        HidDevice& secondary = events.Secondary();
        if (!path.empty() && secondary.IsOpen() && secondary.Path() == path) {
            secondary.Close();
        } else if (path.empty() || (primary.IsOpen() && primary.Path() == path)) {
            primary.Close();
            // The event thread reads the primary record: the remaining connection moves there.
            if (secondary.IsOpen()) {
                const std::string other = secondary.Path();
                secondary.Close();
                if (!primary.Open(other, true, true, true, false))
                    LOG_WARNING(kTag, "cannot reopen the events of %s", other.c_str());
            }
        }
        open = primary.IsOpen();
        events.SetOpened(open);
    }
    if (open) page.StartWorker(COrvaneUSBDevice::Worker::Event);
}

void DeviceHub::SwitchConnection(size_t slot) {
    const InterfaceSlot s = slots_.Get(slot);
    if (!s.paired) return;
    const size_t partner = s.partner;
    const auto& table = SupportedInterfaces();
    const Family family = FamilyOf(s.deviceKind);
    COrvaneUSBDevice* page = FindFamilyPage(family, table[slot]);
    if (!page && partner < table.size()) page = FindFamilyPage(family, table[partner]);
    if (!page) return;

    // The cable was plugged in (its slot is claimed): the page goes wired on it; it was
    // pulled: the page goes wireless on the receiver. While the page is open this is the
    // opposite of its wireless flag; a page that a failed switch left closed still ends
    // up on the connection that is there.
    DeviceTransport& transport = page->CommandTransport();
    const bool to_wired = s.connected != 0;
    const size_t target = to_wired ? slot : partner;
    const std::string path = to_wired ? s.path : slots_.Get(partner).path;
    HidDevice& record = to_wired ? transport.Primary() : transport.Secondary();
    const bool was_open = transport.Opened();
    bool opened = false;
    transport.SetOpened(false);
    record.Abort();
    {
        std::lock_guard io(transport.IoLock());
        record.Close();
        opened = !path.empty() && record.Open(path, true, true, true, false);
    }
    const int tab = page->TabIndex();
    if (!opened) {
        // Gone again meanwhile: discovery claims it afresh on its next pass.
        LOG_WARNING(kTag, "cannot switch the connection to %s; tried again on the next pass", path.c_str());
        ReleaseSlot(target);
        if (to_wired && was_open && transport.Secondary().IsOpen()) {
            transport.SetOpened(true);  // the receiver still serves the page
            return;
        }
        StopLinkProbe(tab);
        HideDeviceTab(tab);
        return;
    }
    transport.SetOpened(true);
    if (!to_wired) {
        transport.SetTransportMode(DeviceTransport::kModeWireless);
        if (page->HasPowerPanel())
            StartLinkProbe(tab);
        else
            ArmTabTimer(tab, kLinkWatchdog, kWatchdogFirst);
        if (!was_open) ArmTabTimer(tab, kDeviceReady, kReadyDelay);
    } else {
        StopLinkProbe(tab);
        transport.SetTransportMode(1);
        ArmTabTimer(tab, kDeviceReady, kReadyDelay);
        window_.SendMessage(WM_SHOW_DEVICE_TAB, static_cast<std::uintptr_t>(tab), 1);
        if (page->HasPowerPanel()) page->ReadPowerStatus();
    }
}

// The link of a page that just went wireless is asked up to kLinkAttempts times, 50 ms
// apart; the waits are timer steps, so the UI thread never sleeps for them.
void DeviceHub::StartLinkProbe(int tab_index) {
    TabEntry* entry = Entry(tab_index);
    if (!entry) return;
    entry->link_attempts = 0;
    entry->link_probe = true;
    LinkProbeStep(tab_index);
}

void DeviceHub::LinkProbeStep(int tab_index) {
    TabEntry* entry = Entry(tab_index);
    if (!entry || !entry->link_probe) return;
    COrvaneUSBDevice& page = *entry->page;
    const DeviceTransport& transport = page.CommandTransport();
    if (!transport.Opened() || !transport.Wireless()) {
        entry->link_probe = false;  // the connection changed meanwhile
        return;
    }
    if (!page.QueryLinkAlive()) {
        LOG_DEBUG(kTag, "获取2.4G模式失败");
        if (++entry->link_attempts < kLinkAttempts) {
            ArmSlot(tab_index, kLinkRetrySlot, kLinkRetryMs, 0);
            return;
        }
    }
    entry->link_probe = false;
    LOG_DEBUG(kTag, "获取2");
    page.ReadPowerStatus();
    ArmTabTimer(tab_index, kLinkWatchdog, kWatchdogFirst);
}

void DeviceHub::StopLinkProbe(int tab_index) {
    TabEntry* entry = Entry(tab_index);
    if (!entry) return;
    entry->link_probe = false;
    std::lock_guard lock(timer_mutex_);
    if (loop_) loop_->KillTimer(timer_ids_[static_cast<size_t>(tab_index)][kLinkRetrySlot]);
}

// --- pages and tabs

bool DeviceHub::AddDevicePage(const InterfaceSlot& command_row, int kind_row) {
    const auto row = DeviceTables::FindKindRow(command_row.vendorId, command_row.productId, command_row.deviceKind);
    if (!row || *row != kind_row || Entry(kind_row)) return false;
    const DeviceKindEntry& kind = DeviceTables::Kinds()[static_cast<size_t>(kind_row)];
    const DevicePageEntry& entry = DeviceTables::Pages()[static_cast<size_t>(kind_row)];
    CPaintManagerUI& pm = window_.GetPaintManager();

    auto* pages = dynamic_cast<CTabLayoutUI*>(pm.FindControl(kPageLayout));
    auto* powers = dynamic_cast<CTabLayoutUI*>(pm.FindControl(kind.powerLayout));
    CControlUI* bar = pm.FindControl(kTabLayout);
    CContainerUI* tabs = bar ? bar->AsContainer() : nullptr;
    if (!pages || !powers || !tabs) {
        LOG_ERROR(kTag, "the main skin lacks \"device_switch\", \"device_power_switch\" or \"device_select_layout\"");
        return false;
    }
    auto build = [&](std::string_view file) {
        CDialogBuilder builder;
        std::unique_ptr<CControlUI> tree = builder.Create(file, {}, &window_, &pm);
        if (!tree) LOG_ERROR(kTag, "not built: %s", builder.GetError().ToString().c_str());
        return tree;
    };
    std::unique_ptr<CControlUI> panel_tree = build(DeviceTables::kPowerPanelXml);
    std::unique_ptr<CControlUI> page_tree = build(entry.pageXml);
    std::unique_ptr<CControlUI> tab_tree = build(kind.tabXml);
    auto* panel = dynamic_cast<CMpDevicePowerUI*>(panel_tree.get());
    auto* page = dynamic_cast<COrvaneUSBDevice*>(page_tree.get());
    auto* tab = dynamic_cast<CDeviceOptionUI*>(tab_tree.get());
    if (!panel || !page || !tab) {
        LOG_ERROR(kTag, "the %.*s page is incomplete: power panel %s, page %s, tab %s",
                  static_cast<int>(kind.kindName.size()), kind.kindName.data(), panel ? "built" : "missing",
                  page ? "built" : "missing", tab ? "built" : "missing");
        return false;
    }

    powers->Add(std::move(panel_tree));
    panel->SetKind(command_row.deviceKind, kind_row);
    power_panels_.push_back(panel);

    pages->Add(std::move(page_tree));
    pm.AddNotifier(page);
    page->SetPageXmlName(std::string(entry.pageXml));
    page->SetOwner(this);
    page->SetKeyCount(entry.keyCount);
    page->SetLedCount(entry.ledCount);
    page->SetTabIndex(kind_row);
    page->SetPowerPanelFlag(entry.powerPanel);
    page->SetProfileName(window_.CurrentProfileName());
    page->SetKindName(std::string(kind.kindName));
    page->SetPowerPanel(panel);
    page->SetIdentity(command_row);
    page->SetKindIndex(kind.kindIndex);
    page->SetLightFileBaseName(std::string(entry.lightFileBaseName));
    page->SetTab(tab);
    page->InitPage();
    FamilyList(FamilyOf(command_row.deviceKind)).push_back(page);

    tabs->Add(std::move(tab_tree));
    tab->SetGroup(kind.tabGroup);
    tab->BindTabLayout(kPageLayout, pages->GetItemIndex(page));
    tab->BindPowerLayout(kind.powerLayout, entry.powerPanel ? powers->GetItemIndex(panel) : -1);
    tab->SetDeviceKind(command_row.deviceKind);
    tab->SetLabel(kind.kindName);
    tab->SetPage(page);
    tab->SetTabIndex(kind_row);
    tab->SetVisible(false);

    tabs_[static_cast<size_t>(kind_row)] = TabEntry{page, tab, panel, 0, 0, false};
    LOG_INFO(kTag, "%.*s page built", static_cast<int>(kind.kindName.size()), kind.kindName.data());
    return true;
}

void DeviceHub::ShowDeviceTab(int tab_index, bool visible, bool select) {
    CDeviceOptionUI* tab = Tab(tab_index);
    if (!tab) return;
    tab->SetVisible(visible);
    if (select) {
        if (auto* pages = dynamic_cast<CTabLayoutUI*>(window_.FindControl(kPageLayout)))
            pages->SelectItem(tab->GetBindTabIndex());
        if (auto* powers = dynamic_cast<CTabLayoutUI*>(window_.FindControl(tab->GetPowerLayoutName()))) {
            powers->SetVisible(tab->GetPowerIndex() >= 0);
            if (tab->GetPowerIndex() >= 0) powers->SelectItem(tab->GetPowerIndex());
        }
        tab->Selected(true);
    }
    RefreshTabState();
}

void DeviceHub::HideDeviceTab(int tab_index) {
    CDeviceOptionUI* tab = Tab(tab_index);
    if (!tab) return;
    int picked = -1;
    if (tab->GetVisibleFlag() && tab->IsSelected()) {
        window_.ClosePopups();
        for (CDeviceOptionUI* other : TabsInOrder()) {
            if (other != tab && other->GetVisibleFlag()) {
                picked = other->GetTabIndex();
                break;
            }
        }
    }
    tab->SetVisible(false);
    if (picked >= 0)
        ShowDeviceTab(picked, true, true);
    else
        RefreshTabState();
}

void DeviceHub::OnShowDeviceTabMessage(int tab_index, bool show) {
    if (!show) {
        HideDeviceTab(tab_index);
        return;
    }
    const CDeviceOptionUI* tab = Tab(tab_index);
    if (!tab || tab->GetVisibleFlag()) return;
    ShowDeviceTab(tab_index, true, VisibleTabCount() == 0);
}

// The no-device indicator and the offer of synchronised lighting follow the visible tabs.
void DeviceHub::RefreshTabState() {
    const int visible = VisibleTabCount();
    if (CControlUI* indicator = window_.FindControl(kNoDevice)) indicator->SetVisible(visible == 0);
    if (visible == 0) {
        if (auto* powers = dynamic_cast<CTabLayoutUI*>(window_.FindControl("device_power_switch")))
            powers->SelectItem(0);
        if (auto* pages = dynamic_cast<CTabLayoutUI*>(window_.FindControl(kPageLayout))) pages->SelectItem(0);
    }
    // Synchronised lighting itself comes later; only the offer is kept.
    sync_available_ = visible > 1;
}

// --- tab timers

void DeviceHub::OnTabTimer(int tab_index, unsigned timer_id) {
    TabEntry* entry = Entry(tab_index);
    if (!entry) return;
    COrvaneUSBDevice& page = *entry->page;
    const DeviceTransport& transport = page.CommandTransport();
    switch (timer_id) {
        case kFramePump:
            // The light buttons repaint themselves when their colour changes, so the
            // preview stays live without redrawing the whole page 200 times a second.
            page.RefreshLights();
            if (transport.Opened()) ArmTabTimer(tab_index, kFramePump, transport.Wireless() ? kFrameWireless : kFrameWired);
            break;
        case kDeviceReady:
            if (transport.Wireless() && transport.Opened()) {
                if (!page.QueryLinkAlive()) {
                    window_.SendMessage(WM_SHOW_DEVICE_TAB, static_cast<std::uintptr_t>(tab_index), 0);
                    entry->ready_attempts = (entry->ready_attempts + 1) % kReadyAttemptWrap;
                    ArmTabTimer(tab_index, kDeviceReady, kReadyRetryDelay);
                    return;
                }
                window_.SendMessage(WM_SHOW_DEVICE_TAB, static_cast<std::uintptr_t>(tab_index), 1);
            }
            page.ConnectDevice();
            entry->ready_attempts = 0;
            ArmTabTimer(tab_index, kFramePump, kFrameWired);
            if (page.HasPowerPanel() && transport.Opened()) ArmTabTimer(tab_index, kPowerStatus, kPowerFirst);
            if (transport.Wireless()) ArmTabTimer(tab_index, kLinkWatchdog, kWatchdogFirst);
            break;
        case kReload: page.ReloadFromDevice(); break;
        case kSpare1: page.OnSpareTimer1(); break;
        case kSpare2: page.OnSpareTimer2(); break;
        case kPowerStatus:
            page.ReadPowerStatus();
            if (page.HasPowerPanel()) ArmTabTimer(tab_index, kPowerStatus, kPowerEvery);
            break;
        case kLinkWatchdog: {
            // A closed page stays in wireless mode; its watchdog ends with the connection.
            if (!transport.Wireless() || !transport.Opened()) break;
            const bool online = page.QueryLinkAlive();
            const bool shown = entry->tab->GetVisibleFlag();
            if (online && !shown) {
                window_.SendMessage(WM_SHOW_DEVICE_TAB, static_cast<std::uintptr_t>(tab_index), 1);
                page.ReadPowerStatus();
            } else if (!online && shown) {
                window_.SendMessage(WM_SHOW_DEVICE_TAB, static_cast<std::uintptr_t>(tab_index), 0);
            }
            ArmTabTimer(tab_index, kLinkWatchdog, kWatchdogEvery);
            break;
        }
        default: break;
    }
}

}  // namespace lumora

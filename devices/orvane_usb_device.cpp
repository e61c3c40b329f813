#include "devices/orvane_usb_device.h"

#include <algorithm>
#include <charconv>

#include "devices/device_owner.h"
#include "devices/lighting_panel.h"
#include "devices/mp_device_power_ui.h"
#include "hid/hid_types.h"
#include "platform/logger.h"
#include "platform/message_loop.h"
#include "platform/paths.h"
#include "platform/stop_event.h"
#include "profiles/basic_profiledata.h"
#include "ui/device_key_button_ui.h"
#include "ui/paint_manager_ui.h"
#include "ui/tab_layout_ui.h"

namespace lumora {
namespace {

constexpr const char* kTag = "device";
constexpr std::chrono::milliseconds kClosedWait{100};

// "light_12" -> ("light_", 12); false without "_" or without a plain decimal number after it.
bool SplitButtonName(const std::string& name, std::string_view* prefix, int* number) {
    const size_t underscore = name.rfind('_');
    if (underscore == std::string::npos) return false;
    const std::string_view digits = std::string_view(name).substr(underscore + 1);
    if (digits.empty() || digits.size() > 6 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    int value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) return false;
    *prefix = std::string_view(name).substr(0, underscore + 1);
    *number = value;
    return true;
}

// The colour value a light button takes: red | blue << 8 | green << 16.
uint32_t ButtonColour(const LedColour& c) {
    return static_cast<uint32_t>(c.red) | static_cast<uint32_t>(c.blue) << 8 | static_cast<uint32_t>(c.green) << 16;
}

}  // namespace

COrvaneUSBDevice::COrvaneUSBDevice() = default;

COrvaneUSBDevice::~COrvaneUSBDevice() {
    StopWorkers();
    if (CPaintManagerUI* manager = GetManager()) manager->RemoveNotifier(this);
}

std::string_view COrvaneUSBDevice::GetClass() const { return "OrvaneUSBDevice"; }

bool COrvaneUSBDevice::IsA(std::string_view kind) const {
    return UiText::EqualsNoCase(kind, "OrvaneUSBDevice") || CHorizontalLayoutUI::IsA(kind);
}

void COrvaneUSBDevice::Notify(TNotifyUI& msg) {
    if (msg.pSender == nullptr || FindSubControl(msg.pSender->GetName()) != msg.pSender) return;
    LOG_DEBUG(kTag, "测试成功   、n");
    NotifyPump(msg);
}

void COrvaneUSBDevice::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
    CPaintManagerUI* old = GetManager();
    if (old && old != manager) old->RemoveNotifier(this);
    CHorizontalLayoutUI::SetManager(manager, parent, init);
}

// --- virtual operations

void COrvaneUSBDevice::InitPage() { BindPageControls(); }

int COrvaneUSBDevice::ApplyProfileLighting() { return 0; }

void COrvaneUSBDevice::RenderBreathing() { engine_.RenderBreathing(); }

void COrvaneUSBDevice::RenderBreathingFourColour() { engine_.RenderBreathingFourColour(); }

void COrvaneUSBDevice::RenderStatic() { engine_.RenderStatic(); }

void COrvaneUSBDevice::RenderColourCycle() { engine_.RenderColourCycle(); }

void COrvaneUSBDevice::RenderFlash() { engine_.RenderFlash(TickCountMs()); }

void COrvaneUSBDevice::RenderFlashFourColour() { engine_.RenderFlashFourColour(TickCountMs()); }

void COrvaneUSBDevice::RenderOff() { engine_.RenderOff(); }

void COrvaneUSBDevice::RefreshLights() {
    if (lighting_control_.load() == 0) return;
    // One snapshot for the preview and the frame, so both show the same renderer step.
    const std::vector<LedColour> colours = engine_.Colours();
    const size_t buttons = std::min(colours.size(), light_buttons_.size());
    for (size_t i = 0; i < buttons; ++i) {
        CDeviceKeyButtonUI* button = light_buttons_[i];
        if (button && button->IsVisible()) button->SetKeyColor(ButtonColour(colours[i]), colours[i].brightness);
    }
    uint8_t frame[kFrameBufferSize];
    const size_t length = LightEngine::BuildFrame(colours, frame, sizeof frame);
    if (command_.Wireless()) return;
    // After a failure the device gets a rest; the UI thread never sleeps for it.
    const Clock::TimePoint now = Now();
    if (now < frames_paused_until_) return;
    if (command_.StreamLightFrame(frame, length) != DeviceTransport::kSuccess) {
        frames_paused_until_ = now + kFramePause;
        LOG_DEBUG(kTag, "light frame failed; frames paused for %lld ms", static_cast<long long>(kFramePause.count()));
    }
}

void COrvaneUSBDevice::SetLedColour(int index, LedColour colour) { engine_.SetLedColour(index, colour); }

LedColour COrvaneUSBDevice::GetLedColour(int index) const { return engine_.GetLedColour(index); }

void COrvaneUSBDevice::ConnectDevice() {}

void COrvaneUSBDevice::ReloadFromDevice() {}

void COrvaneUSBDevice::OnSpareTimer1() {}

void COrvaneUSBDevice::OnSpareTimer2() {}

void COrvaneUSBDevice::ReadPowerStatus() {}

bool COrvaneUSBDevice::QueryLinkAlive() { return true; }

int COrvaneUSBDevice::LoadProfile() { return 0; }

void COrvaneUSBDevice::RefreshPage() {}

void COrvaneUSBDevice::ValidateMacroAssignments() {}

void COrvaneUSBDevice::ReloadProfile() {}

std::vector<int> COrvaneUSBDevice::CollectUsedMacros() { return {}; }

int COrvaneUSBDevice::WriteKeyAssignments(int /*page*/, const std::vector<KeyListEntry>& /*keys*/) { return 0; }

int COrvaneUSBDevice::WriteCurrentKeyAssignments(int /*page*/) { return 0; }

int COrvaneUSBDevice::WriteMacros(const std::vector<int>& /*macros*/) { return 0; }

int COrvaneUSBDevice::WriteDeviceSettings(int /*record*/, int /*profile*/, int /*x*/, int /*width*/, int /*height*/) {
    return 0;
}

void COrvaneUSBDevice::LoadLightFiles() {}

void COrvaneUSBDevice::StoreKeyMap(const KeyMap& map) { stored_key_map_ = map; }

void COrvaneUSBDevice::FadeKey(int key, int mode) { engine_.FadeKey(key, mode); }

void COrvaneUSBDevice::LightHeldKeys() { engine_.LightHeldKeys(9); }

void COrvaneUSBDevice::RotateRippleRing(int direction) { engine_.RotateRippleRing(direction); }

void COrvaneUSBDevice::ClearKeyStates() { engine_.ClearKeyStates(); }

void COrvaneUSBDevice::SelectFunctionPage(int page) {
    function_page_ = page;
    if (!function_switch_)
        function_switch_ = dynamic_cast<CTabLayoutUI*>(FindSubControl("device_function_switch"));
    if (!key_function_switch_)
        key_function_switch_ = dynamic_cast<CTabLayoutUI*>(FindSubControl("device_key_function_switch"));
    if (!function_switch_ || !key_function_switch_) return;
    auto select = [this](int function_item, int key_item) {
        function_switch_->SelectItem(function_item);
        if (key_item >= 0) key_function_switch_->SelectItem(key_item);
    };
    switch (page) {
    case 2:
    case 6: select(0, 1); break;
    case 3:
    case 8: select(1, -1); break;
    case 4:
        if (IsKeyboardOrMouse()) select(3, -1);
        else select(0, 2);
        break;
    case 7: select(0, 2); break;
    case 5: select(2, -1); break;
    default: select(0, 0); break;
    }
}

int COrvaneUSBDevice::GetFunctionPage() const { return function_page_; }

void COrvaneUSBDevice::LoadProfileFiles() {}

std::string COrvaneUSBDevice::GetProfileName() { return {}; }

void COrvaneUSBDevice::SaveProfile() {}

void COrvaneUSBDevice::SetKindIndex(int index) { kind_index_ = index; }

int COrvaneUSBDevice::GetKindIndex() const { return kind_index_; }

void COrvaneUSBDevice::SetLightSettings(const LightInfo& settings) { engine_.SetSettings(settings); }

void COrvaneUSBDevice::SetAudioLightSettings(const AudioLightInfo& info) {
    audio_light_ = info;
    if (ILightingPanel* panel = LightingPanel()) panel->ShowAudioLightSettings(info);
}

AudioLightInfo COrvaneUSBDevice::GetAudioLightSettings(int mode) {
    if (ILightingPanel* panel = LightingPanel()) audio_light_ = panel->ReadAudioLightSettings(mode != 0);
    return audio_light_;
}

void COrvaneUSBDevice::SelectPanelEntry(int index) { panel_entry_ = index; }

void COrvaneUSBDevice::OnAudioSpectrum(const uint8_t* /*data*/, size_t /*count*/) {}

void COrvaneUSBDevice::OnAudioParams(const uint8_t* /*data*/, size_t /*count*/) {}

void COrvaneUSBDevice::BindPageControls() {
    if (page_xml_name_.empty()) {
        SetKeyCount(0);
        SetLedCount(0);
        return;
    }
    std::fill(key_buttons_.begin(), key_buttons_.end(), nullptr);
    std::fill(light_buttons_.begin(), light_buttons_.end(), nullptr);
    CContainerUI* panel = nullptr;
    for (int i = 0; i < GetCount() && !panel; ++i) {
        CControlUI* child = GetItemAt(i);
        if (UiText::EqualsNoCase(child->GetClass(), "SelectPanel")) panel = child->AsContainer();
    }
    if (!panel) return;
    for (int i = 0; i < panel->GetCount(); ++i) {
        auto* button = dynamic_cast<CDeviceKeyButtonUI*>(panel->GetItemAt(i));
        if (!button || !UiText::EqualsNoCase(button->GetClass(), "DeviceKeyButton")) continue;
        std::string_view prefix;
        int number = 0;
        if (!SplitButtonName(button->GetName(), &prefix, &number)) continue;
        if (UiText::EqualsNoCase(prefix, "key_") && number < KeyCount()) {
            key_buttons_[static_cast<size_t>(number)] = button;
        } else if (UiText::EqualsNoCase(prefix, "light_") && number < LedCount()) {
            light_buttons_[static_cast<size_t>(number)] = button;
            button->SetKeyColor(0xFFFFFF, 255);
            button->SetLit(true);
        }
    }
}

LightInfo COrvaneUSBDevice::GetLightSettings() const { return engine_.Settings(); }

void COrvaneUSBDevice::RenderExtra1() {}

void COrvaneUSBDevice::RenderExtra2() {}

void COrvaneUSBDevice::RenderExtra3() {}

// --- construction setters

void COrvaneUSBDevice::SetKeyCount(int count) {
    const int clamped = std::clamp(count, 0, kMaxKeys);
    if (clamped != count) LOG_WARNING(kTag, "key count %d outside 0..%d", count, kMaxKeys);
    key_buttons_.resize(static_cast<size_t>(clamped), nullptr);
}

void COrvaneUSBDevice::SetLedCount(int count) {
    const int clamped = std::clamp(count, 0, kMaxLeds);
    if (clamped != count) LOG_WARNING(kTag, "LED count %d outside 0..%d", count, kMaxLeds);
    const size_t n = static_cast<size_t>(clamped);
    light_buttons_.resize(n, nullptr);
    engine_.SetLedCount(n);
    std::lock_guard lock(zone_lock_);
    zones_.assign(n, LightZone{});
}

void COrvaneUSBDevice::SetPowerPanelFlag(int flag) {
    power_panel_flag_ = flag;
    power_panel_flag_set_ = true;
    ShowPowerLayoutWhenReady();
}

void COrvaneUSBDevice::SetPowerPanel(CMpDevicePowerUI* panel) {
    power_panel_ = panel;
    ShowPowerLayoutWhenReady();
}

void COrvaneUSBDevice::ShowPowerLayoutWhenReady() {
    if (power_panel_ && power_panel_flag_set_) power_panel_->ShowPowerLayout(power_panel_flag_);
}

void COrvaneUSBDevice::SetKindName(std::string name) {
    kind_name_ = std::move(name);
    if (profile_data_) profile_data_->SetDefaultPath(DefaultProfilePath());
}

void COrvaneUSBDevice::SetIdentity(const InterfaceSlot& identity) {
    identity_ = identity;
    device_kind_ = identity.deviceKind;
    role_ = identity.role;
}

void COrvaneUSBDevice::SetLightingControl(int flag) {
    lighting_control_ = flag;
    if (flag != 0 && device_kind_ == kKindKeyboard) command_.ClaimLighting();
}

// --- getters

CDeviceKeyButtonUI* COrvaneUSBDevice::KeyButton(int index) const {
    return index >= 0 && index < KeyCount() ? key_buttons_[static_cast<size_t>(index)] : nullptr;
}

CDeviceKeyButtonUI* COrvaneUSBDevice::LightButton(int index) const {
    return index >= 0 && index < LedCount() ? light_buttons_[static_cast<size_t>(index)] : nullptr;
}

std::vector<LightZone> COrvaneUSBDevice::ZoneRecords() const {
    std::lock_guard lock(zone_lock_);
    return zones_;
}

ILightingPanel* COrvaneUSBDevice::LightingPanel() {
    if (!lighting_panel_) lighting_panel_ = FindSubControl("LightControlItem");
    return dynamic_cast<ILightingPanel*>(lighting_panel_);
}

bool COrvaneUSBDevice::IsKeyboardOrMouse() const {
    return device_kind_ == kKindKeyboard || device_kind_ == kKindKeyboardReceiver || device_kind_ == kKindMouse ||
           device_kind_ == kKindMouseReceiver;
}

// --- files

std::filesystem::path COrvaneUSBDevice::DefaultDataFolder() {
    std::filesystem::path base = CPaintManagerUI::GetInstancePath();
    if (base.empty()) base = Paths::ExecutableFolder();
    return base / "DefaultData" / "";
}

std::filesystem::path COrvaneUSBDevice::DefaultProfilePath() const {
    return DefaultDataFolder() / (kind_name_ + ".Json");
}

std::filesystem::path COrvaneUSBDevice::UserDataFolder() const {
    // The kind name is one folder name; anything else would leave the product folder.
    if (kind_name_.empty() || kind_name_ == "." || kind_name_ == ".." ||
        kind_name_.find('/') != std::string::npos) {
        LOG_WARNING(kTag, "no user data folder for kind name \"%s\"", kind_name_.c_str());
        return {};
    }
    const std::filesystem::path data = Paths::DataHome();
    if (data.empty()) {
        LOG_ERROR(kTag, "no data folder: neither XDG_DATA_HOME nor HOME is usable");
        return {};
    }
    const std::filesystem::path product = data / Paths::kProductName;
    const std::filesystem::path folder = product / kind_name_;
    for (const auto& f : {data, product, folder})
        if (!Paths::EnsureFolder(f)) LOG_ERROR(kTag, "cannot create folder %s", f.c_str());
    return folder / "";
}

// --- workers

DeviceWorker& COrvaneUSBDevice::WorkerFor(Worker which) {
    if (which == Worker::Lighting) {
        if (!lighting_worker_) {
            const bool keyboard = device_kind_ == kKindKeyboard || device_kind_ == kKindKeyboardReceiver;
            lighting_worker_ = std::make_unique<DeviceWorker>(
                "lighting", keyboard ? "KB灯光线程设定退出" : "MS灯光线程设定退出");
        }
        return *lighting_worker_;
    }
    if (!event_worker_) event_worker_ = std::make_unique<DeviceWorker>("device events", "MS设备同步线程设定退出");
    return *event_worker_;
}

bool COrvaneUSBDevice::StartWorker(Worker which) {
    if (which == Worker::Lighting) {
        StopWorker(Worker::Lighting);
        return WorkerFor(which).Start([this](const StopEvent& stop) { LightingThreadStep(stop); });
    }
    DeviceWorker& worker = WorkerFor(which);
    if (worker.Running()) return true;
    // A body that ended by itself is still joined before the new start.
    worker.Stop();
    return worker.Start([this](const StopEvent&) { EventThreadStep(); });
}

bool COrvaneUSBDevice::StopWorker(Worker which) {
    DeviceWorker* worker = which == Worker::Lighting ? lighting_worker_.get() : event_worker_.get();
    if (!worker) return true;
    DeviceWorker::Interrupt interrupt;
    if (which == Worker::Event) {
        // An event read waits without a time-out; only an abort ends it.
        interrupt = [this] {
            events_.Primary().Abort();
            events_.Secondary().Abort();
        };
    }
    const auto result = worker->Stop(interrupt);
    return result == DeviceWorker::StopResult::Ended || result == DeviceWorker::StopResult::NotRunning;
}

bool COrvaneUSBDevice::WorkerRunning(Worker which) const {
    const DeviceWorker* worker = which == Worker::Lighting ? lighting_worker_.get() : event_worker_.get();
    return worker && worker->Running();
}

void COrvaneUSBDevice::StopWorkers() {
    StopWorker(Worker::Lighting);
    StopWorker(Worker::Event);
}

void COrvaneUSBDevice::LightingThreadStep(const StopEvent& stop) {
    if (!command_.Opened()) {
        stop.Wait(kClosedWait);
        return;
    }
    if (command_.Synced()) return;
    if (stop.Wait(std::chrono::milliseconds(1))) return;
    if (++light_ticks_ >= engine_.SpeedTicks()) {
        RenderCurrentEffect();
        light_ticks_ = 0;
    }
}

void COrvaneUSBDevice::EventThreadStep() {
    if (!events_.Opened()) return;
    HidDevice& record = events_.Primary();
    std::vector<uint8_t>& buffer = record.ReportBuffer(HidReportType::Input);
    uint32_t got = 0;
    if (buffer.empty() ||
        record.Read(buffer.data(), static_cast<uint32_t>(buffer.size()), &got, kInfinite) != 1)
        return;
    if (!record.UnpackReport(buffer.data(), got, HidReportType::Input)) return;
    const auto& data = record.Data(HidReportType::Input);
    if (data.empty() || !data[0].is_button || data[0].usages.empty()) return;
    OnDeviceEvent(data[0].usages[0]);
}

void COrvaneUSBDevice::RenderCurrentEffect() {}

void COrvaneUSBDevice::OnDeviceEvent(uint16_t usage) {
    LOG_DEBUG(kTag, "device event 0x%04X on a page without event handling", usage);
}

void COrvaneUSBDevice::ArmTabTimer(unsigned timer_id, unsigned delay_ms) {
    IDeviceOwner* owner = owner_.load();
    const int tab = tab_index_.load();
    if (owner && tab >= 0) owner->ArmTabTimer(tab, timer_id, delay_ms);
}

uint32_t COrvaneUSBDevice::TickCountMs() {
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

Clock::TimePoint COrvaneUSBDevice::Now() {
    if (MessageLoop* loop = CPaintManagerUI::GetMessageLoop()) return loop->GetClock().Now();
    return std::chrono::steady_clock::now();
}

}  // namespace lumora

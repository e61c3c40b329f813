#pragma once
// A device page: the model of one device kind and its page in the main window at once.
// It is a container of the control tree (built from the kind's page skin), the receiver
// of the notifications of its own controls, and the owner of the device's two command
// channels, its lighting state (through LightEngine), its profile data (in the device
// classes) and its lighting and event threads.
//
// Threads: everything but the worker passes runs on the UI thread. The lighting thread
// only renders into the engine (which locks its colours, settings and key buffers) and
// reads the transports' atomic flags; the event thread only reads the event transport's
// primary record and hands the usage to OnDeviceEvent. Worker threads never touch
// controls; they reach the window through IDeviceOwner.
//
// Building a page (what the main window's AddDevicePage does): create it from the page
// skin, put it into the tree, then SetPageXmlName, SetOwner, SetKeyCount, SetLedCount,
// SetTabIndex, SetPowerPanelFlag, SetProfileName, SetKindName, SetPowerPanel,
// SetIdentity, SetKindIndex, SetLightFileBaseName, then InitPage; SetTab once its tab
// header is built. The event transport is opened before StartWorker(Worker::Event) and
// closed only after StopWorker(Worker::Event): the event thread reads its primary record.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "devices/device_worker.h"
#include "devices/led_colour.h"
#include "devices/light_engine.h"
#include "hid/interface_slot.h"
#include "platform/clock.h"
#include "profiles/profile_records.h"
#include "transport/device_transport.h"
#include "ui/horizontal_layout_ui.h"
#include "ui/notify_pump.h"
#include "ui/notify_ui.h"

namespace lumora {

class CBasicProfiledata;
class CDeviceKeyButtonUI;
class CDeviceOptionUI;
class CMpDevicePowerUI;
class CTabLayoutUI;
class IDeviceOwner;
class ILightingPanel;
class StopEvent;

class COrvaneUSBDevice : public CHorizontalLayoutUI, public CNotifyPump, public INotifyUI {
public:
    using KeyMap = std::map<uint32_t, uint32_t>;
    enum class Worker { Lighting, Event };

    // The frame buffer holds 170 LEDs; the key levels 170 keys.
    static constexpr int kMaxLeds = static_cast<int>(LightEngine::kMaxFrameLeds);
    static constexpr int kMaxKeys = static_cast<int>(LightEngine::kKeyLevels - 1);
    static constexpr size_t kFrameBufferSize = 512;
    // Sending is skipped for this long after a frame failed.
    static constexpr std::chrono::milliseconds kFramePause{200};

    // The device tab timers the main window runs for the page.
    static constexpr unsigned kTimerFramePump = 1000;
    static constexpr unsigned kTimerDeviceReady = 1001;
    static constexpr unsigned kTimerReload = 1002;
    static constexpr unsigned kTimerSpare1 = 1003;
    static constexpr unsigned kTimerSpare2 = 1004;
    static constexpr unsigned kTimerPowerStatus = 1005;
    static constexpr unsigned kTimerLinkWatchdog = 1007;

    COrvaneUSBDevice();
    ~COrvaneUSBDevice() override;

    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;

    // The notification filter: only notifications of this page's own controls reach its
    // message map (CNotifyPump); a same-named control of another page is ignored.
    void Notify(TNotifyUI& msg) override;
    // Leaving a paint manager also leaves its notifier list.
    void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) override;

    // --- virtual operations, in slot order
    virtual void InitPage();                                                     // 1
    virtual int ApplyProfileLighting();                                          // 2
    virtual void RenderBreathing();                                              // 3
    virtual void RenderBreathingFourColour();                                    // 4
    virtual void RenderStatic();                                                 // 5
    virtual void RenderColourCycle();                                            // 6
    virtual void RenderFlash();                                                  // 7
    virtual void RenderFlashFourColour();                                        // 8
    virtual void RenderOff();                                                    // 9
    virtual void RefreshLights();                                                // 10
    virtual void SetLedColour(int index, LedColour colour);                      // 11
    virtual LedColour GetLedColour(int index) const;                             // 12
    virtual void ConnectDevice();                                                // 13
    virtual void ReloadFromDevice();                                             // 14
    virtual void OnSpareTimer1();                                                // 15
    virtual void OnSpareTimer2();                                                // 16
    virtual void ReadPowerStatus();                                              // 17
    virtual bool QueryLinkAlive();                                               // 18
    virtual int LoadProfile();                                                   // 19
    virtual void RefreshPage();                                                  // 20
    virtual void ValidateMacroAssignments();                                     // 21
    virtual void ReloadProfile();                                                // 22
    virtual std::vector<int> CollectUsedMacros();                                // 23
    virtual int WriteKeyAssignments(int page, const std::vector<KeyListEntry>& keys);  // 24
    virtual int WriteCurrentKeyAssignments(int page);                            // 25
    virtual int WriteMacros(const std::vector<int>& macros);                     // 26
    virtual int WriteDeviceSettings(int record, int profile, int x, int width, int height);  // 27
    virtual void LoadLightFiles();                                               // 28
    virtual void StoreKeyMap(const KeyMap& map);                                 // 29
    virtual void FadeKey(int key, int mode);                                     // 30
    virtual void LightHeldKeys();                                                // 31
    virtual void RotateRippleRing(int direction);                                // 32
    virtual void ClearKeyStates();                                               // 33
    virtual void SelectFunctionPage(int page);                                   // 34
    virtual int GetFunctionPage() const;                                         // 35
    virtual void LoadProfileFiles();                                             // 36
    virtual std::string GetProfileName();                                        // 37
    virtual void SaveProfile();                                                  // 38
    virtual void SetKindIndex(int index);                                        // 39
    virtual int GetKindIndex() const;                                            // 40
    virtual void SetLightSettings(const LightInfo& settings);                    // 41
    virtual void SetAudioLightSettings(const AudioLightInfo& info);              // 42
    virtual AudioLightInfo GetAudioLightSettings(int mode);                      // 43
    virtual void SelectPanelEntry(int index);                                    // 44
    virtual void OnAudioSpectrum(const uint8_t* data, size_t count);             // 45
    virtual void OnAudioParams(const uint8_t* data, size_t count);               // 46
    virtual void BindPageControls();                                             // 47
    virtual LightInfo GetLightSettings() const;                                  // 48
    virtual void RenderExtra1();                                                 // 49
    virtual void RenderExtra2();                                                 // 50
    virtual void RenderExtra3();                                                 // 51

    // --- setters of the page's construction (AddDevicePage)
    void SetPageXmlName(std::string name) { page_xml_name_ = std::move(name); }
    void SetOwner(IDeviceOwner* owner) { owner_ = owner; }
    // Resizes the key-button list (0 to kMaxKeys).
    void SetKeyCount(int count);
    // Resizes the light buttons, LED colours and zone records when the count changes
    // (0 to kMaxLeds); every LED colour and zone record is zero afterwards.
    void SetLedCount(int count);
    void SetTabIndex(int index) { tab_index_ = index; }
    // The kind shows a power panel (the mouse); the panel hears of it once it is given too.
    void SetPowerPanelFlag(int flag);
    void SetProfileName(std::string name) { profile_name_ = std::move(name); }
    // The data-folder name ("mouse", "keyboard", "MousePad", "HD"); the profile data gets
    // DefaultProfilePath as its default profile.
    void SetKindName(std::string name);
    void SetLightFileBaseName(std::string name) { light_file_base_name_ = std::move(name); }
    void SetPowerPanel(CMpDevicePowerUI* panel);
    // Also copies the device kind and the role.
    void SetIdentity(const InterfaceSlot& identity);
    void SetTab(CDeviceOptionUI* tab) { tab_ = tab; }

    // Frames are sent only while set; taking control on a keyboard (kind 1) also claims
    // the lighting on the device.
    void SetLightingControl(int flag);
    // Main window active or hovered: the preview is redrawn while set.
    void SetWindowActive(int flag) { window_active_ = flag; }

    // --- getters
    const InterfaceSlot& Identity() const { return identity_; }
    uint16_t DeviceKind() const { return device_kind_; }
    uint16_t Role() const { return role_; }
    DeviceTransport& CommandTransport() { return command_; }
    DeviceTransport& EventTransport() { return events_; }
    const std::string& PageXmlName() const { return page_xml_name_; }
    const std::string& ProfileName() const { return profile_name_; }
    const std::string& KindName() const { return kind_name_; }
    const std::string& LightFileBaseName() const { return light_file_base_name_; }
    IDeviceOwner* Owner() const { return owner_.load(); }
    int KeyCount() const { return static_cast<int>(key_buttons_.size()); }
    int LedCount() const { return static_cast<int>(light_buttons_.size()); }
    // Null where no button of that number was bound.
    CDeviceKeyButtonUI* KeyButton(int index) const;
    CDeviceKeyButtonUI* LightButton(int index) const;
    int TabIndex() const { return tab_index_.load(); }
    int PowerPanelFlag() const { return power_panel_flag_; }
    bool HasPowerPanel() const { return power_panel_flag_ != 0; }
    CMpDevicePowerUI* PowerPanel() const { return power_panel_; }
    CDeviceOptionUI* Tab() const { return tab_; }
    int LightingControl() const { return lighting_control_.load(); }
    int WindowActive() const { return window_active_.load(); }
    int PanelEntry() const { return panel_entry_; }
    AudioLightInfo AudioLightSettings() const { return audio_light_; }
    // The profile data of the device class; null on a bare page.
    CBasicProfiledata* ProfileData() const { return profile_data_; }
    LightEngine& Engine() { return engine_; }
    std::vector<LightZone> ZoneRecords() const;
    // The lighting panel "LightControlItem" of the page, when it has one.
    ILightingPanel* LightingPanel();

    // --- files
    // "DefaultData" beside the program (the UI library's instance path), with a trailing separator.
    static std::filesystem::path DefaultDataFolder();
    // DefaultDataFolder + kind name + ".Json".
    std::filesystem::path DefaultProfilePath() const;
    // <XDG data>/Halvek Trine Keyboard/<kind name>/, each folder created when missing;
    // empty (and logged) when there is no data folder or no usable kind name.
    std::filesystem::path UserDataFolder() const;

    static uint8_t StepCounter(uint8_t direction, uint8_t limit, uint8_t position, uint8_t step) {
        return LightEngine::StepCounter(direction, limit, position, step);
    }

    // --- workers. The lighting thread is restarted by StartWorker; an event thread that
    // runs is kept. StopWorker interrupts the event thread's blocking read through the HID
    // layer, waits at most 1000 ms (logging a time-out) and always joins; true when the
    // worker ended in time or was not running.
    bool StartWorker(Worker which);
    bool StopWorker(Worker which);
    bool WorkerRunning(Worker which) const;
    // Both workers; the device classes call it first in their destructors.
    void StopWorkers();

protected:
    using CControlUI::Notify;

    // One pass of the lighting thread after its 1 ms wait: idle while the command
    // transport is closed or synced, else count ticks and render the current effect
    // when the count reaches the speed ticks.
    void LightingThreadStep(const StopEvent& stop);
    // One pass of the event thread: one blocking read of the event transport's primary
    // record, unpacked; the first usage of the first data element goes to OnDeviceEvent.
    void EventThreadStep();
    // The device class's effect table: renders the current mode's effect. Nothing here.
    virtual void RenderCurrentEffect();
    // The device class's reaction to an event report of the device. Nothing here.
    virtual void OnDeviceEvent(uint16_t usage);

    // Arms a timer of this page's tab through the owner (any thread).
    void ArmTabTimer(unsigned timer_id, unsigned delay_ms);
    void AttachProfileData(CBasicProfiledata* data) { profile_data_ = data; }
    // A millisecond tick count for the blink timing.
    static uint32_t TickCountMs();
    // The loop's clock when a loop is set (tests step it), else the monotonic clock.
    static Clock::TimePoint Now();

    std::mutex& SettingsLock() { return settings_lock_; }
    std::mutex& ZoneLock() { return zone_lock_; }
    // Guarded by SettingsLock.
    std::vector<LedEffectStep>& LightSequence() { return light_sequence_; }
    int& SequenceLength() { return sequence_length_; }
    int& SequencePosition() { return sequence_position_; }
    // Guarded by ZoneLock.
    std::vector<LightZone>& Zones() { return zones_; }

    KeyMap& KeySlotMap() { return key_slot_map_; }
    KeyMap& KeyLedMap() { return key_led_map_; }
    const KeyMap& StoredKeyMap() const { return stored_key_map_; }
    bool IsKeyboardOrMouse() const;

private:
    void ShowPowerLayoutWhenReady();
    DeviceWorker& WorkerFor(Worker which);

    // identity
    InterfaceSlot identity_;
    uint16_t device_kind_ = 0;
    uint16_t role_ = 0;
    // channels
    DeviceTransport command_;
    DeviceTransport events_;
    // names
    std::string page_xml_name_;
    std::string profile_name_;
    std::string light_file_base_name_;
    std::string kind_name_;
    // UI links
    std::vector<CDeviceKeyButtonUI*> key_buttons_;
    std::vector<CDeviceKeyButtonUI*> light_buttons_;
    CTabLayoutUI* function_switch_ = nullptr;
    CTabLayoutUI* key_function_switch_ = nullptr;
    CControlUI* lighting_panel_ = nullptr;
    CMpDevicePowerUI* power_panel_ = nullptr;
    CDeviceOptionUI* tab_ = nullptr;
    std::atomic<IDeviceOwner*> owner_{nullptr};
    CBasicProfiledata* profile_data_ = nullptr;
    // lighting
    LightEngine engine_;
    mutable std::mutex zone_lock_;
    std::vector<LightZone> zones_;
    std::mutex settings_lock_;
    std::vector<LedEffectStep> light_sequence_;
    int sequence_length_ = 0;
    int sequence_position_ = 0;
    AudioLightInfo audio_light_{};
    Clock::TimePoint frames_paused_until_{};
    int light_ticks_ = 0;  // lighting thread only
    // reactive keys (levels and ripple ring live in the engine)
    KeyMap key_slot_map_;
    KeyMap key_led_map_;
    KeyMap stored_key_map_;
    // flags
    std::atomic<int> lighting_control_{1};
    std::atomic<int> window_active_{1};
    int function_page_ = 1;
    std::atomic<int> tab_index_{-1};  // read by workers arming tab timers
    int panel_entry_ = -1;
    int power_panel_flag_ = 0;
    bool power_panel_flag_set_ = false;
    int kind_index_ = 0;
    // workers, made on first start
    std::unique_ptr<DeviceWorker> lighting_worker_;
    std::unique_ptr<DeviceWorker> event_worker_;
};

}  // namespace lumora

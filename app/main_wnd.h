#pragma once
// The program's one top-level window: it hosts the device pages and their tabs, routes
// every notification of its controls by type and control name (NotifyRouter), acts on
// the window messages of its worker threads, of other programs and of the system,
// owns the tray icon and its menu, the modal child windows, the choice of language and
// fonts and the fitting to the monitor, and cleans up when it is destroyed.
//
// Device discovery and hot-plug live in DeviceHub; this window forwards its messages
// there. Everything here runs on the UI thread.
//
// Extending it: new skin elements are rows of ElementTable(); notification rows are
// added in BuildRouter(); window messages in HandleCustomMessage.

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/device_hub.h"
#include "app/notify_router.h"
#include "ui/tray_icon.h"
#include "platform/settings_store.h"
#include "ui/ui_rect.h"
#include "ui/window_impl_base.h"

namespace lumora {

class BusServer;
class CAboutWnd;
class CMenuWnd;
class COrvaneUSBDevice;

class CMainWnd : public WindowImplBase {
public:
    static constexpr std::string_view kClassName = "MainWnd";
    static constexpr std::string_view kSkin = "XML_MAIN";
    static constexpr std::string_view kTitle = "Halvek Trine 1.02";
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 572;
    // The size FitToMonitor gives the window, in logical pixels.
    static constexpr int kFitWidth = 1000;
    static constexpr int kFitHeight = 640;
    // WS_POPUP, WS_VISIBLE, WS_CLIPSIBLINGS, WS_CLIPCHILDREN, WS_CAPTION, WS_SYSMENU,
    // WS_MINIMIZEBOX: no resize border, no maximise box.
    static constexpr std::uint32_t kStyle = 0x96CA0000;
    static constexpr int kIconResource = 107;
    // The language file loaded when the window starts; the saved language replaces it.
    static constexpr std::string_view kLanguageFile = "lan_cn.xml";
    static constexpr std::string_view kTrayMenuXml = "menu.xml";
    // Scopes of automation control names besides "main": the page kind names.
    static constexpr std::array<std::string_view, 4> kPageKinds = {"keyboard", "mouse", "MousePad", "HD"};

    // Settings store key and value of the language, and the identifier looked for
    // when none is stored.
    static constexpr std::string_view kSettingsKey = "SOFTWARE\\Halvek Trine Keyboard";
    static constexpr std::string_view kLanguageValue = "LANGUAGE";
    static constexpr int kDefaultLanguageId = 520;

    // Window messages of the program.
    static constexpr std::uint32_t kTrayMessage = 1025;
    static constexpr std::uint32_t WM_LANGUAGE_CHANGED = 3089;
    static constexpr std::uint32_t WM_CLEAR_UPDATE_MARK = 3094;
    static constexpr std::uint32_t kShowSettingProgress = 3072;
    static constexpr std::uint32_t kNothingMessage = 3330;
    static constexpr std::uint32_t kDpiNoteMessage = 1224;
    // WM_POWERBROADCAST events.
    static constexpr std::uintptr_t PBT_APMSUSPEND = 4;
    static constexpr std::uintptr_t PBT_APMRESUMEAUTOMATIC = 18;
    static constexpr std::uintptr_t WA_INACTIVE = 0;

    // Timers of the window.
    static constexpr unsigned kTimerFit = 1011;
    static constexpr unsigned kTimerTrayMenu = 1032;
    static constexpr unsigned kTimerGame = 1066;
    static constexpr unsigned kGameDelayMs = 5000;

    // One skin element the window's CreateControl turns into an object. Element
    // names compare without case; any name not in the table gives nothing.
    struct ElementRow {
        std::string_view element;
        std::function<std::unique_ptr<CControlUI>(CMainWnd&)> create;
    };
    static const std::vector<ElementRow>& ElementTable();

    struct Options {
        // Start the discovery thread when the window initialises. Off, discovery passes
        // are run with RunDiscoveryPass on the UI thread (tests).
        bool startDiscovery = true;
        // Shown in the about window.
        std::string versionText;
    };

    CMainWnd();
    explicit CMainWnd(Options options);
    ~CMainWnd() override;

    // Creates the window the way start-up does: no owner, title, style and size
    // above, icon 107, centred. false when the skin could not be built (GetSkinError()
    // names file and line).
    bool CreateMainWindow();

    std::string GetWindowClassName() const override;
    std::string GetSkinFile() const override;
    void InitWindow() override;
    std::unique_ptr<CControlUI> CreateControl(std::string_view element_name) override;
    void Notify(TNotifyUI& msg) override;
    LRESULT HandleCustomMessage(const WindowMessage& msg, bool& handled) override;

    // A page class of our own for a page element (tests, tools): replaces the element
    // table's row for that element name.
    void OverrideElement(std::string element, std::function<std::unique_ptr<CControlUI>()> create);

    // --- operations of the main window
    void InitMainWindow();
    int GetSavedLanguage();
    void SelectLanguage(int index);
    void StoreLanguageId(int id);
    void ApplyFonts(std::string_view face);
    void FitToMonitor();
    void BringToFront();
    void ToggleFromTray();
    void ShowTrayMenu();
    void HideToTray();
    // Menu alignment flags: 2 left, 4 top, 8 right, 16 bottom. `taskbar` is the
    // taskbar's rectangle, when there is one.
    static void PlaceMenuAtTaskbar(UiPoint& point, int& alignment, const std::optional<UiRect>& taskbar);
    void ToggleLightingControl();
    void SelectPreviousDevice();
    void SelectNextDevice();
    void OnDeviceTabSelected();
    void CloseChildWindows();
    void OpenAboutWindow();
    void SendDeviceTable();
    virtual void OnMainTimer(unsigned timer_id);
    // Closes the pop-up windows (the tray menu).
    void ClosePopups();
    void UpdateNoDeviceIndicator();

    // --- state
    DeviceHub& Devices() { return devices_; }
    const DeviceHub& Devices() const { return devices_; }
    // One discovery pass on the calling (UI) thread, for runs without the thread.
    bool RunDiscoveryPass() { return devices_.Discovery().Pass(); }
    const CTrayIcon& Tray() const { return tray_; }
    CTrayIcon& Tray() { return tray_; }
    CMenuWnd* TrayMenu() const { return tray_menu_.get(); }
    CAboutWnd* AboutWindow() const { return about_.get(); }
    int LightingControl() const { return lighting_control_; }
    int LanguageIndex() const { return language_index_; }
    int Dpi() const { return dpi_; }
    bool Awake() const { return awake_; }
    bool IsActive() const { return active_; }
    int ScreenWidth() const { return screen_width_; }
    int ScreenHeight() const { return screen_height_; }
    int SelectedTabIndex() const { return selected_tab_; }
    const NotifyRouter& Router() const { return router_; }
    // Where the taskbar is (the renderer tells; headless none unless set).
    void SetTaskbarRect(std::optional<UiRect> rect) { taskbar_ = rect; }
    // The profile new pages start with (the profile list keeps it).
    std::string CurrentProfileName() const { return {}; }
    SettingsStore& Settings() { return settings_; }

    // The running instance's bus, for messages to other programs; null without one.
    void SetBus(BusServer* bus) { bus_ = bus; }
    BusServer* GetBus() const { return bus_; }

    // --- automation
    // CONTROL as lumora-ctl takes it: "name", or "scope:name" with scope "main", a
    // page kind, or the class name of another open window ("MsgWnd"). A bare name is
    // looked up on the selected page first, then in the main window. null (with the
    // reason) when there is no such control.
    CControlUI* FindAutomationControl(std::string_view control, std::string* error) const;
    // The page of the selected visible device tab; null while there is none.
    COrvaneUSBDevice* SelectedPage() const;
    // The page of a kind ("keyboard", "mouse", "MousePad", "HD"); null while it does not exist.
    COrvaneUSBDevice* FindPage(std::string_view kind) const;

    // UWM_PRODUCT_MSG as received (tests and diagnostics).
    int ProductMessageCount() const { return product_messages_; }
    std::intptr_t LastProductLParam() const { return last_product_lparam_; }

protected:
    LRESULT OnDestroy(const WindowMessage& msg, bool& handled) override;

private:
    static std::unique_ptr<CControlUI> BuildSubTree(CMainWnd& window, std::string_view file);
    void BuildRouter();
    // Messages acted on only while the system is awake; true when handled here.
    bool HandleAwakeMessage(const WindowMessage& msg, LRESULT& result);
    void OnMenuCommand(const WindowMessage& msg);
    void OnGameMessage(const WindowMessage& msg);
    // Puts the selected page into light mode `mode` and writes it to the device.
    void ApplyLightMode(COrvaneUSBDevice& page, int mode);
    void SetWindowHiddenOnPages(int flag);
    // Keyboard, mouse and mouse pad pages: those that take lighting control.
    std::vector<COrvaneUSBDevice*> LightingPages() const;
    void SetLightingControlLabel();
    void RaiseOnce();
    void KillMainTimer(unsigned id);

    Options options_;
    DeviceHub devices_;
    NotifyRouter router_;
    CTrayIcon tray_;
    SettingsStore settings_;
    std::unique_ptr<CMenuWnd> tray_menu_;
    std::unique_ptr<CAboutWnd> about_;
    std::map<std::string, std::function<std::unique_ptr<CControlUI>()>, std::less<>> overrides_;
    std::optional<UiRect> taskbar_;
    UiPoint tray_point_;
    BusServer* bus_ = nullptr;

    // Title-bar buttons, found by InitWindow.
    CControlUI* close_btn_ = nullptr;
    CControlUI* max_btn_ = nullptr;
    CControlUI* restore_btn_ = nullptr;
    CControlUI* min_btn_ = nullptr;
    CControlUI* skin_btn_ = nullptr;
    CControlUI* game_mode_btn_ = nullptr;
    CControlUI* cloud_btn_ = nullptr;
    CControlUI* smart_eyes_btn_ = nullptr;
    CControlUI* set_btn_ = nullptr;

    int lighting_control_ = 1;
    int language_index_ = -1;
    int dpi_ = 96;
    bool display_changed_ = false;
    bool active_ = false;
    bool awake_ = true;
    bool destroyed_ = false;
    int screen_width_ = 0;
    int screen_height_ = 0;
    int selected_tab_ = -1;
    int selected_kind_ = 0;
    int selected_kind_index_ = 0;
    int product_messages_ = 0;
    std::intptr_t last_product_lparam_ = 0;
};

}  // namespace lumora

#include "app/main_wnd.h"

#include <algorithm>
#include <limits>

#include "app/about_wnd.h"
#include "app/language_config.h"
#include "app/work_tool_record.h"
#include "devices/device_option_ui.h"
#include "devices/device_page_factory.h"
#include "devices/orvane_usb_device.h"
#include "platform/bus_message.h"
#include "platform/bus_server.h"
#include "platform/logger.h"
#include "platform/registered_messages.h"
#include "ui/audio_record_ui.h"
#include "ui/circle_progress_ui.h"
#include "ui/combo_edit_container_element_ui.h"
#include "ui/container_ui.h"
#include "ui/control_ui.h"
#include "ui/device_key_button_ui.h"
#include "ui/dialog_builder.h"
#include "ui/hand_img_button_ui.h"
#include "ui/hand_img_select_button_ui.h"
#include "ui/menu_cmd.h"
#include "ui/menu_wnd.h"
#include "ui/redio_macro_button_ui.h"
#include "ui/resource_manager.h"
#include "ui/select_panel_ui.h"
#include "ui/slider_ui.h"
#include "ui/tab_layout_ui.h"
#include "ui/ui_text.h"

namespace lumora {

namespace {
constexpr const char* kTag = "main";
constexpr std::string_view kLightingStatus = "control_light_status";
// The status label's texts are language identifiers.
constexpr std::string_view kLightingOn = "控制灯光";
constexpr std::string_view kLightingOff = "不控制灯光";
constexpr int kMinDpiValue = 200;
constexpr int kMaxDpiValue = 6500;
constexpr unsigned kFitDelayMs = 100;
constexpr unsigned kTrayMenuDelayMs = 10;

template <typename T>
std::function<std::unique_ptr<CControlUI>(CMainWnd&)> Make() {
    return [](CMainWnd&) { return std::unique_ptr<CControlUI>(std::make_unique<T>()); };
}

std::function<std::unique_ptr<CControlUI>(CMainWnd&)> Page(std::string_view element) {
    return [element](CMainWnd&) { return CreateDevicePage(element); };
}

struct FontRow {
    int id;  // -1: the default font
    int size;
    bool bold;
    bool underline;
};
constexpr FontRow kFonts[] = {
    {0, 15, false, false}, {1, 14, false, true}, {2, 18, false, false}, {3, 30, false, false},
    {4, 16, false, false}, {5, 20, false, false}, {6, 22, false, false}, {7, 14, false, false},
    {8, 12, false, false}, {9, 11, false, false}, {10, 10, false, false}, {11, 28, false, false},
    {50, 18, true, false},
};
}  // namespace

const std::vector<CMainWnd::ElementRow>& CMainWnd::ElementTable() {
    auto tree = [](std::string_view file) {
        return [file](CMainWnd& window) { return BuildSubTree(window, file); };
    };
    // The panels ("DeviceProfile", "LightControl", "MagicControl", "Voice6533Control",
    // "KeySetControl", "ShootControl") get their rows with their classes.
    static const std::vector<ElementRow> table = {
        {"CircleProgress", Make<CCircleProgressUI>()},
        {"SelectPanel", Make<CSelectPanelUI>()},
        {"DeviceKeyButton", Make<CDeviceKeyButtonUI>()},
        {"HandImgButton", Make<CHandImgButtonUI>()},
        {"AudioRecord", Make<CAudioRecordUI>()},
        {"HandImgSelectButton", Make<CHandImgSelectButtonUI>()},
        {"RedioMacroButton", Make<CRedioMacroButtonUI>()},
        {"ComboEditContainerElement", Make<CComboEditContainerElementUI>()},
        {"OrvaneMousePadDevice", Page("OrvaneMousePadDevice")},
        {"OrvaneHS6533Device", Page("OrvaneHS6533Device")},
        {"OrvaneMouseDevice", Page("OrvaneMouseDevice")},
        {"OrvaneKeyboardDevice", Page("OrvaneKeyboardDevice")},
        {"DeviceProfileUI", tree("XML/CustomControlXML/DeviceProfile.xml")},
        {"LightSetControlUI", tree("XML/CustomControlXML/LightControl.xml")},
        {"Voice6533SetControlUI", tree("XML/CustomControlXML/Voice6533Control.xml")},
        {"MagicSetControlUI", tree("XML/CustomControlXML/MagicControl.xml")},
        {"KeySetControlUI", tree("XML/CustomControlXML/KeySetControl.xml")},
        {"MacroSetControlUI", tree("XML/CustomControlXML/MacroControl.xml")},
        {"ShootKeySetControlUI", tree("XML/CustomControlXML/ShootControl.xml")},
        {"VirtualSetControlUI", tree("XML/CustomControlXML/VirtualSet.xml")},
    };
    return table;
}

std::unique_ptr<CControlUI> CMainWnd::BuildSubTree(CMainWnd& window, std::string_view file) {
    // Built like any skin of the window, but with no callback of its own: elements
    // in it come from the library and the registered control classes.
    CDialogBuilder builder;
    std::unique_ptr<CControlUI> root = builder.Create(file, {}, nullptr, &window.m_pm);
    if (!root) LOG_ERROR(kTag, "sub-tree not built: %s", builder.GetError().ToString().c_str());
    return root;
}

CMainWnd::CMainWnd() : CMainWnd(Options{}) {}

CMainWnd::CMainWnd(Options options) : options_(std::move(options)), devices_(*this) { BuildRouter(); }

CMainWnd::~CMainWnd() {
    devices_.Shutdown();
    tray_menu_.reset();
    about_.reset();
    // The pages go before the hub they report to.
    m_pm.DetachDialog();
    // The resource manager must not ask a window that is gone.
    CResourceManager::GetInstance().SetTextQueryInterface(nullptr);
}

bool CMainWnd::CreateMainWindow() {
    if (!Create(nullptr, kTitle, kStyle, 0, 0, 0, kWidth, kHeight)) return false;
    SetIcon(kIconResource);
    CenterWindow();
    return true;
}

std::string CMainWnd::GetWindowClassName() const { return std::string(kClassName); }

std::string CMainWnd::GetSkinFile() const { return std::string(kSkin); }

void CMainWnd::OverrideElement(std::string element, std::function<std::unique_ptr<CControlUI>()> create) {
    overrides_[std::move(element)] = std::move(create);
}

std::unique_ptr<CControlUI> CMainWnd::CreateControl(std::string_view element_name) {
    for (const auto& [element, create] : overrides_)
        if (UiText::EqualsNoCase(element, element_name)) return create();
    for (const ElementRow& row : ElementTable()) {
        if (UiText::EqualsNoCase(row.element, element_name)) return row.create(*this);
    }
    return nullptr;
}

// --- notifications

void CMainWnd::BuildRouter() {
    using Match = NotifyRouter::Match;
    using Row = NotifyRouter::Row;
    auto act = [this](void (CMainWnd::*op)()) { return [this, op](TNotifyUI&, int) { (this->*op)(); }; };

    router_.Add("windowinit", 0, Row{Match::Any, {}, nullptr, act(&CMainWnd::InitMainWindow), false});
    router_.Add("windowsize", 0, Row{Match::Name, "root", nullptr, [this](TNotifyUI&, int) {
                                         if (!display_changed_) return;
                                         display_changed_ = false;
                                         FitToMonitor();
                                     }, false});
    router_.Swallow("click_wpremove");
    router_.Swallow("click_wpedit");

    // Clicks, title bar and frame.
    router_.Add("click", 0, Row{Match::Name, "closebtn", nullptr, [this](TNotifyUI&, int) {
                                    CloseChildWindows();
                                    HideToTray();
                                }, true});
    router_.Add("click", 0, Row{Match::Name, "nodevice_ok_btn", nullptr,
                                [this](TNotifyUI&, int) { HideToTray(); }, false});
    router_.Add("click", 0, Row{Match::Name, std::string(kLightingStatus), nullptr,
                                act(&CMainWnd::ToggleLightingControl), false});
    auto syscommand = [this](std::uintptr_t command) {
        return [this, command](TNotifyUI&, int) { SendMessage(WM_SYSCOMMAND, command); };
    };
    router_.Add("click", 0, Row{Match::Reference, {}, &min_btn_, syscommand(SC_MINIMIZE), true});
    router_.Add("click", 0, Row{Match::Reference, {}, &max_btn_, syscommand(SC_MAXIMIZE), true});
    router_.Add("click", 0, Row{Match::Reference, {}, &restore_btn_, syscommand(SC_RESTORE), true});

    // Clicks by full name.
    router_.Add("click", 2, Row{Match::Name, "reset_repeat_btn", nullptr, [this](TNotifyUI&, int) {
                                    COrvaneUSBDevice* page = SelectedPage();
                                    if (!page || DeviceHub::FamilyOf(page->DeviceKind()) != DeviceHub::Family::Keyboard)
                                        return;
                                    if (CControlUI* field = page->FindSubControl("repeat_input_richedit"))
                                        field->SetText("");
                                }, false});
    router_.Add("click", 2, Row{Match::Name, "device_select_prev", nullptr,
                                act(&CMainWnd::SelectPreviousDevice), false});
    router_.Add("click", 2, Row{Match::Name, "device_select_next", nullptr, act(&CMainWnd::SelectNextDevice),
                                false});
    router_.Add("click", 2, Row{Match::Name, "Close_bkColor_btn", nullptr, [this](TNotifyUI&, int) {
                                    COrvaneUSBDevice* page = SelectedPage();
                                    if (!page) return;
                                    AudioLightInfo info = page->GetAudioLightSettings(1);
                                    info.bkColorR = info.bkColorG = info.bkColorB = 0;
                                    page->SetAudioLightSettings(info);
                                    page->SaveProfile();
                                    page->ApplyProfileLighting();
                                }, false});

    router_.Add("selectchanged", 0,
                Row{Match::Name, "device_select", nullptr, act(&CMainWnd::OnDeviceTabSelected), false});
    router_.Add("selectchanged", 0,
                Row{Match::Name, "synchro_device_select", nullptr, act(&CMainWnd::OnDeviceTabSelected), false});

    // The colour sliders name their channel in their label.
    for (const char* channel : {"R", "G", "B"}) {
        const std::string label = std::string(channel) + "_light_label";
        router_.Add("valuechanged", 0,
                    Row{Match::Name, std::string(channel) + "_light_slider", nullptr,
                        [this, label, channel](TNotifyUI& msg, int) {
                            const auto* slider = dynamic_cast<const CSliderUI*>(msg.pSender);
                            CControlUI* text = FindControl(label);
                            if (slider && text) text->SetText(std::string(channel) + " " + std::to_string(slider->GetValue()));
                        },
                        false});
    }
    router_.Add("movevaluechanged", 0, Row{Match::Prefix, "zelko_DPI_slider_", nullptr, [this](TNotifyUI& msg, int n) {
                                               const auto* slider = dynamic_cast<const CSliderUI*>(msg.pSender);
                                               CControlUI* edit = FindControl("zelko_DPI_edit_" + std::to_string(n));
                                               if (slider && edit) edit->SetText(std::to_string(slider->GetValue()));
                                           }, false});
    router_.Add("killfocus", 0, Row{Match::Prefix, "zelko_DPI_edit_", nullptr, [this](TNotifyUI& msg, int n) {
                                        const auto typed = UiText::ParseInt(msg.pSender->GetText());
                                        const int value = static_cast<int>(
                                            std::clamp<long long>(typed.value_or(0), kMinDpiValue, kMaxDpiValue));
                                        msg.pSender->SetText(std::to_string(value));
                                        if (auto* slider = dynamic_cast<CSliderUI*>(
                                                FindControl("zelko_DPI_slider_" + std::to_string(n))))
                                            slider->SetValue(value);
                                    }, false});
}

void CMainWnd::Notify(TNotifyUI& msg) {
    const std::string sender = msg.pSender ? msg.pSender->GetName() : std::string();
    if (msg.sType != "timer") LOG_DEBUG(kTag, "notify %s from %s", msg.sType.c_str(), sender.c_str());
    if (!router_.Route(msg)) return;
    WindowImplBase::Notify(msg);
}

// --- start

void CMainWnd::InitWindow() {
    LOG_DEBUG(kTag, "InitWindow");
    CResourceManager& resources = CResourceManager::GetInstance();
    resources.SetTextQueryInterface(this);
    if (!resources.LoadLanguage(kLanguageFile))
        LOG_WARNING(kTag, "texts stay untranslated: %s", resources.LastError().ToString().c_str());
    close_btn_ = FindControl("closebtn");
    max_btn_ = FindControl("maxbtn");
    restore_btn_ = FindControl("restorebtn");
    min_btn_ = FindControl("minbtn");
    skin_btn_ = FindControl("skinbtn");
    game_mode_btn_ = FindControl("gamemodebtn");
    cloud_btn_ = FindControl("cloudbtn");
    smart_eyes_btn_ = FindControl("smarteyesbtn");
    set_btn_ = FindControl("setbtn");
    SetIcon(kIconResource);
    tray_.CreateTrayIcon(this, kIconResource, kTitle, kTrayMessage);
    const UiRect screen = GetMonitorRect(this);
    tray_point_ = UiPoint{screen.right - 1, screen.bottom - 1};
}

void CMainWnd::InitMainWindow() {
    // Other programs reach the window over the bus by registered name; nothing needs admitting.
    if (bus_) bus_->Broadcast(RegisteredMessages::kGuidNames[1], 1, 1);
    SelectLanguage(GetSavedLanguage());
    devices_.BuildInitialPages();
    const UiRect screen = GetMonitorRect(this);
    screen_width_ = screen.Width();
    screen_height_ = screen.Height();
    // Shown again once the first device scan is over (UWM_PRODUCT_MSG).
    ShowWindow(false);
    if (options_.startDiscovery && !devices_.StartDiscovery())
        LOG_ERROR(kTag, "device discovery could not be started");
    SetTimer(kTimerFit, kFitDelayMs);
}

// --- language and fonts

int CMainWnd::GetSavedLanguage() {
    // No stored identifier (none chosen yet, or a store without the key): the default one.
    int id = kDefaultLanguageId;
    if (const auto stored = settings_.GetInteger(kSettingsKey, kLanguageValue);
        stored && *stored >= std::numeric_limits<int>::min() && *stored <= std::numeric_limits<int>::max())
        id = static_cast<int>(*stored);
    LanguageConfig config;
    if (!config.Load(COrvaneUSBDevice::DefaultDataFolder() / LanguageConfig::kFileName)) return 0;
    return config.IndexOf(id).value_or(0);
}

void CMainWnd::SelectLanguage(int index) {
    if (index == language_index_) return;
    std::string_view face;
    if (index == 15)
        face = "Noto Sans Thai";
    else if (index == 0)
        face = "汉仪菱心体简";
    else if (index == 2)
        face = "Noto Sans CJK TC Regular";
    else if (language_index_ == 15 || language_index_ == 0 || language_index_ == 2 || language_index_ == -1)
        face = "Verdana Unicode MS";
    if (!face.empty()) ApplyFonts(face);
    language_index_ = index;

    LanguageConfig config;
    config.Load(COrvaneUSBDevice::DefaultDataFolder() / LanguageConfig::kFileName);
    const LanguageConfig::Entry entry = config.At(index);
    CResourceManager& resources = CResourceManager::GetInstance();
    resources.SetLanguage(entry.name);
    if (!resources.LoadLanguage(entry.file))
        LOG_WARNING(kTag, "language %d not loaded: %s", index, resources.LastError().ToString().c_str());
    resources.ReloadText();
    // A list that could not be read names no language: the stored choice is kept.
    if (index >= 0 && static_cast<size_t>(index) < config.Entries().size()) StoreLanguageId(entry.id);
    if (CControlUI* root = m_pm.GetRoot()) root->Invalidate();
}

void CMainWnd::StoreLanguageId(int id) {
    if (settings_.SetInteger(kSettingsKey, kLanguageValue, id)) LOG_DEBUG(kTag, "写成功！");
}

void CMainWnd::ApplyFonts(std::string_view face) {
    m_pm.RemoveAllFonts(true);
    m_pm.RemoveAllFonts(false);
    for (const FontRow& font : kFonts)
        m_pm.AddFont(font.id, std::string(face), font.size, font.bold, font.underline, false, true);
    m_pm.SetDefaultFont(std::string(face), 14, false, false, false, true);
}

// --- window placement

void CMainWnd::FitToMonitor() {
    const bool visible = IsWindowVisible() && !IsIconic();
    if (!visible) SendMessage(WM_SYSCOMMAND, SC_RESTORE);
    const UiRect monitor = GetMonitorRect(this);
    dpi_ = monitor.Width() > 1500 && monitor.Height() > 960 ? 144 : 96;
    CPaintManagerUI::SetAllDPI(96);
    MoveWindow(UiRect{0, 0, kFitWidth, kFitHeight});
    CPaintManagerUI::SetAllDPI(dpi_);
    // The window keeps its logical size at the new DPI.
    MoveWindow(UiRect{0, 0, kFitWidth * dpi_ / 96, kFitHeight * dpi_ / 96});
    CenterWindow();
    ShowWindow(visible);
}

void CMainWnd::RaiseOnce() {
    // Topmost and back raises the window above the others without keeping it there.
    SetTopmost(true);
    SetTopmost(false);
}

void CMainWnd::BringToFront() {
    UpdateNoDeviceIndicator();
    SendMessage(WM_SYSCOMMAND, SC_RESTORE);
    RaiseOnce();
}

void CMainWnd::UpdateNoDeviceIndicator() {
    if (CControlUI* indicator = FindControl("No_device_Link")) indicator->SetVisible(devices_.VisibleTabCount() == 0);
}

// --- tray

void CMainWnd::ToggleFromTray() {
    UpdateNoDeviceIndicator();
    const bool visible = IsWindowVisible() && !IsIconic();
    CloseChildWindows();
    if (visible) {
        ShowWindow(false);
        return;
    }
    ShowWindow(true);
    FitToMonitor();
    SendMessage(WM_SYSCOMMAND, SC_RESTORE);
    RaiseOnce();
    if (CControlUI* root = m_pm.GetRoot()) root->Invalidate();
}

void CMainWnd::HideToTray() {
    // The program keeps running behind its tray icon; a desktop without a tray could
    // never bring a hidden window back, so there closing the window ends the program.
    if (CTrayIcon::IsSystemTrayAvailable())
        ShowWindow(false);
    else
        Close();
}

void CMainWnd::ShowTrayMenu() {
    ClosePopups();
    UiPoint point = tray_point_;
    int alignment = CMenuWnd::kAlignLeft | CMenuWnd::kAlignTop;
    PlaceMenuAtTaskbar(point, alignment, taskbar_);
    tray_menu_ = std::make_unique<CMenuWnd>();
    if (!tray_menu_->Init(nullptr, kTrayMenuXml, point, &m_pm, nullptr, alignment)) {
        LOG_ERROR(kTag, "the tray menu %s could not be shown", std::string(kTrayMenuXml).c_str());
        tray_menu_.reset();
    }
}

void CMainWnd::ClosePopups() {
    if (!tray_menu_) return;
    if (tray_menu_->IsWindow()) tray_menu_->DestroyWindow();
    tray_menu_.reset();
}

void CMainWnd::PlaceMenuAtTaskbar(UiPoint& point, int& alignment, const std::optional<UiRect>& taskbar) {
    if (!taskbar) return;
    const UiRect& r = *taskbar;
    const int width = r.Width();
    const int height = r.Height();
    if (r.left == 0 && r.top == 0) {
        if (height < width) {
            point.y = height + 1;
            alignment = CMenuWnd::kAlignRight | CMenuWnd::kAlignTop;
        }
        if (height > width) {
            point.x = width + 1;
            alignment = CMenuWnd::kAlignLeft | CMenuWnd::kAlignBottom;
        }
    }
    if (r.left == 0 && r.top > 0) {
        point.y = r.top - 20;
        alignment = CMenuWnd::kAlignRight | CMenuWnd::kAlignBottom;
    } else if (r.left > 0 && r.top == 0) {
        point.x = r.left - 1;
        alignment = CMenuWnd::kAlignRight | CMenuWnd::kAlignBottom;
    }
}

// --- lighting control

std::vector<COrvaneUSBDevice*> CMainWnd::LightingPages() const {
    std::vector<COrvaneUSBDevice*> pages;
    for (DeviceHub::Family family : {DeviceHub::Family::Mouse, DeviceHub::Family::MousePad, DeviceHub::Family::Keyboard})
        for (COrvaneUSBDevice* page : devices_.FamilyPages(family)) pages.push_back(page);
    return pages;
}

void CMainWnd::SetLightingControlLabel() {
    CControlUI* label = FindControl(kLightingStatus);
    if (!label) return;
    label->SetResourceText(true);
    label->SetText(lighting_control_ ? kLightingOn : kLightingOff);
}

void CMainWnd::ToggleLightingControl() {
    lighting_control_ = lighting_control_ ? 0 : 1;
    if (bus_) bus_->Broadcast(RegisteredMessages::kGuidNames[1], 1, lighting_control_);
    SetLightingControlLabel();
    for (COrvaneUSBDevice* page : LightingPages()) page->SetLightingControl(lighting_control_);
}

// --- device tabs

void CMainWnd::SelectPreviousDevice() {
    CDeviceOptionUI* previous = nullptr;
    for (CDeviceOptionUI* tab : devices_.TabsInOrder()) {
        if (tab->IsSelected()) {
            if (previous) devices_.ShowDeviceTab(previous->GetTabIndex(), true, true);
            return;
        }
        if (tab->GetVisibleFlag()) previous = tab;
    }
}

void CMainWnd::SelectNextDevice() {
    bool after_selected = false;
    for (CDeviceOptionUI* tab : devices_.TabsInOrder()) {
        if (after_selected && tab->GetVisibleFlag()) {
            devices_.ShowDeviceTab(tab->GetTabIndex(), true, true);
            return;
        }
        if (tab->IsSelected()) after_selected = true;
    }
}

void CMainWnd::OnDeviceTabSelected() {
    for (CDeviceOptionUI* tab : devices_.TabsInOrder()) {
        if (!tab->IsSelected()) continue;
        selected_tab_ = tab->GetTabIndex();
        selected_kind_ = tab->GetDeviceKind();
        selected_kind_index_ = tab->GetPage() ? tab->GetPage()->GetKindIndex() : 0;
        if (auto* powers = dynamic_cast<CTabLayoutUI*>(FindControl(tab->GetPowerLayoutName()))) {
            powers->SetVisible(tab->GetPowerIndex() >= 0);
            if (tab->GetPowerIndex() >= 0) powers->SelectItem(tab->GetPowerIndex());
        }
        return;
    }
}

COrvaneUSBDevice* CMainWnd::SelectedPage() const {
    for (CDeviceOptionUI* tab : devices_.TabsInOrder())
        if (tab->IsSelected() && tab->GetVisibleFlag()) return tab->GetPage();
    return nullptr;
}

COrvaneUSBDevice* CMainWnd::FindPage(std::string_view kind) const {
    for (CDeviceOptionUI* tab : devices_.TabsInOrder()) {
        COrvaneUSBDevice* page = tab->GetPage();
        if (page && UiText::EqualsNoCase(page->KindName(), kind)) return page;
    }
    return nullptr;
}

// --- child windows

void CMainWnd::CloseChildWindows() {
    if (about_ && about_->IsWindow()) about_->SendMessage(WM_CLOSE);
}

void CMainWnd::OpenAboutWindow() {
    if (about_) return;
    about_ = std::make_unique<CAboutWnd>();
    about_->SetVersionText(options_.versionText);
    if (!about_->Create(this, "", CAboutWnd::kStyle, CAboutWnd::kExStyle, 0, 0, CAboutWnd::kWidth,
                        CAboutWnd::kHeight)) {
        LOG_ERROR(kTag, "the about window could not be built");
        about_.reset();
        return;
    }
    about_->CenterWindow();
    about_->ShowModal();
    if (about_ && about_->IsWindow()) about_->DestroyWindow();  // the loop quit while it was open
    about_.reset();
}

void CMainWnd::SendDeviceTable() {
    if (!bus_ || !bus_->HasClient(WorkToolRecord::kClientName)) return;
    const auto record = WorkToolRecord::Build();
    // WM_COPYDATA on the bus: wParam carries dwData; lParam names the sending window.
    bus_->SendTo(WorkToolRecord::kClientName, BusMessage::kCopyDataName, WorkToolRecord::kCopyDataId,
                 static_cast<std::int64_t>(GetHWND()), record);
}

// --- messages

void CMainWnd::KillMainTimer(unsigned id) { KillTimer(id); }

void CMainWnd::OnMainTimer(unsigned timer_id) {
    KillMainTimer(timer_id);
    switch (timer_id) {
        case kTimerFit:
            FitToMonitor();
            if (CControlUI* root = m_pm.GetRoot()) root->Invalidate();
            break;
        case kTimerTrayMenu: ShowTrayMenu(); break;
        case kTimerGame:
            if (COrvaneUSBDevice* page = SelectedPage()) ApplyLightMode(*page, page->GetLightSettings().oldLedmode);
            break;
        default: break;
    }
}

void CMainWnd::ApplyLightMode(COrvaneUSBDevice& page, int mode) {
    LightInfo settings = page.GetLightSettings();
    settings.selectItem = static_cast<std::uint8_t>(mode);
    page.SetLightSettings(settings);
    page.SaveProfile();
    page.ApplyProfileLighting();
    page.WriteDeviceSettings(0, 0, 1, screen_width_, screen_height_);
}

void CMainWnd::OnGameMessage(const WindowMessage& msg) {
    if (msg.wParam <= 2) {
        if (COrvaneUSBDevice* page = SelectedPage()) ApplyLightMode(*page, static_cast<int>(msg.lParam & 0xFF));
    }
    SetTimer(kTimerGame, kGameDelayMs);
}

void CMainWnd::OnMenuCommand(const WindowMessage& msg) {
    const auto* cmd = std::any_cast<MenuCmd>(&msg.payload);
    if (!cmd) return;
    if (cmd->name == "exit") {
        CloseChildWindows();
        Close(0);
    } else if (cmd->name == "about_menu") {
        OpenAboutWindow();
    }
}

LRESULT CMainWnd::HandleCustomMessage(const WindowMessage& msg, bool& handled) {
    handled = false;
    const std::uint32_t m = msg.message;
    if (m == WM_ACTIVATE) {
        active_ = msg.wParam != WA_INACTIVE;
        for (COrvaneUSBDevice* page : LightingPages()) page->SetWindowActive(active_ ? 1 : 0);
        return 0;
    }
    if (m == WM_MOUSELEAVE || m == WM_MOUSEHOVER) {
        LOG_DEBUG(kTag, "%s", m == WM_MOUSELEAVE ? "鼠标移出" : "鼠标移入");
        for (COrvaneUSBDevice* page : LightingPages()) page->SetWindowActive(m == WM_MOUSEHOVER ? 1 : 0);
        return 0;
    }
    if (m == RegisteredMessages::UWM_PRODUCT_MSG()) {
        LOG_INFO(kTag, "软件标示 %u，%zxd%zxd", m, static_cast<std::size_t>(msg.wParam),
                 static_cast<std::size_t>(msg.lParam));
        ++product_messages_;
        last_product_lparam_ = msg.lParam;
        BringToFront();
        return 0;
    }
    if (m == RegisteredMessages::UWM_LIGHT_CONTROL_MSG()) {
        if (msg.wParam == 1 && (msg.lParam == 0 || msg.lParam == 1)) {
            lighting_control_ = static_cast<int>(msg.lParam);
            SetLightingControlLabel();
            for (COrvaneUSBDevice* page : LightingPages()) page->SetLightingControl(lighting_control_);
        }
        return 0;
    }
    if (m == RegisteredMessages::UWM_DEVICE_QUERY_MSG()) {
        SendDeviceTable();
        return 0;
    }
    if (m == WM_DESTROY) {
        LOG_INFO(kTag, "退出测试");
        ShowWindow(false);
        devices_.Shutdown();
        ClosePopups();
        if (MessageLoop* loop = CPaintManagerUI::GetMessageLoop()) loop->Quit(0);
        handled = true;
        return 0;
    }
    if (m == WM_POWERBROADCAST) {
        if (msg.wParam == PBT_APMRESUMEAUTOMATIC) {
            awake_ = true;
            for (COrvaneUSBDevice* page : LightingPages()) page->SetLightingControl(lighting_control_);
        } else if (msg.wParam == PBT_APMSUSPEND) {
            awake_ = false;
            for (COrvaneUSBDevice* page : LightingPages()) page->SetLightingControl(0);
        }
        return 0;
    }
    // Devices come and go while the system sleeps too: the slots and the pages must
    // not disagree after it wakes.
    if (m == DeviceHub::WM_DEVICE_ARRIVED) {
        devices_.OpenDeviceInterface(msg.wParam);
        return 0;
    }
    if (m == DeviceHub::WM_DEVICE_REMOVED) {
        devices_.CloseDeviceInterface(msg.wParam);
        return 0;
    }
    if (m == DeviceHub::WM_SHOW_DEVICE_TAB) {
        devices_.OnShowDeviceTabMessage(static_cast<int>(msg.wParam), msg.lParam != 0);
        return 0;
    }
    if (!awake_) return 0;
    LRESULT result = 0;
    handled = HandleAwakeMessage(msg, result);
    return result;
}

bool CMainWnd::HandleAwakeMessage(const WindowMessage& msg, LRESULT& /*result*/) {
    const std::uint32_t m = msg.message;
    for (std::size_t i = 0; i < RegisteredMessages::kGameNames.size(); ++i) {
        if (m == RegisteredMessages::GameMessage(i)) {
            OnGameMessage(msg);
            return false;
        }
    }
    switch (m) {
        case WM_CLEAR_UPDATE_MARK:
            if (set_btn_) set_btn_->SetForeImage("");
            return false;
        case WM_LANGUAGE_CHANGED:
            SelectLanguage(static_cast<int>(msg.wParam));
            return false;
        case kShowSettingProgress:
            if (CControlUI* progress = FindControl("setting_progress")) progress->SetVisible(true);
            return false;
        case kNothingMessage: return false;
        case kDpiNoteMessage:
            LOG_DEBUG(kTag, "界面 DPI 1发生变化");
            return false;
        case WM_DPICHANGED:
            m_pm.SetDPI(static_cast<int>(msg.wParam & 0xFFFF));
            m_pm.ResetDPIAssets();
            if (const auto* rect = std::any_cast<UiRect>(&msg.payload)) MoveWindow(*rect);
            CenterWindow();
            if (CControlUI* root = m_pm.GetRoot()) root->Invalidate();
            LOG_DEBUG(kTag, "界面 DPI 发生变化");
            return false;
        case kTrayMessage:
            tray_point_ = tray_.GetLastClickPoint();
            if (msg.lParam == static_cast<std::intptr_t>(WM_LBUTTONUP))
                ToggleFromTray();
            else if (msg.lParam == static_cast<std::intptr_t>(WM_RBUTTONUP))
                SetTimer(kTimerTrayMenu, kTrayMenuDelayMs);
            return false;
        case WM_MENUCLICK:
            OnMenuCommand(msg);
            return true;
        case WM_TIMER:
            OnMainTimer(static_cast<unsigned>(msg.wParam));
            return false;
        case WM_DISPLAYCHANGE:
            LOG_DEBUG(kTag, "显示器分辨率发生变化");
            display_changed_ = true;
            FitToMonitor();
            return false;
        default: return false;
    }
}

LRESULT CMainWnd::OnDestroy(const WindowMessage& /*msg*/, bool& handled) {
    tray_.DeleteTrayIcon();
    if (MessageLoop* loop = CPaintManagerUI::GetMessageLoop()) loop->Quit(0);
    handled = false;
    return 0;
}

// --- automation

CControlUI* CMainWnd::FindAutomationControl(std::string_view control, std::string* error) const {
    auto fail = [&](std::string reason) -> CControlUI* {
        if (error) *error = std::move(reason);
        return nullptr;
    };
    const std::size_t colon = control.find(':');
    if (colon == std::string_view::npos) {
        if (control.empty()) return fail("no control named");
        if (const CControlUI* page = SelectedPage()) {
            if (CControlUI* found = m_pm.FindSubControlByName(page, control)) return found;
        }
        if (CControlUI* found = m_pm.FindControl(control)) return found;
        return fail("no control " + std::string(control));
    }
    const std::string_view scope = control.substr(0, colon);
    const std::string_view name = control.substr(colon + 1);
    if (name.empty()) return fail("no control named after " + std::string(scope) + ":");
    if (UiText::EqualsNoCase(scope, "main")) {
        if (CControlUI* found = m_pm.FindControl(name)) return found;
        return fail("no control " + std::string(name) + " in the main window");
    }
    for (std::string_view kind : kPageKinds) {
        if (!UiText::EqualsNoCase(scope, kind)) continue;
        const CControlUI* page = FindPage(kind);
        if (!page) return fail("no " + std::string(kind) + " page");
        if (CControlUI* found = m_pm.FindSubControlByName(page, name)) return found;
        return fail("no control " + std::string(name) + " on the " + std::string(kind) + " page");
    }
    for (CWindowWnd* window : CWindowWnd::AllWindows()) {
        auto* other = dynamic_cast<WindowImplBase*>(window);
        if (!other || other == this || window->GetWindowClassName() != scope) continue;
        if (CControlUI* found = other->FindControl(name)) return found;
        return fail("no control " + std::string(name) + " in " + std::string(scope));
    }
    return fail("unknown scope " + std::string(scope) +
                " (main, keyboard, mouse, MousePad, HD, or the class of an open window)");
}

}  // namespace lumora

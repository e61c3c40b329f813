#include "app/main_wnd.h"

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
#include "ui/redio_macro_button_ui.h"
#include "ui/resource_manager.h"
#include "ui/select_panel_ui.h"
#include "ui/ui_text.h"

namespace lumora {

namespace {
constexpr const char* kTag = "main";

template <typename T>
std::function<std::unique_ptr<CControlUI>(CMainWnd&)> Make() {
    return [](CMainWnd&) { return std::unique_ptr<CControlUI>(std::make_unique<T>()); };
}
}  // namespace

const std::vector<CMainWnd::ElementRow>& CMainWnd::ElementTable() {
    auto tree = [](std::string_view file) {
        return [file](CMainWnd& window) { return BuildSubTree(window, file); };
    };
    // The device pages ("OrvaneMousePadDevice", "OrvaneHS6533Device", "OrvaneMouseDevice",
    // "OrvaneKeyboardDevice") and the panels ("DeviceProfile", "LightControl",
    // "MagicControl", "Voice6533Control", "KeySetControl", "ShootControl") get their
    // rows with their classes.
    static const std::vector<ElementRow> table = {
        {"CircleProgress", Make<CCircleProgressUI>()},
        {"SelectPanel", Make<CSelectPanelUI>()},
        {"DeviceKeyButton", Make<CDeviceKeyButtonUI>()},
        {"HandImgButton", Make<CHandImgButtonUI>()},
        {"AudioRecord", Make<CAudioRecordUI>()},
        {"HandImgSelectButton", Make<CHandImgSelectButtonUI>()},
        {"RedioMacroButton", Make<CRedioMacroButtonUI>()},
        {"ComboEditContainerElement", Make<CComboEditContainerElementUI>()},
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

CMainWnd::CMainWnd() = default;

CMainWnd::~CMainWnd() {
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

void CMainWnd::InitWindow() {
    LOG_DEBUG(kTag, "InitWindow");
    CResourceManager& resources = CResourceManager::GetInstance();
    resources.SetTextQueryInterface(this);
    if (!resources.LoadLanguage(kLanguageFile))
        LOG_WARNING(kTag, "texts stay untranslated: %s", resources.LastError().ToString().c_str());
}

std::unique_ptr<CControlUI> CMainWnd::CreateControl(std::string_view element_name) {
    for (const ElementRow& row : ElementTable()) {
        if (UiText::EqualsNoCase(row.element, element_name)) return row.create(*this);
    }
    return nullptr;
}

void CMainWnd::Notify(TNotifyUI& msg) {
    const std::string sender = msg.pSender ? msg.pSender->GetName() : std::string();
    if (msg.sType != "timer") LOG_DEBUG(kTag, "notify %s from %s", msg.sType.c_str(), sender.c_str());
    if (msg.sType == "click") {
        // Until the window has a tray icon to come back from, closing it ends the program.
        if (UiText::EqualsNoCase(sender, "closebtn")) {
            Close(0);
            return;
        }
        if (UiText::EqualsNoCase(sender, "minbtn")) {
            SendMessage(WM_SYSCOMMAND, SC_MINIMIZE);
            return;
        }
    }
    WindowImplBase::Notify(msg);
}

LRESULT CMainWnd::HandleCustomMessage(const WindowMessage& msg, bool& handled) {
    handled = false;
    if (msg.message == RegisteredMessages::UWM_PRODUCT_MSG()) {
        LOG_INFO(kTag, "软件标示 %u，%zxd%zxd", msg.message, static_cast<std::size_t>(msg.wParam),
                 static_cast<std::size_t>(msg.lParam));
        ++product_messages_;
        last_product_lparam_ = msg.lParam;
        BringToFront();
        handled = true;
    }
    return 0;
}

void CMainWnd::UpdateNoDeviceIndicator() {
    bool anyTab = false;
    if (CControlUI* tabs = FindControl("device_select_layout")) {
        if (CContainerUI* bar = tabs->AsContainer()) {
            for (int i = 0; i < bar->GetCount() && !anyTab; ++i) anyTab = bar->GetItemAt(i)->GetVisibleFlag();
        }
    }
    if (CControlUI* indicator = FindControl("No_device_Link")) indicator->SetVisible(!anyTab);
}

void CMainWnd::BringToFront() {
    UpdateNoDeviceIndicator();
    SendMessage(WM_SYSCOMMAND, SC_RESTORE);
    // Topmost and back raises the window above the others without keeping it there.
    SetTopmost(true);
    SetTopmost(false);
}

LRESULT CMainWnd::OnDestroy(const WindowMessage& /*msg*/, bool& handled) {
    LOG_INFO(kTag, "退出测试");
    if (MessageLoop* loop = CPaintManagerUI::GetMessageLoop()) loop->Quit(0);
    handled = false;
    return 0;
}

CControlUI* CMainWnd::SelectedPage() const {
    // Device pages arrive with the device layer; until then no tab can be selected.
    return nullptr;
}

CControlUI* CMainWnd::FindPage(std::string_view /*kind*/) const {
    // Device pages arrive with the device layer; until then there is none of any kind.
    return nullptr;
}

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

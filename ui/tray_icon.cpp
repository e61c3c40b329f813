#include "ui/tray_icon.h"

#include <algorithm>

#include "platform/logger.h"
#include "ui/paint_manager_ui.h"
#include "ui/ui_renderer.h"

namespace lumora {

namespace {
constexpr const char* kTag = "ui";

struct TrayRegistry {
    std::vector<CTrayIcon*> icons;
    unsigned next_id = 1;
};

TrayRegistry& Registry() {
    static TrayRegistry registry;
    return registry;
}
}  // namespace

CTrayIcon::CTrayIcon() : id_(Registry().next_id++) {}

CTrayIcon::~CTrayIcon() { DeleteTrayIcon(); }

bool CTrayIcon::CreateTrayIcon(CWindowWnd* owner, int icon_resource, std::string_view tooltip,
                               std::uint32_t message) {
    if (!owner || !owner->IsWindow()) {
        LOG_WARNING(kTag, "tray icon \"%.*s\" needs an owner window", static_cast<int>(tooltip.size()),
                    tooltip.data());
        return false;
    }
    owner_ = owner->GetHWND();
    icon_ = icon_resource;
    tooltip_ = tooltip;
    message_ = message;
    if (!created_) {
        created_ = true;
        Registry().icons.push_back(this);
    }
    Changed();
    return true;
}

void CTrayIcon::DeleteTrayIcon() {
    if (!created_) return;
    created_ = false;
    auto& icons = Registry().icons;
    icons.erase(std::remove(icons.begin(), icons.end(), this), icons.end());
    if (IUiRenderer* renderer = CPaintManagerUI::GetRenderer()) renderer->TrayIconRemoved(*this);
}

void CTrayIcon::SetTooltipText(std::string_view tooltip) {
    if (tooltip_ == tooltip) return;
    tooltip_ = tooltip;
    if (created_) Changed();
}

void CTrayIcon::Changed() {
    if (IUiRenderer* renderer = CPaintManagerUI::GetRenderer()) renderer->TrayIconChanged(*this);
}

bool CTrayIcon::Click(std::uint32_t mouse_message, UiPoint at) {
    if (!created_ || !CWindowWnd::FromHandle(owner_)) return false;
    last_click_ = at;
    return CWindowWnd::PostMessageTo(owner_,
                                     WindowMessage{message_, id_, static_cast<std::intptr_t>(mouse_message), {}});
}

bool CTrayIcon::IsSystemTrayAvailable() {
    if (IUiRenderer* renderer = CPaintManagerUI::GetRenderer()) {
        if (auto available = renderer->SystemTrayAvailable()) return *available;
    }
    return true;
}

std::vector<CTrayIcon*> CTrayIcon::AllIcons() { return Registry().icons; }

}  // namespace lumora

#include "app/tray_icon.h"

namespace lumora {

bool TrayIcon::Create(CWindowWnd::Handle owner, int icon, std::string_view tooltip, std::uint32_t message) {
    if (shown_) return false;
    owner_ = owner;
    icon_ = icon;
    tooltip_ = tooltip;
    message_ = message;
    shown_ = true;
    return true;
}

void TrayIcon::Remove() { shown_ = false; }

bool TrayIcon::Click(std::intptr_t mouse_message, UiPoint at) const {
    if (!shown_) return false;
    return CWindowWnd::PostMessageTo(owner_, WindowMessage{message_, 0, mouse_message, at});
}

}  // namespace lumora

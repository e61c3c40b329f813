#include "ui/notify_pump.h"

#include "ui/control_ui.h"
#include "ui/ui_text.h"

namespace lumora {

bool CNotifyPump::AddVirtualWnd(std::string_view name, CNotifyPump* pump) {
    if (name.empty() || !pump || pump == this) return false;
    return virtual_wnds_.emplace(std::string(name), pump).second;
}

bool CNotifyPump::RemoveVirtualWnd(std::string_view name) {
    auto it = virtual_wnds_.find(name);
    if (it == virtual_wnds_.end()) return false;
    virtual_wnds_.erase(it);
    return true;
}

void CNotifyPump::OnNotify(std::string_view type, Handler handler) { OnNotify(type, {}, std::move(handler)); }

void CNotifyPump::OnNotify(std::string_view type, std::string_view control_name, Handler handler) {
    if (!handler) return;
    entries_.push_back(Entry{std::string(type), std::string(control_name), std::move(handler)});
}

bool CNotifyPump::NotifyPump(TNotifyUI& msg) {
    if (!msg.sVirtualWnd.empty()) {
        auto it = virtual_wnds_.find(msg.sVirtualWnd);
        if (it != virtual_wnds_.end()) return it->second->NotifyPump(msg);
    }
    const std::string sender = msg.pSender ? msg.pSender->GetName() : std::string();
    // Handlers for the named sender come before those for any sender.
    for (int pass = 0; pass < 2; ++pass) {
        for (const Entry& entry : entries_) {
            if (!UiText::EqualsNoCase(entry.type, msg.sType)) continue;
            if (pass == 0 && (entry.control.empty() || entry.control != sender)) continue;
            if (pass == 1 && !entry.control.empty()) continue;
            Handler handler = entry.handler;  // the handler may add entries
            handler(msg);
            return true;
        }
    }
    return false;
}

}  // namespace lumora

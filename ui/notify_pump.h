#pragma once
// Dispatches notifications to handlers by type (and optionally sender name), and to
// virtual windows: a notification whose sender lies under a control with
// virtualwnd="x" goes to the pump registered as virtual window "x" instead.

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "ui/notify_ui.h"

namespace lumora {

class CNotifyPump {
public:
    using Handler = std::function<void(TNotifyUI&)>;

    virtual ~CNotifyPump() = default;

    bool AddVirtualWnd(std::string_view name, CNotifyPump* pump);
    bool RemoveVirtualWnd(std::string_view name);
    // Handlers for one notification type; with a control name only for that sender.
    void OnNotify(std::string_view type, Handler handler);
    void OnNotify(std::string_view type, std::string_view control_name, Handler handler);
    // true when a handler (here or in the virtual window) took the notification.
    bool NotifyPump(TNotifyUI& msg);

private:
    struct Entry {
        std::string type;
        std::string control;  // empty: any sender
        Handler handler;
    };
    std::map<std::string, CNotifyPump*, std::less<>> virtual_wnds_;
    std::vector<Entry> entries_;
};

}  // namespace lumora

#pragma once
// The notification-area icon of the main window. A renderer draws it; without one it
// is only recorded, so tests and automation can see it. Clicks on it reach the owner
// window as its callback message (lParam the mouse message, payload the click point).

#include <cstdint>
#include <string>
#include <string_view>

#include "ui/ui_rect.h"
#include "ui/window_wnd.h"

namespace lumora {

class TrayIcon {
public:
    // The mouse messages the callback message carries in lParam.
    static constexpr std::intptr_t kLeftButtonUp = 0x0202;
    static constexpr std::intptr_t kRightButtonUp = 0x0205;

    // Shows the icon for `owner`; false when one is shown already.
    bool Create(CWindowWnd::Handle owner, int icon, std::string_view tooltip, std::uint32_t message);
    void Remove();

    bool Shown() const { return shown_; }
    int Icon() const { return icon_; }
    const std::string& Tooltip() const { return tooltip_; }
    std::uint32_t Message() const { return message_; }

    // What the renderer does when the user clicks the icon: posts the callback message
    // to the owner. false while no icon is shown.
    bool Click(std::intptr_t mouse_message, UiPoint at) const;

private:
    bool shown_ = false;
    CWindowWnd::Handle owner_ = 0;
    int icon_ = 0;
    std::string tooltip_;
    std::uint32_t message_ = 0;
};

}  // namespace lumora

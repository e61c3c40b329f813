#pragma once
// The notification-area icon of a window, as DuiLib's CTrayIcon: an icon
// resource, a tooltip and the message its clicks arrive as. A renderer shows it
// (the Qt one as a desktop tray icon); headless it is only recorded, and a click
// is delivered by Click, exactly as the desktop's click would be: the tray message
// posted to the owner window with wParam the icon id and lParam the mouse message
// (WM_LBUTTONUP, WM_RBUTTONUP, WM_LBUTTONDBLCLK).
//
// UI thread only.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/ui_rect.h"
#include "ui/window_message.h"
#include "ui/window_wnd.h"

namespace lumora {

class CTrayIcon {
public:
    CTrayIcon();
    // Removes the icon from the desktop.
    ~CTrayIcon();
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // false when the owner is not a window. Creating again replaces the icon.
    bool CreateTrayIcon(CWindowWnd* owner, int icon_resource, std::string_view tooltip,
                        std::uint32_t message = UIMSG_TRAYICON);
    void DeleteTrayIcon();
    bool IsCreated() const { return created_; }

    void SetTooltipText(std::string_view tooltip);
    const std::string& GetTooltipText() const { return tooltip_; }
    int GetIconResource() const { return icon_; }
    std::uint32_t GetMessage() const { return message_; }
    CWindowWnd::Handle GetOwner() const { return owner_; }
    // The icon id sent as wParam (one per icon in the process).
    unsigned GetId() const { return id_; }

    // The user clicked the icon at a screen point: posts the tray message to the
    // owner. false when there is no icon or its owner is gone.
    bool Click(std::uint32_t mouse_message, UiPoint at = {});
    // Where the last click happened (the menu opens there).
    UiPoint GetLastClickPoint() const { return last_click_; }

    // Whether the desktop shows tray icons (the renderer's answer; headless yes).
    // Without a tray the program must keep its window reachable.
    static bool IsSystemTrayAvailable();
    // Created icons, oldest first (a renderer installed late shows them).
    static std::vector<CTrayIcon*> AllIcons();

private:
    void Changed();

    bool created_ = false;
    CWindowWnd::Handle owner_ = 0;
    int icon_ = 0;
    std::string tooltip_;
    std::uint32_t message_ = UIMSG_TRAYICON;
    unsigned id_ = 0;
    UiPoint last_click_;
};

}  // namespace lumora

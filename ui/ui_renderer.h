#pragma once
// What a renderer (the Qt one) is told about the model. Headless there is none and
// the model works the same; every call here is a report, never a question the model
// needs answered, except the monitor rectangle and whether a tray exists, which
// have headless defaults.

#include <optional>
#include <string>

#include "ui/ui_rect.h"

namespace lumora {

class CControlUI;
class CPaintManagerUI;
class CTrayIcon;
class CWindowWnd;

class IUiRenderer {
public:
    virtual ~IUiRenderer() = default;
    virtual void WindowCreated(CWindowWnd& /*window*/) {}
    virtual void WindowDestroyed(CWindowWnd& /*window*/) {}
    // Shown, hidden, moved, resized, title, minimised, maximised, topmost.
    virtual void WindowChanged(CWindowWnd& /*window*/) {}
    // A control's look changed (text, colour, state, images, visibility, ...).
    virtual void ControlChanged(CControlUI& /*control*/) {}
    // Children were added to or removed from the container (or a root attached).
    virtual void TreeChanged(CPaintManagerUI& /*manager*/, CControlUI* /*container*/) {}
    // Fonts, DPI or language of a paint manager changed: redraw all of it.
    virtual void ManagerChanged(CPaintManagerUI& /*manager*/) {}
    virtual void FontFileAdded(const std::string& /*path*/) {}
    // The monitor the window is on; headless a fixed screen is used.
    virtual std::optional<UiRect> MonitorRect(const CWindowWnd& /*window*/) { return std::nullopt; }
    // A tray icon was created or its tooltip changed; removed.
    virtual void TrayIconChanged(CTrayIcon& /*icon*/) {}
    virtual void TrayIconRemoved(CTrayIcon& /*icon*/) {}
    // Whether the desktop shows tray icons; headless they are taken to exist.
    virtual std::optional<bool> SystemTrayAvailable() { return std::nullopt; }
};

}  // namespace lumora

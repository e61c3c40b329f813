#pragma once
// A tray icon of the model (CTrayIcon) on the desktop: QSystemTrayIcon with the
// program icon and the model's tooltip. A left click is WM_LBUTTONUP, a right
// click WM_RBUTTONUP, a double click WM_LBUTTONDBLCLK, each arriving at the owner
// window as the icon's tray message. Where the desktop has no tray the icon is
// not shown (CTrayIcon::IsSystemTrayAvailable() says so).

#include <QSystemTrayIcon>

namespace lumora {

class CTrayIcon;
class QtRenderer;

class QtTrayIcon {
public:
    QtTrayIcon(QtRenderer& renderer, CTrayIcon& model);
    ~QtTrayIcon();
    QtTrayIcon(const QtTrayIcon&) = delete;
    QtTrayIcon& operator=(const QtTrayIcon&) = delete;

    void Sync();
    QSystemTrayIcon& Icon() { return icon_; }
    // What the desktop's click does.
    void Activate(QSystemTrayIcon::ActivationReason reason);

private:
    QtRenderer& renderer_;
    CTrayIcon* model_;
    QSystemTrayIcon icon_;
};

}  // namespace lumora

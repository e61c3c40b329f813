#include "ui/qt/qt_tray_icon.h"

#include <QCursor>


#include "ui/qt/qt_renderer.h"
#include "ui/qt/qt_theme.h"
#include "ui/tray_icon.h"

namespace lumora {

QtTrayIcon::QtTrayIcon(QtRenderer& renderer, CTrayIcon& model) : renderer_(renderer), model_(&model) {
    icon_.setIcon(QtTheme::AppIcon());
    QObject::connect(&icon_, &QSystemTrayIcon::activated, &icon_,
                     [this](QSystemTrayIcon::ActivationReason reason) { Activate(reason); });
    Sync();
}

QtTrayIcon::~QtTrayIcon() { icon_.hide(); }

void QtTrayIcon::Sync() {
    icon_.setToolTip(QString::fromStdString(model_->GetTooltipText()));
    if (QSystemTrayIcon::isSystemTrayAvailable()) icon_.show();
}

void QtTrayIcon::Activate(QSystemTrayIcon::ActivationReason reason) {
    std::uint32_t message = 0;
    switch (reason) {
        case QSystemTrayIcon::Trigger:
            message = WM_LBUTTONUP;
            break;
        case QSystemTrayIcon::Context:
            message = WM_RBUTTONUP;
            break;
        case QSystemTrayIcon::DoubleClick:
            message = WM_LBUTTONDBLCLK;
            break;
        default:
            return;
    }
    const QPoint cursor = QCursor::pos();
    model_->Click(message, UiPoint{cursor.x(), cursor.y()});
    renderer_.AfterUserAction();
}

}  // namespace lumora

#include "ui/qt/qt_key_button_widget.h"

#include <QPainter>
#include <QRadialGradient>

#include <algorithm>

#include "ui/device_key_button_ui.h"
#include "ui/qt/qt_image_cache.h"
#include "ui/qt/qt_theme.h"

namespace lumora {

QtKeyButtonWidget::QtKeyButtonWidget(QtWindow& window, CControlUI& control, QWidget* parent)
    : QtControlWidget(window, control, parent) {
    setCursor(Qt::PointingHandCursor);
}

QColor QtKeyButtonWidget::LitColour(std::uint32_t key_colour, int brightness) {
    brightness = std::clamp(brightness, 0, 255);
    const int red = static_cast<int>(key_colour & 0xFF);
    const int blue = static_cast<int>((key_colour >> 8) & 0xFF);
    const int green = static_cast<int>((key_colour >> 16) & 0xFF);
    return QColor(red * brightness / 255, green * brightness / 255, blue * brightness / 255);
}

bool QtKeyButtonWidget::Sync() {
    const bool moved = QtControlWidget::Sync();
    if (const auto* key = dynamic_cast<const CDeviceKeyButtonUI*>(Control())) {
        shown_ = LitColour(key->GetKeyColor(), key->GetBrightness());
        lit_ = key->IsLit();
    }
    return moved;
}

void QtKeyButtonWidget::PaintContent(QPainter& painter) {
    const Look& look = GetLook();
    const double s = Scale();
    const QRectF r = QRectF(rect()).adjusted(1.0 * s, 1.0 * s, -1.0 * s, -1.0 * s);
    const double radius = std::max(2.0, std::min(r.width(), r.height()) * 0.18);
    const bool glowing = shown_.red() + shown_.green() + shown_.blue() > 0;
    const QtImage* picture = look.normal ? look.normal : nullptr;
    if (IsPressed() && look.pushed) picture = look.pushed;
    if (IsHot() && !IsPressed() && look.hot) picture = look.hot;

    if (picture) {
        QtImageCache::Draw(painter, rect(), *picture, s);
        if (glowing) {
            // The LED shines through the skin's key picture.
            painter.save();
            painter.setCompositionMode(QPainter::CompositionMode_Screen);
            QColor glow = shown_;
            glow.setAlpha(200);
            painter.setPen(Qt::NoPen);
            painter.setBrush(glow);
            painter.drawRoundedRect(r, radius, radius);
            painter.restore();
        }
    } else {
        // A key cap: dark body, the LED colour glowing from beneath its edge.
        painter.setPen(Qt::NoPen);
        if (glowing) {
            QColor edge = shown_;
            painter.setBrush(edge);
            painter.drawRoundedRect(r, radius, radius);
        }
        const double inset = glowing ? std::max(2.0, 3.0 * s) : 0.0;
        const QRectF cap = r.adjusted(inset, inset, -inset, -inset);
        QRadialGradient body(cap.center(), std::max(cap.width(), cap.height()) * 0.75);
        const QColor top = QtTheme::SurfaceHigh();
        QColor inner = glowing ? QColor::fromRgbF(top.redF() * 0.4f + shown_.redF() * 0.6f,
                                                  top.greenF() * 0.4f + shown_.greenF() * 0.6f,
                                                  top.blueF() * 0.4f + shown_.blueF() * 0.6f)
                               : top;
        body.setColorAt(0, inner);
        body.setColorAt(1, glowing ? inner.darker(160) : QtTheme::Surface());
        painter.setBrush(body);
        painter.setPen(QPen(IsHot() ? QtTheme::Accent() : QtTheme::Border(), std::max(1.0, s * 0.8)));
        painter.drawRoundedRect(cap, radius * 0.8, radius * 0.8);
    }
    if (lit_) {
        painter.setPen(QPen(QtTheme::Accent(), std::max(1.5, 2.0 * s)));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(r, radius, radius);
    }
    if (!look.text.isEmpty()) PaintText(painter, rect());
}

}  // namespace lumora

#include "ui/qt/qt_key_button_widget.h"

#include <QLinearGradient>
#include <QPainter>

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

void QtKeyButtonWidget::PrepareShapes() {
    const Look& look = GetLook();
    const qreal ratio = devicePixelRatioF();
    const QString key = QStringLiteral("%1x%2@%3|%4|%5|%6")
                            .arg(width())
                            .arg(height())
                            .arg(ratio)
                            .arg(look.text, look.font.key())
                            .arg(CurrentTextColour().rgba());
    if (key == shapes_key_) return;
    shapes_key_ = key;
    tinted_colour_ = QColor();

    const double s = Scale();
    const QSize pixels = (QSizeF(size()) * ratio).toSize().expandedTo(QSize(1, 1));
    const QRectF r = QRectF(rect()).adjusted(1.0 * s, 1.0 * s, -1.0 * s, -1.0 * s);
    const double radius = std::max(2.0, std::min(r.width(), r.height()) * 0.18);
    const double edge = std::max(2.0, 3.0 * s);
    const QRectF cap = r.adjusted(edge, edge, -edge, -edge);

    shape_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    shape_.setDevicePixelRatio(ratio);
    shape_.fill(Qt::transparent);
    {
        QPainter p(&shape_);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRoundedRect(r, radius, radius);
    }

    auto draw_text = [&](QPainter& p) {
        if (look.text.isEmpty()) return;
        p.setFont(look.font);
        p.setPen(CurrentTextColour());
        p.drawText(rect().marginsRemoved(look.text_padding), look.align | Qt::TextSingleLine, look.text);
    };

    // Dark glass over the LED: the colour shows at its edge and through the cap.
    cap_lit_ = QPixmap(pixels);
    cap_lit_.setDevicePixelRatio(ratio);
    cap_lit_.fill(Qt::transparent);
    {
        QPainter p(&cap_lit_);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient glass(cap.topLeft(), cap.bottomLeft());
        QColor top = QtTheme::SurfaceHigh();
        QColor bottom = QtTheme::Base();
        top.setAlpha(110);
        bottom.setAlpha(170);
        glass.setColorAt(0, top);
        glass.setColorAt(1, bottom);
        p.setPen(Qt::NoPen);
        p.setBrush(glass);
        p.drawRoundedRect(cap, radius * 0.8, radius * 0.8);
        draw_text(p);
    }

    key_unlit_ = QPixmap(pixels);
    key_unlit_.setDevicePixelRatio(ratio);
    key_unlit_.fill(Qt::transparent);
    {
        QPainter p(&key_unlit_);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient body(r.topLeft(), r.bottomLeft());
        body.setColorAt(0, QtTheme::SurfaceHigh());
        body.setColorAt(1, QtTheme::Surface());
        p.setPen(QPen(QtTheme::Border(), std::max(1.0, s * 0.8)));
        p.setBrush(body);
        p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
        draw_text(p);
    }
}

const QImage& QtKeyButtonWidget::Tinted() {
    if (tinted_colour_ == shown_ && tinted_.size() == shape_.size()) return tinted_;
    if (tinted_.size() != shape_.size()) {
        tinted_ = QImage(shape_.size(), QImage::Format_ARGB32_Premultiplied);
        tinted_.setDevicePixelRatio(shape_.devicePixelRatio());
    }
    // Drawn into the same image each time: a frame allocates nothing.
    QPainter p(&tinted_);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(QPointF(0, 0), shape_);
    p.setCompositionMode(QPainter::CompositionMode_SourceIn);
    p.fillRect(QRectF(QPointF(0, 0), QSizeF(tinted_.size()) / tinted_.devicePixelRatio()), shown_);
    tinted_colour_ = shown_;
    return tinted_;
}

void QtKeyButtonWidget::PaintContent(QPainter& painter) {
    const Look& look = GetLook();
    const double s = Scale();
    PrepareShapes();
    const QtImage* picture = look.normal;
    if (IsPressed() && look.pushed) picture = look.pushed;
    if (IsHot() && !IsPressed() && look.hot) picture = look.hot;

    if (picture) {
        QtImageCache::Draw(painter, rect(), *picture, s);
        if (Glowing()) {
            // The LED shines through the skin's key picture.
            painter.save();
            painter.setCompositionMode(QPainter::CompositionMode_Screen);
            painter.setOpacity(0.8);
            painter.drawImage(QPointF(0, 0), Tinted());
            painter.restore();
        }
        if (!look.text.isEmpty()) PaintText(painter, rect());
    } else if (Glowing()) {
        painter.drawImage(QPointF(0, 0), Tinted());
        painter.drawPixmap(QPointF(0, 0), cap_lit_);
    } else if (look.bk.isValid() && look.bk.alpha() < 255) {
        // A see-through key laid over its light (the skins stack key buttons on light
        // buttons): only the skin's tint and the legend, so the light below shows.
        if (!look.text.isEmpty()) PaintText(painter, rect());
    } else {
        painter.drawPixmap(QPointF(0, 0), key_unlit_);
    }

    if (lit_ || (IsHot() && !picture)) {
        const QRectF r = QRectF(rect()).adjusted(1.0 * s, 1.0 * s, -1.0 * s, -1.0 * s);
        const double radius = std::max(2.0, std::min(r.width(), r.height()) * 0.18);
        const double pen = lit_ ? std::max(1.5, 2.0 * s) : std::max(1.0, s);
        painter.setPen(QPen(QtTheme::Accent(), pen));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(r.adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2), radius, radius);
    }
}

}  // namespace lumora

#include "ui/qt/qt_color_palette_widget.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cstdio>

#include "ui/color_palette_ui.h"
#include "ui/qt/qt_theme.h"

namespace lumora {

QtColorPaletteWidget::QtColorPaletteWidget(QtWindow& window, CControlUI& control, QWidget* parent)
    : QtControlWidget(window, control, parent) {
    setCursor(Qt::CrossCursor);
}

bool QtColorPaletteWidget::Sync() {
    const bool moved = QtControlWidget::Sync();
    if (const auto* palette = dynamic_cast<const CColorPaletteUI*>(Control()); palette && !tracking_) {
        colour_ = QColor::fromRgb(palette->GetSelectColor() & 0xFFFFFFu);
        if (colour_.hsvHueF() >= 0) hue_ = colour_.hsvHueF();
    }
    return moved;
}

QRect QtColorPaletteWidget::Strip() const {
    const int w = std::max(8, Px(16));
    return QRect(width() - w, 0, w, height());
}

QRect QtColorPaletteWidget::Square() const { return QRect(0, 0, std::max(1, width() - Strip().width() - Px(8)), height()); }

QColor QtColorPaletteWidget::ColourAt(const QPoint& point) const {
    const QRect strip = Strip();
    if (point.x() >= strip.left()) {
        const float hue = std::clamp(static_cast<float>(point.y()) / std::max(1, strip.height() - 1), 0.0f, 1.0f);
        return QColor::fromHsvF(std::min(hue, 0.9999f), std::max(0.01f, colour_.hsvSaturationF()),
                                std::max(0.01f, colour_.valueF()));
    }
    const QRect square = Square();
    const float sat = std::clamp(static_cast<float>(point.x()) / std::max(1, square.width() - 1), 0.0f, 1.0f);
    const float val = 1.0f - std::clamp(static_cast<float>(point.y()) / std::max(1, square.height() - 1), 0.0f, 1.0f);
    return QColor::fromHsvF(hue_, sat, val);
}

void QtColorPaletteWidget::Track(const QPoint& point) {
    colour_ = ColourAt(point);
    if (point.x() >= Strip().left()) hue_ = std::min(0.9999f, std::max(0.0f, colour_.hsvHueF()));
    update();
}

void QtColorPaletteWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    tracking_ = true;
    Track(event->position().toPoint());
}

void QtColorPaletteWidget::mouseMoveEvent(QMouseEvent* event) {
    if (tracking_) Track(event->position().toPoint());
}

void QtColorPaletteWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !tracking_) return;
    Track(event->position().toPoint());
    tracking_ = false;
    char argb[16];
    std::snprintf(argb, sizeof argb, "#FF%02X%02X%02X", colour_.red(), colour_.green(), colour_.blue());
    Act("colorchanged", argb);
}

void QtColorPaletteWidget::PaintContent(QPainter& painter) {
    const QRect square = Square();
    QLinearGradient across(square.topLeft(), square.topRight());
    across.setColorAt(0, Qt::white);
    across.setColorAt(1, QColor::fromHsvF(hue_, 1.0f, 1.0f));
    painter.fillRect(square, across);
    QLinearGradient down(square.topLeft(), square.bottomLeft());
    down.setColorAt(0, QColor(0, 0, 0, 0));
    down.setColorAt(1, Qt::black);
    painter.fillRect(square, down);

    const QRect strip = Strip();
    QLinearGradient hues(strip.topLeft(), strip.bottomLeft());
    for (int i = 0; i <= 6; ++i) hues.setColorAt(i / 6.0, QColor::fromHsvF(std::min(i / 6.0f, 0.9999f), 1.0f, 1.0f));
    painter.fillRect(strip, hues);

    // Where the shown colour lies.
    const double sat = std::max(0.0f, colour_.hsvSaturationF());
    const double val = std::max(0.0f, colour_.valueF());
    const QPointF mark(square.left() + sat * (square.width() - 1), square.top() + (1.0 - val) * (square.height() - 1));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, std::max(1.5, Scale() * 1.5)));
    painter.drawEllipse(mark, Px(5), Px(5));
    const double hy = strip.top() + hue_ * (strip.height() - 1);
    painter.setPen(QPen(QtTheme::Text(), std::max(1.5, Scale() * 1.5)));
    painter.drawRect(QRectF(strip.left() - 1, hy - 2, strip.width() + 1, 4));
}

}  // namespace lumora

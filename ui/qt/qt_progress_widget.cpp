#include "ui/qt/qt_progress_widget.h"

#include <QLinearGradient>
#include <QPainter>

#include <algorithm>

#include "ui/progress_ui.h"
#include "ui/qt/qt_image_cache.h"
#include "ui/qt/qt_theme.h"

namespace lumora {

QtProgressWidget::QtProgressWidget(QtWindow& window, CControlUI& control, QWidget* parent, bool ring)
    : QtControlWidget(window, control, parent), ring_(ring) {}

bool QtProgressWidget::Sync() {
    const bool moved = QtControlWidget::Sync();
    if (const auto* progress = dynamic_cast<const CProgressUI*>(Control())) {
        const int range = progress->GetMaxValue() - progress->GetMinValue();
        fraction_ = range > 0 ? static_cast<double>(progress->GetValue() - progress->GetMinValue()) / range : 0.0;
        fraction_ = std::clamp(fraction_, 0.0, 1.0);
        horizontal_ = progress->IsHorizontal();
    }
    return moved;
}

void QtProgressWidget::PaintContent(QPainter& painter) {
    const Look& look = GetLook();
    const double s = Scale();
    if (ring_) {
        const double pen = std::max(2.0, std::min(width(), height()) * 0.09);
        const double side = std::min(width(), height()) - pen - 2;
        const QRectF ring((width() - side) / 2.0, (height() - side) / 2.0, side, side);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QtTheme::Border(), pen, Qt::SolidLine, Qt::FlatCap));
        painter.drawEllipse(ring);
        painter.setPen(QPen(QtTheme::Accent(), pen, Qt::SolidLine, Qt::RoundCap));
        painter.drawArc(ring, 90 * 16, -static_cast<int>(fraction_ * 360 * 16));
        PaintText(painter, rect());
        return;
    }
    QRect filled = rect();
    if (horizontal_) {
        filled.setWidth(static_cast<int>(width() * fraction_));
    } else {
        filled.setTop(rect().bottom() + 1 - static_cast<int>(height() * fraction_));
    }
    if (look.fore) {
        painter.save();
        painter.setClipRect(filled);
        QtImageCache::Draw(painter, rect(), *look.fore, s);
        painter.restore();
    } else {
        const double radius = std::min(width(), height()) / 2.0;
        if (!look.bk.isValid() && !look.bk_image) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(QtTheme::Surface());
            painter.drawRoundedRect(QRectF(rect()), radius, radius);
        }
        if (!filled.isEmpty()) {
            QLinearGradient gradient(rect().topLeft(), horizontal_ ? rect().topRight() : rect().bottomLeft());
            gradient.setColorAt(0, QtTheme::AccentDeep());
            gradient.setColorAt(1, QtTheme::Accent());
            painter.setPen(Qt::NoPen);
            painter.setBrush(gradient);
            painter.drawRoundedRect(QRectF(filled), radius, radius);
        }
    }
    PaintText(painter, rect());
}

}  // namespace lumora

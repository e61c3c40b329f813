#pragma once
// A colour palette: saturation and value in a square for the chosen hue, the hues
// in a strip beside it. Dragging shows the colour under the pointer; letting go
// picks it ("colorchanged" with the opaque colour).

#include <QColor>

#include "ui/qt/qt_control_widget.h"

namespace lumora {

class QtColorPaletteWidget : public QtControlWidget {
public:
    QtColorPaletteWidget(QtWindow& window, CControlUI& control, QWidget* parent);

    bool Sync() override;
    QColor ShownColour() const { return colour_; }
    // The colour at a point of the widget (the square or the strip).
    QColor ColourAt(const QPoint& point) const;

protected:
    void PaintContent(QPainter& painter) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QRect Square() const;
    QRect Strip() const;
    void Track(const QPoint& point);

    QColor colour_ = Qt::black;
    float hue_ = 0.0f;
    bool tracking_ = false;
};

}  // namespace lumora

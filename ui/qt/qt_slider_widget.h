#pragma once
// A slider: a QSlider over the model's range. While the user drags the thumb each
// new position is "movevaluechanged"; letting go is "valuechanged" at that value;
// a step by key, wheel or a click beside the thumb is "valuechanged" too (the
// wheel only when the slider has the focus). Values the program sets move the
// thumb without any notification.

#include "ui/qt/qt_control_widget.h"

class QSlider;

namespace lumora {

class QtSliderWidget : public QtControlWidget {
public:
    QtSliderWidget(QtWindow& window, CControlUI& control, QWidget* parent);

    bool Sync() override;
    QSlider* Slider() const { return slider_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void PaintContent(QPainter& painter) override;

private:
    QSlider* slider_;
    bool syncing_ = false;
};

}  // namespace lumora

#include "ui/qt/qt_slider_widget.h"

#include <QEvent>
#include <QSlider>

#include <string>

#include "ui/slider_ui.h"

namespace lumora {

QtSliderWidget::QtSliderWidget(QtWindow& window, CControlUI& control, QWidget* parent)
    : QtControlWidget(window, control, parent), slider_(new QSlider(Qt::Horizontal, this)) {
    slider_->setFocusPolicy(Qt::StrongFocus);
    slider_->setTracking(true);
    setFocusProxy(slider_);
    slider_->installEventFilter(this);
    QObject::connect(slider_, &QSlider::sliderMoved, this,
                     [this](int value) { Act("movevaluechanged", std::to_string(value)); });
    QObject::connect(slider_, &QSlider::sliderReleased, this,
                     [this] { Act("valuechanged", std::to_string(slider_->value())); });
    // Steps that are not a drag (keys, wheel, paging) end where they land.
    QObject::connect(slider_, &QSlider::valueChanged, this, [this](int value) {
        if (!syncing_ && !slider_->isSliderDown()) Act("valuechanged", std::to_string(value));
    });
}

bool QtSliderWidget::Sync() {
    const bool moved = QtControlWidget::Sync();
    const auto* slider = dynamic_cast<const CSliderUI*>(Control());
    if (!slider) return moved;
    syncing_ = true;
    slider_->setOrientation(slider->IsHorizontal() ? Qt::Horizontal : Qt::Vertical);
    slider_->setRange(slider->GetMinValue(), slider->GetMaxValue());
    slider_->setSingleStep(slider->GetChangeStep());
    slider_->setPageStep(slider->GetChangeStep());
    // While the thumb is held the user's position stands; the model has it already.
    if (!slider_->isSliderDown() && slider_->value() != slider->GetValue()) slider_->setValue(slider->GetValue());
    slider_->setEnabled(GetLook().enabled);
    slider_->setGeometry(rect());
    syncing_ = false;
    return moved;
}

bool QtSliderWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched == slider_ && event->type() == QEvent::Wheel && !slider_->hasFocus()) {
        event->ignore();
        return true;
    }
    return QtControlWidget::eventFilter(watched, event);
}

void QtSliderWidget::resizeEvent(QResizeEvent* event) {
    QtControlWidget::resizeEvent(event);
    slider_->setGeometry(rect());
}

void QtSliderWidget::PaintContent(QPainter& /*painter*/) {
    // The slider draws itself over the skin's background.
}

}  // namespace lumora

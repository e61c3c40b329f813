#pragma once
// A progress bar, or a ring for a circle progress: the part of the range reached
// is the skin's fore image (cut to the value) or the theme's accent.

#include "ui/qt/qt_control_widget.h"

namespace lumora {

class QtProgressWidget : public QtControlWidget {
public:
    QtProgressWidget(QtWindow& window, CControlUI& control, QWidget* parent, bool ring);

    bool Sync() override;
    // The part reached, 0..1.
    double Fraction() const { return fraction_; }

protected:
    void PaintContent(QPainter& painter) override;

private:
    bool ring_;
    bool horizontal_ = true;
    double fraction_ = 0.0;
};

}  // namespace lumora

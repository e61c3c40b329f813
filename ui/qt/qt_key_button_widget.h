#pragma once
// A key or light of a device picture: the live lighting preview. The key is drawn
// lit in its colour (red | blue << 8 | green << 16, as the device page stores it)
// at its brightness (0..255), over the skin's key picture when there is one or as
// a key cap of its own otherwise; a key marked "lit" (chosen by the user) gets an
// accent ring.

#include <QColor>

#include <cstdint>

#include "ui/qt/qt_control_widget.h"

namespace lumora {

class QtKeyButtonWidget : public QtControlWidget {
public:
    QtKeyButtonWidget(QtWindow& window, CControlUI& control, QWidget* parent);

    bool Sync() override;
    // The colour the key shows: each channel scaled by the brightness.
    static QColor LitColour(std::uint32_t key_colour, int brightness);
    QColor ShownColour() const { return shown_; }

protected:
    void PaintContent(QPainter& painter) override;

private:
    QColor shown_;
    bool lit_ = false;
};

}  // namespace lumora

#pragma once
// A key or light of a device picture: the live lighting preview. The key is drawn
// lit in its colour (red | blue << 8 | green << 16, as the device page stores it)
// at its brightness (0..255), over the skin's key picture when there is one or as
// a key cap of its own otherwise; a key marked "lit" (chosen by the user) gets an
// accent ring.
//
// A lighting effect recolours every key each frame, so the shapes are drawn once
// per size into images and a frame only tints and copies them.

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QString>

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
    bool Glowing() const { return shown_.red() + shown_.green() + shown_.blue() > 0; }
    void PrepareShapes();
    const QImage& Tinted();

    QColor shown_;
    bool lit_ = false;

    // Drawn once per size, text and font.
    QString shapes_key_;
    QImage shape_;         // the key's outline filled white, to be tinted
    QPixmap cap_lit_;      // the cap over a lit key: dark glass the colour shows through
    QPixmap key_unlit_;    // a whole unlit key
    QImage tinted_;        // shape_ in the current colour
    QColor tinted_colour_;
};

}  // namespace lumora

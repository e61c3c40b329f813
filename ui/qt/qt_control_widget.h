#pragma once
// The widget of one control: it keeps a snapshot of what the control looks like
// (taken by Sync, so painting never reads the model) and paints it as the skin
// describes: background colour or gradient, background image, the state image
// (normal, hot, pushed, focused, disabled; selected ones for options and rows),
// the fore image, the text, the border. Where the skin gives a button, option or
// check box no images, the theme draws it. A control with "autocalcwidth" and no
// width is as wide as its text.
//
// Input becomes what the user does to the model, through PerformUserAction, so the
// model's own checks (visible, enabled, no modal window open) apply: a left click
// on a button, option, key or row is "click"; a double click on a row
// "itemactivate"; the control getting and losing the keyboard focus "setfocus"
// and "killfocus" (not when only the window lost the focus). A press on a control
// that takes no clicks inside the caption area drags the window.

#include <QColor>
#include <QFont>
#include <QMargins>
#include <QString>
#include <QWidget>

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

#include "ui/ui_rect.h"

class QPainter;

namespace lumora {

class CControlUI;
class QtContainerWidget;
class QtRenderer;
class QtWindow;
struct QtImage;

class QtControlWidget : public QWidget {
public:
    QtControlWidget(QtWindow& window, CControlUI& control, QWidget* parent);
    ~QtControlWidget() override;

    // The control while it lives and the widget is attached to it.
    CControlUI* Control() const;
    bool Tracks(const CControlUI& control) const;
    void Detach();
    // The control this widget was made for, as a key only (never followed).
    const CControlUI* Key() const { return key_; }
    // Times this widget painted itself.
    std::size_t Paints() const { return paints_; }

    // Reads the control into the widget. True when the change moves or sizes
    // something (the window then lays out again). The caller repaints it.
    virtual bool Sync();
    virtual QtContainerWidget* AsContainer() { return nullptr; }

    // What decides where the control goes, in skin pixels.
    struct Geometry {
        bool visible = true;
        bool floating = false;
        int fixed_width = 0;
        int fixed_height = 0;
        UiRect padding;
        UiRect pos;
        bool operator==(const Geometry&) const = default;
    };
    const Geometry& GetGeometry() const { return geometry_; }

protected:
    enum class Theme { None, Button, TitleButton, Tab, Check };
    struct Look {
        QString text;
        bool enabled = true;
        bool selected = false;
        bool row = false;
        bool clickable = false;
        Theme theme = Theme::None;
        QString title_glyph;  // "close", "min", "max", "restore"
        QColor bk, bk2, border, focus_border, hot_bk, pushed_bk, selected_bk, disabled_bk;
        QColor text_colour, disabled_text, hot_text, pushed_text, selected_text;
        int border_size = 0;
        int border_round = 0;
        const QtImage* bk_image = nullptr;
        const QtImage* normal = nullptr;
        const QtImage* hot = nullptr;
        const QtImage* pushed = nullptr;
        const QtImage* focused = nullptr;
        const QtImage* disabled = nullptr;
        const QtImage* selected_image = nullptr;
        const QtImage* selected_hot = nullptr;
        const QtImage* selected_pushed = nullptr;
        const QtImage* fore = nullptr;
        const QtImage* selected_fore = nullptr;
        QFont font;
        int align = 0;
        bool wrap = false;
        bool elide = false;
        QMargins text_padding;
    };

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    void PaintBackground(QPainter& painter);
    virtual void PaintContent(QPainter& painter);
    void PaintText(QPainter& painter, const QRect& area);
    void PaintBorder(QPainter& painter);
    void PaintThemed(QPainter& painter);

    // Delivers a user action to the control; false when the model refused it.
    bool Act(std::string_view type, std::string_view value = {});
    // The keyboard focus entered or left a part of this control (fields).
    void FocusEntered(Qt::FocusReason reason);
    void FocusLeft(Qt::FocusReason reason);

    QtWindow& Window() const { return window_; }
    QtRenderer& Renderer() const;
    double Scale() const;
    int Px(int skin_pixels) const;
    const Look& GetLook() const { return look_; }
    bool IsHot() const { return hot_; }
    bool IsPressed() const { return pressed_; }
    QColor CurrentTextColour() const;

private:
    void ReadLook(const CControlUI& control);

    QtWindow& window_;
    const CControlUI* key_;
    CControlUI* control_;
    std::weak_ptr<const int> life_;
    Look look_;
    Geometry geometry_;
    bool synced_once_ = false;
    bool hot_ = false;
    bool pressed_ = false;
    bool drag_ = false;
    QString tooltip_;
    std::size_t paints_ = 0;
};

}  // namespace lumora

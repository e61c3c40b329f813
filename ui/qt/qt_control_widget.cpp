#include "ui/qt/qt_control_widget.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

#include "platform/logger.h"
#include "ui/button_ui.h"
#include "ui/check_box_ui.h"
#include "ui/container_ui.h"
#include "ui/control_ui.h"
#include "ui/hand_img_button_ui.h"
#include "ui/hand_img_select_button_ui.h"
#include "ui/list_item_ui.h"
#include "ui/list_owner_ui.h"
#include "ui/list_text_element_ui.h"
#include "ui/option_ui.h"
#include "ui/paint_manager_ui.h"
#include "ui/qt/qt_image_cache.h"
#include "ui/qt/qt_renderer.h"
#include "ui/qt/qt_theme.h"
#include "ui/qt/qt_window.h"
#include "ui/text_ui.h"
#include "ui/ui_text.h"

namespace lumora {

namespace {
constexpr const char* kTag = "qt";

std::string Attr(const CControlUI& c, std::string_view name) { return c.GetAttribute(name).value_or(std::string()); }

QColor ColourAttr(const CControlUI& c, std::string_view name) {
    const auto value = c.GetAttribute(name);
    if (!value) return {};
    const auto argb = UiText::ParseColour(*value);
    if (!argb || *argb == 0) return {};
    return QColor::fromRgba(*argb);
}

QColor Colour(std::uint32_t argb) { return argb == 0 ? QColor() : QColor::fromRgba(argb); }

int IntAttr(const CControlUI& c, std::string_view name, int fallback) {
    const auto value = c.GetAttribute(name);
    if (!value) return fallback;
    return static_cast<int>(std::clamp<long long>(UiText::ParseInt(*value).value_or(fallback), -100000, 100000));
}

bool BoolAttr(const CControlUI& c, std::string_view name, bool fallback) {
    const auto value = c.GetAttribute(name);
    if (!value) return fallback;
    return UiText::ParseBool(*value).value_or(fallback);
}

// DuiLib's "align"/"valign" words, in any order.
int Align(const std::string& align, const std::string& valign, int fallback) {
    if (align.empty() && valign.empty()) return fallback;
    int h = fallback & Qt::AlignHorizontal_Mask;
    int v = fallback & Qt::AlignVertical_Mask;
    const std::string words = UiText::Lower(align + " " + valign);
    if (words.find("left") != std::string::npos) h = Qt::AlignLeft;
    if (words.find("right") != std::string::npos) h = Qt::AlignRight;
    if (words.find("hcenter") != std::string::npos ||
        (words.find("center") != std::string::npos && words.find("vcenter") == std::string::npos)) {
        h = Qt::AlignHCenter;
    }
    if (words.find("top") != std::string::npos) v = Qt::AlignTop;
    if (words.find("bottom") != std::string::npos) v = Qt::AlignBottom;
    if (words.find("vcenter") != std::string::npos) v = Qt::AlignVCenter;
    return h | v;
}

// DuiLib's inline markup ({b}, {c #fff}, <b> ...) is shown as its plain text.
QString StripMarkup(QString text) {
    static const QRegularExpression newline(QStringLiteral("\\{n\\}|<n>"));
    static const QRegularExpression tags(QStringLiteral("\\{/?[a-zA-Z][^{}]*\\}|</?[a-zA-Z][^<>]*>"));
    text.replace(newline, QStringLiteral("\n"));
    text.remove(tags);
    return text;
}

QMargins Margins(const UiRect& r, double scale) {
    auto px = [scale](int v) { return static_cast<int>(std::lround(v * scale)); };
    return QMargins(px(r.left), px(r.top), px(r.right), px(r.bottom));
}
}  // namespace

QtControlWidget::QtControlWidget(QtWindow& window, CControlUI& control, QWidget* parent)
    : QWidget(parent), window_(window), key_(&control), control_(&control), life_(control.LifeToken()) {
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_Hover, false);
    setMouseTracking(false);
}

QtControlWidget::~QtControlWidget() { window_.Forget(*this); }

CControlUI* QtControlWidget::Control() const { return life_.expired() ? nullptr : control_; }

bool QtControlWidget::Tracks(const CControlUI& control) const {
    if (control_ != &control || life_.expired()) return false;
    const auto theirs = control.LifeToken();
    return !life_.owner_before(theirs) && !theirs.owner_before(life_);
}

void QtControlWidget::Detach() {
    life_.reset();
    control_ = nullptr;
}

QtRenderer& QtControlWidget::Renderer() const { return window_.Renderer(); }
double QtControlWidget::Scale() const { return window_.Scale(); }
int QtControlWidget::Px(int skin_pixels) const { return static_cast<int>(std::lround(skin_pixels * Scale())); }

bool QtControlWidget::Sync() {
    CControlUI* control = Control();
    if (!control) return false;
    ReadLook(*control);

    Geometry geometry;
    geometry.visible = control->GetVisibleFlag();
    geometry.floating = control->IsFloat();
    geometry.fixed_width = control->GetFixedWidth();
    geometry.fixed_height = control->GetFixedHeight();
    geometry.padding = control->GetPadding();
    geometry.pos = control->GetPos();
    if (geometry.fixed_width == 0 && BoolAttr(*control, "autocalcwidth", false)) {
        // As wide as its text, in skin pixels.
        const int text = QFontMetrics(look_.font).horizontalAdvance(look_.text);
        const int pad = look_.text_padding.left() + look_.text_padding.right();
        geometry.fixed_width = static_cast<int>(std::ceil((text + pad) / std::max(0.01, Scale())));
    }
    const bool moved = !synced_once_ || !(geometry == geometry_);
    geometry_ = geometry;
    synced_once_ = true;

    setVisible(geometry.visible);
    const QString tip = QString::fromStdString(control->GetToolTip());
    if (tip != tooltip_) {
        tooltip_ = tip;
        setToolTip(tip);
    }
    const bool hand = dynamic_cast<const CHandImgButtonUI*>(control) ||
                      dynamic_cast<const CHandImgSelectButtonUI*>(control) ||
                      UiText::EqualsNoCase(Attr(*control, "cursor"), "hand");
    if (hand != (cursor().shape() == Qt::PointingHandCursor)) {
        if (hand) {
            setCursor(Qt::PointingHandCursor);
        } else {
            unsetCursor();
        }
    }
    return moved;
}

void QtControlWidget::ReadLook(const CControlUI& c) {
    Look look;
    CPaintManagerUI* manager = c.GetManager();
    QtImageCache& images = Renderer().Images();
    auto image = [&](std::string_view name) { return images.Find(Attr(c, name), manager); };
    const double scale = Scale();

    const auto* item = dynamic_cast<const IListItemUI*>(&c);
    const auto* option = dynamic_cast<const COptionUI*>(&c);
    const bool is_button = c.IsA("Button");
    look.row = item != nullptr;
    look.clickable = is_button || look.row;
    look.selected = option ? option->IsSelected() : (item && item->IsSelected());
    look.enabled = c.IsEnabledInTree();

    QString text = QString::fromStdString(c.GetText());
    if (const auto* columns = dynamic_cast<const CListTextElementUI*>(&c)) {
        for (int i = 1; i < columns->GetColumnCount(); ++i) {
            text += QStringLiteral("\t") + QString::fromStdString(columns->GetText(i));
        }
    }
    if (BoolAttr(c, "showhtml", false)) text = StripMarkup(text);
    look.text = text;

    look.bk = Colour(c.GetBkColor());
    look.bk2 = ColourAttr(c, "bkcolor2");
    look.border = ColourAttr(c, "bordercolor");
    look.focus_border = ColourAttr(c, "focusbordercolor");
    look.hot_bk = ColourAttr(c, "hotbkcolor");
    look.pushed_bk = ColourAttr(c, "pushedbkcolor");
    look.selected_bk = ColourAttr(c, "selectedbkcolor");
    look.disabled_bk = ColourAttr(c, "disabledbkcolor");
    look.text_colour = ColourAttr(c, "textcolor");
    look.disabled_text = ColourAttr(c, "disabledtextcolor");
    look.hot_text = ColourAttr(c, "hottextcolor");
    look.pushed_text = ColourAttr(c, "pushedtextcolor");
    look.selected_text = ColourAttr(c, "selectedtextcolor");
    look.border_size = std::max(0, IntAttr(c, "bordersize", 0));
    if (auto round = UiText::ParseRect(Attr(c, "borderround"))) look.border_round = std::max(0, round->left);

    look.bk_image = images.Find(c.GetBkImage(), manager);
    look.normal = image("normalimage");
    look.hot = image("hotimage");
    look.pushed = image("pushedimage");
    look.focused = image("focusedimage");
    look.disabled = image("disabledimage");
    look.selected_image = image("selectedimage");
    look.selected_hot = image("selectedhotimage");
    look.selected_pushed = image("selectedpushedimage");
    look.fore = images.Find(c.GetForeImage(), manager);
    look.selected_fore = image("selectedforeimage");

    // Fonts: the control's, else its list's item font, else the window default.
    int font_id = IntAttr(c, "font", -1);
    const CListOwnerUI* owner = item ? item->GetOwner() : nullptr;
    if (owner && font_id < 0) font_id = IntAttr(*owner, "itemfont", -1);
    look.font = QtTheme::Font(manager ? manager->GetFont(font_id) : nullptr, scale);

    int fallback_align = Qt::AlignLeft | Qt::AlignVCenter;
    if (is_button && !dynamic_cast<const CCheckBoxUI*>(&c)) fallback_align = Qt::AlignCenter;
    if (dynamic_cast<const CTextUI*>(&c)) fallback_align = Qt::AlignLeft | Qt::AlignTop;
    std::string align = Attr(c, "align");
    if (owner && align.empty()) align = Attr(*owner, "itemalign");
    look.align = Align(align, Attr(c, "valign"), fallback_align);
    look.wrap = dynamic_cast<const CTextUI*>(&c) != nullptr || BoolAttr(c, "multiline", false) ||
                BoolAttr(c, "wordbreak", false);
    look.elide = BoolAttr(c, "endellipsis", false);
    std::string padding = Attr(c, "textpadding");
    if (owner && padding.empty()) padding = Attr(*owner, "itemtextpadding");
    look.text_padding = Margins(UiText::ParseRect(padding).value_or(UiRect{}), scale);

    if (owner) {
        // Rows take their colours from their list.
        if (!look.bk.isValid()) look.bk = ColourAttr(*owner, "itembkcolor");
        if (!look.hot_bk.isValid()) look.hot_bk = ColourAttr(*owner, "itemhotbkcolor");
        if (!look.selected_bk.isValid()) look.selected_bk = ColourAttr(*owner, "itemselectedbkcolor");
        if (!look.text_colour.isValid()) look.text_colour = ColourAttr(*owner, "itemtextcolor");
        if (!look.hot_text.isValid()) look.hot_text = ColourAttr(*owner, "itemhottextcolor");
        if (!look.selected_text.isValid()) look.selected_text = ColourAttr(*owner, "itemselectedtextcolor");
        if (!look.disabled_text.isValid()) look.disabled_text = ColourAttr(*owner, "itemdisabledtextcolor");
        if (!look.hot_bk.isValid()) look.hot_bk = QtTheme::SurfaceHigh();
        if (!look.selected_bk.isValid()) {
            QColor accent = QtTheme::Accent();
            accent.setAlpha(60);
            look.selected_bk = accent;
        }
        if (!look.selected_text.isValid()) look.selected_text = QtTheme::Accent();
    }

    const bool has_images = look.normal || look.hot || look.pushed || look.bk_image || look.selected_image;
    if (is_button && !has_images && !look.bk.isValid()) {
        const std::string name = UiText::Lower(c.GetName());
        if (name == "closebtn" || name == "minbtn" || name == "maxbtn" || name == "restorebtn") {
            look.theme = Theme::TitleButton;
            look.title_glyph = QString::fromStdString(name.substr(0, name.size() - 3));
        } else if (option) {
            const bool check = dynamic_cast<const CCheckBoxUI*>(&c) || option->GetGroup().empty();
            look.theme = check ? Theme::Check : Theme::Tab;
        } else if (!c.IsA("DeviceKeyButton")) {
            look.theme = Theme::Button;
        }
    }
    look_ = std::move(look);
}

// --- painting

void QtControlWidget::paintEvent(QPaintEvent* /*event*/) {
    ++paints_;
    Renderer().CountPaint();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    PaintBackground(painter);
    PaintContent(painter);
    PaintBorder(painter);
}

void QtControlWidget::PaintBackground(QPainter& painter) {
    const Look& l = look_;
    QColor bk = l.bk;
    if (!l.enabled && l.disabled_bk.isValid()) {
        bk = l.disabled_bk;
    } else if (l.selected && l.selected_bk.isValid()) {
        bk = l.selected_bk;
    } else if (pressed_ && l.pushed_bk.isValid()) {
        bk = l.pushed_bk;
    } else if (hot_ && l.hot_bk.isValid()) {
        bk = l.hot_bk;
    }
    if (bk.isValid() && bk.alpha() > 0) {
        const QRectF r = rect();
        QBrush brush(bk);
        if (l.bk2.isValid()) {
            QLinearGradient gradient(r.topLeft(), r.bottomLeft());
            gradient.setColorAt(0, bk);
            gradient.setColorAt(1, l.bk2);
            brush = QBrush(gradient);
        }
        if (l.border_round > 0) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(brush);
            painter.drawRoundedRect(r, Px(l.border_round) / 2.0, Px(l.border_round) / 2.0);
        } else {
            painter.fillRect(r, brush);
        }
    }
    if (l.bk_image) QtImageCache::Draw(painter, rect(), *l.bk_image, Scale());
}

void QtControlWidget::PaintContent(QPainter& painter) {
    const Look& l = look_;
    if (l.theme != Theme::None) {
        PaintThemed(painter);
        return;
    }
    const QtImage* state = nullptr;
    if (!l.enabled) {
        state = l.disabled;
    } else if (l.selected) {
        if (pressed_) state = l.selected_pushed;
        if (!state && hot_) state = l.selected_hot;
        if (!state) state = l.selected_image;
    } else if (pressed_) {
        state = l.pushed;
    } else if (hot_) {
        state = l.hot;
    }
    if (!state && hasFocus()) state = l.focused;
    if (!state) state = l.normal;
    if (state) QtImageCache::Draw(painter, rect(), *state, Scale());
    const QtImage* fore = l.selected && l.selected_fore ? l.selected_fore : l.fore;
    if (fore) QtImageCache::Draw(painter, rect(), *fore, Scale());
    PaintText(painter, rect());
}

QColor QtControlWidget::CurrentTextColour() const {
    const Look& l = look_;
    if (!l.enabled) return l.disabled_text.isValid() ? l.disabled_text : QtTheme::TextDim();
    if (l.selected && l.selected_text.isValid()) return l.selected_text;
    if (pressed_ && l.pushed_text.isValid()) return l.pushed_text;
    if (hot_ && l.hot_text.isValid()) return l.hot_text;
    return l.text_colour.isValid() ? l.text_colour : QtTheme::Text();
}

void QtControlWidget::PaintText(QPainter& painter, const QRect& area) {
    const Look& l = look_;
    if (l.text.isEmpty()) return;
    const QRect r = area.marginsRemoved(l.text_padding);
    if (r.width() <= 0 || r.height() <= 0) return;
    painter.setFont(l.font);
    painter.setPen(CurrentTextColour());
    int flags = l.align;
    if (l.wrap) {
        flags |= Qt::TextWordWrap;
        painter.drawText(r, flags, l.text);
        return;
    }
    flags |= Qt::TextSingleLine | Qt::TextExpandTabs;
    const QString shown = l.elide ? QFontMetrics(l.font).elidedText(l.text, Qt::ElideRight, r.width()) : l.text;
    painter.drawText(r, flags, shown);
}

void QtControlWidget::PaintBorder(QPainter& painter) {
    const Look& l = look_;
    QColor colour = l.border;
    if (hasFocus() && l.focus_border.isValid()) colour = l.focus_border;
    if (l.border_size <= 0 || !colour.isValid()) return;
    const double width = std::max(1, Px(l.border_size));
    QPen pen(colour, width);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const QRectF r = QRectF(rect()).adjusted(width / 2, width / 2, -width / 2, -width / 2);
    if (l.border_round > 0) {
        painter.drawRoundedRect(r, Px(l.border_round) / 2.0, Px(l.border_round) / 2.0);
    } else {
        painter.drawRect(r);
    }
}

void QtControlWidget::PaintThemed(QPainter& painter) {
    const Look& l = look_;
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const double radius = std::max(2.0, Scale() * 4);
    if (!l.enabled) painter.setOpacity(0.45);
    switch (l.theme) {
        case Theme::Button: {
            QColor fill = pressed_ ? QtTheme::AccentDeep() : QtTheme::SurfaceHigh();
            if (hot_ && !pressed_) fill = fill.lighter(125);
            painter.setPen(QPen(hot_ ? QtTheme::Accent() : QtTheme::Border(), 1));
            painter.setBrush(fill);
            painter.drawRoundedRect(r, radius, radius);
            PaintText(painter, rect());
            break;
        }
        case Theme::TitleButton: {
            if (hot_ || pressed_) {
                QColor fill = l.title_glyph == QLatin1String("close") ? QtTheme::Danger() : QtTheme::SurfaceHigh();
                if (pressed_) fill = fill.darker(120);
                painter.fillRect(rect(), fill);
            }
            const double side = std::min(width(), height()) * 0.32;
            const QPointF c = QRectF(rect()).center();
            painter.setPen(QPen(hot_ ? QColor(Qt::white) : QtTheme::Text(), std::max(1.0, Scale() * 1.4),
                                Qt::SolidLine, Qt::RoundCap));
            painter.setBrush(Qt::NoBrush);
            if (l.title_glyph == QLatin1String("close")) {
                painter.drawLine(c + QPointF(-side / 2, -side / 2), c + QPointF(side / 2, side / 2));
                painter.drawLine(c + QPointF(-side / 2, side / 2), c + QPointF(side / 2, -side / 2));
            } else if (l.title_glyph == QLatin1String("min")) {
                painter.drawLine(c + QPointF(-side / 2, 0), c + QPointF(side / 2, 0));
            } else if (l.title_glyph == QLatin1String("max")) {
                painter.drawRect(QRectF(c.x() - side / 2, c.y() - side / 2, side, side));
            } else {
                const double o = side / 4;
                painter.drawRect(QRectF(c.x() - side / 2, c.y() - side / 2 + o, side - o, side - o));
                painter.drawLine(QPointF(c.x() - side / 2 + o, c.y() - side / 2), QPointF(c.x() + side / 2, c.y() - side / 2));
                painter.drawLine(QPointF(c.x() + side / 2, c.y() - side / 2), QPointF(c.x() + side / 2, c.y() + side / 2 - o));
            }
            break;
        }
        case Theme::Tab: {
            if (l.selected) {
                QColor tint = QtTheme::Accent();
                tint.setAlpha(38);
                painter.setPen(Qt::NoPen);
                painter.setBrush(tint);
                painter.drawRoundedRect(r, radius, radius);
                const double bar = std::max(2.0, Scale() * 2);
                painter.fillRect(QRectF(r.left() + radius, r.bottom() - bar + 0.5, r.width() - 2 * radius, bar),
                                 QtTheme::Accent());
            } else if (hot_) {
                painter.setPen(Qt::NoPen);
                painter.setBrush(QtTheme::SurfaceHigh());
                painter.drawRoundedRect(r, radius, radius);
            }
            painter.save();
            if (l.selected && !l.selected_text.isValid()) {
                painter.setFont(l.font);
                painter.setPen(QtTheme::Accent());
                const QRect area = rect().marginsRemoved(l.text_padding);
                painter.drawText(area, l.align | Qt::TextSingleLine, l.text);
            } else {
                PaintText(painter, rect());
            }
            painter.restore();
            break;
        }
        case Theme::Check: {
            const int box = std::max(10, Px(16));
            const QRectF b(Px(2) + 0.5, (height() - box) / 2.0 + 0.5, box - 1, box - 1);
            painter.setPen(QPen(l.selected || hot_ ? QtTheme::Accent() : QtTheme::Border(), std::max(1.0, Scale())));
            painter.setBrush(l.selected ? QtTheme::Accent() : QtTheme::Surface());
            painter.drawRoundedRect(b, box / 5.0, box / 5.0);
            if (l.selected) {
                QPainterPath tick;
                tick.moveTo(b.left() + box * 0.22, b.top() + box * 0.52);
                tick.lineTo(b.left() + box * 0.42, b.top() + box * 0.72);
                tick.lineTo(b.left() + box * 0.78, b.top() + box * 0.30);
                painter.setPen(QPen(QtTheme::Base(), std::max(1.5, box / 8.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                painter.setBrush(Qt::NoBrush);
                painter.drawPath(tick);
            }
            QRect text_area = rect();
            text_area.setLeft(static_cast<int>(b.right()) + Px(6));
            PaintText(painter, text_area);
            break;
        }
        case Theme::None:
            break;
    }
    painter.setOpacity(1.0);
}

// --- input

bool QtControlWidget::Act(std::string_view type, std::string_view value) {
    CControlUI* control = Control();
    if (!control) return false;
    std::weak_ptr<const int> alive = life_;
    std::string error;
    const bool ok = control->PerformUserAction(type, value, &error);
    if (!ok) LOG_DEBUG(kTag, "%.*s refused: %s", static_cast<int>(type.size()), type.data(), error.c_str());
    // The widget shows what the model made of it (a refused choice goes back).
    if (!alive.expired() && control_) window_.MarkControlDirty(*control_);
    Renderer().AfterUserAction();
    return ok;
}

void QtControlWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (!look_.clickable) {
        drag_ = window_.StartCaptionDrag(event->globalPosition().toPoint(),
                                         window_.mapFromGlobal(event->globalPosition().toPoint()));
        if (!drag_) event->ignore();
        return;
    }
    pressed_ = true;
    update();
}

void QtControlWidget::mouseMoveEvent(QMouseEvent* event) {
    if (drag_) {
        window_.DragTo(event->globalPosition().toPoint());
        return;
    }
    if (pressed_) {
        const bool inside = rect().contains(event->position().toPoint());
        if (inside != hot_) {
            hot_ = inside;
            update();
        }
    }
}

void QtControlWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        if (event->button() == Qt::RightButton && Control() && BoolAttr(*Control(), "menu", false)) Act("menu");
        return;
    }
    if (drag_) {
        drag_ = false;
        window_.EndDrag();
        return;
    }
    if (!pressed_) return;
    pressed_ = false;
    update();
    if (rect().contains(event->position().toPoint())) Act("click");
}

void QtControlWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (look_.row) {
        Act("itemactivate");
        return;
    }
    // A button clicked twice quickly is clicked twice.
    mousePressEvent(event);
}

void QtControlWidget::enterEvent(QEnterEvent* /*event*/) {
    hot_ = true;
    if (look_.clickable || look_.row || look_.hot || look_.hot_bk.isValid()) update();
}

void QtControlWidget::leaveEvent(QEvent* /*event*/) {
    hot_ = false;
    if (look_.clickable || look_.row || look_.hot || look_.hot_bk.isValid()) update();
}

void QtControlWidget::focusInEvent(QFocusEvent* event) {
    FocusEntered(event->reason());
    if (look_.focused || look_.focus_border.isValid()) update();
}

void QtControlWidget::focusOutEvent(QFocusEvent* event) {
    FocusLeft(event->reason());
    if (look_.focused || look_.focus_border.isValid()) update();
}

void QtControlWidget::FocusEntered(Qt::FocusReason reason) {
    // Coming back to the window keeps the model's focus as it was.
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return;
    CControlUI* control = Control();
    if (control && !control->IsFocused()) Act("setfocus");
}

void QtControlWidget::FocusLeft(Qt::FocusReason reason) {
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return;
    CControlUI* control = Control();
    if (control && control->IsFocused()) Act("killfocus");
}

void QtControlWidget::keyPressEvent(QKeyEvent* event) {
    if (look_.clickable && (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
                            event->key() == Qt::Key_Enter)) {
        Act("click");
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace lumora

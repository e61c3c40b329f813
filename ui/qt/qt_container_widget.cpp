#include "ui/qt/qt_container_widget.h"

#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>
#include <cmath>

#include "ui/container_ui.h"
#include "ui/horizontal_layout_ui.h"
#include "ui/list_ui.h"
#include "ui/qt/qt_window.h"
#include "ui/ui_text.h"
#include "ui/vertical_layout_ui.h"

namespace lumora {

namespace {
LayoutBox::Align AlignOf(const std::string& value) {
    const std::string v = UiText::Lower(value);
    if (v.find("center") != std::string::npos) return LayoutBox::Align::Center;
    if (v == "right" || v == "bottom") return LayoutBox::Align::End;
    return LayoutBox::Align::Start;
}

UiRect Scaled(const UiRect& r, double s) {
    auto px = [s](int v) { return static_cast<int>(std::lround(v * s)); };
    return UiRect{px(r.left), px(r.top), px(r.right), px(r.bottom)};
}
}  // namespace

QtContainerWidget::QtContainerWidget(QtWindow& window, CControlUI& control, QWidget* parent)
    : QtControlWidget(window, control, parent) {
    if (dynamic_cast<const CVerticalLayoutUI*>(&control)) {
        kind_ = LayoutBox::Kind::Vertical;
    } else if (dynamic_cast<const CHorizontalLayoutUI*>(&control)) {
        kind_ = LayoutBox::Kind::Horizontal;
    }
    list_ = dynamic_cast<const CListUI*>(&control) != nullptr;
}

QWidget* QtContainerWidget::ChildHost() {
    if (!vscroll_ && !hscroll_) return this;
    if (!scroll_) {
        scroll_ = new QScrollArea(this);
        scroll_->setFrameShape(QFrame::NoFrame);
        scroll_->setWidgetResizable(false);
        scroll_->setFocusPolicy(Qt::NoFocus);
        scroll_->viewport()->setAutoFillBackground(false);
        content_ = new QWidget();
        content_->setAutoFillBackground(false);
        scroll_->setWidget(content_);
        scroll_->setGeometry(rect());
        scroll_->show();
    }
    scroll_->setVerticalScrollBarPolicy(vscroll_ ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    scroll_->setHorizontalScrollBarPolicy(hscroll_ ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    return content_;
}

bool QtContainerWidget::Sync() {
    bool moved = QtControlWidget::Sync();
    CControlUI* control = Control();
    const CContainerUI* container = control ? control->AsContainer() : nullptr;
    if (!container) return moved;
    const UiRect inset = container->GetInset();
    const int child_padding = container->GetChildPadding();
    const auto align = AlignOf(container->GetAttribute("childalign").value_or(""));
    const auto valign = AlignOf(container->GetAttribute("childvalign").value_or(""));
    const bool vscroll = list_ || UiText::ParseBool(container->GetAttribute("vscrollbar").value_or("")).value_or(false);
    const bool hscroll = UiText::ParseBool(container->GetAttribute("hscrollbar").value_or("")).value_or(false);
    if (!(inset == inset_) || child_padding != child_padding_ || align != child_align_ || valign != child_valign_ ||
        vscroll != vscroll_ || hscroll != hscroll_) {
        moved = true;
    }
    inset_ = inset;
    child_padding_ = child_padding;
    child_align_ = align;
    child_valign_ = valign;
    if (vscroll != vscroll_ || hscroll != hscroll_) {
        vscroll_ = vscroll;
        hscroll_ = hscroll;
        QWidget* host = ChildHost();
        for (const auto& child : children_) {
            if (child && child->parentWidget() != host) child->setParent(host);
        }
    }
    // A container switched on or off changes what its descendants look like.
    const bool enabled = control->IsEnabledInTree();
    if (enabled != enabled_in_tree_) {
        enabled_in_tree_ = enabled;
        for (const auto& child : children_) {
            if (child) {
                child->Sync();
                child->update();
            }
        }
    }
    if (const auto* list = dynamic_cast<const CListUI*>(control)) scroll_state_ = list->GetScrollState();
    ApplyScroll();
    return moved;
}

void QtContainerWidget::SetChildren(std::vector<QPointer<QtControlWidget>> children) {
    children_ = std::move(children);
    // Later children are drawn over earlier ones.
    for (const auto& child : children_) {
        if (child) child->raise();
    }
}

void QtContainerWidget::resizeEvent(QResizeEvent* event) {
    QtControlWidget::resizeEvent(event);
    if (scroll_) scroll_->setGeometry(rect());
}

void QtContainerWidget::LayoutChildren() {
    const double s = Scale();
    QSize area = size();
    if (scroll_) scroll_->setGeometry(rect());
    LayoutBox box;
    box.kind = kind_;
    box.width = area.width();
    box.height = area.height();
    box.inset = Scaled(inset_, s);
    box.child_padding = static_cast<int>(std::lround(child_padding_ * s));
    box.child_align = child_align_;
    box.child_valign = child_valign_;

    std::vector<LayoutItem> items;
    items.reserve(children_.size());
    for (const auto& child : children_) {
        LayoutItem item;
        if (!child) {
            item.visible = false;
            items.push_back(item);
            continue;
        }
        const Geometry& g = child->GetGeometry();
        item.visible = g.visible;
        item.floating = g.floating;
        item.fixed_width = static_cast<int>(std::lround(g.fixed_width * s));
        item.fixed_height = static_cast<int>(std::lround(g.fixed_height * s));
        // Rows of a list with no height of their own get a usable one.
        if (list_ && item.fixed_height == 0) item.fixed_height = static_cast<int>(std::lround(28 * s));
        item.padding = Scaled(g.padding, s);
        item.pos = Scaled(g.pos, s);
        items.push_back(item);
    }
    LayoutResult result = QtLayoutEngine::Arrange(box, items);
    if (content_) {
        // Children that overflow make room for the scroll bar, then are placed again.
        const int bar = scroll_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroll_);
        const bool vbar = vscroll_ && result.needed_height > area.height();
        const bool hbar = hscroll_ && result.needed_width > area.width();
        if (vbar || hbar) {
            if (vbar) box.width = std::max(0, box.width - bar);
            if (hbar) box.height = std::max(0, box.height - bar);
            result = QtLayoutEngine::Arrange(box, items);
        }
        const int w = hscroll_ ? std::max(box.width, result.needed_width) : box.width;
        const int h = vscroll_ ? std::max(box.height, result.needed_height) : box.height;
        content_->resize(w, h);
    }
    for (std::size_t i = 0; i < children_.size(); ++i) {
        QtControlWidget* child = children_[i];
        if (!child || !items[i].visible) continue;
        const UiRect& r = result.rects[i];
        const QRect target(r.left, r.top, std::max(0, r.Width()), std::max(0, r.Height()));
        if (child->geometry() != target) child->setGeometry(target);
        if (QtContainerWidget* inner = child->AsContainer()) inner->LayoutChildren();
    }
    laid_out_ = true;
    ApplyScroll();
}

void QtContainerWidget::ApplyScroll() {
    if (!scroll_ || !laid_out_ || scroll_state_ == applied_scroll_) return;
    applied_scroll_ = scroll_state_;
    QScrollBar* bar = scroll_->verticalScrollBar();
    if (scroll_state_ == "top") {
        bar->setValue(bar->minimum());
    } else if (scroll_state_ == "end") {
        bar->setValue(bar->maximum());
    } else if (scroll_state_.rfind("row ", 0) == 0) {
        const auto row = UiText::ParseInt(std::string_view(scroll_state_).substr(4));
        if (row && *row >= 0 && *row < static_cast<long long>(children_.size())) {
            if (QtControlWidget* child = children_[static_cast<std::size_t>(*row)]) scroll_->ensureWidgetVisible(child, 0, 0);
        }
    }
}

}  // namespace lumora

#include "ui/qt/qt_window.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include <algorithm>
#include <cmath>

#include "platform/logger.h"
#include "ui/circle_progress_ui.h"
#include "ui/color_palette_ui.h"
#include "ui/combo_ui.h"
#include "ui/container_ui.h"
#include "ui/device_key_button_ui.h"
#include "ui/edit_ui.h"
#include "ui/paint_manager_ui.h"
#include "ui/progress_ui.h"
#include "ui/qt/qt_color_palette_widget.h"
#include "ui/qt/qt_combo_widget.h"
#include "ui/qt/qt_container_widget.h"
#include "ui/qt/qt_control_widget.h"
#include "ui/qt/qt_edit_widget.h"
#include "ui/qt/qt_key_button_widget.h"
#include "ui/qt/qt_progress_widget.h"
#include "ui/qt/qt_renderer.h"
#include "ui/qt/qt_slider_widget.h"
#include "ui/qt/qt_theme.h"
#include "ui/rich_edit_ui.h"
#include "ui/slider_ui.h"
#include "ui/ui_text.h"
#include "ui/window_impl_base.h"

namespace lumora {

namespace {
constexpr const char* kTag = "qt";

Qt::WindowFlags FlagsFor(const CWindowWnd& window, bool owned) {
    // The skin draws the frame and the title buttons, as DuiLib windows do.
    Qt::WindowFlags flags = Qt::FramelessWindowHint;
    if (window.GetExStyle() & WS_EX_TOOLWINDOW) {
        flags |= Qt::Tool;
    } else if (owned) {
        flags |= Qt::Dialog;
    } else {
        flags |= Qt::Window;
    }
    return flags;
}
}  // namespace

QtWindow::QtWindow(QtRenderer& renderer, CWindowWnd& window, QWidget* owner)
    : QWidget(owner, FlagsFor(window, owner != nullptr)),
      renderer_(renderer),
      window_(&window),
      handle_(window.GetHWND()) {
    setAttribute(Qt::WA_QuitOnClose, false);
    if (auto* impl = dynamic_cast<WindowImplBase*>(&window)) manager_ = &impl->GetPaintManager();
    setWindowTitle(QString::fromStdString(window.GetTitle()));
    setWindowIcon(QtTheme::AppIcon());
    setFocusPolicy(Qt::ClickFocus);
    UpdateScale();
}

QtWindow::~QtWindow() {
    // The control widgets tell this window when they go: let them go while it is whole.
    const auto children = findChildren<QtControlWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QtControlWidget* child : children) delete child;
}

CWindowWnd* QtWindow::Model() const {
    if (handle_ == 0) return nullptr;
    return CWindowWnd::FromHandle(handle_) == window_ ? window_ : nullptr;
}

CPaintManagerUI* QtWindow::Manager() const { return Model() ? manager_ : nullptr; }

void QtWindow::Detach() {
    for (auto& [control, widget] : widgets_) widget->Detach();
    handle_ = 0;
    window_ = nullptr;
    manager_ = nullptr;
    dirty_controls_.clear();
    dirty_trees_.clear();
    parked_.clear();
    dragging_ = false;
    hide();
    deleteLater();
}

void QtWindow::MarkWindowDirty() {
    window_dirty_ = true;
    if (const CWindowWnd* w = Model()) {
        if (w->IsTopmost() && !was_topmost_) raise_pending_ = true;
        was_topmost_ = w->IsTopmost();
    }
}

void QtWindow::MarkControlDirty(CControlUI& control) {
    if (root_dirty_ || all_dirty_) return;
    auto [it, added] = dirty_controls_.try_emplace(&control, Pending{&control, {}});
    // A new control may have the address of one gone since.
    if (added || it->second.life.expired()) it->second = Pending{&control, control.LifeToken()};
}

void QtWindow::MarkTreeDirty(CControlUI* container) {
    if (!container) {
        root_dirty_ = true;
        return;
    }
    if (root_dirty_) return;
    dirty_trees_[container] = Pending{container, container->LifeToken()};
}

void QtWindow::MarkAllDirty() {
    all_dirty_ = true;
    layout_dirty_ = true;
    dirty_controls_.clear();
}

bool QtWindow::IsShownInModel() const {
    const CWindowWnd* w = Model();
    return w && w->IsWindowVisible() && !w->IsIconic();
}

bool QtWindow::HasPendingContent() const {
    return root_dirty_ || all_dirty_ || layout_dirty_ || !dirty_controls_.empty() || !dirty_trees_.empty();
}

bool QtWindow::Sync() {
    if (!Model()) return false;
    bool did = false;
    UpdateScale();
    // Content first, so a window appears with its content drawn.
    if (IsShownInModel() && HasPendingContent()) {
        SyncContent();
        did = true;
    }
    if (window_dirty_) {
        ApplyWindowState();
        did = true;
    }
    return did;
}

void QtWindow::UpdateScale() {
    const int dpi = manager_ && Model() ? manager_->GetDPI() : 96;
    const double scale = dpi / 96.0;
    if (std::abs(scale - scale_) > 1e-9) {
        scale_ = scale;
        MarkAllDirty();
        window_dirty_ = true;
    }
}

QtControlWidget* QtWindow::WidgetFor(const CControlUI& control) const {
    auto it = widgets_.find(&control);
    if (it == widgets_.end() || !it->second->Tracks(control)) return nullptr;
    return it->second;
}

void QtWindow::Forget(QtControlWidget& widget) {
    auto it = widgets_.find(widget.Key());
    if (it != widgets_.end() && it->second == &widget) widgets_.erase(it);
}

QtControlWidget* QtWindow::Build(CControlUI& control, QWidget* parent) {
    QtControlWidget* widget = nullptr;
    if (dynamic_cast<CComboUI*>(&control)) {
        widget = new QtComboWidget(*this, control, parent);
    } else if (dynamic_cast<CRichEditUI*>(&control)) {
        widget = new QtEditWidget(*this, control, parent, true);
    } else if (dynamic_cast<CEditUI*>(&control)) {
        widget = new QtEditWidget(*this, control, parent, false);
    } else if (dynamic_cast<CSliderUI*>(&control)) {
        widget = new QtSliderWidget(*this, control, parent);
    } else if (dynamic_cast<CCircleProgressUI*>(&control)) {
        widget = new QtProgressWidget(*this, control, parent, true);
    } else if (dynamic_cast<CProgressUI*>(&control)) {
        widget = new QtProgressWidget(*this, control, parent, false);
    } else if (dynamic_cast<CDeviceKeyButtonUI*>(&control)) {
        widget = new QtKeyButtonWidget(*this, control, parent);
    } else if (dynamic_cast<CColorPaletteUI*>(&control)) {
        widget = new QtColorPaletteWidget(*this, control, parent);
    } else if (control.AsContainer()) {
        widget = new QtContainerWidget(*this, control, parent);
    } else {
        widget = new QtControlWidget(*this, control, parent);
    }
    widgets_[&control] = widget;
    widget->Sync();
    renderer_.CountSync();
    if (QtContainerWidget* container = widget->AsContainer()) {
        const CContainerUI* model = control.AsContainer();
        std::vector<QPointer<QtControlWidget>> children;
        children.reserve(static_cast<std::size_t>(model->GetCount()));
        for (int i = 0; i < model->GetCount(); ++i) children.emplace_back(Build(*model->GetItemAt(i), container->ChildHost()));
        container->SetChildren(std::move(children));
    }
    return widget;
}

void QtWindow::RebuildRoot() {
    if (root_) {
        for (auto& [control, widget] : widgets_) widget->Detach();
        root_->hide();
        root_->deleteLater();
        root_ = nullptr;
    }
    widgets_.clear();
    if (CPaintManagerUI* manager = Manager(); manager && manager->GetRoot()) {
        root_ = Build(*manager->GetRoot(), this);
        root_->show();
    }
}

namespace {
// Takes a widget out of use with everything below it (it may be running a handler).
void Discard(QtControlWidget* widget) {
    if (!widget) return;
    if (QtContainerWidget* container = widget->AsContainer()) {
        for (const auto& child : container->Children()) Discard(child);
    }
    widget->Detach();
}
}  // namespace

void QtWindow::RebuildChildren(CControlUI& control) {
    QtControlWidget* widget = WidgetFor(control);
    if (!widget) {
        // Rows of a combo box have no widgets: the box shows them.
        for (CControlUI* p = control.GetParent(); p; p = p->GetParent()) {
            if (QtControlWidget* above = WidgetFor(*p)) {
                if (above->Sync()) layout_dirty_ = true;
                above->update();
                break;
            }
        }
        return;
    }
    QtContainerWidget* container = widget->AsContainer();
    const CContainerUI* model = control.AsContainer();
    if (!container || !model) {
        if (widget->Sync()) layout_dirty_ = true;
        widget->update();
        return;
    }
    std::unordered_map<const CControlUI*, QtControlWidget*> existing;
    std::vector<QtControlWidget*> gone;
    for (const auto& child : container->Children()) {
        if (!child) continue;
        if (child->Control()) {
            existing[child->Control()] = child;
        } else {
            gone.push_back(child);
        }
    }
    std::vector<QPointer<QtControlWidget>> children;
    for (int i = 0; i < model->GetCount(); ++i) {
        CControlUI* item = model->GetItemAt(i);
        auto it = existing.find(item);
        if (it != existing.end() && it->second->Tracks(*item)) {
            children.emplace_back(it->second);
            existing.erase(it);
        } else {
            children.emplace_back(Build(*item, container->ChildHost()));
        }
    }
    for (auto& [item, child] : existing) gone.push_back(child);
    for (QtControlWidget* child : gone) {
        Discard(child);
        child->hide();
        child->deleteLater();
    }
    container->SetChildren(std::move(children));
    layout_dirty_ = true;
}

void QtWindow::SyncContent() {
    if (root_dirty_) {
        root_dirty_ = false;
        all_dirty_ = false;
        dirty_controls_.clear();
        dirty_trees_.clear();
        parked_.clear();
        RebuildRoot();
        layout_dirty_ = true;
    }
    if (!dirty_trees_.empty()) {
        auto trees = std::move(dirty_trees_);
        dirty_trees_.clear();
        for (auto& [key, pending] : trees) {
            if (!pending.life.expired()) RebuildChildren(*pending.control);
        }
    }
    std::vector<QPointer<QtControlWidget>> synced;
    auto sync = [&](QtControlWidget* widget) {
        renderer_.CountSync();
        if (widget->Sync()) layout_dirty_ = true;
        synced.emplace_back(widget);
    };
    if (all_dirty_) {
        all_dirty_ = false;
        dirty_controls_.clear();
        parked_.clear();
        std::vector<QPointer<QtControlWidget>> all;
        all.reserve(widgets_.size());
        for (auto& [control, widget] : widgets_) all.emplace_back(widget);
        for (const auto& widget : all) {
            if (widget) sync(widget);
        }
    } else if (!dirty_controls_.empty()) {
        auto dirty = std::move(dirty_controls_);
        dirty_controls_.clear();
        for (auto& [key, pending] : dirty) {
            if (pending.life.expired()) continue;
            const CControlUI* parent = pending.control->GetParent();
            if (parent && !parent->IsVisible()) {
                parked_[key] = pending;
                continue;
            }
            QtControlWidget* widget = WidgetFor(*pending.control);
            // A combo box row changed: the box shows it.
            for (CControlUI* p = pending.control->GetParent(); !widget && p; p = p->GetParent()) widget = WidgetFor(*p);
            if (widget) sync(widget);
        }
    }
    // Something was shown or moved: parked changes whose container shows now are
    // read (a container shown may reveal more, hence the rounds).
    for (bool progress = layout_dirty_; progress && !parked_.empty();) {
        progress = false;
        for (auto it = parked_.begin(); it != parked_.end();) {
            const Pending pending = it->second;
            if (pending.life.expired()) {
                it = parked_.erase(it);
                continue;
            }
            const CControlUI* parent = pending.control->GetParent();
            if (parent && !parent->IsVisible()) {
                ++it;
                continue;
            }
            it = parked_.erase(it);
            QtControlWidget* widget = WidgetFor(*pending.control);
            for (CControlUI* p = pending.control->GetParent(); !widget && p; p = p->GetParent()) widget = WidgetFor(*p);
            if (widget) {
                sync(widget);
                progress = true;
            }
        }
    }
    if (layout_dirty_) Layout();
    Repaint(synced);
}

void QtWindow::Repaint(const std::vector<QPointer<QtControlWidget>>& changed) {
    // Many changed children of one parent (a lighting effect over a key picture)
    // repaint as one area: far cheaper for Qt than as many small ones.
    constexpr std::size_t kManyChildren = 24;
    std::unordered_map<QWidget*, std::vector<QtControlWidget*>> by_parent;
    for (const auto& widget : changed) {
        if (widget) by_parent[widget->parentWidget()].push_back(widget);
    }
    for (auto& [parent, widgets] : by_parent) {
        if (parent && widgets.size() >= kManyChildren) {
            parent->update();
            continue;
        }
        for (QtControlWidget* widget : widgets) widget->update();
    }
}

void QtWindow::Layout() {
    layout_dirty_ = false;
    if (!root_) return;
    renderer_.CountLayout();
    if (root_->geometry() != rect()) root_->setGeometry(rect());
    if (QtContainerWidget* container = root_->AsContainer()) container->LayoutChildren();
}

namespace {
QRect ToQt(const UiRect& r) { return QRect(r.left, r.top, std::max(1, r.Width()), std::max(1, r.Height())); }

UiRect FromQt(const QRect& r) { return UiRect{r.x(), r.y(), r.x() + r.width(), r.y() + r.height()}; }
}  // namespace

void QtWindow::ApplyWindowState() {
    window_dirty_ = false;
    CWindowWnd* w = Model();
    if (!w) return;
    ++applying_;
    const QString title = QString::fromStdString(w->GetTitle());
    if (windowTitle() != title) setWindowTitle(title);
    if (!w->IsWindowVisible()) {
        if (isVisible()) hide();
        --applying_;
        return;
    }
    if (!w->IsZoomed() && !w->IsIconic()) {
        const QRect target = ToQt(w->GetWindowRect());
        if (geometry() != target) setGeometry(target);
    }
    const Qt::WindowModality modality =
        w->IsModal() ? (parentWidget() ? Qt::WindowModal : Qt::ApplicationModal) : Qt::NonModal;
    if (modality != windowModality()) {
        // Qt takes the modality when a window is shown.
        if (isVisible()) hide();
        setWindowModality(modality);
    }
    if (w->IsIconic()) {
        if (!isMinimized()) showMinimized();
    } else if (w->IsZoomed()) {
        if (!isMaximized()) showMaximized();
    } else if (isMinimized() || isMaximized()) {
        showNormal();
    } else if (!isVisible()) {
        // A window shown again comes to the front; a new one is there already.
        const bool again = shown_before_;
        shown_before_ = true;
        show();
        if (again) raise();
        activateWindow();
    }
    if (raise_pending_) {
        raise_pending_ = false;
        raise();
        activateWindow();
    }
    --applying_;
}

void QtWindow::ReportGeometry() {
    CWindowWnd* w = Model();
    if (!w || w->IsIconic() || w->IsZoomed()) return;
    if (ToQt(w->GetWindowRect()) == geometry()) return;
    w->MoveWindow(FromQt(geometry()));
}

void QtWindow::Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (CWindowWnd* w = Model()) w->PostMessage(message, wParam, lParam);
}

bool QtWindow::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::WindowActivate:
            Post(WM_ACTIVATE, 1);
            break;
        case QEvent::WindowDeactivate:
            Post(WM_ACTIVATE, 0);
            break;
        case QEvent::Enter:
            Post(WM_MOUSEHOVER);
            break;
        case QEvent::Leave:
            Post(WM_MOUSELEAVE);
            break;
        default:
            break;
    }
    return QWidget::event(event);
}

void QtWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (applying_ || dragging_ || !isVisible() || isMinimized()) return;
    ReportGeometry();
}

void QtWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (root_ && IsShownInModel()) Layout();
    if (!applying_ && isVisible() && !isMinimized()) ReportGeometry();
    if (size() != last_reported_size_ && root_ && Model()) {
        last_reported_size_ = size();
        if (CPaintManagerUI* manager = Manager(); manager && manager->GetRoot()) {
            manager->SendNotify(manager->GetRoot(), "windowsize", 0, 0, true);
        }
    }
}

void QtWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || applying_) return;
    CWindowWnd* w = Model();
    if (!w) return;
    // The desktop minimised, maximised or restored the window.
    if (isMinimized() && !w->IsIconic()) {
        w->SendMessage(WM_SYSCOMMAND, SC_MINIMIZE);
    } else if (!isMinimized() && w->IsIconic()) {
        w->SendMessage(WM_SYSCOMMAND, SC_RESTORE);
    } else if (isMaximized() && !w->IsZoomed()) {
        w->SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
    } else if (!isMaximized() && !isMinimized() && w->IsZoomed()) {
        w->SendMessage(WM_SYSCOMMAND, SC_RESTORE);
    }
    renderer_.ScheduleFlush();
}

void QtWindow::closeEvent(QCloseEvent* event) {
    if (Model()) {
        // We only ever hide: a close comes from the desktop, and on the desktop the
        // close button is a system command the program decides on.
        event->ignore();
        Post(WM_SYSCOMMAND, SC_CLOSE);
        return;
    }
    QWidget::closeEvent(event);
}

void QtWindow::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), QtTheme::Base());
}

bool QtWindow::StartCaptionDrag(const QPoint& global, const QPoint& local) {
    CPaintManagerUI* manager = Manager();
    if (!manager) return false;
    const auto caption = UiText::ParseRect(manager->GetWindowAttribute("caption").value_or(""));
    if (!caption) return false;
    const double s = scale_;
    const bool inside = local.x() >= caption->left * s && local.x() < width() - caption->right * s &&
                        local.y() >= caption->top * s && local.y() < caption->bottom * s;
    if (!inside) return false;
    if (windowHandle() && windowHandle()->startSystemMove()) return true;
    // No system move here (some platforms): move the window ourselves.
    dragging_ = true;
    drag_offset_ = global - pos();
    return true;
}

bool QtWindow::DragTo(const QPoint& global) {
    if (!dragging_) return false;
    move(global - drag_offset_);
    return true;
}

void QtWindow::EndDrag() {
    if (!dragging_) return;
    dragging_ = false;
    ReportGeometry();
}

void QtWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton &&
        StartCaptionDrag(event->globalPosition().toPoint(), event->position().toPoint())) {
        return;
    }
    QWidget::mousePressEvent(event);
}

void QtWindow::mouseMoveEvent(QMouseEvent* event) {
    if (!DragTo(event->globalPosition().toPoint())) QWidget::mouseMoveEvent(event);
}

void QtWindow::mouseReleaseEvent(QMouseEvent* event) {
    EndDrag();
    QWidget::mouseReleaseEvent(event);
}

}  // namespace lumora

#pragma once
// One top-level window of the model drawn by Qt: a frameless QWidget (the skin
// draws the title bar and its buttons) holding one widget per control of the
// window's tree. The renderer tells it what changed; at the next frame Sync brings
// the widgets in step with the model, only for what changed, and only while the
// window is shown and not minimised (the changes wait until it is).
//
// Changes inside hidden containers (the pages of the devices not shown) wait
// until their container shows.
//
// Model geometry is in Qt's device-independent pixels, and the skin's 96-DPI sizes
// are scaled by the paint manager's DPI / 96. On a desktop scaled by 2 a 4K monitor
// is reported as 1920 x 1080: the program's own DPI choice then sits on top of the
// desktop's scaling instead of shrinking the window to a quarter.
//
// What the desktop does to the window reaches the model as the messages it would
// get there: a move or resize by the window manager moves the model window (and
// a resize notifies "windowsize" of the root), minimising and restoring send the
// system commands, the window manager's close sends SC_CLOSE, activation
// WM_ACTIVATE, the mouse entering and leaving WM_MOUSEHOVER and WM_MOUSELEAVE.
// Topmost is taken as "come to the front" (raise and activate), which is what the
// program uses it for (topmost, 10 ms, not topmost); a lasting stay-on-top flag
// would make the desktop map the window anew, flickering, each time.
// Dragging inside the skin's caption area (window attribute "caption", bottom =
// height), where no button or field is, moves the window.

#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "ui/window_wnd.h"

namespace lumora {

class CControlUI;
class CPaintManagerUI;
class QtControlWidget;
class QtRenderer;

class QtWindow : public QWidget {
public:
    QtWindow(QtRenderer& renderer, CWindowWnd& window, QWidget* owner);
    ~QtWindow() override;

    // The model window while it lives; null once it is destroyed.
    CWindowWnd* Model() const;
    CPaintManagerUI* Manager() const;
    QtRenderer& Renderer() const { return renderer_; }
    // The model is gone: forget it, hide, and let Qt delete the widget later (a
    // handler of one of its widgets may still be running).
    void Detach();

    // --- what changed (cheap; applied by Sync)
    // Called at each change of the model window (before frames fold changes).
    void MarkWindowDirty();
    void MarkControlDirty(CControlUI& control);
    void MarkTreeDirty(CControlUI* container);
    void MarkAllDirty();
    void MarkLayoutDirty() { layout_dirty_ = true; }
    // Shown and not minimised in the model: only then is content brought in step.
    bool IsShownInModel() const;
    bool HasPendingContent() const;

    // Applies what changed; true when anything was done.
    bool Sync();

    // --- for the control widgets
    double Scale() const { return scale_; }
    QtControlWidget* WidgetFor(const CControlUI& control) const;
    void Forget(QtControlWidget& widget);
    QtControlWidget* Build(CControlUI& control, QWidget* parent);
    // Caption dragging: started by a press on a widget that is not a control the
    // user operates.
    bool StartCaptionDrag(const QPoint& global, const QPoint& local_in_window);
    bool DragTo(const QPoint& global);
    void EndDrag();
    bool IsDragging() const { return dragging_; }

protected:
    bool event(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ApplyWindowState();
    void SyncContent();
    void Repaint(const std::vector<QPointer<QtControlWidget>>& changed);
    void RebuildRoot();
    void RebuildChildren(CControlUI& container);
    void Layout();
    void UpdateScale();
    void ReportGeometry();
    void Post(std::uint32_t message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);

    QtRenderer& renderer_;
    CWindowWnd* window_;
    CWindowWnd::Handle handle_;
    CPaintManagerUI* manager_ = nullptr;
    QPointer<QtControlWidget> root_;
    std::unordered_map<const CControlUI*, QtControlWidget*> widgets_;

    struct Pending {
        CControlUI* control;
        std::weak_ptr<const int> life;
    };
    std::unordered_map<const CControlUI*, Pending> dirty_controls_;
    std::unordered_map<const CControlUI*, Pending> dirty_trees_;
    // Changed controls inside a hidden container (a tab page not shown): read when
    // the container shows.
    std::unordered_map<const CControlUI*, Pending> parked_;
    bool root_dirty_ = true;
    bool all_dirty_ = false;
    bool window_dirty_ = true;
    bool layout_dirty_ = true;

    double scale_ = 1.0;
    int applying_ = 0;  // our own geometry and state changes are not reported back
    bool dragging_ = false;
    bool shown_before_ = false;
    bool was_topmost_ = false;
    bool raise_pending_ = false;
    QPoint drag_offset_;
    QSize last_reported_size_;
};

}  // namespace lumora

#pragma once
// The widget of a container: it owns the widgets of the child controls, in the
// model's order (later ones drawn on top, as float children expect), and places
// them by the container's layout rules (QtLayoutEngine). A container with
// "vscrollbar" or "hscrollbar", and every list, scrolls its children; a list
// keeps the row the model brought into view visible.

#include <QPointer>

#include <string>
#include <vector>

#include "ui/qt/qt_control_widget.h"
#include "ui/qt/qt_layout_engine.h"

class QScrollArea;

namespace lumora {

class QtContainerWidget : public QtControlWidget {
public:
    QtContainerWidget(QtWindow& window, CControlUI& control, QWidget* parent);

    QtContainerWidget* AsContainer() override { return this; }
    bool Sync() override;

    // Where child widgets live (the scrolled area when there is one).
    QWidget* ChildHost();
    const std::vector<QPointer<QtControlWidget>>& Children() const { return children_; }
    void SetChildren(std::vector<QPointer<QtControlWidget>> children);
    // Places the children and, below them, their children. Hidden parts are left
    // until they are shown.
    void LayoutChildren();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void ApplyScroll();

    std::vector<QPointer<QtControlWidget>> children_;
    LayoutBox::Kind kind_ = LayoutBox::Kind::Stack;
    UiRect inset_;
    int child_padding_ = 0;
    LayoutBox::Align child_align_ = LayoutBox::Align::Start;
    LayoutBox::Align child_valign_ = LayoutBox::Align::Start;
    bool enabled_in_tree_ = true;
    bool vscroll_ = false;
    bool hscroll_ = false;
    bool list_ = false;
    bool laid_out_ = false;
    std::string scroll_state_;
    std::string applied_scroll_;
    QScrollArea* scroll_ = nullptr;
    QWidget* content_ = nullptr;
};

}  // namespace lumora

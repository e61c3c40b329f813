#pragma once
// A menu window of the model (CMenuWnd) shown as a QMenu at the model's point and
// alignment: its items are the menu elements (an element with elements inside is
// a submenu, a check item is a checkable action). Choosing an item clicks the
// element, which sends the menu command to the window that opened the menu;
// closing the menu any other way closes the model's menu window too.

#include <QMenu>
#include <QPointer>

#include "ui/window_wnd.h"

namespace lumora {

class CControlUI;
class CMenuWnd;
class QtRenderer;

class QtMenuPopup {
public:
    QtMenuPopup(QtRenderer& renderer, CMenuWnd& window);
    ~QtMenuPopup();
    QtMenuPopup(const QtMenuPopup&) = delete;
    QtMenuPopup& operator=(const QtMenuPopup&) = delete;

    void MarkDirty() { dirty_ = true; }
    // Builds the menu once the model shows it, and pops it up. True when done.
    bool Sync();
    QMenu* Menu() const { return menu_; }
    // The model menu is gone.
    void Detach();

private:
    CMenuWnd* Model() const;
    void Build(QMenu& menu, const CControlUI& parent);

    QtRenderer& renderer_;
    CMenuWnd* window_;
    CWindowWnd::Handle handle_;
    QPointer<QMenu> menu_;
    bool dirty_ = true;
    bool shown_ = false;
};

}  // namespace lumora

#include "ui/qt/qt_menu_popup.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QTimer>

#include <memory>

#include "ui/container_ui.h"
#include "ui/menu_element_ui.h"
#include "ui/menu_wnd.h"
#include "ui/qt/qt_renderer.h"
#include "ui/qt/qt_theme.h"

namespace lumora {

QtMenuPopup::QtMenuPopup(QtRenderer& renderer, CMenuWnd& window)
    : renderer_(renderer), window_(&window), handle_(window.GetHWND()) {}

QtMenuPopup::~QtMenuPopup() { Detach(); }

CMenuWnd* QtMenuPopup::Model() const {
    if (handle_ == 0) return nullptr;
    return CWindowWnd::FromHandle(handle_) == window_ ? window_ : nullptr;
}

void QtMenuPopup::Detach() {
    handle_ = 0;
    window_ = nullptr;
    if (menu_) {
        menu_->hide();
        menu_->deleteLater();
        menu_ = nullptr;
    }
}

void QtMenuPopup::Build(QMenu& menu, const CControlUI& parent) {
    const CContainerUI* items = parent.AsContainer();
    if (!items) return;
    for (int i = 0; i < items->GetCount(); ++i) {
        CControlUI* child = items->GetItemAt(i);
        if (!child->GetVisibleFlag()) continue;
        auto* element = dynamic_cast<CMenuElementUI*>(child);
        if (!element) {
            // A plain control between items is a separator line.
            if (!child->AsContainer() && child->GetText().empty()) menu.addSeparator();
            continue;
        }
        const QString text = QString::fromStdString(element->GetText());
        if (element->HasSubMenu()) {
            QMenu* sub = menu.addMenu(text);
            sub->setEnabled(element->IsEnabled());
            Build(*sub, *element);
            continue;
        }
        QAction* action = menu.addAction(text);
        action->setEnabled(element->IsEnabled());
        action->setObjectName(QString::fromStdString(element->GetName()));
        if (element->IsCheckItem()) {
            action->setCheckable(true);
            action->setChecked(element->GetChecked());
        }
        std::weak_ptr<const int> alive = element->LifeToken();
        QtRenderer* renderer = &renderer_;
        QObject::connect(action, &QAction::triggered, action, [element, alive, renderer] {
            if (alive.expired()) return;
            element->PerformUserAction("click", {}, nullptr);
            renderer->AfterUserAction();
        });
    }
}

bool QtMenuPopup::Sync() {
    CMenuWnd* window = Model();
    if (!window) return false;
    if (!window->IsWindowVisible()) {
        if (menu_ && menu_->isVisible()) menu_->hide();
        return false;
    }
    dirty_ = false;
    if (shown_) return false;  // an open menu is not rebuilt under the pointer
    CPaintManagerUI& manager = window->GetPaintManager();
    if (!manager.GetRoot()) return false;
    menu_ = new QMenu();
    menu_->setAttribute(Qt::WA_DeleteOnClose, false);
    Build(*menu_, *manager.GetRoot());
    const CWindowWnd::Handle handle = handle_;
    QObject::connect(menu_, &QMenu::aboutToHide, QCoreApplication::instance(), [handle] {
        // After a chosen item had its say, the model's menu window closes.
        QTimer::singleShot(0, QCoreApplication::instance(), [handle] {
            if (CWindowWnd* w = CWindowWnd::FromHandle(handle)) w->Close(0);
        });
    });
    const UiPoint point = window->GetPoint();
    QPoint at(point.x, point.y);
    const QSize size = menu_->sizeHint();
    if (window->GetAlignment() & CMenuWnd::kAlignRight) at.rx() -= size.width();
    if (window->GetAlignment() & CMenuWnd::kAlignBottom) at.ry() -= size.height();
    menu_->popup(at);
    shown_ = true;
    return true;
}

}  // namespace lumora

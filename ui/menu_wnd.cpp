#include "ui/menu_wnd.h"

#include <functional>

#include "ui/container_ui.h"
#include "ui/menu_cmd.h"
#include "ui/menu_element_ui.h"

namespace lumora {

bool CMenuWnd::Init(CMenuElementUI* /*owner_element*/, std::string_view xml, UiPoint point,
                    CPaintManagerUI* owner_manager, CheckMap* checks, int alignment) {
    if (IsWindow()) return false;
    xml_ = xml;
    point_ = point;
    alignment_ = alignment;
    checks_ = checks;
    CWindowWnd* owner = owner_manager ? owner_manager->GetPaintWindow() : nullptr;
    owner_window_ = owner ? owner->GetHWND() : 0;
    if (!Create(owner, "", 0, 0, point.x, point.y, 0, 0)) return false;
    // Place the menu on the side of the point the alignment asks for.
    const UiRect r = GetWindowRect();
    int x = point.x;
    int y = point.y;
    if (alignment & kAlignRight) x -= r.Width();
    if (alignment & kAlignBottom) y -= r.Height();
    MoveWindow(UiRect{x, y, x + r.Width(), y + r.Height()});
    ShowWindow(true);
    return true;
}

std::string CMenuWnd::GetWindowClassName() const { return "MenuWnd"; }

std::string CMenuWnd::GetSkinFile() const { return xml_; }

void CMenuWnd::InitWindow() {
    if (!checks_ || !m_pm.GetRoot()) return;
    std::function<void(CControlUI*)> apply = [&](CControlUI* control) {
        if (auto* item = dynamic_cast<CMenuElementUI*>(control)) {
            auto it = checks_->find(item->GetName());
            if (it != checks_->end()) item->SetChecked(it->second);
        }
        if (CContainerUI* container = control->AsContainer()) {
            for (int i = 0; i < container->GetCount(); ++i) apply(container->GetItemAt(i));
        }
    };
    apply(m_pm.GetRoot());
}

void CMenuWnd::OnItemClicked(CMenuElementUI& item) {
    MenuCmd cmd{item.GetName(), item.GetText(), item.GetUserData(), item.GetChecked()};
    if (checks_ && item.IsCheckItem()) (*checks_)[cmd.name] = cmd.checked;
    CWindowWnd::PostMessageTo(owner_window_, WindowMessage{WM_MENUCLICK, 0, cmd.checked ? 1 : 0, cmd});
    Close(0);
}

}  // namespace lumora

#include "ui/list_item_ui.h"

#include "ui/control_ui.h"
#include "ui/list_owner_ui.h"
#include "ui/paint_manager_ui.h"

namespace lumora {

void IListItemUI::SetSelectedState(bool selected) {
    if (selected_ == selected) return;
    selected_ = selected;
    ItemControl().Invalidate();
}

bool IListItemUI::Select(bool trigger_event) {
    if (!owner_) return false;
    return owner_->SelectItem(index_, true, trigger_event);
}

bool IListItemUI::ItemUserAction(std::string_view type, std::string* error, bool& handled) {
    CControlUI& self = ItemControl();
    handled = true;
    auto fail = [&](const std::string& text) {
        if (error) *error = text;
        return false;
    };
    const bool reachable = self.GetManager() && self.IsVisible() && self.IsEnabledInTree();
    if (UiText::EqualsNoCase(type, "click") || UiText::EqualsNoCase(type, "itemclick")) {
        if (!reachable) return fail("row cannot be clicked: " + self.GetName());
        std::weak_ptr<const int> alive = self.LifeToken();
        if (owner_) owner_->SelectItem(index_, true, true);
        if (!alive.expired() && self.GetManager()) self.GetManager()->SendNotify(&self, "itemclick");
        return true;
    }
    if (UiText::EqualsNoCase(type, "itemactivate") || UiText::EqualsNoCase(type, "dbclick")) {
        if (!reachable) return fail("row cannot be activated: " + self.GetName());
        self.GetManager()->SendNotify(&self, "itemactivate");
        return true;
    }
    handled = false;
    return false;
}

}  // namespace lumora

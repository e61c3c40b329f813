#include "ui/menu_element_ui.h"

#include "ui/menu_wnd.h"
#include "ui/paint_manager_ui.h"

namespace lumora {

std::string_view CMenuElementUI::GetClass() const { return "MenuElementUI"; }

bool CMenuElementUI::IsA(std::string_view kind) const {
    return UiText::EqualsNoCase(kind, "MenuElement") || CListContainerElementUI::IsA(kind);
}

void CMenuElementUI::SetChecked(bool checked) {
    if (checked_ == checked) return;
    checked_ = checked;
    Invalidate();
}

bool CMenuElementUI::HasSubMenu() const {
    for (int i = 0; i < GetCount(); ++i) {
        if (dynamic_cast<const CMenuElementUI*>(GetItemAt(i))) return true;
    }
    return false;
}

bool CMenuElementUI::Activate() {
    if (!IsVisible() || !IsEnabledInTree()) return false;
    if (HasSubMenu()) return true;  // opens the submenu: no command
    CMenuWnd* menu = GetManager() ? dynamic_cast<CMenuWnd*>(GetManager()->GetPaintWindow()) : nullptr;
    if (!menu) return false;
    if (check_item_) SetChecked(!checked_);
    menu->OnItemClicked(*this);
    return true;
}

void CMenuElementUI::SetAttribute(std::string_view name, std::string_view value) {
    if (UiText::EqualsNoCase(name, "checkitem")) {
        check_item_ = UiText::ParseBool(value).value_or(false);
    } else if (UiText::EqualsNoCase(name, "checked")) {
        SetChecked(UiText::ParseBool(value).value_or(false));
    } else {
        CListContainerElementUI::SetAttribute(name, value);
    }
}

std::optional<std::string> CMenuElementUI::GetProperty(std::string_view name) const {
    if (UiText::EqualsNoCase(name, "checked")) return UiText::FormatBool(checked_);
    if (UiText::EqualsNoCase(name, "checkitem")) return UiText::FormatBool(check_item_);
    return CListContainerElementUI::GetProperty(name);
}

bool CMenuElementUI::SetProperty(std::string_view name, std::string_view value, std::string* error) {
    if (UiText::EqualsNoCase(name, "checked") || UiText::EqualsNoCase(name, "checkitem")) {
        if (!BoolValue(value, error)) return false;
        SetAttribute(name, value);
        return true;
    }
    return CListContainerElementUI::SetProperty(name, value, error);
}

bool CMenuElementUI::PerformUserAction(std::string_view type, std::string_view value, std::string* error) {
    if (UiText::EqualsNoCase(type, "click") || UiText::EqualsNoCase(type, "itemclick")) {
        if (!CheckReachable(error, true)) return false;
        if (!Activate()) return Fail(error, "menu item cannot be clicked: " + GetName());
        return true;
    }
    return CListContainerElementUI::PerformUserAction(type, value, error);
}

}  // namespace lumora

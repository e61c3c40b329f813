#include "ui/list_label_element_ui.h"

#include "ui/paint_manager_ui.h"

namespace lumora {

std::string_view CListLabelElementUI::GetClass() const { return "ListLabelElementUI"; }

bool CListLabelElementUI::IsA(std::string_view kind) const {
    return UiText::EqualsNoCase(kind, "ListLabelElement") || UiText::EqualsNoCase(kind, "ListItem") ||
           CControlUI::IsA(kind);
}

bool CListLabelElementUI::Activate() {
    if (!CControlUI::Activate()) return false;
    if (GetManager()) GetManager()->SendNotify(this, "itemactivate");
    return true;
}

void CListLabelElementUI::SetAttribute(std::string_view name, std::string_view value) {
    if (UiText::EqualsNoCase(name, "selected")) {
        if (UiText::ParseBool(value).value_or(false)) Select(false);
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

std::optional<std::string> CListLabelElementUI::GetProperty(std::string_view name) const {
    if (UiText::EqualsNoCase(name, "selected")) return UiText::FormatBool(IsSelected());
    if (UiText::EqualsNoCase(name, "index")) return std::to_string(GetIndex());
    return CControlUI::GetProperty(name);
}

bool CListLabelElementUI::PerformUserAction(std::string_view type, std::string_view value, std::string* error) {
    bool handled = false;
    const bool ok = ItemUserAction(type, error, handled);
    return handled ? ok : CControlUI::PerformUserAction(type, value, error);
}

}  // namespace lumora

#include "ui/list_container_element_ui.h"

#include "ui/paint_manager_ui.h"

namespace lumora {

std::string_view CListContainerElementUI::GetClass() const { return "ListContainerElementUI"; }

bool CListContainerElementUI::IsA(std::string_view kind) const {
    return UiText::EqualsNoCase(kind, "ListContainerElement") || UiText::EqualsNoCase(kind, "ListItem") ||
           CHorizontalLayoutUI::IsA(kind);
}

bool CListContainerElementUI::Activate() {
    if (!CHorizontalLayoutUI::Activate()) return false;
    if (GetManager()) GetManager()->SendNotify(this, "itemactivate");
    return true;
}

void CListContainerElementUI::SetAttribute(std::string_view name, std::string_view value) {
    if (UiText::EqualsNoCase(name, "selected")) {
        if (UiText::ParseBool(value).value_or(false)) Select(false);
    } else {
        CHorizontalLayoutUI::SetAttribute(name, value);
    }
}

std::optional<std::string> CListContainerElementUI::GetProperty(std::string_view name) const {
    if (UiText::EqualsNoCase(name, "selected")) return UiText::FormatBool(IsSelected());
    if (UiText::EqualsNoCase(name, "index")) return std::to_string(GetIndex());
    return CHorizontalLayoutUI::GetProperty(name);
}

bool CListContainerElementUI::PerformUserAction(std::string_view type, std::string_view value, std::string* error) {
    bool handled = false;
    const bool ok = ItemUserAction(type, error, handled);
    return handled ? ok : CHorizontalLayoutUI::PerformUserAction(type, value, error);
}

}  // namespace lumora

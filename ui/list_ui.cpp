#include "ui/list_ui.h"

namespace lumora {

std::string_view CListUI::GetClass() const { return "ListUI"; }

bool CListUI::IsA(std::string_view kind) const { return UiText::EqualsNoCase(kind, "List") || CListOwnerUI::IsA(kind); }

void CListUI::EnsureVisible(int index) {
    if (index < 0 || index >= GetCount()) return;
    scroll_ = "row " + std::to_string(index);
    Invalidate();
}

void CListUI::ScrollToTop() {
    scroll_ = "top";
    Invalidate();
}

void CListUI::ScrollToEnd() {
    scroll_ = "end";
    Invalidate();
}

std::optional<std::string> CListUI::GetProperty(std::string_view name) const {
    if (UiText::EqualsNoCase(name, "scroll")) return scroll_;
    return CListOwnerUI::GetProperty(name);
}

}  // namespace lumora

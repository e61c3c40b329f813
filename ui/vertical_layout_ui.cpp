#include "ui/vertical_layout_ui.h"

namespace lumora {

std::string_view CVerticalLayoutUI::GetClass() const { return "VerticalLayoutUI"; }

bool CVerticalLayoutUI::IsA(std::string_view kind) const {
    return UiText::EqualsNoCase(kind, "VerticalLayout") || CContainerUI::IsA(kind);
}

}  // namespace lumora

#include "ui/horizontal_layout_ui.h"

namespace lumora {

std::string_view CHorizontalLayoutUI::GetClass() const { return "HorizontalLayoutUI"; }

bool CHorizontalLayoutUI::IsA(std::string_view kind) const {
    return UiText::EqualsNoCase(kind, "HorizontalLayout") || CContainerUI::IsA(kind);
}

}  // namespace lumora

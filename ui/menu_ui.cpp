#include "ui/menu_ui.h"

namespace lumora {

std::string_view CMenuUI::GetClass() const { return "MenuUI"; }

bool CMenuUI::IsA(std::string_view kind) const { return UiText::EqualsNoCase(kind, "Menu") || CVerticalLayoutUI::IsA(kind); }

}  // namespace lumora
